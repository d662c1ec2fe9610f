// The Internet Explorer add-on scanner: the four kinds with their labels and fallbacks,
// version strings, and removal that deletes registrations without running add-on code.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/Bho.h"
#include "scan/CategoryScan.h"
#include "scan/ShellFolders.h"
#include "support/RowRecorder.h"
#include "support/ScanFixture.h"
#include "support/TestMachine.h"

#include <shlobj.h>

using namespace tarnock;
using namespace tarnock::testing;

namespace {

constexpr char kPrefix[] = "{7E57A0";
constexpr char kCounterKey[] = "Software\\TarnockTests\\ScanAddon";
const std::string kBhoOne = "{7E57A001-0000-4000-8000-000000000001}";
const std::string kBhoPlain = "{7E57A002-0000-4000-8000-000000000002}";
const std::string kToolbarMissing = "{7E57A003-0000-4000-8000-000000000003}";
const std::string kButton = "{7E57A004-0000-4000-8000-000000000004}";
const std::string kMenuTextButton = "{7E57A005-0000-4000-8000-000000000005}";
const std::string kBareButton = "{7E57A006-0000-4000-8000-000000000006}";

// Where the registrations written with the program's own view live.
const RegistryPlace kMachine = MachinePlaces().front();
const RegistryPlace kUser{HKEY_CURRENT_USER, 0};

std::string Label(const wchar_t* label) { return AnsiFromWide(label); }

struct Expected {
    std::string registryName;
    std::string title;
    std::string company;
    std::string description;
    std::string filePath;
    int kind;
};

std::vector<Expected> OurEntries(const CBho& bho, const std::string& prefix = kPrefix) {
    std::vector<Expected> result;
    for (int i = 0; i < bho.GetCount(); ++i) {
        const AddonEntry* e = bho.GetEntry(i);
        if (!StartsWith(e->registryName, prefix)) continue;
        result.push_back({e->registryName, e->title, e->company, e->description, e->filePath, e->kind});
    }
    return result;
}

void ExpectEntry(const Expected& actual, const Expected& expected) {
    EXPECT_EQ(actual.registryName, expected.registryName);
    EXPECT_EQ(actual.title, expected.title) << expected.registryName;
    EXPECT_EQ(actual.company, expected.company) << expected.registryName;
    EXPECT_EQ(actual.description, expected.description) << expected.registryName;
    EXPECT_EQ(actual.filePath, expected.filePath) << expected.registryName;
    EXPECT_EQ(actual.kind, expected.kind) << expected.registryName;
}

// What the stand-in servers wrote: "UnregisterCalls" when their unregistration ran,
// "Loaded" when the marker server was loaded as code.
DWORD Mark(const char* name) {
    ScopedKey key;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kCounterKey, 0, KEY_READ, key.Put()) == ERROR_SUCCESS)
        RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    return value;
}
DWORD UnregisterCalls() { return Mark("UnregisterCalls"); }

std::string MachineClass(const std::string& clsid) { return std::string(kMachineClassesKey) + clsid; }

class AddonTest : public ::testing::Test {
protected:
    void SetUp() override { RegistryFixture::DeleteTree(HKEY_CURRENT_USER, kCounterKey); }
    void TearDown() override { RegistryFixture::DeleteTree(HKEY_CURRENT_USER, kCounterKey); }

    // The machine's class registration (HKEY_LOCAL_MACHINE\SOFTWARE\Classes).
    void AddClass(const std::string& clsid, const std::string* name, const std::string& server) {
        const std::string path = MachineClass(clsid);
        registry_.CreateKey(HKEY_LOCAL_MACHINE, path);
        if (name) registry_.SetText(HKEY_LOCAL_MACHINE, path, "", *name);
        if (!server.empty()) registry_.SetText(HKEY_LOCAL_MACHINE, path + "\\InprocServer32", "", server);
    }
    void AddHelperObject(const std::string& clsid) {
        registry_.CreateKey(HKEY_LOCAL_MACHINE, std::string(kHelperObjectsKey) + "\\" + clsid);
    }
    void AddToolbar(const std::string& name) { registry_.SetText(HKEY_LOCAL_MACHINE, kToolbarKey, name, ""); }
    void AddButton(const std::string& clsid, std::initializer_list<std::pair<const char*, std::string>> values) {
        const std::string path = kExtensionsKey + clsid;
        registry_.CreateKey(HKEY_LOCAL_MACHINE, path);
        for (const auto& [name, value] : values) registry_.SetText(HKEY_LOCAL_MACHINE, path, name, value);
    }
    void AddMenu(const std::string& name, const std::string* script) {
        const std::string path = kMenuExtKey + name;
        registry_.CreateKey(HKEY_CURRENT_USER, path);
        if (script) registry_.SetText(HKEY_CURRENT_USER, path, "", *script);
    }

    RegistryFixture registry_;
};

