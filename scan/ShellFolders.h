// Special folders of the shell as 8-bit code-page paths.
#pragma once

#include <string>

namespace tarnock {

// The path of a CSIDL folder (SHGetSpecialFolderLocation, SHGetPathFromIDListA); ""
// when it cannot be determined.
std::string SpecialFolderPath(int csidl);

}  // namespace tarnock
