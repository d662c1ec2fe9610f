// The uninstaller start, the wait for the entry to go, the registry clean-up and the removal
// command, on real uninstallers built by the tests and a fake window host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "removal/RemovalCommand.h"
#include "removal/RemovalEngine.h"
#include "removal/RemovalMessages.h"
#include "scan/KelvoEngine.h"
#include "support/ScanFixture.h"
#include "support/UiDriver.h"
#include "support/TestMachine.h"

namespace tarnock {
namespace {

using testing::Quoted;
using testing::ReadAll;
using testing::RegistryFixture;
using testing::TempFolder;
using testing::ValueExists;
using testing::WaitUntil;
using testing::WindowsPath;

std::string Fixtures() { return WindowsPath(TARNOCK_REMOVAL_FIXTURES); }
std::string Uninstaller() { return Fixtures() + "\\uninstaller.exe"; }

// Records what the removal asked and showed; answers from a script (No when it runs out).
class FakeHost : public IRemovalHost {
public:
    bool AskYesNo(const std::wstring& text) override {
        asked.push_back(text);
        if (answers.empty()) return false;
        const bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void Tell(const std::wstring& text) override { told.push_back(text); }
    void DeleteRow(const RemovalRow& row) override { deletedRows.push_back(row.row); }
    void Rescan(int category) override { rescans.push_back(category); }
    void AddChangeWaitEvent(HANDLE event) override {
        events.push_back(event);
        ++registered;
    }
    void RemoveChangeWaitEvent(HANDLE event) override { std::erase(events, event); }
    bool IsShuttingDown() const override { return shuttingDown; }

    std::vector<bool> answers;
    std::vector<std::wstring> asked;
    std::vector<std::wstring> told;
    std::vector<int> deletedRows;
    std::vector<int> rescans;
    std::vector<HANDLE> events;
    int registered = 0;
    bool shuttingDown = false;
};

class TestEngine : public CRemovalEngine {
public:
    using CRemovalEngine::CRemovalEngine;
    void FailBackups() {
        backupKey_ = [](const CHeldRegistryKey&) { return false; };
        backupValue_ = [](const CHeldRegistryKey&, const std::string&) { return false; };
    }
};

// A registry link planted where a key is expected, pointing at `target` (a kernel name such
// as "\Registry\Machine\Software\X"); removed again without touching its target.
class PlantedLink {
public:
    PlantedLink(HKEY root, const std::wstring& path, const std::wstring& target) : root_(root), path_(path) {
        // The keys on the way are made first and kept: a volatile key's missing parents
        // would be made volatile too, and no ordinary key could be made below them later.
        ScopedKey parent;
        RegCreateKeyExW(root, path.substr(0, path.rfind(L'\\')).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        parent.Put(), nullptr);
        ScopedKey link;
        created_ = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                                   KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr, link.Put(), nullptr) == ERROR_SUCCESS &&
                   RegSetValueExW(link.Get(), L"SymbolicLinkValue", 0, REG_LINK,
                                  reinterpret_cast<const BYTE*>(target.c_str()),
                                  static_cast<DWORD>(target.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~PlantedLink() {
        using NtDeleteKey = LONG(NTAPI*)(HANDLE);
        const auto remove =
            reinterpret_cast<NtDeleteKey>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey"));
        ScopedKey link;
        if (RegOpenKeyExW(root_, path_.c_str(), REG_OPTION_OPEN_LINK, DELETE, link.Put()) == ERROR_SUCCESS && remove)
            remove(link.Get());
    }
    PlantedLink(const PlantedLink&) = delete;
    PlantedLink& operator=(const PlantedLink&) = delete;
    bool Created() const { return created_; }

private:
    HKEY root_;
    std::wstring path_;
    bool created_ = false;
};

// "S-1-5-21-..." of the user running the tests: HKEY_USERS\<it> is HKEY_CURRENT_USER.
std::string CurrentUserSid() {
    ScopedHandle token;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return {};
    token.Reset(raw);
    std::vector<BYTE> buffer(512);
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &size))
        return {};
    char* text = nullptr;
    if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
    const std::string sid = text;
    LocalFree(text);
    return sid;
}

const InstallerProductList kNoProducts;

std::string EntryPath(const std::string& key) { return std::string(kUninstallRoot) + key; }
bool Exists(HKEY root, const std::string& path) { return CRemovalEngine::KeyExists({root, 0}, path); }
class Removal : public ::testing::Test {
protected:
    // An uninstall entry whose command is the test uninstaller in `mode`.
    void Entry(HKEY root, const std::string& key, const std::string& mode, int delayMs = 0,
               const std::string& log = "") {
        registry.CreateKey(root, EntryPath(key));
        registry.SetText(root, EntryPath(key), "DisplayName", key);
        registry.SetText(root, EntryPath(key), "UninstallString",
                         Quoted(Uninstaller()) + " " + mode + " " + (root == HKEY_CURRENT_USER ? "HKCU" : "HKLM") +
                             " " + key + " " + std::to_string(delayMs) + (log.empty() ? "" : " " + Quoted(log)));
    }

