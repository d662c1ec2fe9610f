// The installed-program inventory: entry readers, icon resolution and both listings,
// against entries the tests add to the machine's uninstall registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/RegistryManager.h"
#include "base/TextUtil.h"
#include "scan/KelvoEngine.h"
#include "scan/ProgramListing.h"
#include "support/RowRecorder.h"
#include "support/ScanFixture.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

constexpr char kFolder[] = "C:\\TnkScanTests\\Inventory";

std::string Entry(const std::string& key) { return kUninstallRoot + key; }
std::string ArpEntry(const std::string& key) { return kArpCacheRoot + key; }

// A 552-byte ARP cache record whose program path starts at byte 28.
std::vector<BYTE> SlowInfoCache(const std::wstring& path) {
    std::vector<BYTE> record(552, 0);
    std::memcpy(record.data() + 28, path.c_str(), std::min<std::size_t>(path.size(), 261) * sizeof(wchar_t));
    return record;
}

// Rows come in enumeration order, which is the order of their item values.
void SortByItem(std::vector<RecordedRow>& rows) {
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.itemValue < b.itemValue; });
}

int IndexOf(const std::string& key) { return SubkeyIndex(HKEY_LOCAL_MACHINE, kUninstallRoot, key); }

// Entries written with the program's own view live in this place of the listings.
void InMachinePlace(std::vector<RecordedRow>& rows) {
    for (RecordedRow& row : rows) row.place = PlaceText(MachinePlaces().front());
}

class InventoryTest : public ::testing::Test {
protected:
    InventoryTest() : files_(kFolder) {}

    void AddEntry(const std::string& key, std::initializer_list<std::pair<const char*, std::string>> values) {
        registry_.CreateKey(HKEY_LOCAL_MACHINE, Entry(key));
        for (const auto& [name, value] : values) registry_.SetText(HKEY_LOCAL_MACHINE, Entry(key), name, value);
    }
    std::vector<RecordedRow> ListAll(const InstallerProductList& products = {}) {
        RowRecorder rows;
        EXPECT_EQ(ListAllPrograms(rows, products), 0);
        return rows.RowsWithKeyPrefix(prefix_);
    }

    std::string prefix_ = "TnkInv";
    RegistryFixture registry_;
    FileFixture files_;
};

TEST(ResolveExistingPath, CleansCommandsAndIconReferences) {
    FileFixture files("C:\\TnkScanTests\\Paths");
    const std::string app = files.AddFile("App\\app.exe");
    const std::string unins = files.AddFile("Program Files\\App\\unins000.exe");
    const std::string folder = files.MakeFolder("Some Folder");
    const std::string commaFile = files.AddFile(",lead.exe");
    struct Case {
        std::string text;
        int result;
        std::string path;
    } cases[] = {
        {"\"" + app + "\",0", 0, app},
        {app + ",-101", 0, app},
        {ReplaceAll(app, "\\", "\\\\"), 0, app},
        {unins + " /SILENT", 0, unins},
        {"\"" + unins + "\" /SILENT", 0, unins},
        {folder, 0, folder},
        {files.Folder() + "\\missing.exe /S", -1, "unchanged"},
        {"", -1, "unchanged"},
        {"no path at all", -1, "unchanged"},
        {commaFile, 0, files.Folder() + "\\"},  // whatever follows the last comma is an icon index
    };
    for (const Case& c : cases) {
        std::string path = "unchanged";
        EXPECT_EQ(ResolveExistingPath(c.text, path), c.result) << c.text;
        EXPECT_EQ(path, c.path) << c.text;
    }
}

