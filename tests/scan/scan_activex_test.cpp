// The ActiveX control listing over the browser's distribution units.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RegistryManager.h"
#include "scan/ActiveXScanner.h"
#include "scan/CategoryScan.h"
#include "support/RowRecorder.h"
#include "support/ScanFixture.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

constexpr char kPrefix[] = "{7E57AC";

class ActiveXTest : public ::testing::Test {
protected:
    void AddUnit(const std::string& id) { registry_.CreateKey(HKEY_LOCAL_MACHINE, kDistributionUnitsKey + id); }
    // The machine's class registration (HKEY_LOCAL_MACHINE\SOFTWARE\Classes).
    void AddClass(const std::string& id, const std::string* name, const std::string* server,
                  const std::string* bitmap) {
        const std::string path = ClassPath(id);
        registry_.CreateKey(HKEY_LOCAL_MACHINE, path);
        if (name) registry_.SetText(HKEY_LOCAL_MACHINE, path, "", *name);
        if (server) registry_.SetText(HKEY_LOCAL_MACHINE, path + "\\InprocServer32", "", *server);
        if (bitmap) registry_.SetText(HKEY_LOCAL_MACHINE, path + "\\ToolboxBitmap32", "", *bitmap);
    }
    static std::string ClassPath(const std::string& id) { return std::string(kMachineClassRoot) + "CLSID\\" + id; }
    static int Index(const std::string& id) {
        return SubkeyIndex(HKEY_LOCAL_MACHINE, kDistributionUnitsKey, id);
    }
    RegistryFixture registry_;
};

TEST_F(ActiveXTest, RowsForRegisteredControlsWithTrimmedNames) {
    const std::string full = "{7E57AC01-0000-4000-8000-000000000001}";
    const std::string unregistered = "{7E57AC02-0000-4000-8000-000000000002}";
    const std::string blankName = "{7E57AC03-0000-4000-8000-000000000003}";
    const std::string noServer = "{7E57AC04-0000-4000-8000-000000000004}";
    const std::string noBitmap = "{7E57AC05-0000-4000-8000-000000000005}";
    const std::string noDefault = "{7E57AC06-0000-4000-8000-000000000006}";
    const std::string name = " \t Tnk Viewer Control  ";
    const std::string blank = "   ";
    const std::string server = "C:\\WINDOWS\\Downloaded Program Files\\tnkview.ocx";
    const std::string bitmap = server + ", 1";
    const std::string other = "Tnk Other Control";
    for (const std::string& id : {full, unregistered, blankName, noServer, noBitmap, noDefault}) AddUnit(id);
    AddClass(full, &name, &server, &bitmap);
    AddClass(blankName, &blank, &server, &bitmap);
    AddClass(noServer, &other, nullptr, &bitmap);
    AddClass(noBitmap, &other, &server, nullptr);
    AddClass(noDefault, nullptr, &server, &bitmap);  // class key without its default value
    // The user's classes never speak for the machine's control.
    const std::string userClass = "Software\\Classes\\CLSID\\" + full;
    registry_.SetText(HKEY_CURRENT_USER, userClass, "", "Tnk Override");
    registry_.SetText(HKEY_CURRENT_USER, userClass + "\\InprocServer32", "", "C:\\Users\\x\\evil.ocx");

    RowRecorder rows;
    EXPECT_EQ(ListActiveXControls(rows), 0);
    const std::string place = PlaceText(MachinePlaces().front());  // the program's own view
    const std::vector<RecordedRow> expected = {
        {"Tnk Viewer Control", full, server, bitmap, Index(full), place},
        {other, noServer, "", bitmap, Index(noServer), place},
        {other, noBitmap, server, server, Index(noBitmap), place},
    };
    std::vector<RecordedRow> ours;
    for (const RecordedRow& row : rows.Rows())
        if (row.info.rfind(kPrefix, 0) == 0) ours.push_back(row);
    EXPECT_EQ(ours, expected);  // Wine enumerates the units sorted by name
    // The skipped units still count: the rows' item values are their enumeration positions.
    EXPECT_EQ(Index(noServer) - Index(full), 3);

    RowRecorder scanned;
    FakeSignatureRows noSignatures;
    CCategoryScan(InstallerProductList{}, scanned).Run(kScanActiveX, {}, noSignatures);
    EXPECT_EQ(scanned.Rows(), rows.Rows());
    EXPECT_EQ(scanned.LastScanType(), kScanActiveX);
}

TEST_F(ActiveXTest, MissingOrEmptyRootGivesNoRows) {
    RowRecorder rows;
    const std::vector<RegistryPlace> user = {{HKEY_CURRENT_USER, 0}};
    EXPECT_EQ(ListActiveXControls(rows, user, "Software\\TarnockTests\\NoUnits"), -1);
    registry_.CreateKey(HKEY_CURRENT_USER, "Software\\TarnockTests\\EmptyUnits");
    EXPECT_EQ(ListActiveXControls(rows, user, "Software\\TarnockTests\\EmptyUnits"), 0);
    EXPECT_TRUE(rows.Rows().empty());
}

TEST_F(ActiveXTest, HostileClassValuesNeverOverflow) {
    const std::string longName = "{7E57AC11-0000-4000-8000-000000000011}";
    const std::string binaryName = "{7E57AC12-0000-4000-8000-000000000012}";
    AddUnit(longName);
    AddUnit(binaryName);
    const std::string huge(3000, 'h');
    AddClass(longName, &huge, &huge, nullptr);  // unreadable name: skipped
    registry_.CreateKey(HKEY_LOCAL_MACHINE, ClassPath(binaryName));
    const BYTE bytes[] = {' ', 'B', 'i', 'n', ' ', 0xff};
    registry_.SetBinary(HKEY_LOCAL_MACHINE, ClassPath(binaryName), "", bytes, sizeof(bytes));

    RowRecorder rows;
    ListActiveXControls(rows);
    std::vector<std::string> ids;
    for (const RecordedRow& row : rows.Rows())
        if (row.info.rfind("{7E57AC1", 0) == 0) ids.push_back(row.info);
    EXPECT_EQ(ids, std::vector<std::string>({binaryName}));
}

}  // namespace
