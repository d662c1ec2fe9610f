// The installer product cache: every product but those of curly-brace keys, in the
// registry's order; a missing key leaves the cache as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/InstallerProduct.h"

using tarnock::InstallerProductList;
using tarnock::LoadInstallerProducts;
using tarnock::ScopedKey;

namespace {

constexpr char kProducts[] = "Software\\TarnockTests\\List\\Products";

class ListInstallerProducts : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarnockTests\\List"); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TarnockTests\\List"); }
    static void Product(const std::string& name, const char* productName, const char* productIcon) {
        ScopedKey key;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, (std::string(kProducts) + "\\" + name).c_str(), key.Put()),
                  ERROR_SUCCESS);
        for (auto [value, text] : {std::pair{"ProductName", productName}, std::pair{"ProductIcon", productIcon}}) {
            if (text == nullptr) continue;
            RegSetValueExA(key.Get(), value, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                           static_cast<DWORD>(std::strlen(text) + 1));
        }
    }
};

}  // namespace

TEST_F(ListInstallerProducts, CachesEveryProductButCurlyBraceKeys) {
    const std::string korean = tarnock::AnsiFromWide(L"한글 제품");
    Product("00A1B2", "First Product", "C:\\Windows\\Installer\\{X}\\icon.exe");
    Product("{5C1E0000-0000-0000-0000-000000000000}", "Braced", "C:\\b.ico");
    Product("11C3D4", korean.c_str(), nullptr);
    Product("22E5F6", nullptr, nullptr);

    InstallerProductList products;
    char buffer[MAX_PATH];
    // The registry hands subkeys out in its own order; the cache keeps that order.
    EXPECT_EQ(LoadInstallerProducts(HKEY_CURRENT_USER, std::string(kProducts) + "\\", buffer, products), 4);
    ASSERT_EQ(products.size(), 3u);
    EXPECT_EQ(products[0].productKey, "00A1B2");
    EXPECT_EQ(products[0].productName, "First Product");
    EXPECT_EQ(products[0].productIcon, "C:\\Windows\\Installer\\{X}\\icon.exe");
    EXPECT_EQ(products[1].productKey, "11C3D4");
    EXPECT_EQ(products[1].productName, korean);
    EXPECT_EQ(products[1].productIcon, "");
    EXPECT_EQ(products[2].productKey, "22E5F6");
    EXPECT_EQ(products[2].productName, "");
    EXPECT_EQ(products[2].productIcon, "");
}

TEST_F(ListInstallerProducts, AMissingKeyLeavesTheCacheUnchangedAndAnEmptyOneGivesNothing) {
    InstallerProductList products{{"keep", "me", ""}};
    char buffer[MAX_PATH];
    EXPECT_EQ(LoadInstallerProducts(HKEY_CURRENT_USER, kProducts, buffer, products), -1);
    ASSERT_EQ(products.size(), 1u);

    ScopedKey key;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kProducts, key.Put()), ERROR_SUCCESS);
    products.clear();
    EXPECT_EQ(LoadInstallerProducts(HKEY_CURRENT_USER, kProducts, buffer, products), 0);
    EXPECT_TRUE(products.empty());
}
