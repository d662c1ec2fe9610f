// Path splitting for command texts taken from the registry.
#pragma once

#include <string>

#include "base/TextUtil.h"

namespace tarnock {

// The standard split into drive, folder, name and extension, except that only
// backslashes separate folders: in a command a slash begins a switch such as /SILENT.
PathParts SplitCommandPath(const std::string& text);

}  // namespace tarnock