TEST_F(InventoryTest, ReadersOfOneEntry) {
    const std::string exe = files_.AddFile("Reader\\reader.exe");
    AddEntry("TnkInvReader", {{"DisplayName", "Tnk Reader"},
                              {"URLInfoAbout", "  \t "},
                              {"HelpLink", "  http://help.example/  "},
                              {"Publisher", "  Tnk Soft  "},
                              {"UninstallString", exe + " /remove"},
                              {"InstallLocation", files_.Folder() + "\\Reader"}});
    AddEntry("TnkInvMs", {{"Publisher", "Microsoft Corporation"}});
    AddEntry("TnkInvMsLower", {{"Publisher", "microsoft corporation"}});
    AddEntry("TnkInvNoPublisher", {});

    const CKelvoEngine engine(InstallerProductList{});
    EXPECT_EQ(engine.ReadDisplayName("TnkInvReader"), "Tnk Reader");
    const NameAndLink entry = engine.ReadDisplayNameAndLink("TnkInvReader");
    EXPECT_EQ(entry.name, "Tnk Reader");
    EXPECT_EQ(entry.link, "http://help.example/");
    EXPECT_EQ(engine.ReadPublisher("TnkInvReader", ""), "Tnk Soft");
    EXPECT_EQ(engine.ReadUninstallString("TnkInvReader"), exe + " /remove");
    EXPECT_EQ(engine.ReadInstallLocation("TnkInvReader"), files_.Folder() + "\\Reader");
    EXPECT_TRUE(engine.IsMicrosoftPublished("TnkInvMs"));
    EXPECT_FALSE(engine.IsMicrosoftPublished("TnkInvMsLower"));
    EXPECT_FALSE(engine.IsMicrosoftPublished("TnkInvReader"));

    // Without a "Publisher" the company of the file named by the text is used.
    const std::string quotedWithIndex = FormatText("\"%s\",0", ScanFixtureDll("addon_ok").c_str());
    EXPECT_EQ(engine.ReadPublisher("TnkInvNoPublisher", quotedWithIndex), "Tnk Addon Corp");
    EXPECT_EQ(engine.ReadPublisher("TnkInvNoPublisher", ScanFixtureDll("addon_noversion")), "");
    EXPECT_EQ(engine.ReadPublisher("TnkInvMissingKey", ""), "");
    EXPECT_EQ(engine.ReadDisplayName("TnkInvMissingKey"), "");
}

TEST_F(InventoryTest, InstallerProductValues) {
    const std::string product = std::string(kInstallerProductsRoot) + "TnkInvProduct";
    registry_.CreateKey(HKEY_LOCAL_MACHINE, product);
    registry_.SetText(HKEY_LOCAL_MACHINE, product, "ProductName", "Tnk Product");
    const CKelvoEngine engine(InstallerProductList{});
    EXPECT_EQ(engine.ReadInstallerProductValue("TnkInvProduct", "ProductName"), "Tnk Product");
    EXPECT_EQ(engine.ReadInstallerProductValue("TnkInvProduct", "ProductIcon"), "");
}

TEST_F(InventoryTest, UninstallCommandAndProbeFallBackToCurrentUserOnlyForMissingKeys) {
    AddEntry("TnkInvMachineNoCommand", {{"DisplayName", "x"}});
    registry_.CreateKey(HKEY_CURRENT_USER, Entry("TnkInvMachineNoCommand"));
    registry_.SetText(HKEY_CURRENT_USER, Entry("TnkInvMachineNoCommand"), "UninstallString", "c:\\u.exe");
    registry_.CreateKey(HKEY_CURRENT_USER, Entry("TnkInvUserOnly"));
    registry_.SetText(HKEY_CURRENT_USER, Entry("TnkInvUserOnly"), "UninstallString", "c:\\u.exe");
    registry_.CreateKey(HKEY_CURRENT_USER, Entry("TnkInvUserOnlyEmpty"));
    AddEntry("TnkInvWithDefault", {{"", "default"}});

    const CKelvoEngine engine(InstallerProductList{});
    EXPECT_EQ(engine.HasUninstallString("TnkInvUserOnly"), 1);
    EXPECT_EQ(engine.HasUninstallString("TnkInvMachineNoCommand"), -1);
    EXPECT_EQ(engine.HasUninstallString("TnkInvUserOnlyEmpty"), -1);
    EXPECT_EQ(engine.HasUninstallString("TnkInvNowhere"), -1);

    EXPECT_EQ(engine.ProbeUninstallKey("TnkInvWithDefault"), 1);
    EXPECT_EQ(engine.ProbeUninstallKey("TnkInvMachineNoCommand"), -5);
    EXPECT_EQ(engine.ProbeUninstallKey("TnkInvUserOnly"), -5);
    EXPECT_EQ(engine.ProbeUninstallKey("TnkInvNowhere"), -4);
}

