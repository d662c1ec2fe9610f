// Removing a downloaded ActiveX control in the registry view of its row's place: the whole
// registration goes from that view only, and only a file inside the downloaded-program
// folder named by the machine's own class is accepted.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "base/RegistryManager.h"
#include "removal/ActiveXRemoval.h"
#include "scan/CategoryScan.h"
#include "scan/ShellFolders.h"
#include "support/ScanFixture.h"
#include "support/TestMachine.h"

namespace tarnock {
namespace {

using testing::FileFixture;
using testing::KeyExists;
using testing::RegistryFixture;
using testing::TempFolder;

// Calls of the stand-in cache library: file and class.
std::vector<std::string> cacheCalls;
HRESULT WINAPI RecordRemoveControl(LPCSTR file, LPCSTR classId, LPCSTR, BOOL, DWORD) {
    cacheCalls.push_back(std::string(file) + "|" + classId);
    return S_OK;  // removes nothing: what it leaves, the removal deletes itself
}

class ActiveXRemovalTest : public ::testing::Test {
protected:
    void SetUp() override { cacheCalls.clear(); }
    // A full registration in `place`: class, type library with one interface, program
    // identifiers, distribution unit; returns its keys below HKEY_LOCAL_MACHINE.
    std::vector<std::string> Register(const RegistryPlace& place, const std::string& id, const std::string& file) {
        const std::string classKey = ClassPath(id);
        const std::string typeLib = "{7E57AC9F-0000-4000-8000-00000000009F}";
        const std::string libraryKey = std::string(kMachineClassRoot) + "TypeLib\\" + typeLib;
        const std::string interfaceKey = std::string(kMachineClassRoot) + "Interface\\{7E57AC9E-0000-4000-8000-00000000009E}";
        const std::string progId = std::string(kMachineClassRoot) + "Tnk.Viewer.1";
        registry_.SetText(place, classKey, "", "Tnk Viewer");
        registry_.SetText(place, classKey + "\\InprocServer32", "", file);
        registry_.SetText(place, classKey + "\\TypeLib", "", typeLib);
        registry_.SetText(place, classKey + "\\ProgID", "", "Tnk.Viewer.1");
        registry_.SetText(place, classKey + "\\VersionIndependentProgID", "", "Tnk.Shared");  // another class's
        registry_.SetText(place, libraryKey + "\\1.0", "", "Tnk Viewer Library");
        registry_.SetText(place, interfaceKey + "\\TypeLib", "", typeLib);
        registry_.SetText(place, progId + "\\CLSID", "", id);
        registry_.SetText(place, std::string(kMachineClassRoot) + "Tnk.Shared\\CLSID", "",
                          "{7E57AC9D-0000-4000-8000-00000000009D}");
        registry_.CreateKey(place, kDistributionUnitsKey + id);
        return {classKey, libraryKey, interfaceKey, progId, kDistributionUnitsKey + id};
    }
    static std::string DownloadedPrograms() {
        return SpecialFolderPath(CSIDL_WINDOWS) + "\\Downloaded Program Files\\TnkActiveX";
    }
    static std::string ClassPath(const std::string& id) { return std::string(kMachineClassRoot) + "CLSID\\" + id; }
    RegistryFixture registry_;
};

// Each machine view in turn (on 64-bit Windows the 32-bit one too): the control's whole
// registration goes from its own view, a same-named class of the other view stays, and the
// cache library is used only in this program's own view.
TEST_F(ActiveXRemovalTest, AControlIsRemovedInItsOwnViewOnly) {
    const std::string id = "{7E57AC90-0000-4000-8000-000000000090}";
    const std::vector<RegistryPlace> places = MachinePlaces();
    for (std::size_t i = 0; i < places.size(); ++i) {
        const RegistryPlace& place = places[i];
        SCOPED_TRACE(PlaceText(place));
        cacheCalls.clear();
        FileFixture files(DownloadedPrograms());
        const std::string file = files.AddFile("tnkview.ocx");
        const std::vector<std::string> keys = Register(place, id, file);
        std::string twin;
        if (places.size() > 1) {
            const RegistryPlace& other = places[1 - i];
            twin = ClassPath(id);
            registry_.SetText(other, twin, "", "Tnk Twin");
        }

        EXPECT_EQ(RemoveActiveXControl(id, place, &RecordRemoveControl), ActiveXRemoval::Removed);
        for (const std::string& key : keys) EXPECT_FALSE(KeyExists(place, key)) << key;
        EXPECT_TRUE(KeyExists(place, std::string(kMachineClassRoot) + "Tnk.Shared\\CLSID"));
        if (!twin.empty()) {
            EXPECT_TRUE(KeyExists(places[1 - i], twin));
        }
        const bool ownView = place.view != (sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY);
        if (ownView) {
            EXPECT_EQ(cacheCalls, std::vector<std::string>{file + "|" + id});
        } else {
            EXPECT_TRUE(cacheCalls.empty());
            EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
        }
        if (!twin.empty()) RegistryFixture::DeleteTree(places[1 - i], twin);
    }
}

// Only a file inside the downloaded-program folder, named by the machine's own class, is
// handed on; anything else deletes nothing and calls nothing.
TEST_F(ActiveXRemovalTest, AFileOutsideTheDownloadedProgramFolderIsRefused) {
    const RegistryPlace place = MachinePlaces().front();
    FileFixture files(DownloadedPrograms());
    const std::string inside = files.AddFile("tnkview.ocx");
    FileFixture elsewhere(TempFolder() + "TnkActiveXElsewhere");
    const std::string outside = elsewhere.AddFile("evil.ocx");
    const std::string id = "{7E57AC91-0000-4000-8000-000000000091}";
    const struct {
        std::string file;
        ActiveXRemoval result;
    } cases[] = {
        {outside, ActiveXRemoval::FileRefused},
        {files.Folder() + "\\..\\..\\system32\\evil.ocx", ActiveXRemoval::FileRefused},
        {"%TEMP%\\evil.ocx", ActiveXRemoval::FileRefused},
        {"\\\\server\\share\\Downloaded Program Files\\evil.ocx", ActiveXRemoval::FileRefused},
        {"Downloaded Program Files\\evil.ocx", ActiveXRemoval::FileRefused},
        {"", ActiveXRemoval::FileRefused},
        {"%SystemRoot%\\Downloaded Program Files\\TnkActiveX\\tnkview.ocx", ActiveXRemoval::Removed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        cacheCalls.clear();
        const std::vector<std::string> keys = Register(place, id, c.file);
        EXPECT_EQ(RemoveActiveXControl(id, place, &RecordRemoveControl), c.result);
        if (c.result == ActiveXRemoval::Removed) {
            EXPECT_EQ(cacheCalls, std::vector<std::string>{inside + "|" + id});
            continue;
        }
        EXPECT_TRUE(cacheCalls.empty());
        for (const std::string& key : keys) EXPECT_TRUE(KeyExists(place, key)) << key;
    }

    // A class that only the user's classes know, with a file inside the folder: not the
    // machine's control.
    cacheCalls.clear();
    const std::string userOnly = "{7E57AC92-0000-4000-8000-000000000092}";
    registry_.CreateKey(place, kDistributionUnitsKey + userOnly);
    registry_.SetText(HKEY_CURRENT_USER, "Software\\Classes\\CLSID\\" + userOnly + "\\InprocServer32", "", inside);
    EXPECT_EQ(RemoveActiveXControl(userOnly, place, &RecordRemoveControl), ActiveXRemoval::NotRegistered);
    EXPECT_EQ(RemoveActiveXControl("CLSID\\..\\" + userOnly, place, &RecordRemoveControl), ActiveXRemoval::BadName);
    EXPECT_TRUE(cacheCalls.empty());
    EXPECT_TRUE(KeyExists(place, kDistributionUnitsKey + userOnly));
}

class RowHost : public IRemovalHost {
public:
    bool AskYesNo(const std::wstring&) override { return false; }
    void Tell(const std::wstring& text) override { told.push_back(text); }
    void DeleteRow(const RemovalRow& row) override { deleted.push_back(row.row); }
    void Rescan(int) override {}
    void AddChangeWaitEvent(HANDLE) override {}
    void RemoveChangeWaitEvent(HANDLE) override {}
    bool IsShuttingDown() const override { return false; }
    std::vector<std::wstring> told;
    std::vector<int> deleted;
};

// The row of the last machine view (the 32-bit one on 64-bit Windows) through the system's
// own removal path: the row leaves because the control is gone from that view; a refused
// control keeps its row and tells the user.
TEST_F(ActiveXRemovalTest, TheRowLeavesOnlyWhenTheControlIsGoneFromItsView) {
    const RegistryPlace place = MachinePlaces().back();
    FileFixture files(DownloadedPrograms());
    const std::string id = "{7E57AC93-0000-4000-8000-000000000093}";
    for (const bool inside : {false, true}) {
        SCOPED_TRACE(inside ? "inside" : "outside");
        const std::vector<std::string> keys =
            Register(place, id, inside ? files.AddFile("tnkrow.ocx") : "C:\\Users\\Public\\tnkrow.ocx");
        RemovalRow row;
        row.row = 4;
        row.category = kScanActiveX;
        row.texts[0] = "Tnk Viewer";
        row.texts[1] = id;
        row.texts[2] = "C:\\Users\\Public\\planted.ocx";  // the row's file text is never used
        row.texts[4] = PlaceText(place);
        RowHost host;
        std::vector<std::string> reported;
        const RemovalOutcome outcome =
            RemoveActiveXFromRow(host, row, [&](const std::string& key) { reported.push_back(key); });
        if (!inside) {
            EXPECT_EQ(outcome, RemovalOutcome::Cancelled);
            EXPECT_TRUE(host.deleted.empty());
            EXPECT_EQ(host.told.size(), 1u);
            for (const std::string& key : keys) EXPECT_TRUE(KeyExists(place, key)) << key;
            continue;
        }
        EXPECT_EQ(outcome, RemovalOutcome::RowRemoved);
        EXPECT_EQ(host.deleted, std::vector<int>{4});
        EXPECT_EQ(reported, std::vector<std::string>{"CLSID\\" + id});
        for (const std::string& key : keys) EXPECT_FALSE(KeyExists(place, key)) << key;
    }
}

}  // namespace
}  // namespace tarnock
