// Every place Windows registers programs in: the 64-bit and the 32-bit view of the local
// machine and the current user. Listings and signature matching find an entry in each
// place it lives in and say which; removal acts on that place alone.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/ActiveXScanner.h"
#include "scan/Bho.h"
#include "scan/CategoryScan.h"
#include "scan/KelvoEngine.h"
#include "scan/ProgramListing.h"
#include "scan/StartUp.h"
#include "support/RowRecorder.h"
#include "support/ScanFixture.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

const RegistryPlace kMachine64{HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY};
const RegistryPlace kMachine32{HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY};
const RegistryPlace kUser{HKEY_CURRENT_USER, 0};
const RegistryPlace kAllPlaces[] = {kMachine64, kMachine32, kUser};

constexpr char kPrefix[] = "TnkPlc";

std::string Entry(const std::string& key) { return kUninstallRoot + key; }

// An uninstall entry in one place; every entry has an uninstall command.
struct PlacedEntry {
    RegistryPlace place;
    std::string key;
    std::string displayName;
};
const PlacedEntry kEntries[] = {
    {kMachine64, "TnkPlc64Only", "Tnk 64-bit program"},
    {kMachine32, "TnkPlc32Only", "Tnk 32-bit program"},
    {kUser, "TnkPlcUserOnly", "Tnk user program"},
    {kMachine64, "TnkPlcShared", "Tnk shared (64)"},
    {kMachine32, "TnkPlcShared", "Tnk shared (32)"},
    {kUser, "TnkPlcShared", "Tnk shared (user)"},
};

class PlacesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(IsWindows64()) << "the test prefix is a 64-bit one with two registry views";
        for (const PlacedEntry& entry : kEntries) {
            registry_.CreateKey(entry.place, Entry(entry.key));
            registry_.SetText(entry.place, Entry(entry.key), "DisplayName", entry.displayName);
            registry_.SetText(entry.place, Entry(entry.key), "UninstallString", "C:\\Tnk\\unins000.exe");
        }
    }

    RegistryFixture registry_;
};

RecordedRow Row(const PlacedEntry& entry, int itemValue, const std::string& info = "") {
    return {entry.displayName, info, entry.key, "", itemValue, PlaceText(entry.place)};
}

TEST_F(PlacesTest, TheTwoViewsAreApartAndMachinePlacesNameBoth) {
    // Guards the other tests: an entry of one view must not show in the other.
    EXPECT_EQ(SubkeyIndex(kMachine32, kUninstallRoot, "TnkPlc64Only"), -1);
    EXPECT_EQ(SubkeyIndex(kMachine64, kUninstallRoot, "TnkPlc32Only"), -1);
    const std::vector<RegistryPlace> machine = MachinePlaces();
    ASSERT_EQ(machine.size(), 2u);
    EXPECT_TRUE(machine[0] == kMachine64);
    EXPECT_TRUE(machine[1] == kMachine32);
    EXPECT_EQ(UninstallPlaces().size(), 3u);

    // The registry manager reads, writes and deletes in the view it is given.
    CRegistryManager reader(kMachine32, Entry("TnkPlcShared"), "DisplayName");
    ASSERT_EQ(reader.ReadString(), kRegSuccess);
    EXPECT_EQ(reader.textValue, "Tnk shared (32)");
    CRegistryManager other(kMachine64, Entry("TnkPlc32Only"), "DisplayName");
    EXPECT_EQ(other.ReadString(), kRegOpenFailed);
    CRegistryManager tree(kMachine32, Entry("TnkPlcShared"));
    tree.DeleteKeyTree();
    EXPECT_FALSE(KeyExists(kMachine32, Entry("TnkPlcShared")));
    EXPECT_TRUE(KeyExists(kMachine64, Entry("TnkPlcShared")));
    EXPECT_TRUE(KeyExists(kUser, Entry("TnkPlcShared")));
}

TEST_F(PlacesTest, AllProgramsListEachEntryOncePerPlace) {
    RowRecorder rows;
    ASSERT_EQ(ListAllPrograms(rows, {}), 0);
    // Places in order (64-bit, 32-bit, user), each in its enumeration order.
    std::vector<RecordedRow> expected;
    for (const RegistryPlace& place : kAllPlaces)
        for (const std::string& key : EnumerateSubkeys(place, kUninstallRoot))
            for (const PlacedEntry& entry : kEntries)
                if (entry.place == place && entry.key == key)
                    expected.push_back(Row(entry, SubkeyIndex(place, kUninstallRoot, key)));
    ASSERT_EQ(expected.size(), std::size(kEntries));
    EXPECT_EQ(rows.RowsWithKeyPrefix(kPrefix), expected);

    // The folder listing reads every place the same way.
    RowRecorder inFolder;
    ASSERT_EQ(ListProgramsInFolder(inFolder, {}, "c:\\tnk"), 0);
    EXPECT_EQ(inFolder.RowsWithKeyPrefix(kPrefix), expected);
}

