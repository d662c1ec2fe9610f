// The start-up program scanner: command resolution, the Run keys of the machine and the
// user, the common Startup folder and removal.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/CategoryScan.h"
#include "scan/ShellFolders.h"
#include "scan/StartUp.h"
#include "support/RowRecorder.h"
#include "support/ScanFixture.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

constexpr char kFolder[] = "C:\\TnkScanTests\\Startup";

// Where the values written with the program's own view live.
const RegistryPlace kMachine = MachinePlaces().front();
const RegistryPlace kUser{HKEY_CURRENT_USER, 0};

std::string NotFound(const std::string& path) { return AnsiFromWide(L"★ 파일을 찾을수 없습니다: ") + path; }

bool ValueExists(HKEY root, const std::string& name) {
    ScopedKey key;
    if (RegOpenKeyExA(root, kRunKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return false;
    return RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

class StartupTest : public ::testing::Test {
protected:
    StartupTest()
        : windows_(SpecialFolderPath(CSIDL_WINDOWS)),
          system_(SpecialFolderPath(CSIDL_SYSTEM)),
          files_(kFolder),
          startupFolder_(SpecialFolderPath(CSIDL_COMMON_STARTUP)) {}

    void SetUp() override {
        ASSERT_FALSE(windows_.empty());
        ASSERT_FALSE(system_.empty());
        app_ = files_.AddFile("App Dir\\App.exe");
        tool_ = files_.AddFile("Tool.exe");
        files_.AdoptFile(system_ + "\\tnksystool.exe");
        files_.AdoptFile(system_ + "\\tnkonlysys.exe");
        files_.AdoptFile(windows_ + "\\tnkwinonly.exe");
        files_.AdoptFile(windows_ + "\\tnkboth.exe");
        files_.AdoptFile(system_ + "\\tnkboth.exe");
    }

    std::string windows_;
    std::string system_;
    FileFixture files_;
    std::string startupFolder_;
    std::string app_;
    std::string tool_;
    RegistryFixture registry_;
};

TEST_F(StartupTest, RunCommandsResolveToProgramFiles) {
    const std::string lowerFolder = ToLowerAnsi(kFolder);
    const std::string lowerApp = ToLowerAnsi(app_);
    struct Case {
        std::string data;
        std::string commandText;
        std::string filePath;
    } cases[] = {
        {"\"" + app_ + "\" -min", lowerApp, lowerApp},
        {"\"" + app_ + "\"", lowerApp, lowerApp},
        {std::string(kFolder) + "\\Tool.EXE -x -y.exe", lowerFolder + "\\tool.exe", lowerFolder + "\\tool.exe"},
        {"%SystemRoot%\\System32\\TnkSysTool.exe /x", windows_ + "\\system32\\tnksystool.exe",
         windows_ + "\\system32\\tnksystool.exe"},
        {"%SYSTEMROOT%\\tnkonlysys", system_ + "\\tnkonlysys", system_ + "\\tnkonlysys.exe"},
        {"%systemroot%\\tnkonlysys /arg", system_ + "\\tnkonlysys /arg", system_ + "\\tnkonlysys.exe"},
        {"%SystemRoot%\\tnkboth", windows_ + "\\tnkboth", windows_ + "\\tnkboth.exe"},
        {"%SystemRoot%\\tnknowhere.exe", NotFound(system_ + "\\tnknowhere.exe"), system_ + "\\tnknowhere.exe"},
        {"tnkwinonly.exe", "tnkwinonly.exe", windows_ + "\\tnkwinonly.exe"},
        {"TnkOnlySys.exe -s", "tnkonlysys.exe", system_ + "\\tnkonlysys.exe"},
        {"tnkmissing.exe", NotFound(system_ + "\\tnkmissing.exe"), system_ + "\\tnkmissing.exe"},
        {std::string(kFolder) + "\\gone.exe /q", NotFound(lowerFolder + "\\gone.exe"), lowerFolder + "\\gone.exe"},
        // Nothing to start: never the Windows folder itself.
        {"", NotFound(""), ""},
        {"\"\" -x", NotFound(""), ""},
    };
    for (const Case& c : cases) {
        const CStartUp::Resolution r = CStartUp::ResolveRunCommand(c.data, windows_, system_);
        EXPECT_EQ(r.commandText, c.commandText) << c.data;
        EXPECT_EQ(r.filePath, c.filePath) << c.data;
    }
    // Without a known Windows folder the text is the path as written.
    const CStartUp::Resolution unknown = CStartUp::ResolveRunCommand("%SystemRoot%\\tnkboth.exe", "", "");
    EXPECT_EQ(unknown.filePath, "%systemroot%\\tnkboth.exe");
    EXPECT_EQ(unknown.commandText, NotFound("%systemroot%\\tnkboth.exe"));
}

TEST_F(StartupTest, ScanListsBothRunKeysThenTheStartupShortcuts) {
    ASSERT_FALSE(startupFolder_.empty());
    registry_.SetText(HKEY_LOCAL_MACHINE, kRunKey, "TnkRunQuoted", "\"" + app_ + "\" -min");
    registry_.SetText(HKEY_LOCAL_MACHINE, kRunKey, "TnkRunMissing", std::string(kFolder) + "\\gone.exe");
    registry_.SetText(HKEY_LOCAL_MACHINE, kRunKey, "TnkRunExpand", "%SystemRoot%\\system32\\tnksystool.exe",
                      REG_EXPAND_SZ);
    registry_.SetText(HKEY_LOCAL_MACHINE, kRunKey, "", app_);  // the default value is no entry
    registry_.SetText(HKEY_CURRENT_USER, kRunKey, "TnkRunUser", "tnkwinonly.exe");
    for (const char* name : {"TnkStart a.lnk", "TnkStart b.LNK", "TnkStart c.Lnk", "TnkStart d.txt"})
        files_.AdoptFile(startupFolder_ + "\\" + name);

    const CStartUp startup;
    struct Row {
        std::string name, command, path;
        RegistryPlace place;
        int kind;
    };
    std::vector<Row> ours;
    for (int i = 0; i < startup.GetCount(); ++i) {
        const StartupEntry* e = startup.GetEntry(i);
        if (!StartsWith(e->entryName, "TnkRun") && !StartsWith(e->entryName, "TnkStart")) continue;
        EXPECT_STREQ(e->entryName, e->title);
        ours.push_back({e->entryName, e->commandText, e->filePath, e->place, e->kind});
    }
    EXPECT_EQ(startup.GetEntry(startup.GetCount()), nullptr);
    const std::string lowerFolder = ToLowerAnsi(kFolder);
    // Values within one key come in the registry's order; the roots and the folder in scan order.
    std::vector<Row> machine(ours.begin(), ours.begin() + std::min<std::size_t>(3, ours.size()));
    std::sort(machine.begin(), machine.end(), [](const Row& a, const Row& b) { return a.name < b.name; });
    ASSERT_EQ(ours.size(), 6u);
    EXPECT_EQ(machine[0].name, "TnkRunExpand");
    EXPECT_EQ(machine[0].command, windows_ + "\\system32\\tnksystool.exe");
    EXPECT_EQ(machine[1].name, "TnkRunMissing");
    EXPECT_EQ(machine[1].command, NotFound(lowerFolder + "\\gone.exe"));
    EXPECT_EQ(machine[1].path, lowerFolder + "\\gone.exe");
    EXPECT_EQ(machine[2].name, "TnkRunQuoted");
    EXPECT_EQ(machine[2].command, ToLowerAnsi(app_));
    for (const Row& r : machine) {
        EXPECT_TRUE(r.place == kMachine);
        EXPECT_EQ(r.kind, kStartupRunValue);
    }
    EXPECT_EQ(ours[3].name, "TnkRunUser");
    EXPECT_TRUE(ours[3].place == kUser);
    EXPECT_EQ(ours[3].path, windows_ + "\\tnkwinonly.exe");
    EXPECT_EQ(ours[4].name, "TnkStart a.lnk");
    EXPECT_EQ(ours[4].command, startupFolder_ + "\\TnkStart a.lnk");
    EXPECT_EQ(ours[4].path, startupFolder_ + "\\TnkStart a.lnk");
    EXPECT_EQ(ours[4].kind, kStartupShortcut);
    EXPECT_EQ(ours[5].name, "TnkStart b.LNK");

    // The category rows carry title, command text, name and path.
    RowRecorder rows;
    FakeSignatureRows noSignatures;
    CCategoryScan(InstallerProductList{}, rows).Run(kScanStartup, {}, noSignatures);
    for (const RecordedRow& row : rows.Rows()) {
        const StartupEntry* e = startup.GetEntry(row.itemValue);
        ASSERT_NE(e, nullptr);
        const std::string place = e->kind == kStartupRunValue ? PlaceText(e->place) : "";
        EXPECT_EQ(row, (RecordedRow{e->title, e->commandText, e->entryName, e->filePath, row.itemValue, place}));
    }
    EXPECT_EQ(static_cast<int>(rows.Rows().size()), startup.GetCount());
}

TEST_F(StartupTest, RemovalDeletesValuesAndShortcutsButNeverPrograms) {
    registry_.SetText(HKEY_LOCAL_MACHINE, kRunKey, "TnkRunBoth", tool_);
    registry_.SetText(HKEY_CURRENT_USER, kRunKey, "TnkRunBoth", tool_);
    registry_.SetText(HKEY_CURRENT_USER, kRunKey, "TnkRunKeep", tool_);
    const std::string shortcut = files_.AdoptFile(startupFolder_ + "\\TnkStart remove.lnk");

    CStartUp startup;
    EXPECT_EQ(startup.Remove("TnkRunNoSuchEntry", kMachine), 1);
    EXPECT_EQ(startup.Remove("tnkrunboth", kMachine), 1);  // names are compared exactly
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, "TnkRunBoth"));
    EXPECT_EQ(startup.RemoveRow("TnkRunBoth", "HKLM-nonsense"), 0);  // no such place: nothing goes
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, "TnkRunBoth"));
    // One place at a time: the same name under the user stays until its own row goes.
    EXPECT_EQ(startup.RemoveRow("TnkRunBoth", PlaceText(kMachine)), 1);
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, "TnkRunBoth"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "TnkRunBoth"));
    EXPECT_EQ(startup.Remove("TnkRunBoth", kUser), 1);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "TnkRunBoth"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "TnkRunKeep"));
    EXPECT_TRUE(PathExists(tool_));
    EXPECT_EQ(startup.Remove("TnkStart remove.lnk", kMachine), 1);  // a shortcut is no Run value
    EXPECT_TRUE(PathExists(shortcut));
    EXPECT_EQ(startup.RemoveRow("TnkStart remove.lnk", ""), 1);
    EXPECT_FALSE(PathExists(shortcut));
}

