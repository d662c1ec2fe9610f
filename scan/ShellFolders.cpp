#include "scan/ShellFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <array>

namespace tarnock {

std::string SpecialFolderPath(int csidl) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || list == nullptr) return {};
    std::array<char, MAX_PATH + 1> path{};
    const BOOL found = SHGetPathFromIDListA(list, path.data());
    CoTaskMemFree(list);
    return found ? std::string(path.data()) : std::string();
}

}  // namespace tarnock