TEST_F(PlacesTest, SignatureCategoriesFindTheirProductsInEveryPlace) {
    // An exact row whose key lives in all three places, and fragment rows for the
    // entries of a single place.
    const std::vector<SignatureRowData> signatures = {
        {"Tnk DB Shared", "shared info", "TnkPlcShared", "="},
        {"Tnk DB 32", "32 info", "plc32", "%"},
        {"Tnk DB User", "user info", "TNKPLCUSER", "%"},
        {"Tnk DB Every", "every info", "tnkplc", "%"},
    };
    std::vector<RecordedRow> expected = {
        Row(kEntries[3], 0, "shared info"), Row(kEntries[4], 0, "shared info"), Row(kEntries[5], 0, "shared info"),
        Row(kEntries[1], 1, "32 info"),
        Row(kEntries[2], 2, "user info"),
    };
    // The fragment that all entries share lists each place's entries in that place's order.
    for (const RegistryPlace& place : kAllPlaces)
        for (const std::string& key : EnumerateSubkeys(place, kUninstallRoot))
            for (const PlacedEntry& entry : kEntries)
                if (entry.place == place && entry.key == key) expected.push_back(Row(entry, 3, "every info"));

    for (const int type : {kScanSpyware, kScanToolbars, kScanMessengers, kScanFileSharing, kScanCommercial}) {
        FakeSignatureRows rows(signatures);
        RowRecorder recorder;
        CCategoryScan(InstallerProductList{}, recorder).Run(type, {}, rows);
        EXPECT_EQ(recorder.RowsWithKeyPrefix(kPrefix), expected) << "category " << type;
    }
}

// Add-ons, Run values and downloaded controls of the 32-bit view, each beside a same-named
// registration of the 64-bit view.
const std::string kClsid = "{7E57B1AC-0000-4000-8000-00000000C1A5}";
const std::string kRunName = "TnkPlcRun";

