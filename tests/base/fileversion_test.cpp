// Version strings and the file-version text, on fixture libraries made by the build.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/FileVersionInfo.h"
#include "base/TextUtil.h"

using namespace tarnock;

namespace {

std::string Fixture(const char* name) { return ModuleFolder() + "fixtures\\" + name + ".dll"; }

TEST(FileVersionInfo, ReadsStringsOfTheFirstTranslation) {
    CFileVersionInfo info;
    ASSERT_TRUE(info.Open(Fixture("one_translation").c_str()));
    char buffer[512];
    ASSERT_TRUE(info.GetString("CompanyName", buffer, sizeof(buffer)));
    EXPECT_STREQ(buffer, "Olmatic Software");
    ASSERT_TRUE(info.GetStringByIndex(2, buffer, sizeof(buffer)));
    EXPECT_STREQ(buffer, "one_translation fixture");
    EXPECT_FALSE(info.GetStringByIndex(0, buffer, sizeof(buffer)));  // no Comments
    EXPECT_STREQ(buffer, "");

    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_FALSE(info.GetStringByIndex(13, buffer, sizeof(buffer)));
    EXPECT_EQ(buffer[0], 'x');  // untouched
    EXPECT_FALSE(info.GetString("CompanyName", buffer, 0));
    EXPECT_FALSE(info.GetString(nullptr, buffer, sizeof(buffer)));
}

TEST(FileVersionInfo, StringsOnlyUnderASecondTranslationAreNotFound) {
    CFileVersionInfo info;
    ASSERT_TRUE(info.Open(Fixture("second_translation").c_str()));
    char buffer[512] = "previous";
    EXPECT_FALSE(info.GetString("CompanyName", buffer, sizeof(buffer)));
    EXPECT_STREQ(buffer, "");
}

TEST(FileVersionInfo, LongCompanyNameIsCutTo511Characters) {
    CFileVersionInfo info;
    ASSERT_TRUE(info.Open(Fixture("long_company").c_str()));
    char buffer[512];
    ASSERT_TRUE(info.GetStringByIndex(1, buffer, sizeof(buffer)));
    EXPECT_EQ(std::strlen(buffer), 511u);
    EXPECT_EQ(std::string(buffer), std::string(511, 'C'));
}

TEST(FileVersionInfo, FilesWithoutUsableVersionDataFail) {
    for (const std::string& path : {Fixture("no_version"), Fixture("does_not_exist"), std::string("")}) {
        CFileVersionInfo info;
        EXPECT_FALSE(info.Open(path.c_str())) << path;
        char buffer[64] = "previous";
        EXPECT_FALSE(info.GetStringByIndex(1, buffer, sizeof(buffer))) << path;
        EXPECT_STREQ(buffer, "previous");  // not valid: the buffer is not touched
    }
    CFileVersionInfo info;
    EXPECT_FALSE(info.Open(nullptr));
}

TEST(FileVersionInfo, SecondOpenReleasesTheFirstFile) {
    CFileVersionInfo info;
    ASSERT_TRUE(info.Open(Fixture("one_translation").c_str()));
    ASSERT_TRUE(info.Open(Fixture("long_company").c_str()));
    char buffer[512];
    ASSERT_TRUE(info.GetStringByIndex(1, buffer, sizeof(buffer)));
    EXPECT_EQ(std::strlen(buffer), 511u);
    EXPECT_EQ(info.FixedInfo().dwFileVersionMS, 0x00020001u);

    EXPECT_FALSE(info.Open(Fixture("no_version").c_str()));
    EXPECT_FALSE(info.IsValid());
    EXPECT_FALSE(info.GetStringByIndex(1, buffer, sizeof(buffer)));
}

TEST(FormatFileVersion, ShortAndLongForms) {
    struct Case {
        const char* fixture;
        const char* text;
    } cases[] = {
        {"one_translation", "1.4"},
        {"long_company", "2.1.0.5"},
        {"zero_version", ""},
        {"no_version", ""},
        {"does_not_exist", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatFileVersion(Fixture(c.fixture).c_str()), c.text) << c.fixture;
    EXPECT_EQ(FormatFileVersion(nullptr), "");
}

}  // namespace