TEST_F(StartupTest, HostileRunValuesStayInsideTheirFields) {
    const std::string longName = "TnkRunLong" + std::string(590, 'n');
    registry_.SetText(HKEY_CURRENT_USER, kRunKey, longName, tool_);
    registry_.SetText(HKEY_CURRENT_USER, kRunKey, "TnkRunHugeData", std::string(1500, 'd'));
    registry_.SetText(HKEY_CURRENT_USER, kRunKey, "TnkRunLongPath", "C:\\" + std::string(900, 'p') + ".exe");
    const BYTE binary[] = {0xff, 0xfe, 0x00, 0x41, 0x22, 0x22, 0x5c, 0x00};
    registry_.SetBinary(HKEY_CURRENT_USER, kRunKey, "TnkRunBinary", binary, sizeof(binary));
    const DWORD number = 0x41414141;
    registry_.SetDword(HKEY_CURRENT_USER, kRunKey, "TnkRunDword", number);
    registry_.SetTextUtf8(HKEY_CURRENT_USER, kRunKey, "TnkRunForeign", "C:\\Ünï😀\\ภาษา.exe");

    CStartUp startup;
    int seen = 0;
    std::string cutName;
    for (int i = 0; i < startup.GetCount(); ++i) {
        const StartupEntry* e = startup.GetEntry(i);
        for (const char* field : {e->entryName, e->title, e->commandText, e->filePath})
            EXPECT_LT(strnlen(field, kStartupFieldSize), kStartupFieldSize);
        if (!StartsWith(e->entryName, "TnkRun")) continue;
        ++seen;
        if (StartsWith(e->entryName, "TnkRunLong") && std::strlen(e->entryName) == 511) cutName = e->entryName;
        if (std::string(e->entryName) == "TnkRunHugeData") {
            EXPECT_STREQ(e->commandText, NotFound("").c_str());
        }
    }
    EXPECT_EQ(seen, 6);
    // The shown name is cut; removal matches the whole name only, so a value that merely
    // shares the first bytes is never hit.
    ASSERT_EQ(cutName, longName.substr(0, 511));
    startup.Remove(cutName, kUser);
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, longName));
    startup.Remove(longName, kUser);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, longName));
}

}  // namespace