    FakeHost host;
    RegistryFixture registry;
};

// ---------------------------------------------------------------------------------------
// Key names and registry paths

TEST_F(Removal, BlankOrSeparatedKeyNamesNeverReachTheUninstallRoot) {
    Entry(HKEY_LOCAL_MACHINE, "TnkBystander", "cancel");
    registry.SetText(HKEY_LOCAL_MACHINE, kUninstallRoot, "", "");  // the root itself has no command
    TestEngine engine(host, kNoProducts);
    for (const char* key : {"", " ", "\t ", "\\", "TnkBystander\\..", "..", "\\TnkBystander"}) {
        EXPECT_FALSE(CRemovalEngine::IsUsableEntryName(key)) << key;
        host.answers = {true, true};
        EXPECT_EQ(engine.RunUninstaller(key, {}).outcome, UninstallOutcome::Refused) << key;
        EXPECT_EQ(engine.DeleteUninstallEntry(key, {}), kRegRefused) << key;
        EXPECT_FALSE(engine.WaitForKeyChange(key, {}, 100)) << key;
    }
    EXPECT_TRUE(host.asked.empty());
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, EntryPath("TnkBystander")));
}

struct PathCase {
    const char* path;
    RegistryResult expected;
};

const std::vector<std::string> kOwnNames = {"TnkOwnEntry"};

TEST_F(Removal, RegistryPathsCutOnlyRootAndLeafAndDeleteOnlyWhatTheRuleAllows) {
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkLeaf\\Settings");
    registry.SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkLeaf\\Settings", "TnkLeaf", "x");
    registry.SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\Settings", "TnkLeaf", "decoy");
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkTree\\Sub\\Deeper");
    registry.CreateKey(HKEY_USERS, ".DEFAULT\\Software\\TnkVendor\\TnkUserApp\\Sub");
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkOwnEntry\\Sub");
    // What database rows must never reach, present on the machine.
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\TnkDriver");
    registry.SetDword(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\TnkDriver", "Start", 2);
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\TnkFile.Type\\shell");
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\{7E57AC70-0000-4000-8000-00000000DE01}");
    Entry(HKEY_LOCAL_MACHINE, "TnkOtherProduct", "cancel");
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendorRoot");
    TestEngine engine(host, kNoProducts);
    const PathCase cases[] = {
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\software\\microsoft\\windows\\currentversion\\run\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TnkOtherProduct\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TnkOtherProduct\\DisplayName",
         kRegRefused},
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TnkDriver\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TnkDriver\\Start", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\TnkFile.Type\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{7E57AC70-0000-4000-8000-00000000DE01}\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkVendorRoot\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\\\TnkVendor\\TnkTree\\", kRegRefused},
        {"HKEY_USERS\\.DEFAULT\\Software\\", kRegRefused},
        {"HKEY_CURRENT_USER\\Software\\TnkVendor\\TnkTree\\", kRegRefused},
        {"hkey_local_machine\\SOFTWARE\\TnkVendor\\TnkTree\\", kRegRefused},
        {"HKEY_LOCAL_MACHINE", kRegRefused},
        // The leaf's text also occurs in the key path: only the trailing leaf is cut.
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkVendor\\TnkLeaf\\Settings\\TnkLeaf", kRegSuccess},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkVendor\\TnkLeaf\\Settings\\TnkLeaf", kRegNothingToDelete},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkVendor\\TnkMissing\\Value", kRegOpenFailed},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkVendor\\TnkTree\\", kRegSuccess},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkVendor\\TnkTree\\", kRegNothingToDelete},
        {"HKEY_USERS\\.DEFAULT\\Software\\TnkVendor\\TnkUserApp\\", kRegSuccess},
        // One level below SOFTWARE only under the product's own name.
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkOwnEntry\\", kRegSuccess},
    };
    for (const PathCase& c : cases) EXPECT_EQ(engine.DeleteRegistryPath(c.path, kOwnNames), c.expected) << c.path;
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\Settings", "TnkLeaf")) << "another key's value";
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkTree"));
    EXPECT_FALSE(Exists(HKEY_USERS, ".DEFAULT\\Software\\TnkVendor\\TnkUserApp"));
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkOwnEntry"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\TnkDriver", "Start"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\TnkFile.Type\\shell"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\{7E57AC70-0000-4000-8000-00000000DE01}"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, EntryPath("TnkOtherProduct"), "DisplayName"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendorRoot"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
    RegistryFixture::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor");
    RegistryFixture::DeleteTree(HKEY_USERS, ".DEFAULT\\Software\\TnkVendor");
}

