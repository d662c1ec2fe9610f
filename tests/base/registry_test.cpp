// Registry access and the settings store, against Wine's real registry.
#include <gtest/gtest.h>

#include <string>

#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/Settings.h"

using namespace tarnock;

namespace {

constexpr char kBase[] = "Software\\TarnockTests\\Registry";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kBase);
        RegDeleteTreeA(HKEY_CURRENT_USER, settings::kKeyPath);
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kBase, key_.Put()), ERROR_SUCCESS);
    }
    void TearDown() override {
        key_.Reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, kBase);
        RegDeleteTreeA(HKEY_CURRENT_USER, settings::kKeyPath);
    }
    void SetValue(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExA(key_.Get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    void SetText(const char* name, const std::string& text) {
        SetValue(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    static bool KeyExists(const std::string& path) {
        ScopedKey k;
        return RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), k.Put()) == ERROR_SUCCESS;
    }
    CRegistryManager Manager(const std::string& sub = "", const std::string& value = "") {
        return CRegistryManager(HKEY_CURRENT_USER, std::string(kBase) + sub, value);
    }
    ScopedKey key_;
};

TEST_F(RegistryTest, ReadStringSucceedsAndReportsOpenAndReadFailures) {
    SetText("Name", "hello");
    SetText("", "default text");

    CRegistryManager ok = Manager("", "Name");
    EXPECT_EQ(ok.ReadString(), kRegSuccess);
    EXPECT_EQ(ok.textValue, "hello");

    CRegistryManager byDefault = Manager();
    EXPECT_EQ(byDefault.ReadString(), kRegSuccess);
    EXPECT_EQ(byDefault.textValue, "default text");

    CRegistryManager missingValue = Manager("", "Nope");
    missingValue.textValue = "previous";
    EXPECT_EQ(missingValue.ReadString(), kRegReadFailed);
    EXPECT_EQ(missingValue.textValue, "previous");

    CRegistryManager missingKey = Manager("\\Missing", "Name");
    EXPECT_EQ(missingKey.ReadString(), kRegOpenFailed);
    EXPECT_EQ(missingKey.textValue, "");
}

TEST_F(RegistryTest, ReadStringOfOddValues) {
    const std::string exact(1023, 'x');  // 1023 characters and the terminator fill 1024 bytes
    SetText("Fits", exact);
    const std::string longer(1500, 'y');
    SetText("TooLong", longer);
    const std::string unterminated(1024, 'z');
    SetValue("NoTerminator", REG_BINARY, unterminated.data(), 1024);
    const DWORD one = 1;
    SetValue("Dword", REG_DWORD, &one, sizeof(one));
    const DWORD zero = 0;
    SetValue("DwordZero", REG_DWORD, &zero, sizeof(zero));
    const BYTE binary[] = {'a', 'b', 0, 'c'};
    SetValue("Binary", REG_BINARY, binary, sizeof(binary));

    struct Case {
        const char* name;
        int code;
        std::string text;
    } cases[] = {
        {"Fits", kRegSuccess, exact},
        {"TooLong", kRegReadFailed, ""},
        {"NoTerminator", kRegSuccess, unterminated},
        {"Dword", kRegSuccess, "\x01"},
        {"DwordZero", kRegSuccess, ""},
        {"Binary", kRegSuccess, "ab"},
    };
    for (const Case& c : cases) {
        CRegistryManager m = Manager("", c.name);
        EXPECT_EQ(m.ReadString(), c.code) << c.name;
        EXPECT_EQ(m.textValue, c.text) << c.name;
    }
}

TEST_F(RegistryTest, ReadDwordAndWriteDword) {
    const DWORD seven = 7;
    SetValue("Seven", REG_DWORD, &seven, sizeof(seven));
    const std::string big = "longer than four bytes";
    SetText("Big", big);

    CRegistryManager read = Manager("", "Seven");
    EXPECT_EQ(read.ReadDword(), kRegSuccess);
    EXPECT_EQ(read.dwordValue, 7u);

    CRegistryManager tooBig = Manager("", "Big");
    EXPECT_EQ(tooBig.ReadDword(), kRegReadFailed);
    EXPECT_EQ(tooBig.dwordValue, 0u);
    EXPECT_EQ(Manager("\\Missing", "Seven").ReadDword(), kRegOpenFailed);

    CRegistryManager write = Manager("\\New\\Deeper", "Value");
    write.dwordValue = 42;
    EXPECT_EQ(write.WriteDword(), kRegSuccess);
    CRegistryManager back = Manager("\\New\\Deeper", "Value");
    EXPECT_EQ(back.ReadDword(), kRegSuccess);
    EXPECT_EQ(back.dwordValue, 42u);

    CRegistryManager badRoot(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x12345678)), "X", "Y");
    EXPECT_EQ(badRoot.WriteDword(), kRegCreateFailed);
}