TEST_F(InventoryTest, IconFileIsTheFirstCandidateThatExists) {
    const std::string installerIcon = files_.AddFile("Icon\\installer.ico");
    const std::string app = files_.AddFile("Icon\\app.exe");
    const std::string arp = files_.AddFile("Icon\\arp.exe");
    const std::string unins = files_.AddFile("Icon\\unins000.exe");
    const std::string source = files_.MakeFolder("Icon\\Source");
    const std::string missing = files_.Folder() + "\\Icon\\missing.exe";
    const InstallerProductList products = {
        {"K1", "Tnk Icon App", ""},                 // no icon: never used
        {"K2", "Another App", installerIcon},       // other name
        {"K3", "Tnk Icon App", missing},            // does not exist
        {"K4", "Tnk Icon App", "\"" + installerIcon + "\",0"},
    };
    const std::vector<BYTE> arpRecord = SlowInfoCache(L"  " + WideFromAnsi(arp) + L"  ");
    const std::vector<BYTE> staleRecord = SlowInfoCache(WideFromAnsi(missing));

    struct Case {
        std::string key;
        std::string displayName;
        std::string displayIcon;
        const std::vector<BYTE>* arpCache;
        std::string uninstall;
        std::string installSource;
        std::string expected;
    } cases[] = {
        {"{TnkInvIcon1}", "Tnk Icon App", app, nullptr, "", "", installerIcon},
        {"TnkInvIcon2", "Tnk Icon App", "\"" + app + "\",0", nullptr, "", "", app},        // not "{": no cache
        {"{TnkInvIcon3}", "", app, nullptr, "", "", app},                                  // no name: no cache
        {"TnkInvIcon4", "x", missing, &arpRecord, unins, "", arp},
        {"TnkInvIcon5", "x", missing, &staleRecord, unins + " /SILENT", "", unins},
        {"TnkInvIcon6", "x", "", &staleRecord, missing, source, source},
        {"TnkInvIcon7", "x", missing, &staleRecord, missing, missing, missing},           // stale cache path
        {"TnkInvIcon8", "x", "", nullptr, "", "", ""},
    };
    for (const Case& c : cases) {
        AddEntry(c.key, {{"DisplayIcon", c.displayIcon}, {"UninstallString", c.uninstall},
                         {"InstallSource", c.installSource}});
        if (c.arpCache) {
            registry_.CreateKey(HKEY_LOCAL_MACHINE, ArpEntry(c.key));
            registry_.SetBinary(HKEY_LOCAL_MACHINE, ArpEntry(c.key), "SlowInfoCache", c.arpCache->data(),
                                static_cast<DWORD>(c.arpCache->size()));
        }
    }
    // The ARP cache names its entries in any case of Latin letters.
    AddEntry("TnkInvIcon9", {{"DisplayIcon", missing}});
    registry_.CreateKey(HKEY_LOCAL_MACHINE, ArpEntry("TNKINVICON9"));
    registry_.SetBinary(HKEY_LOCAL_MACHINE, ArpEntry("TNKINVICON9"), "SlowInfoCache", arpRecord.data(),
                        static_cast<DWORD>(arpRecord.size()));

    const CKelvoEngine engine(products);
    for (const Case& c : cases) EXPECT_EQ(engine.ResolveIconFile(c.key, c.displayName), c.expected) << c.key;
    EXPECT_EQ(engine.ResolveIconFile("TnkInvIcon9", "x"), arp);
    EXPECT_EQ(engine.ResolveIconFile("", "Tnk Icon App"), "");
    {
        // A listing looks the cache up by a snapshot of its names: the same answers.
        const CKelvoEngine::ArpCacheSnapshot snapshot(engine);
        for (const Case& c : cases) EXPECT_EQ(engine.ResolveIconFile(c.key, c.displayName), c.expected) << c.key;
        EXPECT_EQ(engine.ResolveIconFile("TnkInvIcon9", "x"), arp);
    }
}

