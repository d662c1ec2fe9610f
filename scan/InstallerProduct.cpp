#include "scan/InstallerProduct.h"

#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"

namespace tarnock {

int LoadInstallerProducts(HKEY root, const std::string& path, char (&nameBuffer)[MAX_PATH],
                          InstallerProductList& products) {
    ScopedKey key;
    if (RegOpenKeyA(root, path.c_str(), key.Put()) != ERROR_SUCCESS) return -1;
    std::string base = path;
    if (!base.empty() && base.back() != '\\') base += '\\';

    int index = 0;
    for (;; ++index) {
        const LONG status = RegEnumKeyA(key.Get(), static_cast<DWORD>(index), nameBuffer, MAX_PATH);
        if (status == ERROR_MORE_DATA) continue;  // a name too long for the buffer is skipped
        // Any other failure ends the walk as well: retrying it would never finish.
        if (status != ERROR_SUCCESS) break;
        nameBuffer[MAX_PATH - 1] = '\0';
        if (nameBuffer[0] == '{') continue;
        SleepEx(1, FALSE);
        _PRODUCTS record;
        record.productKey = nameBuffer;
        CRegistryManager name(root, base + record.productKey, "ProductName");
        if (name.ReadString() == kRegSuccess) record.productName = name.textValue;
        CRegistryManager icon(root, base + record.productKey, "ProductIcon");
        if (icon.ReadString() == kRegSuccess) record.productIcon = icon.textValue;
        products.push_back(std::move(record));
    }
    return index;
}

}  // namespace tarnock
