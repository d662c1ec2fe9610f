// One record of the Windows Installer product cache that the main dialog reads once.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tarnock {

struct _PRODUCTS {
    std::string productKey;   // subkey of SOFTWARE\Classes\Installer\Products\ (packed product code)
    std::string productName;  // its "ProductName", empty when missing
    std::string productIcon;  // its "ProductIcon", empty when missing
};

using InstallerProductList = std::vector<_PRODUCTS>;

// Reads the installer's product registrations below root\path: every subkey whose name
// does not begin with "{" becomes a record with its "ProductName" and "ProductIcon".
// Returns -1 when the key cannot be opened (products unchanged), else the number of
// subkeys enumerated.
int LoadInstallerProducts(HKEY root, const std::string& path, char (&nameBuffer)[MAX_PATH],
                          InstallerProductList& products);

}  // namespace tarnock
