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
#include "base/RegistryManager.h"
#include "removal/RemovalMessages.h"
#include "scan/KelvoEngine.h"
#include "base/TextUtil.h"
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
    void SetUnderWay(const RemovalRow&, bool on) override { underWay.push_back(on); }

    std::vector<bool> underWay;
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

bool SameFolder(const std::string& a, const std::string& b) { return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL; }

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
    const UninstallResult result = engine.RunUninstaller(key, {c.root, 0});
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
    // A machine entry never falls back to a same-named per-user one.
    EXPECT_EQ(engine.RunUninstaller("TnkUserNoCommand", {}).outcome, UninstallOutcome::EntryMissing);
    EXPECT_TRUE(Exists(HKEY_CURRENT_USER, EntryPath("TnkUserNoCommand")));
    host.answers = {true};
    EXPECT_EQ(engine.RunUninstaller("TnkUserNoCommand", {HKEY_CURRENT_USER, 0}).outcome, UninstallOutcome::EntryDeleted);
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

// The database as the removal sees it: one product, found by its key while `known`.
class FakeRecords : public IProductRecords {
public:
    bool FindProduct(int type, int key, SignatureRow& product) const override {
        lookups.push_back(type);
        if (!known) return false;
        product.key = key;
        CopyBounded(product.keyName, sizeof(product.keyName), keyName);
        CopyBounded(product.name, sizeof(product.name), name);
        CopyBounded(product.matchMode, sizeof(product.matchMode), matchMode);
        return true;
    }
    std::string GetProcessNames(int) const override { return processes; }
    std::string GetRegistryKeys(int) const override { return registryKeys; }
    mutable std::vector<int> lookups;
    bool known = true;
    std::string keyName;  // empty: the key of the row that is removed
    std::string name;     // the product's name in the database
    std::string matchMode = "=";
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
    RemovalOutcome Run(const RemovalRow& row, DWORD afterTreeMs = 5000) {
        FakeRecords product = records;
        if (product.keyName.empty()) product.keyName = row.Key();
        CRemovalCommand command(host, kNoProducts, product, &RecordReport);
        command.SetGracePeriod(1000);
        command.SetWaitLimit(afterTreeMs);
        const RemovalOutcome outcome = command.Run(row);
        records.lookups = product.lookups;
        return outcome;
    }
    FakeRecords records;
};

TEST_F(Command, NoSelectionOnlyTellsTheUser) {
    RemovalRow none;
    none.category = 1;
    EXPECT_EQ(Run(none), RemovalOutcome::NoSelection);
    EXPECT_EQ(host.told, std::vector<std::wstring>{messages::kSelectRow});
    EXPECT_TRUE(records.lookups.empty());
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
    records.name = "TnkBar";
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkLeftover");
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkToolbar");
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkBar");

    Entry(HKEY_LOCAL_MACHINE, "TnkCancelled", "cancel");
    host.answers = {};
    EXPECT_EQ(Run(Row(2, "Cancelled toolbar", "TnkCancelled"), 500), RemovalOutcome::RowKept);
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVendor\\TnkLeftover")) << "deleted while the program stays installed";
    EXPECT_TRUE(host.deletedRows.empty());
    EXPECT_EQ(host.told, std::vector<std::wstring>{messages::kUninstallerEnded});

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
    EXPECT_EQ(records.lookups, (std::vector<int>{2, 2}));  // one lookup by key per removal
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

// The command hands an ActiveX row to the removal by the machine's registration of its view
// (tests/removal/activex_removal_test.cpp shows that removal whole): a control whose file
// lies outside the downloaded-program folder is refused and its row stays.
TEST_F(Command, AnActiveXRowIsRemovedOnlyByItsMachineRegistration) {
    const std::string classId = "{7E57AC70-0000-4000-8000-00000000AC01}";
    const std::string server = "SOFTWARE\\Classes\\CLSID\\" + classId + "\\InprocServer32";
    registry.SetText(HKEY_LOCAL_MACHINE, server, "", "C:\\control.ocx");
    EXPECT_EQ(Run(Row(8, "Control", "C:\\control.ocx", classId)), RemovalOutcome::Cancelled);
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, server)) << "a control outside the downloaded-program folder was removed";
    EXPECT_TRUE(host.deletedRows.empty());
    host.told.clear();
    EXPECT_EQ(Run(Row(8, "Control", "x", "..\\..")), RemovalOutcome::Cancelled);
    EXPECT_EQ(host.told, std::vector<std::wstring>{messages::kBadEntryName});
}

