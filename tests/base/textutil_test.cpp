// Code-page text helpers under the Korean code page 949.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/TextUtil.h"

using namespace tarnock;

namespace {

TEST(TextUtil, RunsUnderTheKoreanCodePage) { EXPECT_EQ(GetACP(), 949u); }

TEST(TextUtil, LowerCaseLeavesDoubleByteCharactersAlone) {
    // The second byte of many Hangul syllables lies in 'A'..'Z'.
    const std::string hangul = AnsiFromWide(L"툴바 ToolBar 각");
    const std::string lower = ToLowerAnsi(hangul);
    EXPECT_EQ(WideFromAnsi(lower), L"툴바 toolbar 각");
}

TEST(TextUtil, BoundedCopyNeverSplitsACharacter) {
    const std::string text = "ab" + AnsiFromWide(L"가나");  // 2 + 4 bytes
    char buffer[6];
    CopyBounded(buffer, sizeof(buffer), text);  // room for 5: "ab" + one syllable
    EXPECT_EQ(WideFromAnsi(buffer), L"ab가");
    char tiny[1] = {'x'};
    CopyBounded(tiny, sizeof(tiny), text);
    EXPECT_EQ(tiny[0], '\0');
    CopyBounded(nullptr, 10, text);  // no crash
    EXPECT_EQ(TruncateText(text, 3), "ab");
    EXPECT_EQ(TruncateText(text, 100), text);
}

TEST(TextUtil, TrimSplitAndReplace) {
    EXPECT_EQ(TrimWhitespace(" \t x y \r\n"), "x y");
    EXPECT_EQ(TrimWhitespace("   "), "");

    const PathParts parts = SplitPath("C:\\Program Files\\App\\uninst.exe -S");
    EXPECT_EQ(parts.drive, "C:");
    EXPECT_EQ(parts.directory, "\\Program Files\\App\\");
    EXPECT_EQ(parts.name, "uninst");
    EXPECT_EQ(parts.extension, ".exe -S");
    // Like the C runtime's split, a forward slash separates too.
    const PathParts slash = SplitPath("C:\\App\\uninst.exe /S");
    EXPECT_EQ(slash.directory, "\\App\\uninst.exe /");
    EXPECT_EQ(slash.name, "S");
    const PathParts bare = SplitPath("tool");
    EXPECT_EQ(bare.drive + bare.directory + bare.extension, "");
    EXPECT_EQ(bare.name, "tool");

    EXPECT_EQ(ReplaceAll("a\"\"b\"", "\"", ""), "ab");
    EXPECT_EQ(ReplaceAll("c:\\\\x\\\\\\\\y", "\\\\", "\\"), "c:\\x\\\\y");
    EXPECT_EQ(RemoveChar("\"q\"", '"'), "q");
    EXPECT_EQ(FormatText("%s|%d", "x", 5), "x|5");
    EXPECT_EQ(FormatText("%s", std::string(3000, 'z').c_str()).size(), 3000u);
}

TEST(TextUtil, UrlEncodeKeepsOnlyLettersAndDigits) {
    EXPECT_EQ(UrlEncode("abc d-e"), "abc+d%2De");
    EXPECT_EQ(UrlEncode("a\tb\r\nc\v\f"), "a+b++c++");
    EXPECT_EQ(UrlEncode("&#%+\"'/?="), "%26%23%25%2B%22%27%2F%3F%3D");
    // "알" in code page 949 is B1 CB: both bytes encoded, the lead byte never taken as signed.
    EXPECT_EQ(UrlEncode("\xBE\xCB Z9"), "%BE%CB+Z9");
    EXPECT_EQ(UrlEncode(std::string_view("\0\xFF", 2)), "%00%FF");
    EXPECT_EQ(UrlEncode(""), "");
}

}  // namespace