TEST_F(RegistryTest, DeleteValueCodes) {
    SetText("Gone", "x");
    EXPECT_EQ(Manager("", "Gone").DeleteValue(), kRegSuccess);
    EXPECT_EQ(Manager("", "Gone").ReadString(), kRegReadFailed);
    EXPECT_EQ(Manager("", "Gone").DeleteValue(), kRegDeleteFailed);
    EXPECT_EQ(Manager("\\Missing", "Gone").DeleteValue(), kRegOpenFailed);
}

TEST_F(RegistryTest, DeleteKeyTreeRemovesAllNineSubkeysAndTheKey) {
    const std::string tree = std::string(kBase) + "\\Tree";
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j) {
            ScopedKey k;
            const std::string path = tree + "\\Child" + std::to_string(i) + "\\Grand" + std::to_string(j);
            ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, path.c_str(), k.Put()), ERROR_SUCCESS);
            RegSetValueExA(k.Get(), "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
        }
    ScopedKey sibling;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (std::string(kBase) + "\\TreeSibling").c_str(), sibling.Put()),
              ERROR_SUCCESS);

    EXPECT_EQ(Manager("\\Tree").DeleteKeyTree(), kRegSuccess);
    EXPECT_FALSE(KeyExists(tree));
    EXPECT_TRUE(KeyExists(std::string(kBase) + "\\TreeSibling"));
    EXPECT_TRUE(KeyExists(kBase));

    // A path with a trailing separator names the same key.
    ScopedKey again;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (tree + "\\Child").c_str(), again.Put()), ERROR_SUCCESS);
    again.Reset();
    EXPECT_EQ(Manager("\\Tree\\").DeleteKeyTree(), kRegSuccess);
    EXPECT_FALSE(KeyExists(tree));

    EXPECT_EQ(Manager("\\DoesNotExist").DeleteKeyTree(), kRegSuccess);
}

TEST_F(RegistryTest, DeleteKeyTreeWithEmptyPathDeletesNothing) {
    for (const char* path : {"", "\\", "\\\\\\"}) {
        CRegistryManager m(HKEY_CURRENT_USER, path);
        EXPECT_EQ(m.DeleteKeyTree(), kRegSuccess) << path;
    }
    EXPECT_TRUE(KeyExists(kBase));
    EXPECT_TRUE(KeyExists("Software"));
}

TEST_F(RegistryTest, SettingsReadAsZeroUntilWrittenAndStartupReadIgnoresType) {
    EXPECT_EQ(settings::ReadAtStartup(settings::kAutoUpdate), 0);
    EXPECT_EQ(settings::ReadAtStartup(settings::kDisplayStyle), 0);
    EXPECT_EQ(settings::Read(settings::kRank), 0);

    EXPECT_EQ(settings::Write(settings::kDisplayStyle, 3), kRegSuccess);  // creates the key
    EXPECT_EQ(settings::ReadAtStartup(settings::kDisplayStyle), 3);
    EXPECT_EQ(settings::Write(settings::kRank, 5), kRegSuccess);
    EXPECT_EQ(settings::Read(settings::kRank), 5);

    ScopedKey k;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, settings::kKeyPath, k.Put()), ERROR_SUCCESS);
    RegSetValueExA(k.Get(), settings::kAutoUpdate, 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    EXPECT_EQ(settings::ReadAtStartup(settings::kAutoUpdate), '1');  // 4 bytes, type ignored
    const char longText[] = "more than four";
    RegSetValueExA(k.Get(), settings::kAutoUpdate, 0, REG_SZ, reinterpret_cast<const BYTE*>(longText),
                   sizeof(longText));
    EXPECT_EQ(settings::ReadAtStartup(settings::kAutoUpdate), 0);
}

}  // namespace