TEST_F(InventoryTest, AllProgramsListsVisibleEntriesWithAnUninstallCommand) {
    const std::string exe = files_.AddFile("All\\app.exe");
    AddEntry("KB990001Tnk", {{"Publisher", "Microsoft Corporation"}, {"UninstallString", exe}});
    AddEntry("KB990002Tnk", {{"Publisher", "Tnk Soft"}, {"UninstallString", exe}, {"DisplayName", "Tnk Hotfix"}});
    registry_.SetDword(HKEY_LOCAL_MACHINE, Entry("KB990002Tnk"), "SystemComponent", 1);
    AddEntry("KB990003Tnk", {{"UninstallString", exe}});
    AddEntry("kb990004Tnk", {{"Publisher", "Microsoft Corporation"}, {"UninstallString", exe},
                             {"SystemComponent", "1"}});
    AddEntry("TnkInvHiddenComponent", {{"DisplayName", "hidden"}, {"UninstallString", exe}});
    registry_.SetDword(HKEY_LOCAL_MACHINE, Entry("TnkInvHiddenComponent"), "SystemComponent", 1);
    AddEntry("TnkInvHiddenParent", {{"DisplayName", "hidden"}, {"UninstallString", exe}, {"ParentKeyName", "Tnk"}});
    AddEntry("TnkInvComponentZero", {{"DisplayName", "Tnk Zero"}, {"UninstallString", exe}});
    registry_.SetDword(HKEY_LOCAL_MACHINE, Entry("TnkInvComponentZero"), "SystemComponent", 0);
    AddEntry("TnkInvNoName", {{"UninstallString", "\"" + exe + "\" /x"}, {"URLInfoAbout", " http://about.example/ "}});
    AddEntry("TnkInvHelpOnly", {{"DisplayName", "Tnk Help"}, {"UninstallString", exe}, {"URLInfoAbout", "   "},
                                {"HelpLink", "http://help.example/"}});
    AddEntry("TnkInvNoCommand", {{"DisplayName", "Tnk No Command"}});
    AddEntry("TnkInvEmptyCommand", {{"DisplayName", "Tnk Empty Command"}, {"UninstallString", ""}});
    registry_.CreateKey(HKEY_LOCAL_MACHINE, Entry("TnkInvHangul"));
    registry_.SetTextUtf8(HKEY_LOCAL_MACHINE, Entry("TnkInvHangul"), "DisplayName", "탄녹 한글 프로그램");
    registry_.SetText(HKEY_LOCAL_MACHINE, Entry("TnkInvHangul"), "UninstallString", exe);

    RowRecorder rows;
    ASSERT_EQ(ListAllPrograms(rows, {}), 0);
    std::vector<RecordedRow> ours;
    for (const RecordedRow& row : rows.Rows())
        if (Contains(row.key, "Tnk")) ours.push_back(row);
    std::vector<RecordedRow> expected = {
        {"Tnk Hotfix", "", "KB990002Tnk", exe, IndexOf("KB990002Tnk")},
        {"KB990003Tnk", "", "KB990003Tnk", exe, IndexOf("KB990003Tnk")},
        {"Tnk Zero", "", "TnkInvComponentZero", exe, IndexOf("TnkInvComponentZero")},
        {AnsiFromUtf8("탄녹 한글 프로그램"), "", "TnkInvHangul", exe, IndexOf("TnkInvHangul")},
        {"Tnk Help", "http://help.example/", "TnkInvHelpOnly", exe, IndexOf("TnkInvHelpOnly")},
        {"TnkInvNoName", "http://about.example/", "TnkInvNoName", exe, IndexOf("TnkInvNoName")},
    };
    SortByItem(expected);
    InMachinePlace(expected);
    EXPECT_EQ(ours, expected);
}

