// Code-page text helpers under the Korean code page 949.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

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

TEST(TextUtil, ListsSplitAtEverySeparatorAndDropEmptyPieces) {
    using List = std::vector<std::string>;
    EXPECT_EQ(SplitList("a.exe|b.exe"), (List{"a.exe", "b.exe"}));
    EXPECT_EQ(SplitList("|a||b|"), (List{"a", "b"}));
    EXPECT_EQ(SplitList(" | "), (List{" ", " "}));  // blanks are the caller's to trim
    EXPECT_EQ(SplitList(""), List{});
    EXPECT_EQ(SplitList("|||"), List{});
    // A double-byte character whose second byte is '|' (0x7C) does not occur in code page
    // 949, whose trail bytes start at 0x41 but skip 0x5B-0x60 and 0x7B-0x80.
    const std::string hangul = AnsiFromWide(L"네이트온");
    EXPECT_EQ(SplitList(hangul + "|x", '|'), (List{hangul, "x"}));
}

TEST(TextUtil, MessagesTakeTheirValueAsTextNeverAsAFormat) {
    EXPECT_EQ(FillMessage(L"[%s] 실행중", "a.exe"), L"[a.exe] 실행중");
    EXPECT_EQ(FillMessage(L"[%s] %s", "%s%n%d"), L"[%s%n%d] %s");
    EXPECT_EQ(FillMessage(L"no slot", "x"), L"no slot");
    EXPECT_EQ(FillMessage(L"키 [%s]", AnsiFromWide(L"툴바")), L"키 [툴바]");
}

}  // namespace