TEST_F(AddonTest, FourKindsWithLabelsAndFallbacks) {
    const std::string ok = ScanFixtureDll("addon_ok");
    const std::string plain = ScanFixtureDll("addon_noexport");
    const std::string noVersion = ScanFixtureDll("addon_noversion");
    const std::string plainName = "Tnk Plain BHO";
    AddClass(kBhoOne, nullptr, ok);  // no default value: the CLSID is the title
    AddHelperObject(kBhoOne);
    AddClass(kBhoPlain, &plainName, noVersion);
    AddHelperObject(kBhoPlain);
    AddToolbar(kToolbarMissing);  // no class registration at all
    AddToolbar(kBhoOne);          // the same class as helper object and toolbar
    AddButton(kButton, {{"ButtonText", "Tnk Button"}, {"Icon", "C:\\Tnk\\button.ico"}, {"Exec", plain}});
    AddButton(kMenuTextButton, {{"MenuText", "Tnk Menu Text"}, {"ButtonText", "ignored"}});
    AddButton(kBareButton, {});
    const std::string menuName = std::string(kPrefix) + " " + AnsiFromUtf8("탄녹 메뉴 &검색");
    const std::string menuBare = std::string(kPrefix) + " menu without script";
    AddMenu(menuName, &ok);
    AddMenu(menuBare, nullptr);

    const CBho bho;
    const std::vector<Expected> entries = OurEntries(bho);
    const std::vector<Expected> expected = {
        {kBhoOne, kBhoOne, "Tnk Addon Corp=>BHO", "Tnk Addon Helper", ok, kAddonHelperObject},
        {kBhoPlain, plainName, "=>BHO", "", noVersion, kAddonHelperObject},
        {kBhoOne, "", "Tnk Addon Corp" + Label(L"=>툴바"), "Tnk Addon Helper", ok, kAddonToolbar},
        {kToolbarMissing, "", Label(L"=>툴바"), "", "", kAddonToolbar},
        {kButton, "Tnk Button", "Tnk Plain Corp" + Label(L"=>확장버튼"), "Tnk Plain Library", "C:\\Tnk\\button.ico",
         kAddonExtensionButton},
        {kMenuTextButton, "Tnk Menu Text", Label(L"=>확장버튼"), "", "", kAddonExtensionButton},
        {kBareButton, kBareButton, Label(L"=>확장버튼"), "", "", kAddonExtensionButton},
        {menuBare, menuBare, Label(L"=>확장메뉴"), menuBare, "", kAddonMenuExtension},
        {menuName, menuName, "Tnk Addon Corp" + Label(L"=>확장메뉴"), menuName, "", kAddonMenuExtension},
    };
    // Kinds in scan order; within a kind the registry's enumeration order, which Wine
    // sorts by name (the expected order relies on that).
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) ExpectEntry(entries[i], expected[i]);
    EXPECT_EQ(bho.GetEntry(bho.GetCount()), nullptr);
    EXPECT_EQ(bho.GetEntry(-1), nullptr);

    // The category rows: description, else title, else the registered name.
    RowRecorder rows;
    FakeSignatureRows noSignatures;
    CCategoryScan(InstallerProductList{}, rows).Run(kScanBrowserAddons, {}, noSignatures);
    std::vector<std::string> names;
    for (const RecordedRow& row : rows.RowsWithKeyPrefix(kPrefix)) {
        names.push_back(row.name);
        EXPECT_EQ(row.info, bho.GetEntry(row.itemValue)->company);
        EXPECT_EQ(row.key, bho.GetEntry(row.itemValue)->registryName);
        EXPECT_EQ(row.iconFile, bho.GetEntry(row.itemValue)->filePath);
    }
    const std::vector<std::string> expectedNames = {"Tnk Addon Helper", "Tnk Plain BHO", "Tnk Addon Helper",
                                                    kToolbarMissing, "Tnk Plain Library", "Tnk Menu Text",
                                                    kBareButton, menuBare, menuName};
    EXPECT_EQ(names, expectedNames);
    EXPECT_EQ(rows.LastScanType(), kScanBrowserAddons);
}

TEST_F(AddonTest, RemovingAClassRegisteredTwiceDeletesBothRegistrationsAndTheClassWithoutRunningIt) {
    const std::string ok = ScanFixtureDll("addon_ok");
    AddClass(kBhoOne, nullptr, ok);
    AddHelperObject(kBhoOne);
    AddToolbar(kBhoOne);
    AddButton(kButton, {{"Exec", ok}, {"Icon", ok}});
    AddMenu(std::string(kPrefix) + " menu", &ok);

    {
        CBho bho;
        // Names are compared whole and case-sensitively: these match nothing.
        EXPECT_EQ(bho.Remove(kBhoOne + " ", kMachine), 1);
        EXPECT_EQ(bho.Remove(ToLowerAnsi(kBhoOne), kMachine), 1);
        EXPECT_EQ(bho.Remove("", kMachine), 1);
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kHelperObjectsKey) + "\\" + kBhoOne));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, MachineClass(kBhoOne)));

    {
        CBho bho;
        EXPECT_EQ(bho.Remove(kBhoOne, kMachine), 1);
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kHelperObjectsKey) + "\\" + kBhoOne));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, kToolbarKey, kBhoOne));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, MachineClass(kBhoOne)));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kExtensionsKey + kButton));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kExtensionsKey));

    {
        CBho bho;
        bho.Remove(kButton, kMachine);
        bho.Remove(std::string(kPrefix) + " menu", kUser);
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kExtensionsKey + kButton));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kExtensionsKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMenuExtKey + std::string(kPrefix) + " menu"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kMenuExtKey));
    // The add-on's own unregistration never ran, for the class nor for the button's icon.
    EXPECT_EQ(UnregisterCalls(), 0u);
}