TEST_F(InventoryTest, FolderListingMatchesCommandsOrInstallLocations) {
    const std::string app = files_.AddFile("Program Files\\App\\uninst.exe");
    const std::string other = files_.AddFile("Other\\uninst.exe");
    const std::string appFolder = files_.Folder() + "\\Program Files\\App";
    AddEntry("TnkInvFolderQuoted", {{"DisplayName", "Tnk Quoted"}, {"UninstallString", "\"" + app + "\""}});
    AddEntry("TnkInvFolderMsi", {{"DisplayName", "Tnk Msi"}, {"UninstallString", "MsiExec.exe /X{TNK-1}"},
                                 {"InstallLocation", appFolder}});
    AddEntry("TnkInvFolderMsiNoLocation", {{"DisplayName", "Tnk Msi 2"},
                                           {"UninstallString", "MsiExec.exe /X{TNK-2} " + appFolder}});
    AddEntry("TnkInvFolderMsiElsewhere", {{"DisplayName", "Tnk Msi 3"},
                                          {"UninstallString", "MsiExec.exe /X{TNK-3} " + appFolder},
                                          {"InstallLocation", files_.Folder() + "\\Other"}});
    AddEntry("TnkInvFolderOther", {{"DisplayName", "Tnk Other"}, {"UninstallString", other}});
    AddEntry("TnkInvFolderNoCommand", {{"DisplayName", "Tnk None"}, {"InstallLocation", appFolder}});

    RowRecorder rows;
    ASSERT_EQ(ListProgramsInFolder(rows, {}, ToLowerAnsi(appFolder)), 0);
    std::vector<RecordedRow> expected = {
        {"Tnk Msi", "", "TnkInvFolderMsi", "", IndexOf("TnkInvFolderMsi")},
        {"Tnk Msi 2", "", "TnkInvFolderMsiNoLocation", "", IndexOf("TnkInvFolderMsiNoLocation")},
        {"Tnk Quoted", "", "TnkInvFolderQuoted", app, IndexOf("TnkInvFolderQuoted")},
    };
    SortByItem(expected);
    InMachinePlace(expected);
    EXPECT_EQ(rows.RowsWithKeyPrefix("TnkInv"), expected);

    RowRecorder wider;
    ListProgramsInFolder(wider, {}, ToLowerAnsi(files_.Folder()));
    EXPECT_EQ(wider.RowsWithKeyPrefix("TnkInv").size(), 5u);
    RowRecorder none;
    ListProgramsInFolder(none, {}, ToLowerAnsi(files_.Folder()) + "\\nowhere");
    EXPECT_TRUE(none.RowsWithKeyPrefix("TnkInv").empty());
}

TEST_F(InventoryTest, MissingRootListsNothing) {
    RowRecorder rows;
    const std::vector<RegistryPlace> user = {{HKEY_CURRENT_USER, 0}};
    EXPECT_EQ(ListAllPrograms(rows, {}, user, "Software\\TarnockTests\\NoSuchRoot"), -1);
    EXPECT_EQ(ListProgramsInFolder(rows, {}, "", user, "Software\\TarnockTests\\NoSuchRoot"), -1);
    EXPECT_TRUE(rows.Rows().empty());
}