TEST_F(Removal, RegistryLinksPlantedByTheUserAreNeverFollowed) {
    // The victims: machine keys the user cannot write, and which no removal names.
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVictim\\Child");
    registry.SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVictim", "Keep", "x");
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVictimVendor\\TnkProduct\\Child");
    const std::wstring victim = L"\\Registry\\Machine\\Software\\TnkVictim";
    const std::string sid = CurrentUserSid();
    ASSERT_FALSE(sid.empty());
    const std::string userSoftware = "HKEY_USERS\\" + sid + "\\Software\\";

    // In place of an uninstall entry of the current user.
    const PlantedLink entry(HKEY_CURRENT_USER, WideFromAnsi(EntryPath("TnkLinkedEntry")), victim);
    // In place of a database path, of the vendor key on the way to one, and inside a product's tree.
    const PlantedLink product(HKEY_CURRENT_USER, L"Software\\TnkLinkVendor\\TnkProduct", victim);
    const PlantedLink vendor(HKEY_CURRENT_USER, L"Software\\TnkLinkedVendor",
                             L"\\Registry\\Machine\\Software\\TnkVictimVendor");
    registry.CreateKey(HKEY_CURRENT_USER, "Software\\TnkTreeVendor\\TnkProduct");
    registry.SetText(HKEY_CURRENT_USER, "Software\\TnkTreeVendor\\TnkProduct", "Own", "y");
    const PlantedLink inside(HKEY_CURRENT_USER, L"Software\\TnkTreeVendor\\TnkProduct\\Inner", victim);
    ASSERT_TRUE(entry.Created() && product.Created() && vendor.Created() && inside.Created());

    TestEngine engine(host, kNoProducts);
    EXPECT_EQ(engine.DeleteUninstallEntry("TnkLinkedEntry", {HKEY_CURRENT_USER, 0}), kRegRefused);
    const std::vector<std::string> own = {"TnkProduct"};
    const std::string paths[] = {
        userSoftware + "TnkLinkVendor\\TnkProduct\\",
        userSoftware + "TnkLinkVendor\\TnkProduct\\Keep",
        userSoftware + "TnkLinkedVendor\\TnkProduct\\",
        userSoftware + "TnkLinkedVendor\\TnkProduct\\Child\\",
        userSoftware + "TnkTreeVendor\\TnkProduct\\",
    };
    for (const std::string& path : paths) EXPECT_EQ(engine.DeleteRegistryPath(path, own), kRegRefused) << path;

    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVictim", "Keep"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVictim\\Child"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVictimVendor\\TnkProduct\\Child"));
    // A refused tree is left whole, not deleted up to the link.
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, "Software\\TnkTreeVendor\\TnkProduct", "Own"));

    // The same product key without the link goes, through the same user hive path.
    registry.CreateKey(HKEY_CURRENT_USER, "Software\\TnkPlainVendor\\TnkProduct\\Sub");
    EXPECT_EQ(engine.DeleteRegistryPath(userSoftware + "TnkPlainVendor\\TnkProduct\\", own), kRegSuccess);
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Software\\TnkPlainVendor\\TnkProduct"));
    RegistryFixture::DeleteTree(HKEY_CURRENT_USER, "Software\\TnkPlainVendor");
}

