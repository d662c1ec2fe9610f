// The deletion rule on its own: which registry paths may go for a product, as text.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/DeletionRule.h"

using namespace tarnock;

namespace {

struct RuleCase {
    const char* path;
    DeletionVerdict verdict;
};

// The product of every case: its uninstall key name is "TnkProduct", its fragment "Tnk Tool".
const std::vector<std::string> kOwn = {"TnkProduct", "Tnk Tool", "  "};

TEST(DeletionRule, DatabasePathsOnlyBelowAVendorsProductOrTheOwnUninstallEntry) {
    using V = DeletionVerdict;
    const RuleCase cases[] = {
        // Vendor and product, in both hives and both views; values inside them.
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Product\\", V::Allowed},
        {"HKEY_LOCAL_MACHINE\\software\\Vendor\\Product\\Deeper\\", V::Allowed},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Product\\Setting", V::Allowed},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Vendor\\Product\\", V::Allowed},
        {"HKEY_USERS\\.DEFAULT\\Software\\Vendor\\Product\\", V::Allowed},
        {"HKEY_USERS\\S-1-5-21-1004336348-1177238915-682003330-1001\\Software\\Vendor\\Product\\Value", V::Allowed},
        // One level below SOFTWARE: only a key named after the product.
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\TnkProduct\\", V::Allowed},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\tnkproduct\\", V::Allowed},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Tnk Tool\\Setting", V::Allowed},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Google\\", V::VendorRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\Setting", V::VendorRoot},
        {"HKEY_USERS\\.DEFAULT\\Software\\Vendor\\", V::VendorRoot},
        // The product's own uninstall entry, and nobody else's.
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TnkProduct\\", V::Allowed},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tnkPRODUCT\\",
         V::Allowed},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TnkProduct\\DisplayIcon",
         V::Allowed},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\7-Zip\\",
         V::ForeignUninstallEntry},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TnkProduct2\\",
         V::ForeignUninstallEntry},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\  \\", V::Malformed},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\", V::SharedRoot},
        // Never under SYSTEM or outside SOFTWARE.
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TnkProduct\\", V::OutsideSoftware},
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TnkDriver\\Start", V::OutsideSoftware},
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Control\\", V::OutsideSoftware},
        {"HKEY_USERS\\.DEFAULT\\Control Panel\\Desktop\\", V::OutsideSoftware},
        // Class roots: CLSID, Interface, TypeLib, file types, a user's class hive.
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{7E57AC70-0000-4000-8000-00000000AC01}\\", V::ClassRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Interface\\", V::ClassRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\TypeLib\\", V::ClassRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.torrent\\", V::ClassRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Classes\\TnkProduct\\", V::ClassRoot},
        {"HKEY_USERS\\S-1-5-21-1004336348-1177238915-682003330-1001_Classes\\TnkProduct\\", V::ClassRoot},
        // Roots that many vendors or Windows itself share, whatever lies below them.
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\"
         "TnkProduct.exe\\",
         V::SharedRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\Shell", V::SharedRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\TnkProduct", V::SharedRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Policies\\Vendor\\Product\\", V::SharedRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Clients\\StartMenuInternet\\", V::SharedRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Olmatic\\Tarnock\\", V::SharedRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\", V::SharedRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\WOW6432Node\\Vendor\\", V::SharedRoot},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\", V::SharedRoot},
        {"HKEY_USERS\\.DEFAULT\\Software\\", V::SharedRoot},
        {"HKEY_LOCAL_MACHINE\\", V::HiveRoot},
        {"HKEY_USERS\\.DEFAULT\\", V::HiveRoot},
        // Malformed texts and other roots.
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\\\Vendor\\Product\\", V::Malformed},
        {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\..\\..\\SYSTEM\\", V::Malformed},
        {"HKEY_LOCAL_MACHINE\\\\", V::HiveRoot},
        {"HKEY_LOCAL_MACHINE", V::HiveRoot},
        {"HKEY_LOCAL_MACHINE\\Value", V::Malformed},
        {"HKEY_CURRENT_USER\\Software\\Vendor\\Product\\", V::UnsupportedRoot},
        {"hkey_local_machine\\SOFTWARE\\Vendor\\Product\\", V::UnsupportedRoot},
        {"", V::UnsupportedRoot},
    };
    for (const RuleCase& c : cases)
        EXPECT_EQ(DeletionVerdictText(CheckDeletionPath(c.path, kOwn)), std::string(DeletionVerdictText(c.verdict)))
            << c.path;
}

TEST(DeletionRule, KeysGivenByRootAndPathFollowTheSameRule) {
    // The engine's own deletions name their root directly, the current user's hive included.
    using V = DeletionVerdict;
    EXPECT_EQ(CheckDeletion(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TnkProduct",
                            kOwn),
              V::Allowed);
    EXPECT_EQ(CheckDeletion(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other",
                            kOwn),
              V::ForeignUninstallEntry);
    EXPECT_EQ(CheckDeletion(HKEY_CURRENT_USER, "Software\\Classes\\CLSID", kOwn), V::ClassRoot);
    EXPECT_EQ(CheckDeletion(HKEY_CLASSES_ROOT, "TnkProduct", kOwn), V::UnsupportedRoot);
    EXPECT_EQ(CheckDeletion(HKEY_LOCAL_MACHINE, "", kOwn), V::HiveRoot);
    // Without own names nothing one level below SOFTWARE and no uninstall entry may go.
    EXPECT_EQ(CheckDeletion(HKEY_LOCAL_MACHINE, "SOFTWARE\\TnkProduct", {}), V::VendorRoot);
    EXPECT_EQ(CheckDeletion(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X", {""}),
              V::ForeignUninstallEntry);
}

TEST(DeletionRule, PathTextsSplitAtTheFirstAndLastSeparatorOnly) {
    RegistryPathText parts;
    ASSERT_TRUE(SplitRegistryPathText("HKEY_USERS\\.DEFAULT\\Software\\Leaf\\Settings\\Leaf", parts));
    EXPECT_EQ(parts.root, HKEY_USERS);
    EXPECT_EQ(parts.keyPath, ".DEFAULT\\Software\\Leaf\\Settings");
    EXPECT_EQ(parts.valueName, "Leaf");
    EXPECT_FALSE(parts.IsKey());
    ASSERT_TRUE(SplitRegistryPathText("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vendor\\ \\", parts));
    EXPECT_EQ(parts.keyPath, "SOFTWARE\\Vendor\\ ");
    EXPECT_TRUE(parts.IsKey());
    // A failed split leaves the parts as they were.
    for (const char* text : {"HKEY_LOCAL_MACHINE\\Value", "HKEY_CLASSES_ROOT\\CLSID\\", "HKEY_LOCAL_MACHINE"}) {
        EXPECT_FALSE(SplitRegistryPathText(text, parts)) << text;
        EXPECT_EQ(parts.keyPath, "SOFTWARE\\Vendor\\ ") << text;
    }
}

}  // namespace