TEST_F(Command, StartUpValuesAreDeletedAndTheirRowLeaves) {
    registry.SetText(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "TnkStarter", "C:\\x.exe");
    // The row names the value's place, as the start-up scan fills it.
    RemovalRow row = Row(7, "TnkStarter", "TnkStarter");
    row.texts[4] = "HKCU";
    EXPECT_EQ(Run(row), RemovalOutcome::RowRemoved);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "TnkStarter"));
    EXPECT_EQ(host.deletedRows, std::vector<int>{3});
    EXPECT_TRUE(records.lookups.empty());
}

// ---------------------------------------------------------------------------------------
// Awaiting the whole uninstaller

struct AwaitCase {
    friend void PrintTo(const AwaitCase& c, std::ostream* out) { *out << c.name; }
    const char* name;
    const char* mode;
    int delayMs;
    DWORD afterTreeMs;  // how long the entry may stay once the tree has ended
    int serviceDelayMs;  // >= 0: a separate process, outside the tree, removes the entry
    bool gone;
};

class Await : public Removal, public ::testing::WithParamInterface<AwaitCase> {
protected:
    void SetUp() override { g_reports.clear(); }
};

TEST_P(Await, LeftoversGoExactlyWhenTheEntryIsGone) {
    const AwaitCase& c = GetParam();
    const std::string key = std::string("TnkAwait") + c.name;
    const std::string leftover = "SOFTWARE\\TnkVendor\\TnkLeft" + std::string(c.name);
    Entry(HKEY_LOCAL_MACHINE, key, c.mode, c.delayMs);
    registry.CreateKey(HKEY_LOCAL_MACHINE, leftover);
    testing::ProgramProcess service;
    if (c.serviceDelayMs >= 0) {
        ASSERT_TRUE(service.Start(Uninstaller(), Quoted(Uninstaller()) + " service HKLM " + key + " " +
                                                     std::to_string(c.serviceDelayMs)));
        // The service is ready once its event exists.
        const std::string eventName = "TnkService-" + key;
        EXPECT_TRUE(WaitUntil([&] { return ScopedHandle(OpenEventA(SYNCHRONIZE, FALSE, eventName.c_str())).IsValid(); },
                              10000));
    }
    FakeRecords records;
    records.keyName = key;
    records.registryKeys = "HKEY_LOCAL_MACHINE\\" + leftover + "\\";
    CRemovalCommand command(host, kNoProducts, records, &RecordReport);
    command.SetWaitLimit(c.afterTreeMs);
    RemovalRow row = Row(kScanMessengers, c.name, key);
    row.rankConsent = 1;
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(command.Run(row), c.gone ? RemovalOutcome::RowRemoved : RemovalOutcome::RowKept);
    EXPECT_EQ(Exists(HKEY_LOCAL_MACHINE, EntryPath(key)), !c.gone);
    EXPECT_EQ(Exists(HKEY_LOCAL_MACHINE, leftover), !c.gone);
    EXPECT_EQ(host.deletedRows, c.gone ? std::vector<int>{3} : std::vector<int>{});
    EXPECT_EQ(host.told, c.gone ? std::vector<std::wstring>{} : std::vector<std::wstring>{messages::kUninstallerEnded});
    EXPECT_EQ(g_reports.size(), c.gone ? 1u : 0u) << "the report goes only with a real removal";
    EXPECT_EQ(host.underWay, (std::vector<bool>{true, false}));
    EXPECT_TRUE(host.events.empty());
    if (!c.gone) {
        EXPECT_GE(GetTickCount64() - start, static_cast<ULONGLONG>(c.delayMs) + c.afterTreeMs);
    }
    service.Kill();
    service.WaitForExit(2000);
}

