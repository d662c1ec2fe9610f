// Backups of registry keys and values before deletion: regedit's file format, and a real
// round trip (back up, delete, import with regedit /S, compare byte for byte).
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <algorithm>

#include <map>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "base/RegistryBackup.h"
#include "base/RegistryBackupFile.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "support/TestMachine.h"

using namespace tarnock;
using tarnock::testing::ReadBytes;
namespace rb = tarnock::registry_backup;

namespace {

const std::wstring kBase = L"Software\\TarnockTests\\Backup";
const std::string kBaseAnsi = "Software\\TarnockTests\\Backup";

// Every value of a key tree, by key path relative to the tree and value name.
struct Value {
    DWORD type;
    std::vector<BYTE> data;
    bool operator==(const Value&) const = default;
};
using Snapshot = std::map<std::wstring, std::map<std::wstring, Value>>;

void Capture(HKEY key, const std::wstring& path, Snapshot& out) {
    auto& values = out[path];
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLength = 512;
        std::vector<BYTE> data(70000);
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG result = RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size);
        if (result == ERROR_MORE_DATA) {
            data.resize(size);
            nameLength = 512;
            result = RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data.data(), &size);
        }
        if (result != ERROR_SUCCESS) break;
        data.resize(size);
        values[std::wstring(name, nameLength)] = Value{type, data};
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        ScopedKey sub;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, sub.Put()) == ERROR_SUCCESS)
            Capture(sub.Get(), path + L"\\" + std::wstring(name, length), out);
    }
}

// The keys and values in which two snapshots differ, for the failure message.
std::string Differences(const Snapshot& a, const Snapshot& b) {
    std::string text;
    for (const auto& [key, values] : a) {
        const auto other = b.find(key);
        if (other == b.end()) {
            text += " missing key [" + AnsiFromWide(key) + "]";
            continue;
        }
        for (const auto& [name, value] : values) {
            const auto found = other->second.find(name);
            if (found == other->second.end()) text += " missing [" + AnsiFromWide(key) + "] " + AnsiFromWide(name);
            else if (!(found->second == value))
                text += " changed [" + AnsiFromWide(key) + "] " + AnsiFromWide(name) + " type " +
                        std::to_string(found->second.type) + " size " + std::to_string(found->second.data.size());
        }
        if (other->second.size() != values.size()) text += " extra values in [" + AnsiFromWide(key) + "]";
    }
    if (a.size() != b.size()) text += " key count " + std::to_string(a.size()) + " vs " + std::to_string(b.size());
    return text;
}

Snapshot CaptureTree(HKEY root, const std::wstring& path, REGSAM view = 0) {
    Snapshot out;
    ScopedKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.Put()) == ERROR_SUCCESS) Capture(key.Get(), L"", out);
    return out;
}

// A folder of the test's own below the temporary folder, made when missing.
std::wstring MadeTempFolder(const wchar_t* name) {
    std::wstring folder = WideFromAnsi(tarnock::testing::TempFolder()) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    ScopedFind find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(find.Get(), &data));
    return names;
}

void EmptyFolder(const std::wstring& folder) {
    for (const std::wstring& name : FilesIn(folder)) DeleteFileW((folder + L"\\" + name).c_str());
}

// The text of a backup file after its byte order mark; empty when the mark is missing.
std::wstring ReadBackupText(const std::wstring& path) {
    const std::string bytes = ReadBytes(path);
    if (bytes.size() < 2 || bytes.size() % 2 != 0 || bytes[0] != '\xFF' || bytes[1] != '\xFE') return {};
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    memcpy(text.data(), bytes.data() + 2, bytes.size() - 2);
    return text;
}

std::wstring SidOfCurrentUser() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    ScopedHandle token(raw);
    std::vector<BYTE> buffer(512);
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size))
        return {};
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
    const std::wstring sid = text;
    LocalFree(text);
    return sid;
}

bool ImportWithRegedit(const std::wstring& file) {
    std::wstring command = L"regedit.exe /S \"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    ScopedHandle process(info.hProcess);
    ScopedHandle thread(info.hThread);
    if (WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0) return false;
    DWORD code = 1;
    GetExitCodeProcess(process.Get(), &code);
    return code == 0;
}

