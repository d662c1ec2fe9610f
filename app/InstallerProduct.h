// One record of the Windows Installer product cache that the main dialog reads once.
#pragma once

#include <string>
#include <vector>

namespace tarnock {

struct _PRODUCTS {
    std::string productKey;   // subkey of SOFTWARE\Classes\Installer\Products\ (packed product code)
    std::string productName;  // its "ProductName", empty when missing
    std::string productIcon;  // its "ProductIcon", empty when missing
};

using InstallerProductList = std::vector<_PRODUCTS>;

}  // namespace tarnock