TEST_F(InventoryTest, HostileEntriesNeverCrashOrOverflow) {
    const std::string exe = files_.AddFile("Hostile\\app.exe");
    const std::wstring root = WideFromAnsi(kUninstallRoot);
    const std::wstring command = WideFromAnsi(exe);
    // Hangul names take two bytes per character: 200 of them overflow a 260-byte name
    // buffer but still fit the ANSI path limit of Wine's registry functions.
    std::wstring hangul = L"TnkInvHan";
    hangul.append(191, L'\xD55C');  // 200 characters
    registry_.CreateKeyWide(HKEY_LOCAL_MACHINE, root + hangul, L"UninstallString", command);
    const std::string hangulAnsi = AnsiFromWide(hangul);
    // 255 characters, the registry's limit. Under Wine the ANSI functions cannot open
    // paths this long, so the entry may be unreadable and then stays unlisted.
    const std::wstring longAscii = L"TnkInvLong" + std::wstring(245, L'x');
    std::wstring longHangul = L"TnkInvHanLong";
    longHangul.append(242, L'\xD55C');
    registry_.CreateKeyWide(HKEY_LOCAL_MACHINE, root + longAscii, L"UninstallString", command);
    registry_.CreateKeyWide(HKEY_LOCAL_MACHINE, root + longHangul, L"UninstallString", command);
    AddEntry("TnkInvTooLongName", {{"DisplayName", std::string(2000, 'n')}, {"UninstallString", exe}});
    AddEntry("TnkInvBinaryName", {{"UninstallString", exe}});
    const std::string binary(100, '\x7f');
    registry_.SetBinary(HKEY_LOCAL_MACHINE, Entry("TnkInvBinaryName"), "DisplayName", binary.data(), 100);
    AddEntry("TnkInvForeignText", {{"UninstallString", exe}});
    registry_.SetTextUtf8(HKEY_LOCAL_MACHINE, Entry("TnkInvForeignText"), "DisplayName", "Ünïcødé ✓ 😀 ภาษาไทย");
    AddEntry("TnkInvShortArp", {{"UninstallString", exe}});
    registry_.CreateKey(HKEY_LOCAL_MACHINE, ArpEntry("TnkInvShortArp"));
    const BYTE shortRecord[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    registry_.SetBinary(HKEY_LOCAL_MACHINE, ArpEntry("TnkInvShortArp"), "SlowInfoCache", shortRecord, 10);
    AddEntry("TnkInvUnterminatedArp", {{"UninstallString", "c:\\gone.exe"}});
    registry_.CreateKey(HKEY_LOCAL_MACHINE, ArpEntry("TnkInvUnterminatedArp"));
    // UTF-16 'A' units, longer than the buffer and without a terminator anywhere.
    std::vector<BYTE> full(1100, 0);
    for (std::size_t i = 0; i < full.size(); i += 2) full[i] = 'A';
    registry_.SetBinary(HKEY_LOCAL_MACHINE, ArpEntry("TnkInvUnterminatedArp"), "SlowInfoCache", full.data(),
                        static_cast<DWORD>(full.size()));
    AddEntry("TnkInvArp552", {{"UninstallString", "c:\\gone.exe"}});
    registry_.CreateKey(HKEY_LOCAL_MACHINE, ArpEntry("TnkInvArp552"));
    std::vector<BYTE> exact(552, 0);
    for (std::size_t i = 0; i < exact.size(); i += 2) exact[i] = 'A';
    registry_.SetBinary(HKEY_LOCAL_MACHINE, ArpEntry("TnkInvArp552"), "SlowInfoCache", exact.data(), 552);

    RowRecorder rows;
    ASSERT_EQ(ListAllPrograms(rows, {}), 0);
    const std::vector<RecordedRow> all = rows.Rows();
    auto find = [&](const std::string& key) -> const RecordedRow* {
        for (const RecordedRow& row : all)
            if (row.key == key) return &row;
        return nullptr;
    };
    const RecordedRow* row = find(hangulAnsi);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->name, hangulAnsi);
    EXPECT_EQ(row->iconFile, exe);
    for (const std::wstring& name : {longAscii, longHangul}) {
        const std::string ansi = AnsiFromWide(name);
        for (const RecordedRow& listed : all) {
            if (!StartsWith(listed.key, ansi.substr(0, 13))) continue;
            EXPECT_EQ(listed.key, ansi);  // whole, never cut
            EXPECT_EQ(listed.name, ansi);
        }
    }
    row = find("TnkInvTooLongName");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->name, "TnkInvTooLongName");  // unreadable over 1024 bytes: the key name
    row = find("TnkInvBinaryName");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->name.substr(0, 100), binary);
    row = find("TnkInvForeignText");
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->name.empty());
    row = find("TnkInvShortArp");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->iconFile, exe);

    // The ARP path is at most 262 units, also when the record has no terminator.
    const CKelvoEngine engine(InstallerProductList{});
    EXPECT_EQ(engine.ResolveIconFile("TnkInvUnterminatedArp", ""), "");  // too long to read: no path
    EXPECT_EQ(engine.ResolveIconFile("TnkInvArp552", ""), std::string(262, 'A'));
}

TEST_F(InventoryTest, AnEntryDeletedDuringTheListingIsSkipped) {
    const std::string exe = files_.AddFile("Deleted\\app.exe");
    for (const char* key : {"TnkInvDelA", "TnkInvDelB", "TnkInvDelC", "TnkInvDelD"})
        AddEntry(key, {{"DisplayName", key}, {"UninstallString", exe}});
    RowRecorder rows;
    rows.onRow = [](const RecordedRow& row) {
        if (row.key == "TnkInvDelA") RegistryFixture::DeleteTree(HKEY_LOCAL_MACHINE, Entry("TnkInvDelB"));
    };
    ASSERT_EQ(ListAllPrograms(rows, {}), 0);
    std::vector<std::string> keys;
    for (const RecordedRow& row : rows.RowsWithKeyPrefix("TnkInvDel")) keys.push_back(row.key);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "TnkInvDelB"), 0);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "TnkInvDelA"), 1);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "TnkInvDelD"), 1);
}

}  // namespace