void SetValue(HKEY key, const std::wstring& name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
}
void SetText(HKEY key, const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) {
    SetValue(key, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kBase.c_str());
        folder_ = MadeTempFolder(L"tarnock-backup-test");
        EmptyFolder(folder_);
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kBase.c_str());
        EmptyFolder(folder_);
        RemoveDirectoryW(folder_.c_str());
    }
    ScopedKey Create(const std::wstring& sub, REGSAM view = 0, HKEY root = HKEY_CURRENT_USER) {
        ScopedKey key;
        EXPECT_EQ(RegCreateKeyExW(root, (kBase + sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr,
                                  key.Put(), nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    // The one backup file written since the last call, removed from the folder.
    std::wstring TakeSingleFile() {
        const std::vector<std::wstring> files = FilesIn(folder_);
        EXPECT_EQ(files.size(), 1u);
        if (files.size() != 1) return {};
        return folder_ + L"\\" + files[0];
    }
    std::wstring folder_;
};

TEST_F(BackupTest, KeyTreeIsWrittenAsRegeditWouldAndRestoresByteForByte) {
    const std::wstring tree = L"\\툴바 \"Q\" a";
    {
        ScopedKey key = Create(tree);
        SetText(key.Get(), L"", L"기본값");
        SetText(key.Get(), L"경로 \"따옴표\" \\역슬래시\\", L"C:\\프로그램 \"x\"\\");
        SetText(key.Get(), L"Empty", L"");
        SetText(key.Get(), L"Expand", L"%ProgramFiles%\\툴바", REG_EXPAND_SZ);
        const wchar_t multi[] = L"하나\0two\0";
        SetValue(key.Get(), L"Multi", REG_MULTI_SZ, multi, sizeof(multi));
        const DWORD dword = 0xDEADBEEF;
        SetValue(key.Get(), L"Dword", REG_DWORD, &dword, sizeof(dword));
        const ULONGLONG qword = 0x0102030405060708ULL;
        SetValue(key.Get(), L"Qword", REG_QWORD, &qword, sizeof(qword));
        std::vector<BYTE> binary(200);
        for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<BYTE>(i * 7);
        SetValue(key.Get(), L"Binary", REG_BINARY, binary.data(), static_cast<DWORD>(binary.size()));
        SetValue(key.Get(), L"EmptyBinary", REG_BINARY, nullptr, 0);
        SetValue(key.Get(), L"None", REG_NONE, "\x01\x02", 2);
        const DWORD bigEndian = 0x11223344;
        SetValue(key.Get(), L"BigEndian", REG_DWORD_BIG_ENDIAN, &bigEndian, sizeof(bigEndian));
        SetValue(key.Get(), L"Custom", 0x100000, "\xAA", 1);
        SetValue(key.Get(), L"ShortDword", REG_DWORD, "\x01\x02\x03", 3);
        // Texts that the quoted form would change: no terminator, a line break, a zero inside.
        SetValue(key.Get(), L"Unterminated", REG_SZ, L"abcd", 6);
        SetText(key.Get(), L"Lines", L"one\r\ntwo");
        SetValue(key.Get(), L"InnerZero", REG_SZ, L"a\0b", 8);
        SetValue(key.Get(), L"OddText", REG_SZ, "abc", 3);
        SetValue(key.Get(), L"ZeroText", REG_SZ, nullptr, 0);
    }
    Create(tree + L"\\b\\c\\깊은 키");
    Create(tree + L"\\b\\빈 키");
    {
        ScopedKey deep = Create(tree + L"\\b\\c");
        SetText(deep.Get(), L"이름", L"값");
    }

    const std::wstring top = kBase + L"\\툴바 \"Q\" a";
    const Snapshot before = CaptureTree(HKEY_CURRENT_USER, top);
    ASSERT_EQ(before.size(), 5u);  // the key, b, b\c, b\c\깊은 키, b\빈 키

    ASSERT_TRUE(rb::BackupKeyInto(folder_, RegistryPlace{HKEY_CURRENT_USER, 0}, AnsiFromWide(top) + "\\"));
    const std::wstring file = TakeSingleFile();
    const std::wstring text = ReadBackupText(file);
    ASSERT_FALSE(text.empty()) << "UTF-16LE with byte order mark";

    // CRLF lines only, the header first, full root names, escaped texts, regedit's forms.
    for (std::size_t at = text.find(L'\n'); at != std::wstring::npos; at = text.find(L'\n', at + 1))
        ASSERT_TRUE(at > 0 && text[at - 1] == L'\r') << "bare line feed at " << at;
    EXPECT_EQ(text.rfind(L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" + top + L"]\r\n", 0),
              0u);
    const std::wstring expectedLines[] = {
        L"\r\n@=\"기본값\"\r\n",
        L"\r\n\"경로 \\\"따옴표\\\" \\\\역슬래시\\\\\"=\"C:\\\\프로그램 \\\"x\\\"\\\\\"\r\n",
        L"\r\n\"Empty\"=\"\"\r\n",
        L"\r\n\"Dword\"=dword:deadbeef\r\n",
        L"\r\n\"Qword\"=hex(b):08,07,06,05,04,03,02,01\r\n",
        L"\r\n\"Multi\"=hex(7):58,d5,98,b0,00,00,74,00,77,00,6f,00,00,00,00,00\r\n",
        L"\r\n\"EmptyBinary\"=hex:\r\n",
        L"\r\n\"None\"=hex(0):01,02\r\n",
        L"\r\n\"BigEndian\"=hex(5):44,33,22,11\r\n",
        L"\r\n\"Custom\"=hex(100000):aa\r\n",
        L"\r\n\"ShortDword\"=hex(4):01,02,03\r\n",
        L"\r\n\"OddText\"=hex(1):61,62,63\r\n",
        L"\r\n\"InnerZero\"=hex(1):61,00,00,00,62,00,00,00\r\n",
        L"\r\n\"Lines\"=hex(1):6f,00,6e,00,65,00,0d,00,0a,00,74,00,77,00,6f,00,00,00\r\n",
        L"\r\n\"ZeroText\"=hex(1):\r\n",
        L"\r\n\"Unterminated\"=hex(1):61,00,62,00,63,00\r\n",
        L"\r\n\"Binary\"=hex:00,07,0e,15,1c,23,2a,31,38,3f,46,4d,54,5b,62,69,70,77,7e,85,8c,93,\\\r\n  9a,",
        L"\r\n[HKEY_CURRENT_USER\\" + top + L"\\b]\r\n\r\n[HKEY_CURRENT_USER\\" + top + L"\\b\\c]\r\n\"이름\"=\"값\"\r\n",
        L"\r\n[HKEY_CURRENT_USER\\" + top + L"\\b\\c\\깊은 키]\r\n\r\n",
        L"\r\n[HKEY_CURRENT_USER\\" + top + L"\\b\\빈 키]\r\n\r\n",
    };
    for (const std::wstring& line : expectedLines) EXPECT_NE(text.find(line), std::wstring::npos) << AnsiFromWide(line);
    // Long hex lines are cut like regedit's: at most 80 characters, ",\" at the end.
    for (std::size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        const std::wstring_view line(text.data() + start, end - start);
        if (line.find(L"hex") != std::wstring_view::npos || line.rfind(L"  ", 0) == 0) {
            EXPECT_LE(line.size(), 80u) << AnsiFromWide(std::wstring(line));
        }
    }

    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, top.c_str()), ERROR_SUCCESS);
    ASSERT_TRUE(CaptureTree(HKEY_CURRENT_USER, top).empty());
    ASSERT_TRUE(ImportWithRegedit(file));
    // The file holds an unterminated text's exact bytes, but writing it back through the
    // registry appends the missing terminator (Windows does the same; for an odd size the
    // byte after the data decides): compare the even one with its terminator, not the odd one.
    Snapshot expected = before;
    std::vector<BYTE>& unterminated = expected[L""][L"Unterminated"].data;
    unterminated.insert(unterminated.end(), {0, 0});
    expected[L""].erase(L"OddText");
    Snapshot restored = CaptureTree(HKEY_CURRENT_USER, top);
    restored[L""].erase(L"OddText");
    EXPECT_EQ(Differences(expected, restored), "");
}

TEST_F(BackupTest, SingleValueIsWrittenAloneAndRestores) {
    {
        ScopedKey key = Create(L"\\Run");
        SetText(key.Get(), L"툴바 도우미", L"\"C:\\Program Files\\툴바\\helper.exe\" /run");
        SetText(key.Get(), L"Other", L"stays");
    }
    const std::string path = kBaseAnsi + "\\Run";
    const RegistryPlace hkcu{HKEY_CURRENT_USER, 0};
    ASSERT_TRUE(rb::BackupValueInto(folder_, hkcu, path, AnsiFromWide(L"툴바 도우미")));
    const std::wstring file = TakeSingleFile();
    EXPECT_EQ(ReadBackupText(file), L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" + kBase +
                                        L"\\Run]\r\n\"툴바 도우미\"=\"\\\"C:\\\\Program Files\\\\툴바\\\\helper.exe\\\" "
                                        L"/run\"\r\n\r\n");
    const Snapshot before = CaptureTree(HKEY_CURRENT_USER, kBase + L"\\Run");
    {
        ScopedKey key = Create(L"\\Run");
        ASSERT_EQ(RegDeleteValueW(key.Get(), L"툴바 도우미"), ERROR_SUCCESS);
    }
    ASSERT_TRUE(ImportWithRegedit(file));
    EXPECT_EQ(Differences(before, CaptureTree(HKEY_CURRENT_USER, kBase + L"\\Run")), "");

    // The default value is "@".
    DeleteFileW(file.c_str());
    {
        ScopedKey key = Create(L"\\Run");
        SetText(key.Get(), L"", L"기본");
    }
    ASSERT_TRUE(rb::BackupValueInto(folder_, hkcu, path, ""));
    EXPECT_NE(ReadBackupText(TakeSingleFile()).find(L"]\r\n@=\"기본\"\r\n"), std::wstring::npos);
}

TEST_F(BackupTest, ThirtyTwoBitViewKeyIsNamedBelowWow6432NodeAndRestoresIntoThatView) {
    const std::wstring path = L"Software\\TarnockTests\\Wow32 키";
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_32KEY, 0);
    {
        ScopedKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                                  nullptr, key.Put(), nullptr),
                  ERROR_SUCCESS);
        SetText(key.Get(), L"UninstallString", L"C:\\x86\\uninst.exe");
    }
    ScopedKey in64;
    ASSERT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, in64.Put()),
              ERROR_SUCCESS);
    const RegistryPlace hklm32{HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY};
    std::wstring name;
    ASSERT_TRUE(rb::RegeditKeyName(hklm32, AnsiFromWide(path), name));
    EXPECT_EQ(ToLowerAnsi(AnsiFromWide(name)),
              ToLowerAnsi(AnsiFromWide(L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\TarnockTests\\Wow32 키")));
    // The program's own view and the 64-bit view name the key as it is.
    std::wstring own;
    ASSERT_TRUE(rb::RegeditKeyName(RegistryPlace{HKEY_CURRENT_USER, KEY_WOW64_64KEY}, "Software", own));
    EXPECT_EQ(ToLowerAnsi(AnsiFromWide(own)), "hkey_current_user\\software");

    const Snapshot before = CaptureTree(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY);
    ASSERT_TRUE(rb::BackupKeyInto(folder_, hklm32, AnsiFromWide(path)));
    const std::wstring file = TakeSingleFile();
    ASSERT_EQ(RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_32KEY, 0), ERROR_SUCCESS);
    ASSERT_TRUE(ImportWithRegedit(file));
    EXPECT_EQ(Differences(before, CaptureTree(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY)), "");
    EXPECT_TRUE(CaptureTree(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY).empty()) << "restored into the wrong view";
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), KEY_WOW64_32KEY, 0);
}