// A per-user class override of a machine add-on's class points at a library whose loading
// leaves a mark: the scan shows the machine's file, and removing the add-on loads nothing,
// deletes the machine's class only and leaves the user's classes alone.
TEST_F(AddonTest, APerUserClassOverrideIsNeitherLoadedNorDeleted) {
    const std::string machineFile = ScanFixtureDll("addon_ok");
    const std::string marker = ScanFixtureDll("addon_marker");
    const std::string title = "Tnk Machine BHO";
    AddClass(kBhoOne, &title, machineFile);
    AddHelperObject(kBhoOne);
    AddToolbar(kBhoOne);
    AddButton(kButton, {{"ButtonText", "Tnk Button"}, {"Icon", marker}, {"Exec", marker}});
    const std::string userClass = "Software\\Classes\\CLSID\\" + kBhoOne;
    registry_.CreateKey(HKEY_CURRENT_USER, userClass);
    registry_.SetText(HKEY_CURRENT_USER, userClass, "", "Tnk Override");
    registry_.SetText(HKEY_CURRENT_USER, userClass + "\\InprocServer32", "", marker);

    {
        const CBho bho;
        const std::vector<Expected> entries = OurEntries(bho, kBhoOne);
        ASSERT_EQ(entries.size(), 2u);
        for (const Expected& entry : entries) {
            EXPECT_EQ(entry.filePath, machineFile) << entry.kind;
            EXPECT_NE(entry.title, "Tnk Override") << entry.kind;
        }
    }
    {
        CBho bho;
        EXPECT_EQ(bho.Remove(kBhoOne, kMachine), 1);
        EXPECT_EQ(bho.Remove(kButton, kMachine), 1);
    }
    EXPECT_EQ(Mark("Loaded"), 0u);
    EXPECT_EQ(UnregisterCalls(), 0u);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, MachineClass(kBhoOne)));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kExtensionsKey + kButton));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, userClass + "\\InprocServer32"));
}

TEST_F(AddonTest, VersionStringsExpandTheSystemRootInAnyCase) {
    FileFixture windows(SpecialFolderPath(CSIDL_WINDOWS) + "\\TnkAddonVersion");
    windows.CopyIn(ScanFixtureDll("addon_ok"), "Server.dll");
    for (const char* path : {"%SystemRoot%\\TnkAddonVersion\\Server.dll", "%SYSTEMROOT%\\tnkaddonversion\\server.dll",
                             "%systemroot%\\TnkAddonVersion\\Server.dll"}) {
        EXPECT_EQ(CBho::ReadVersionString(path, 1), "Tnk Addon Corp") << path;
        EXPECT_EQ(CBho::ReadVersionString(path, 2), "Tnk Addon Helper") << path;
    }
    EXPECT_EQ(CBho::ReadVersionString("%windir%\\TnkAddonVersion\\Server.dll", 1), "");
    EXPECT_EQ(CBho::ReadVersionString(ScanFixtureDll("addon_noversion"), 1), "");
    EXPECT_EQ(CBho::ReadVersionString("", 1), "");
}

TEST_F(AddonTest, LongTextsStayInsideTheirFields) {
    const std::string longDll = ScanFixtureDll("addon_longcompany");
    AddClass(kBhoOne, nullptr, longDll);
    AddHelperObject(kBhoOne);
    AddToolbar(kBhoOne);
    // Over-long names: a 600-byte toolbar value name is skipped, a 511-byte one read whole.
    const std::string tooLong = std::string(kPrefix) + std::string(600 - 7, 'v');
    const std::string fits = std::string(kPrefix) + std::string(511 - 7, 'w');
    AddToolbar(tooLong);
    AddToolbar(fits);
    const std::string longTitle(1000, 't');
    AddClass(kBhoPlain, &longTitle, std::string(900, 's'));
    AddHelperObject(kBhoPlain);

    const CBho bho;
    bool sawFits = false;
    for (int i = 0; i < bho.GetCount(); ++i) {
        const AddonEntry* e = bho.GetEntry(i);
        for (const char* field : {e->registryName, e->title, e->company, e->description, e->filePath})
            EXPECT_LT(strnlen(field, kAddonFieldSize), kAddonFieldSize);
        EXPECT_NE(std::string(e->registryName), tooLong);
        if (e->registryName == fits) sawFits = true;
        if (e->registryName != kBhoOne) continue;
        const std::string label = e->kind == kAddonHelperObject ? "=>BHO" : Label(L"=>툴바");
        EXPECT_EQ(std::string(e->company), std::string(511 - label.size(), 'L') + label);
    }
    EXPECT_TRUE(sawFits);
}

}  // namespace