INSTANTIATE_TEST_SUITE_P(
    Uninstallers, Await,
    ::testing::Values(
        // The user takes 45 s in the wizard, longer than the 30 s an entry used to be given.
        AwaitCase{"UserTakesTime", "later", 45000, 30000, -1, true},
        // The first process exits at once; its copy in the temporary folder does the work.
        AwaitCase{"CopyInTemp", "copy", 2500, 500, -1, true},
        AwaitCase{"UserCancels", "cancellater", 2500, 500, -1, false},
        // A separate process outside the tree removes the entry after the tree has ended.
        AwaitCase{"Service", "handoff", 0, 8000, 1500, true},
        AwaitCase{"ServiceTooSlow", "handoff", 0, 1000, 6000, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Removal, TheWaitForAStartedTreeEndsAtShutdown) {
    Entry(HKEY_LOCAL_MACHINE, "TnkAwaitShutdown", "cancellater", 20000);
    TestEngine engine(host, kNoProducts);
    const UninstallResult started = engine.RunUninstaller("TnkAwaitShutdown", {});
    ASSERT_EQ(started.outcome, UninstallOutcome::Started);
    ASSERT_TRUE(started.job || started.process);
    host.shuttingDown = true;
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(engine.WaitForRemoval("TnkAwaitShutdown", started, {}), WaitOutcome::ShuttingDown);
    EXPECT_LT(GetTickCount64() - start, 2000u);
    if (started.job) TerminateJobObject(started.job.Get(), 1);
}

TEST_F(Command, APerUserLookAlikeLeavesTheMachineProductsLeftovers) {
    const std::string leftover = "SOFTWARE\\TnkVendor\\TnkShareLeft";
    records.registryKeys = "HKEY_LOCAL_MACHINE\\" + leftover + "\\";
    Entry(HKEY_LOCAL_MACHINE, "TnkShared", "cancel");
    Entry(HKEY_CURRENT_USER, "TnkShared", "now");
    registry.CreateKey(HKEY_LOCAL_MACHINE, leftover);
    RemovalRow row = Row(kScanToolbars, "Shared", "TnkShared");
    row.texts[4] = "HKCU";
    EXPECT_EQ(Run(row), RemovalOutcome::RowRemoved);
    EXPECT_FALSE(Exists(HKEY_CURRENT_USER, EntryPath("TnkShared")));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, EntryPath("TnkShared")));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, leftover)) << "the installed machine product lost its settings";

    // A per-user product alone: its leftovers go in both machine views.
    RegistryFixture::DeleteTree(HKEY_LOCAL_MACHINE, EntryPath("TnkShared"));
    Entry(HKEY_CURRENT_USER, "TnkShared", "now");
    registry.CreateKey(RegistryPlace{HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY}, leftover);
    EXPECT_EQ(Run(row), RemovalOutcome::RowRemoved);
    for (const RegistryPlace& machine : MachinePlaces())
        EXPECT_FALSE(CRemovalEngine::KeyExists(machine, leftover)) << machine.view;
}

TEST_F(Command, ARowWhoseProductTheDatabaseNoLongerHoldsRemovesNothing) {
    const std::string log = TempFolder() + "TnkReplaced.log";
    DeleteFileA(log.c_str());
    Entry(HKEY_LOCAL_MACHINE, "TnkReplaced", "now", 0, log);
    records.processes = "TnkNeverStopped.exe";
    records.registryKeys = "HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkReplacedLeft\\";
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkReplacedLeft");
    struct Case {
        bool known;
        const char* keyName;  // what the key names in the database now
        const char* matchMode;
    } cases[] = {{false, "TnkReplaced", "="}, {true, "TnkAnotherProduct", "="}, {true, "tnkanother", "%"}};
    for (const Case& c : cases) {
        records.known = c.known;
        records.keyName = c.keyName;
        records.matchMode = c.matchMode;
        host.told.clear();
        host.rescans.clear();
        EXPECT_EQ(Run(Row(kScanSpyware, "Replaced", "TnkReplaced")), RemovalOutcome::Cancelled) << c.keyName;
        EXPECT_EQ(host.told, std::vector<std::wstring>{messages::kProductChanged});
        EXPECT_EQ(host.rescans, std::vector<int>{kScanSpyware});
    }
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, EntryPath("TnkReplaced")));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkReplacedLeft"));
    EXPECT_EQ(ReadAll(log), "") << "another product's uninstaller ran";
    // The same name matched by a fragment is the product.
    records.known = true;
    records.keyName = "tnkrepl";
    records.matchMode = "%";
    records.processes.clear();
    EXPECT_EQ(Run(Row(kScanSpyware, "Replaced", "TnkReplaced")), RemovalOutcome::RowRemoved);
    DeleteFileA(log.c_str());
}

TEST_F(Command, AnEntryThatIsAlreadyGoneIsNoRemoval) {
    records.registryKeys = "HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkVanishedLeft\\";
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVanishedLeft");
    RemovalRow row = Row(kScanMessengers, "Vanished", "TnkVanished");
    row.rankConsent = 1;
    EXPECT_EQ(Run(row), RemovalOutcome::RowKept);
    EXPECT_EQ(host.told, std::vector<std::wstring>{messages::kEntryMissing});
    EXPECT_EQ(host.rescans, std::vector<int>{kScanMessengers});
    EXPECT_TRUE(host.deletedRows.empty());
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkVanishedLeft"));
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(Command, AKeyNameOutsideTheCodePageIsRefused) {
    // A Thai letter: no Korean (949) or Western (1252) code page holds it.
    const std::wstring wide = L"TnkThai\x0E01";
    const std::string shown = AnsiFromWide(wide);
    ASSERT_NE(WideFromAnsi(shown), wide);
    ScopedKey created;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (WideFromAnsi(kUninstallRoot) + wide).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, created.Put(), nullptr),
              ERROR_SUCCESS);
    created.Reset();
    records.registryKeys = "HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkThaiLeft\\";
    registry.CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkThaiLeft");
    EXPECT_EQ(Run(Row(kScanSpyware, "Thai", shown)), RemovalOutcome::Cancelled);
    EXPECT_EQ(host.told, std::vector<std::wstring>{messages::kNameNotInCodePage});
    EXPECT_TRUE(host.deletedRows.empty());
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkThaiLeft"));
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (WideFromAnsi(kUninstallRoot) + wide).c_str());
}