TEST_F(Removal, PathListsDeleteEachPieceOnceAndNothingWithoutABackup) {
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkListA");
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkListB");
    registry.SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkListB", "Value", "x");
    TestEngine failing(host, kNoProducts);
    failing.FailBackups();
    const std::string list =
        "|HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkVendor\\TnkListA\\||HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkVendor\\TnkListB\\Value|";
    failing.DeleteRegistryPaths(list, {});
    EXPECT_EQ(failing.DeleteRegistryPath("HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkVendor\\TnkListA\\", {}), kRegDeleteFailed);
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkListA"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkListB", "Value"));
    TestEngine engine(host, kNoProducts);
    engine.DeleteRegistryPaths(list, {});
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkListA"));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkListB", "Value"));
    RegistryFixture::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor");
}

// ---------------------------------------------------------------------------------------
// Uninstallers

struct UninstallCase {
    friend void PrintTo(const UninstallCase& c, std::ostream* out) { *out << c.name; }
    const char* name;
    HKEY root;
    const char* mode;
    int delayMs;
    DWORD waitLimitMs;
    bool gone;
};

class Uninstallers : public Removal, public ::testing::WithParamInterface<UninstallCase> {};

TEST_P(Uninstallers, TheWaitSucceedsOnlyWhenTheEntryIsGone) {
    const UninstallCase& c = GetParam();
    const std::string key = std::string("TnkUninstall") + c.name;
    Entry(c.root, key, c.mode, c.delayMs);
    TestEngine engine(host, kNoProducts);
    const UninstallResult result = engine.RunUninstaller(key, {});  // the default place: HKCU is found too
    // A per-user uninstaller is started by the desktop shell, as the user.
    ASSERT_EQ(result.outcome,
              c.root == HKEY_CURRENT_USER ? UninstallOutcome::StartedUntracked : UninstallOutcome::Started);
    EXPECT_TRUE(result.entryPlace.root == c.root);
    EXPECT_EQ(engine.WaitForKeyChange(key, result.entryPlace, c.waitLimitMs), c.gone);
    EXPECT_EQ(host.registered, 1);
    EXPECT_TRUE(host.events.empty()) << "the wait's event stays registered";
    EXPECT_TRUE(host.asked.empty());
    EXPECT_EQ(Exists(c.root, EntryPath(key)), !c.gone);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Uninstallers,
    ::testing::Values(UninstallCase{"AtOnce", HKEY_LOCAL_MACHINE, "now", 0, 10000, true},
                      UninstallCase{"Later", HKEY_LOCAL_MACHINE, "later", 2500, 10000, true},
                      UninstallCase{"User", HKEY_CURRENT_USER, "later", 1500, 10000, true},
                      // Its own writes to the entry must not end the wait.
                      UninstallCase{"Writes", HKEY_LOCAL_MACHINE, "touch", 3000, 2000, false},
                      UninstallCase{"WritesThenGoes", HKEY_LOCAL_MACHINE, "touch", 1500, 10000, true},
                      UninstallCase{"Cancelled", HKEY_LOCAL_MACHINE, "cancel", 0, 1500, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Removal, TheWaitEndsAtShutdownWithoutSuccess) {
    Entry(HKEY_LOCAL_MACHINE, "TnkShutdown", "cancel");
    TestEngine engine(host, kNoProducts);
    host.shuttingDown = true;
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(engine.WaitForKeyChange("TnkShutdown", {}, 20000));
    EXPECT_LT(GetTickCount64() - start, 2000u);
}

TEST_F(Removal, AnEntryWithoutCommandIsOfferedForDeletionOnlyWhenTheCommandIsAbsentOrEmpty) {
    registry.CreateKey(HKEY_LOCAL_MACHINE, EntryPath("TnkNoCommand"));
    registry.CreateKey(HKEY_LOCAL_MACHINE, EntryPath("TnkEmptyCommand"));
    registry.SetText(HKEY_LOCAL_MACHINE, EntryPath("TnkEmptyCommand"), "UninstallString", "");
    registry.CreateKey(HKEY_CURRENT_USER, EntryPath("TnkUserNoCommand"));
    registry.CreateKey(HKEY_LOCAL_MACHINE, EntryPath("TnkOddCommand"));
    registry.SetDword(HKEY_LOCAL_MACHINE, EntryPath("TnkOddCommand"), "UninstallString", 5);
    TestEngine engine(host, kNoProducts);

    host.answers = {false};
    EXPECT_EQ(engine.RunUninstaller("TnkNoCommand", {}).outcome, UninstallOutcome::Declined);
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, EntryPath("TnkNoCommand")));
    EXPECT_TRUE(host.told.empty());

    host.answers = {true, true};
    EXPECT_EQ(engine.RunUninstaller("TnkNoCommand", {}).outcome, UninstallOutcome::EntryDeleted);
    EXPECT_EQ(engine.RunUninstaller("TnkEmptyCommand", {}).outcome, UninstallOutcome::EntryDeleted);
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, EntryPath("TnkNoCommand")));
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, EntryPath("TnkEmptyCommand")));
    // Where the entry is: only under the current user here.
    host.answers = {true};
    EXPECT_EQ(engine.RunUninstaller("TnkUserNoCommand", {}).outcome, UninstallOutcome::EntryDeleted);
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, EntryPath("TnkUserNoCommand")));
    EXPECT_EQ(host.told, std::vector<std::wstring>(3, messages::kDeleted));

    // A command that exists but cannot be read is no sign of an uninstalled program.
    host.asked.clear();
    host.told.clear();
    EXPECT_EQ(engine.RunUninstaller("TnkOddCommand", {}).outcome, UninstallOutcome::Unreadable);
    EXPECT_TRUE(host.asked.empty());
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, EntryPath("TnkOddCommand")));
    // Nothing to delete: no "deletion complete".
    host.told.clear();
    host.answers = {true};
    TestEngine failing(host, kNoProducts);
    failing.FailBackups();
    registry.CreateKey(HKEY_LOCAL_MACHINE, EntryPath("TnkNoBackup"));
    EXPECT_EQ(failing.RunUninstaller("TnkNoBackup", {}).outcome, UninstallOutcome::DeleteFailed);
    EXPECT_EQ(host.told, std::vector<std::wstring>{messages::kDeleteFailed});
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, EntryPath("TnkNoBackup")));
}

