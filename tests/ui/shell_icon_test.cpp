// The shell icon lookup: icon references cleaned into paths, missing files, the system
// image lists.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "base/TextUtil.h"
#include "ui/UseShGetFileInfo.h"
#include "support/TestMachine.h"
#include "support/UiDriver.h"

using tarnock::CUseShGetFileInfo;
using tarnock::testing::TempFolder;
using tarnock::testing::WindowsPath;

TEST(ListIconLookup, CleansThePathBeforeTheExistenceTest) {
    struct Case {
        const char* given;
        const char* cleaned;
    } cases[] = {
        {"\"C:\\Program Files\\App\\app.exe\",0", "C:\\Program Files\\App\\app.exe"},
        {"C:\\\\Windows\\\\notepad.exe", "C:\\Windows\\notepad.exe"},
        {"C:\\a,b\\x.exe,-101", "C:\\a,b\\x.exe"},
        {",5", ",5"},  // a comma only at the start is no icon-number suffix
        {"\"\"", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CUseShGetFileInfo::CleanIconPath(c.given), c.cleaned) << c.given;
}

TEST(ListIconLookup, MissingFilesGiveMinusOneAndExistingOnesTheirTypeIcon) {
    CUseShGetFileInfo lookup;
    EXPECT_EQ(lookup.GetIconIndex("", false), -1);
    EXPECT_EQ(lookup.GetIconIndex("C:\\no\\such\\file.exe", false), -1);
    EXPECT_EQ(lookup.GetIconIndex("\"C:\\no\\such\\file.ico\",0", true), -1);

    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string notepad = std::string(windows) + "\\notepad.exe";
    ASSERT_TRUE(tarnock::PathExists(notepad));
    std::string decorated("\"");
    decorated.append(tarnock::ReplaceAll(notepad, "\\", "\\\\")).append("\",0");
    EXPECT_GE(lookup.GetIconIndex(decorated, false), 0);
    EXPECT_EQ(lookup.GetIconIndex(decorated, false), lookup.GetIconIndex(notepad, false));
    EXPECT_NE(lookup.GetSystemImageList(true), nullptr);
    EXPECT_NE(lookup.GetSystemImageList(false), nullptr);
}

TEST(ListIconLookup, AnIcoFileWithoutAnOwnerGetsTheShellsIconForItsType) {
    const std::string file = TempFolder() + "tarnock_lookup.ICO";
    ASSERT_TRUE(CopyFileA(WindowsPath(TARNOCK_BUILD_DIR "/art/program.ico").c_str(), file.c_str(), FALSE));
    CUseShGetFileInfo lookup;
    const HIMAGELIST large = lookup.GetSystemImageList(false);
    const int before = ImageList_GetImageCount(large);
    EXPECT_GE(lookup.GetIconIndex(file, false), 0);
    EXPECT_EQ(ImageList_GetImageCount(large), before);
    DeleteFileA(file.c_str());
}