TEST_F(BackupTest, NothingToSaveIsSuccessWithoutAFile) {
    Create(L"\\Present");
    const RegistryPlace hkcu{HKEY_CURRENT_USER, 0};
    EXPECT_TRUE(rb::BackupKeyInto(folder_, hkcu, kBaseAnsi + "\\Missing\\"));
    EXPECT_TRUE(rb::BackupValueInto(folder_, hkcu, kBaseAnsi + "\\Missing", "Value"));
    EXPECT_TRUE(rb::BackupValueInto(folder_, hkcu, kBaseAnsi + "\\Present", "NoSuchValue"));
    EXPECT_TRUE(FilesIn(folder_).empty());
    // The public functions behave the same without touching their folder.
    EXPECT_TRUE(BackupRegistryKey(hkcu, kBaseAnsi + "\\Missing"));
}

TEST_F(BackupTest, FailuresAreReportedAndLeaveNoFile) {
    {
        ScopedKey key = Create(L"\\Present");
        SetText(key.Get(), L"Name", L"value");
    }
    const RegistryPlace hkcu{HKEY_CURRENT_USER, 0};
    const std::string present = kBaseAnsi + "\\Present";
    // An unwritable folder: one that does not exist, and a file in a folder's place.
    const std::wstring missingFolder = folder_ + L"\\does-not-exist";
    EXPECT_FALSE(rb::BackupKeyInto(missingFolder, hkcu, present));
    EXPECT_FALSE(rb::BackupValueInto(missingFolder, hkcu, present, "Name"));
    const std::wstring fileAsFolder = folder_ + L"\\plain-file";
    {
        ScopedHandle f(CreateFileW(fileAsFolder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(f);
    }
    EXPECT_FALSE(rb::BackupKeyInto(fileAsFolder, hkcu, present));
    EXPECT_FALSE(rb::BackupKeyInto(L"", hkcu, present));
    // A path that names no key below the root is never saved (nor deleted).
    EXPECT_FALSE(rb::BackupKeyInto(folder_, hkcu, ""));
    EXPECT_FALSE(rb::BackupKeyInto(folder_, hkcu, "\\\\"));
    EXPECT_EQ(FilesIn(folder_), std::vector<std::wstring>{L"plain-file"});
}

TEST_F(BackupTest, AnOversizedTreeFailsClosedAndALargeOneIsStreamedWhole) {
    {
        ScopedKey key = Create(L"\\Large\\Sub");
        const std::vector<BYTE> big(1 << 20, 0x5A);  // 1 MB: some 6 MB of regedit text
        SetValue(key.Get(), L"Blob", REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
    }
    const RegistryPlace hkcu{HKEY_CURRENT_USER, 0};
    const std::string large = kBaseAnsi + "\\Large";
    // Past the limit while streaming, and a value larger than the limit itself: no file,
    // no temporary file left behind.
    EXPECT_FALSE(rb::BackupKeyInto(folder_, hkcu, large, 2 << 20));
    EXPECT_FALSE(rb::BackupValueInto(folder_, hkcu, large + "\\Sub", "Blob", 2 << 20));
    EXPECT_FALSE(rb::BackupKeyInto(folder_, hkcu, large, 64 * 1024));
    EXPECT_TRUE(FilesIn(folder_).empty());

    ASSERT_TRUE(rb::BackupKeyInto(folder_, hkcu, large));
    const std::wstring file = TakeSingleFile();
    const Snapshot before = CaptureTree(HKEY_CURRENT_USER, kBase + L"\\Large");
    RegDeleteTreeW(HKEY_CURRENT_USER, (kBase + L"\\Large").c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, (kBase + L"\\Large").c_str());
    ASSERT_TRUE(ImportWithRegedit(file));
    const Snapshot after = CaptureTree(HKEY_CURRENT_USER, kBase + L"\\Large");
    EXPECT_TRUE(before == after) << Differences(before, after);
}

TEST_F(BackupTest, ARegistryLinkIsNeitherFollowedNorSaved) {
    {
        ScopedKey target = Create(L"\\LinkTarget");
        SetText(target.Get(), L"Secret", L"not the product's");
    }
    ScopedKey link;
    const std::wstring linkPath = kBase + L"\\Linked";
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, linkPath.c_str(), 0, nullptr,
                              REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE, KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr,
                              link.Put(), nullptr),
              ERROR_SUCCESS);
    const std::wstring target = L"\\Registry\\User\\" + SidOfCurrentUser() + L"\\" + kBase + L"\\LinkTarget";
    ASSERT_EQ(RegSetValueExW(link.Get(), L"SymbolicLinkValue", 0, REG_LINK,
                             reinterpret_cast<const BYTE*>(target.c_str()),
                             static_cast<DWORD>(target.size() * sizeof(wchar_t))),
              ERROR_SUCCESS);
    link.Reset();
    const RegistryPlace hkcu{HKEY_CURRENT_USER, 0};
    // The link resolves: an ordinary open reaches the target.
    ASSERT_EQ(CaptureTree(HKEY_CURRENT_USER, linkPath).size(), 1u);
    EXPECT_FALSE(rb::BackupKeyInto(folder_, hkcu, AnsiFromWide(linkPath)));
    EXPECT_FALSE(rb::BackupValueInto(folder_, hkcu, AnsiFromWide(linkPath), "Secret"));
    CHeldRegistryKey held;
    EXPECT_EQ(held.Open(hkcu, AnsiFromWide(linkPath), true), HeldKeyOpen::Link);
    // Below a link on the way, the key opened is not the one named.
    ScopedKey inner = Create(L"\\LinkTarget\\Inner");
    EXPECT_EQ(held.Open(hkcu, AnsiFromWide(linkPath) + "\\Inner", true), HeldKeyOpen::Moved);
    EXPECT_EQ(held.Open(hkcu, AnsiFromWide(kBase) + "\\LinkTarget\\Inner", true), HeldKeyOpen::Opened);
    EXPECT_TRUE(FilesIn(folder_).empty());
}

TEST_F(BackupTest, AFileIsCopiedWithANoteOfItsPlaceBeforeItIsDeletedAndCanBePutBack) {
    const std::wstring source = MadeTempFolder(L"tarnock-backup-source");
    const std::wstring original = source + L"\\시작 TnkStarter.lnk";
    const std::string content = std::string("L\0\0\0shortcut bytes\x01\xFF", 21);
    auto write = [&](const std::wstring& path) {
        ScopedHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD done = 0;
        return f && WriteFile(f.Get(), content.data(), static_cast<DWORD>(content.size()), &done, nullptr);
    };
    ASSERT_TRUE(write(original));
    const std::string path = AnsiFromWide(original);

    // Fail closed: no folder to copy into, a file over the limit, a file open for writing.
    EXPECT_FALSE(rb::DeleteFileWithBackupInto(folder_ + L"\\does-not-exist", path));
    EXPECT_FALSE(rb::DeleteFileWithBackupInto(folder_, path, 8));
    {
        ScopedHandle busy(CreateFileW(original.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
        EXPECT_FALSE(rb::DeleteFileWithBackupInto(folder_, path));
    }
    EXPECT_EQ(ReadBytes(original), content);
    EXPECT_TRUE(FilesIn(folder_).empty());

    ASSERT_TRUE(rb::DeleteFileWithBackupInto(folder_, path));
    EXPECT_EQ(GetFileAttributesW(original.c_str()), INVALID_FILE_ATTRIBUTES);
    std::vector<std::wstring> files = FilesIn(folder_);
    ASSERT_EQ(files.size(), 2u);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files[0].rfind(L"Tarnock-", 0), 0u);
    EXPECT_TRUE(files[0].ends_with(L"-시작 TnkStarter.lnk")) << AnsiFromWide(files[0]);
    EXPECT_EQ(files[1], files[0] + L".txt");
    EXPECT_NE(ReadBackupText(folder_ + L"\\" + files[1]).find(original), std::wstring::npos);
    // Putting it back is a copy to the noted place.
    ASSERT_TRUE(CopyFileW((folder_ + L"\\" + files[0]).c_str(), original.c_str(), TRUE));
    EXPECT_EQ(ReadBytes(original), content);
    DeleteFileW(original.c_str());
    RemoveDirectoryW(source.c_str());
}

TEST_F(BackupTest, FileNamesAreUniqueAcrossThreadsInOneMillisecond) {
    {
        ScopedKey key = Create(L"\\Many");
        SetText(key.Get(), L"Name", L"value");
    }
    constexpr int kThreads = 4;
    constexpr int kEach = 10;
    std::vector<std::thread> threads;
    std::vector<int> failures(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t, &failures] {
            for (int i = 0; i < kEach; ++i)
                if (!rb::BackupKeyInto(folder_, RegistryPlace{HKEY_CURRENT_USER, 0}, kBaseAnsi + "\\Many"))
                    ++failures[static_cast<std::size_t>(t)];
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
    const std::vector<std::wstring> files = FilesIn(folder_);
    ASSERT_EQ(files.size(), static_cast<std::size_t>(kThreads * kEach));
    for (const std::wstring& name : files) {
        // Tarnock-YYYYMMDD-HHMMSS-mmm-N.reg
        EXPECT_EQ(name.rfind(L"Tarnock-", 0), 0u);
        EXPECT_EQ(name.substr(name.size() - 4), L".reg");
        EXPECT_EQ(name[16], L'-');
        EXPECT_EQ(name[23], L'-');
        EXPECT_EQ(name[27], L'-');
    }
}

TEST_F(BackupTest, BackupFolderIsBelowLocalApplicationDataAndReceivesTheBackups) {
    const std::wstring folder = RegistryBackupFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.substr(folder.size() - 15), L"\\Tarnock\\Backup");
    wchar_t local[MAX_PATH];
    ASSERT_EQ(GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH) > 0, true);
    EXPECT_EQ(ToLowerAnsi(AnsiFromWide(folder)), ToLowerAnsi(AnsiFromWide(std::wstring(local) + L"\\Tarnock\\Backup")));
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);

    {
        ScopedKey key = Create(L"\\Shipped");
        SetText(key.Get(), L"Name", L"value");
    }
    const std::size_t before = FilesIn(folder).size();
    EXPECT_TRUE(BackupRegistryKey(RegistryPlace{HKEY_CURRENT_USER, 0}, kBaseAnsi + "\\Shipped"));
    EXPECT_TRUE(BackupRegistryValue(RegistryPlace{HKEY_CURRENT_USER, 0}, kBaseAnsi + "\\Shipped", "Name"));
    EXPECT_EQ(FilesIn(folder).size(), before + 2);
}

}  // namespace