TEST_F(Removal, AnUnquotedCommandWithBlanksStartsItsOwnProgramNeverAShorterOne) {
    const std::string base = TempFolder() + "TnkSpace";
    const std::string folder = base + " Folder";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string real = folder + "\\unins.exe";
    const std::string planted = base + ".exe";  // what "C:\...\TnkSpace" plus ".exe" would run
    ASSERT_TRUE(CopyFileA(Uninstaller().c_str(), real.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(Uninstaller().c_str(), planted.c_str(), FALSE));
    const std::string log = TempFolder() + "TnkSpace.log";
    DeleteFileA(log.c_str());

    std::string arguments;
    EXPECT_EQ(CRemovalEngine::ResolveCommandProgram(real + " now HKLM X", &arguments), real);
    EXPECT_EQ(arguments, " now HKLM X");
    EXPECT_EQ(CRemovalEngine::ResolveCommandProgram(Quoted(real) + " /S"), real);
    EXPECT_EQ(CRemovalEngine::ResolveCommandProgram(folder + "\\missing.exe now"), "");
    EXPECT_EQ(CRemovalEngine::ContainingFolder(Quoted(real) + " /S"), folder + "\\");

    registry.CreateKey(HKEY_LOCAL_MACHINE, EntryPath("TnkSpaced"));
    registry.SetText(HKEY_LOCAL_MACHINE, EntryPath("TnkSpaced"), "UninstallString",
                     real + " now HKLM TnkSpaced 0 " + Quoted(log));
    TestEngine engine(host, kNoProducts);
    EXPECT_EQ(engine.RunUninstaller("TnkSpaced", {}).outcome, UninstallOutcome::Started);
    EXPECT_TRUE(engine.WaitForKeyChange("TnkSpaced", {}, 5000));

    // The program itself is missing: the question is asked, the planted program never runs.
    registry.SetText(HKEY_LOCAL_MACHINE, EntryPath("TnkSpacedGone"), "UninstallString",
                     folder + "\\missing.exe now HKLM TnkSpacedGone 0 " + Quoted(log));
    host.answers = {false};
    EXPECT_EQ(engine.RunUninstaller("TnkSpacedGone", {}).outcome, UninstallOutcome::NotFound);
    EXPECT_EQ(host.asked, std::vector<std::wstring>{messages::kFileNotFound});
    Sleep(300);
    EXPECT_EQ(ReadAll(log), "uninstall TnkSpaced\n");

    // A file that exists but is no program: it fails to start, silently.
    const std::string broken = folder + "\\broken.exe";
    std::ofstream(broken) << "not a program";
    registry.SetText(HKEY_LOCAL_MACHINE, EntryPath("TnkBroken"), "UninstallString", Quoted(broken));
    host.asked.clear();
    EXPECT_EQ(engine.RunUninstaller("TnkBroken", {}).outcome, UninstallOutcome::StartFailed);
    EXPECT_TRUE(host.asked.empty());

    for (const std::string& file : {real, planted, log, broken}) DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

// ---------------------------------------------------------------------------------------
// The removal command

class FakeRecords : public IProductRecords {
public:
    void LoadCategory(int type) override { loaded.push_back(type); }
    std::string GetProcessNames(int) const override { return processes; }
    std::string GetRegistryKeys(int) const override { return registryKeys; }
    std::vector<std::string> GetOwnNames(int) const override { return {keyName}; }
    std::vector<int> loaded;
    std::string keyName;
    std::string processes;
    std::string registryKeys;
};

struct ReportCall {
    int category;
    std::string name, icon, publisher, key;
};
std::vector<ReportCall> g_reports;
int __stdcall RecordReport(int category, const char* name, const char* icon, const char* publisher, const char* key) {
    g_reports.push_back({category, name, icon, publisher, key});
    return 1;
}

RemovalRow Row(int category, const std::string& name, const std::string& key, const std::string& info = "",
               const std::string& icon = "C:\\icon file.ico") {
    RemovalRow row;
    row.row = 3;
    row.category = category;
    row.texts[0] = name;
    row.texts[1] = info;
    row.texts[2] = key;
    row.texts[3] = icon;
    return row;
}

class Command : public Removal {
protected:
    void SetUp() override { g_reports.clear(); }
    RemovalOutcome Run(const RemovalRow& row) {
        CRemovalCommand command(host, kNoProducts, records, &RecordReport);
        command.SetGracePeriod(1000);
        command.SetWaitLimit(5000);
        return command.Run(row);
    }
    FakeRecords records;
};

TEST_F(Command, NoSelectionOnlyTellsTheUser) {
    RemovalRow none;
    none.category = 1;
    EXPECT_EQ(Run(none), RemovalOutcome::NoSelection);
    EXPECT_EQ(host.told, std::vector<std::wstring>{messages::kSelectRow});
    EXPECT_TRUE(records.loaded.empty());
}

TEST_F(Command, DatabasePathsGoOnlyAfterTheUninstallerRemovedTheEntry) {
    // The product's own keys (by vendor and product, and one level down under the names of
    // its entry and of its database row), and paths no product may name.
    const std::string paths =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkVendor\\TnkLeftover\\|HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkToolbar\\|"
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkBar\\|HKEY_LOCAL_MACHINE\\SOFTWARE\\|"
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\|"
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TnkOther\\";
    records.registryKeys = paths;
    records.keyName = "TnkBar";
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkLeftover");
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkToolbar");
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkBar");

    Entry(HKEY_LOCAL_MACHINE, "TnkCancelled", "cancel");
    host.answers = {};
    EXPECT_EQ(Run(Row(2, "Cancelled toolbar", "TnkCancelled")), RemovalOutcome::RowKept);
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkLeftover")) << "deleted while still installed";
    EXPECT_TRUE(host.deletedRows.empty());

    Entry(HKEY_LOCAL_MACHINE, "TnkToolbar", "later", 500);
    Entry(HKEY_LOCAL_MACHINE, "TnkOther", "cancel");
    RemovalRow row = Row(2, "Toolbar", "TnkToolbar");
    row.rankConsent = 1;
    EXPECT_EQ(Run(row), RemovalOutcome::RowRemoved);
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkLeftover"));
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkToolbar"));
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkBar"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, EntryPath("TnkOther"))) << "hostile database paths were followed";
    EXPECT_EQ(host.deletedRows, std::vector<int>{3});
    EXPECT_EQ(records.loaded, (std::vector<int>{2, 2}));
    ASSERT_EQ(g_reports.size(), 1u);
    EXPECT_EQ(g_reports[0].category, 2);
    EXPECT_EQ(g_reports[0].name, "Toolbar");
    EXPECT_EQ(g_reports[0].icon, "C:\\icon file.ico");
    EXPECT_EQ(g_reports[0].key, "TnkToolbar");
}

TEST_F(Command, ProcessesAreStoppedInOrderBeforeTheUninstallerStarts) {
    const std::string log = TempFolder() + "TnkOrder.log";
    DeleteFileA(log.c_str());
    const std::string process = Fixtures() + "\\process.exe";
    std::vector<std::string> copies;
    std::vector<std::unique_ptr<testing::ProgramProcess>> running;
    for (const char* name : {"TnkFirst.exe", "TnkSecond.exe"}) {
        copies.push_back(TempFolder() + name);
        CopyFileA(process.c_str(), copies.back().c_str(), FALSE);
        running.push_back(std::make_unique<testing::ProgramProcess>());
        ASSERT_TRUE(running.back()->Start(copies.back(), Quoted(copies.back()) + " close " + Quoted(log)));
        WaitUntil([&] { return !testing::TopLevelWindows(running.back()->Id()).empty(); }, 5000);
    }
    records.processes = "tnkfirst.exe||TnkSecond.exe|";
    Entry(HKEY_LOCAL_MACHINE, "TnkMessenger", "now", 0, log);
    EXPECT_EQ(Run(Row(3, "Messenger", "TnkMessenger")), RemovalOutcome::RowRemoved);
    EXPECT_EQ(ReadAll(log), "closed TnkFirst.exe\nclosed TnkSecond.exe\nuninstall TnkMessenger\n");
    EXPECT_TRUE(g_reports.empty()) << "reported without consent";
    for (auto& p : running) p->WaitForExit(2000);
    for (const std::string& copy : copies) DeleteFileA(copy.c_str());
    DeleteFileA(log.c_str());
}

TEST_F(Command, AProgramThatKeepsItsWindowCancelsTheRemovalWhenTheUserSaysSo) {
    const std::string copy = TempFolder() + "TnkUnsaved.exe";
    CopyFileA((Fixtures() + "\\process.exe").c_str(), copy.c_str(), FALSE);
    testing::ProgramProcess editor;
    ASSERT_TRUE(editor.Start(copy, Quoted(copy) + " unsaved"));
    WaitUntil([&] { return !testing::TopLevelWindows(editor.Id()).empty(); }, 5000);
    records.processes = "TnkUnsaved.exe";
    Entry(HKEY_LOCAL_MACHINE, "TnkEditor", "now");
    host.answers = {false};
    EXPECT_EQ(Run(Row(1, "Editor", "TnkEditor")), RemovalOutcome::Cancelled);
    ASSERT_EQ(host.asked.size(), 1u);
    EXPECT_THAT(host.asked[0], ::testing::HasSubstr(L"TnkUnsaved.exe"));
    EXPECT_TRUE(editor.IsRunning());
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, EntryPath("TnkEditor")));
    editor.Kill();
    editor.WaitForExit(2000);
    DeleteFileA(copy.c_str());
}