TEST_F(PlacesTest, AddonsOfThe32BitViewAreListedAndRemovedThere) {
    for (const RegistryPlace& place : {kMachine64, kMachine32}) {
        const RegistryPlace classes{HKEY_CLASSES_ROOT, place.view};
        const std::string bits = place == kMachine32 ? "32" : "64";
        registry_.CreateKey(classes, "CLSID\\" + kClsid);
        registry_.SetText(classes, "CLSID\\" + kClsid, "", "Tnk helper " + bits);
        registry_.CreateKey(place, std::string(kHelperObjectsKey) + "\\" + kClsid);
        registry_.SetText(place, kToolbarKey, kClsid, "");
        registry_.CreateKey(place, kExtensionsKey + kClsid);
        registry_.SetText(place, kExtensionsKey + kClsid, "ButtonText", "Tnk button " + bits);
    }

    struct Seen {
        int kind;
        std::string title;
        std::string place;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    {
        const CBho bho;
        for (int i = 0; i < bho.GetCount(); ++i) {
            const AddonEntry* e = bho.GetEntry(i);
            if (kClsid == e->registryName) seen.push_back({e->kind, e->title, PlaceText(e->place)});
        }
        // The category rows carry the place in their hidden column.
        RowRecorder rows;
        FakeSignatureRows none;
        CCategoryScan(InstallerProductList{}, rows).Run(kScanBrowserAddons, {}, none);
        for (const RecordedRow& row : rows.Rows()) {
            if (row.key != kClsid) continue;
            EXPECT_EQ(row.place, PlaceText(bho.GetEntry(row.itemValue)->place));
        }
    }
    // Kind by kind, the 64-bit view first; titles from the class of the entry's own view.
    const std::vector<Seen> expected = {
        {kAddonHelperObject, "Tnk helper 64", "HKLM64"}, {kAddonHelperObject, "Tnk helper 32", "HKLM32"},
        {kAddonToolbar, "Tnk helper 64", "HKLM64"},      {kAddonToolbar, "Tnk helper 32", "HKLM32"},
        {kAddonExtensionButton, "Tnk button 64", "HKLM64"}, {kAddonExtensionButton, "Tnk button 32", "HKLM32"},
    };
    EXPECT_EQ(seen, expected);

    {
        CBho bho;
        EXPECT_EQ(bho.RemoveRow(kClsid, "HKLM32"), 1);
    }
    EXPECT_FALSE(KeyExists(kMachine32, std::string(kHelperObjectsKey) + "\\" + kClsid));
    EXPECT_FALSE(ValueExists(kMachine32, kToolbarKey, kClsid));
    EXPECT_FALSE(KeyExists(kMachine32, kExtensionsKey + kClsid));
    EXPECT_TRUE(KeyExists(kMachine64, std::string(kHelperObjectsKey) + "\\" + kClsid));
    EXPECT_TRUE(ValueExists(kMachine64, kToolbarKey, kClsid));
    EXPECT_TRUE(KeyExists(kMachine64, kExtensionsKey + kClsid));
    EXPECT_TRUE(KeyExists(kMachine32, kExtensionsKey));  // only the registration, never its parent
}

TEST_F(PlacesTest, RunValuesOfEveryPlaceAreListedAndRemovedOneByOne) {
    for (const RegistryPlace& place : kAllPlaces) registry_.SetText(place, kRunKey, kRunName, "C:\\Tnk\\run.exe");

    std::vector<std::string> places;
    {
        const CStartUp startup;
        for (int i = 0; i < startup.GetCount(); ++i) {
            const StartupEntry* e = startup.GetEntry(i);
            if (kRunName == e->entryName) places.push_back(PlaceText(e->place));
        }
    }
    EXPECT_EQ(places, std::vector<std::string>({"HKLM64", "HKLM32", "HKCU"}));

    {
        CStartUp startup;
        EXPECT_EQ(startup.Remove(kRunName, kMachine32), 1);
    }
    EXPECT_FALSE(ValueExists(kMachine32, kRunKey, kRunName));
    EXPECT_TRUE(ValueExists(kMachine64, kRunKey, kRunName));
    EXPECT_TRUE(ValueExists(kUser, kRunKey, kRunName));
}

TEST_F(PlacesTest, ControlsOfThe32BitViewAreListedWithTheirOwnClass) {
    for (const RegistryPlace& place : {kMachine64, kMachine32}) {
        const RegistryPlace classes{HKEY_CLASSES_ROOT, place.view};
        const std::string bits = place == kMachine32 ? "32" : "64";
        registry_.CreateKey(place, kDistributionUnitsKey + kClsid);
        registry_.CreateKey(classes, "CLSID\\" + kClsid);
        registry_.SetText(classes, "CLSID\\" + kClsid, "", "Tnk control " + bits);
        registry_.SetText(classes, "CLSID\\" + kClsid + "\\InprocServer32", "", "C:\\Tnk\\control" + bits + ".ocx");
    }
    RowRecorder rows;
    ASSERT_EQ(ListActiveXControls(rows), 0);
    std::vector<RecordedRow> ours;
    for (const RecordedRow& row : rows.Rows())
        if (row.info == kClsid) ours.push_back(row);
    const std::vector<RecordedRow> expected = {
        {"Tnk control 64", kClsid, "C:\\Tnk\\control64.ocx", "C:\\Tnk\\control64.ocx",
         SubkeyIndex(kMachine64, kDistributionUnitsKey, kClsid), "HKLM64"},
        {"Tnk control 32", kClsid, "C:\\Tnk\\control32.ocx", "C:\\Tnk\\control32.ocx",
         SubkeyIndex(kMachine32, kDistributionUnitsKey, kClsid), "HKLM32"},
    };
    EXPECT_EQ(ours, expected);
}

// The backup folder taken away for one scope: a plain file stands where the folder
// should be, so no backup can be written.
class BackupFolderBlocked {
public:
    BackupFolderBlocked() {
        wchar_t* raw = nullptr;
        if (FAILED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &raw))) return;
        const std::wstring base = std::wstring(raw) + L"\\Tarnock";
        CoTaskMemFree(raw);
        CreateDirectoryW(base.c_str(), nullptr);
        folder_ = base + L"\\Backup";
        aside_ = base + L"\\Backup.tnk-aside";
        moved_ = MoveFileW(folder_.c_str(), aside_.c_str()) != FALSE;
        ScopedHandle file(CreateFileW(folder_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
        blocked_ = static_cast<bool>(file);
    }
    ~BackupFolderBlocked() {
        if (blocked_) DeleteFileW(folder_.c_str());
        if (moved_) MoveFileW(aside_.c_str(), folder_.c_str());
    }
    BackupFolderBlocked(const BackupFolderBlocked&) = delete;
    BackupFolderBlocked& operator=(const BackupFolderBlocked&) = delete;
    bool Blocked() const { return blocked_; }

private:
    std::wstring folder_;
    std::wstring aside_;
    bool moved_ = false;
    bool blocked_ = false;
};

TEST_F(PlacesTest, RemovalDeletesNothingWhenTheBackupCannotBeWritten) {
    registry_.CreateKey(kMachine32, std::string(kHelperObjectsKey) + "\\" + kClsid);
    registry_.SetText(kMachine32, kRunKey, kRunName, "C:\\Tnk\\run.exe");
    {
        const BackupFolderBlocked blocked;
        ASSERT_TRUE(blocked.Blocked());
        CBho bho;
        EXPECT_EQ(bho.Remove(kClsid, kMachine32), 0);
        CStartUp startup;
        EXPECT_EQ(startup.Remove(kRunName, kMachine32), 0);
    }
    EXPECT_TRUE(KeyExists(kMachine32, std::string(kHelperObjectsKey) + "\\" + kClsid));
    EXPECT_TRUE(ValueExists(kMachine32, kRunKey, kRunName));

    // With the folder back, the same removals go through.
    CBho bho;
    EXPECT_EQ(bho.Remove(kClsid, kMachine32), 1);
    CStartUp startup;
    EXPECT_EQ(startup.Remove(kRunName, kMachine32), 1);
    EXPECT_FALSE(KeyExists(kMachine32, std::string(kHelperObjectsKey) + "\\" + kClsid));
    EXPECT_FALSE(ValueExists(kMachine32, kRunKey, kRunName));
}

}  // namespace