TEST_F(Command, StartUpValuesAreMatchedByTheirWholeName) {
    const std::string run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::string shared(600, 'T');
    registry.SetText(HKEY_CURRENT_USER, run, shared + "1", "C:\\one.exe");
    registry.SetText(HKEY_CURRENT_USER, run, shared + "2", "C:\\two.exe");
    RemovalRow row = Row(kScanStartup, "one", shared + "1");
    row.texts[4] = "HKCU";
    EXPECT_EQ(Run(row), RemovalOutcome::RowRemoved);
    EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, run, shared + "1"));
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, run, shared + "2")) << "a value sharing the first bytes went too";
}

TEST_F(Removal, AMachineEntryStartsWithTheSystemEnvironmentAndFolder) {
    // What a user's program can plant: the user's environment, and Tarnock's own.
    registry.SetText(HKEY_CURRENT_USER, "Environment", "windir", "C:\\TnkPlanted");
    registry.SetText(HKEY_CURRENT_USER, "Environment", "TnkUserOnly", "C:\\TnkPlanted");
    char ownWindir[MAX_PATH] = {};
    GetEnvironmentVariableA("windir", ownWindir, MAX_PATH);
    SetEnvironmentVariableA("windir", "C:\\TnkPlanted");
    char windows[MAX_PATH] = {};
    GetSystemWindowsDirectoryA(windows, MAX_PATH);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);

    EXPECT_TRUE(SameFolder(CRemovalEngine::ExpandWithSystemEnvironment("%windir%"), windows));
    EXPECT_EQ(CRemovalEngine::ExpandWithSystemEnvironment("%TnkUserOnly%\\x %TnkNoSuch% 100%"),
              "%TnkUserOnly%\\x %TnkNoSuch% 100%");

    const std::string log = TempFolder() + "TnkEnvironment.log";
    DeleteFileA(log.c_str());
    registry.CreateKey(HKEY_LOCAL_MACHINE, EntryPath("TnkEnvironment"));
    registry.SetText(HKEY_LOCAL_MACHINE, EntryPath("TnkEnvironment"), "UninstallString",
                     Quoted(Uninstaller()) + " record HKLM TnkEnvironment 0 " + Quoted(log), REG_EXPAND_SZ);
    TestEngine engine(host, kNoProducts);
    const UninstallResult started = engine.RunUninstaller("TnkEnvironment", {});
    ASSERT_EQ(started.outcome, UninstallOutcome::Started);
    EXPECT_EQ(engine.WaitForRemoval("TnkEnvironment", started, {}), WaitOutcome::Gone);
    SetEnvironmentVariableA("windir", ownWindir);
    const std::string recorded = ReadAll(log);
    EXPECT_THAT(recorded, ::testing::HasSubstr("windir=" + std::string(windows) + "\n"));
    EXPECT_THAT(recorded, ::testing::Not(::testing::HasSubstr("TnkPlanted")));
    EXPECT_THAT(recorded, ::testing::HasSubstr("cwd=" + std::string(system) + "\n"));
    EXPECT_THAT(recorded, ::testing::HasSubstr("parent=" + std::to_string(GetCurrentProcessId()) + "\n"));
    DeleteFileA(log.c_str());

    // A bare name resolves only in the system folders, never along the PATH.
    const std::string folder = TempFolder() + "TnkPathDir";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(Uninstaller().c_str(), (folder + "\\TnkOnPath.exe").c_str(), FALSE));
    char path[32768] = {};
    GetEnvironmentVariableA("PATH", path, sizeof(path));
    SetEnvironmentVariableA("PATH", (folder + ";" + path).c_str());
    EXPECT_EQ(CRemovalEngine::ResolveCommandProgram("TnkOnPath now"), "");
    EXPECT_FALSE(CRemovalEngine::ResolveCommandProgram("notepad.exe").empty());
    SetEnvironmentVariableA("PATH", path);
    DeleteFileA((folder + "\\TnkOnPath.exe").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace tarnock