TEST_F(Command, TheBrowserQuestionAnsweredNoRemovesNothing) {
    const std::string copy = TempFolder() + "iexplore.exe";
    CopyFileA((Fixtures() + "\\process.exe").c_str(), copy.c_str(), FALSE);
    testing::ProgramProcess browser;
    ASSERT_TRUE(browser.Start(copy, Quoted(copy) + " close"));
    WaitUntil([&] { return !testing::TopLevelWindows(browser.Id()).empty(); }, 5000);
    Entry(HKEY_LOCAL_MACHINE, "TnkBrowserBar", "now");
    host.answers = {false};
    EXPECT_EQ(Run(Row(2, "Bar", "TnkBrowserBar")), RemovalOutcome::Cancelled);
    EXPECT_EQ(host.asked, std::vector<std::wstring>{messages::kCloseBrowsers});
    EXPECT_TRUE(browser.IsRunning());
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, EntryPath("TnkBrowserBar")));
    host.answers = {true};
    EXPECT_EQ(Run(Row(2, "Bar", "TnkBrowserBar")), RemovalOutcome::RowRemoved);
    EXPECT_TRUE(browser.WaitForExit(2000));
    DeleteFileA(copy.c_str());
}

TEST_F(Command, AnActiveXRowLeavesOnlyWhenTheControlsRegistrationIsGone) {
    const std::string classId = "{7E57AC70-0000-4000-8000-00000000AC01}";
    registry.CreateKey(HKEY_CLASSES_ROOT, "CLSID\\" + classId);
    registry.CreateKey(HKEY_LOCAL_MACHINE, kDistributionUnitsKey + classId);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string cache = std::string(system) + "\\OCCACHE.DLL";
    DeleteFileA(cache.c_str());
    const RemovalRow row = Row(8, "Control", "C:\\control.ocx", classId);

    // A library of that name beside the program or on the path must not be used.
    EXPECT_EQ(Run(row), RemovalOutcome::RowKept);
    EXPECT_EQ(host.told, std::vector<std::wstring>{messages::kNoControlCache});
    EXPECT_TRUE(host.deletedRows.empty());

    ASSERT_TRUE(CopyFileA((Fixtures() + "\\OCCACHE.DLL").c_str(), cache.c_str(), FALSE));
    EXPECT_EQ(Run(row), RemovalOutcome::RowRemoved);
    EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, "CLSID\\" + classId));
    EXPECT_EQ(host.deletedRows, std::vector<int>{3});
    host.told.clear();
    EXPECT_EQ(Run(Row(8, "Control", "x", "..\\..")), RemovalOutcome::Cancelled);
    EXPECT_EQ(host.told, std::vector<std::wstring>{messages::kBadEntryName});
    DeleteFileA(cache.c_str());
}

TEST_F(Command, StartUpValuesAreDeletedAndTheirRowLeaves) {
    registry.SetText(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "TnkStarter", "C:\\x.exe");
    // The row names the value's place, as the start-up scan fills it.
    RemovalRow row = Row(7, "TnkStarter", "TnkStarter");
    row.texts[4] = "HKCU";
    EXPECT_EQ(Run(row), RemovalOutcome::RowRemoved);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "TnkStarter"));
    EXPECT_EQ(host.deletedRows, std::vector<int>{3});
    EXPECT_TRUE(records.loaded.empty());
}

}  // namespace
}  // namespace tarnock
