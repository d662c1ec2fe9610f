#include "base/DeletionRule.h"

#include "base/TextUtil.h"

namespace tarnock {

namespace {

constexpr char kLocalMachineName[] = "HKEY_LOCAL_MACHINE";
constexpr char kUsersName[] = "HKEY_USERS";

// Roots below SOFTWARE under which vendor names are not a product's own: what lies there
// belongs to Windows or to every program (SOFTWARE\Olmatic holds Tarnock's own settings).
constexpr const char* kSharedRoots[] = {
    "Microsoft", "Policies", "Clients", "RegisteredApplications", "WOW6432Node", "ODBC", "MozillaPlugins", "Olmatic",
};
constexpr const char* kUninstallPath[] = {"Microsoft", "Windows", "CurrentVersion", "Uninstall"};

bool IsOwnName(std::string_view name, const std::vector<std::string>& ownNames) {
    for (const std::string& own : ownNames)
        if (!TrimWhitespace(own).empty() && SameRegistryName(name, own)) return true;
    return false;
}

// The components of a key path; false when one is blank, "." or "..".
bool Components(std::string_view keyPath, std::vector<std::string_view>& parts) {
    std::vector<std::string_view> found;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = keyPath.find('\\', start);
        const std::string_view part = keyPath.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (TrimWhitespace(part).empty() || part == "." || part == "..") return false;
        found.push_back(part);
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    parts = std::move(found);
    return true;
}

}  // namespace

bool SameRegistryName(std::string_view a, std::string_view b) {
    const std::wstring wa = WideFromAnsi(a);
    const std::wstring wb = WideFromAnsi(b);
    return wa.size() == wb.size() && CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(),
                                                          static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

const char* DeletionVerdictText(DeletionVerdict verdict) {
    switch (verdict) {
        case DeletionVerdict::Allowed: return "allowed";
        case DeletionVerdict::Malformed: return "malformed path";
        case DeletionVerdict::UnsupportedRoot: return "unsupported root";
        case DeletionVerdict::HiveRoot: return "a whole hive";
        case DeletionVerdict::OutsideSoftware: return "outside SOFTWARE";
        case DeletionVerdict::ClassRoot: return "class root";
        case DeletionVerdict::SharedRoot: return "shared root";
        case DeletionVerdict::VendorRoot: return "vendor root";
        case DeletionVerdict::ForeignUninstallEntry: return "another product's uninstall entry";
    }
    return "unknown";
}

bool RegistryPathText::IsKey() const { return TrimWhitespace(valueName).empty(); }

bool SplitRegistryPathText(std::string_view path, RegistryPathText& parts) {
    const std::size_t first = path.find('\\');
    const std::size_t last = path.rfind('\\');
    if (first == std::string_view::npos || last == first) return false;
    const std::string_view rootName = path.substr(0, first);
    HKEY root = nullptr;
    if (rootName == kLocalMachineName) root = HKEY_LOCAL_MACHINE;
    else if (rootName == kUsersName) root = HKEY_USERS;
    else return false;
    // Only the leading root and the trailing leaf are cut: the leaf's text may also occur
    // inside the key path.
    parts.root = root;
    parts.keyPath = std::string(path.substr(first + 1, last - first - 1));
    parts.valueName = std::string(path.substr(last + 1));
    return true;
}

DeletionVerdict CheckDeletion(HKEY root, std::string_view keyPath, const std::vector<std::string>& ownNames) {
    if (root != HKEY_LOCAL_MACHINE && root != HKEY_USERS && root != HKEY_CURRENT_USER)
        return DeletionVerdict::UnsupportedRoot;
    if (keyPath.empty()) return DeletionVerdict::HiveRoot;
    std::vector<std::string_view> parts;
    if (!Components(keyPath, parts)) return DeletionVerdict::Malformed;
    std::size_t at = 0;
    if (root == HKEY_USERS) {
        // The first level is the user (".DEFAULT" or a SID); "<SID>_Classes" is the user's
        // class registrations.
        const std::string user = ToLowerAnsi(parts[0]);
        if (user.size() > 8 && user.ends_with("_classes")) return DeletionVerdict::ClassRoot;
        at = 1;
    }
    if (at == parts.size()) return DeletionVerdict::HiveRoot;
    if (!SameRegistryName(parts[at], "SOFTWARE")) return DeletionVerdict::OutsideSoftware;
    ++at;
    // The 32-bit view's folder holds the same layout as SOFTWARE itself.
    if (at < parts.size() && SameRegistryName(parts[at], "WOW6432Node")) ++at;
    const std::vector<std::string_view> below(parts.begin() + static_cast<std::ptrdiff_t>(at), parts.end());
    if (below.empty()) return DeletionVerdict::SharedRoot;
    if (SameRegistryName(below[0], "Classes")) return DeletionVerdict::ClassRoot;

    bool uninstall = below.size() >= std::size(kUninstallPath);
    for (std::size_t i = 0; uninstall && i < std::size(kUninstallPath); ++i)
        uninstall = SameRegistryName(below[i], kUninstallPath[i]);
    if (uninstall) {
        if (below.size() == std::size(kUninstallPath)) return DeletionVerdict::SharedRoot;
        return IsOwnName(below[std::size(kUninstallPath)], ownNames) ? DeletionVerdict::Allowed
                                                                      : DeletionVerdict::ForeignUninstallEntry;
    }
    for (const char* shared : kSharedRoots)
        if (SameRegistryName(below[0], shared)) return DeletionVerdict::SharedRoot;
    if (below.size() >= 2) return DeletionVerdict::Allowed;
    return IsOwnName(below[0], ownNames) ? DeletionVerdict::Allowed : DeletionVerdict::VendorRoot;
}

DeletionVerdict CheckDeletionPath(std::string_view path, const std::vector<std::string>& ownNames) {
    RegistryPathText parts;
    if (!SplitRegistryPathText(path, parts)) {
        const std::size_t slash = path.find('\\');
        const std::string_view rootName = path.substr(0, slash);
        if (rootName != kLocalMachineName && rootName != kUsersName) return DeletionVerdict::UnsupportedRoot;
        const std::string_view rest = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        return rest.empty() ? DeletionVerdict::HiveRoot : DeletionVerdict::Malformed;
    }
    return CheckDeletion(parts.root, parts.keyPath, ownNames);
}

}  // namespace tarnock
