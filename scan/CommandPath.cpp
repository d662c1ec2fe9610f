#include "scan/CommandPath.h"

#include <algorithm>

namespace tarnock {

PathParts SplitCommandPath(const std::string& text) {
    constexpr char kStandIn = '\x01';  // never part of a registry path
    std::string masked = text;
    std::replace(masked.begin(), masked.end(), '/', kStandIn);
    PathParts parts = SplitPath(masked);
    for (std::string* part : {&parts.drive, &parts.directory, &parts.name, &parts.extension})
        std::replace(part->begin(), part->end(), kStandIn, '/');
    return parts;
}

}  // namespace tarnock
