#include "scan/KelvoEngine.h"

#include <array>
#include <cstring>

#include "base/FileVersionInfo.h"
#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/CommandPath.h"
#include "scan/RegistryEnum.h"
#include "scan/ScanMetrics.h"

namespace tarnock {

namespace {

// The ARP cache record: a UTF-16 program path at byte 28, at most 262 units.
constexpr std::size_t kSlowInfoBufferSize = 1024;
constexpr std::size_t kSlowInfoPathOffset = 28;
constexpr std::size_t kSlowInfoPathUnits = 262;

bool ExistsWithCandidate(const std::string& candidate, std::string& path) {
    if (!PathExists(candidate)) return false;
    path = candidate;
    return true;
}

}  // namespace

std::vector<RegistryPlace> UninstallPlaces() {
    std::vector<RegistryPlace> places = MachinePlaces();
    places.push_back({HKEY_CURRENT_USER, 0});
    return places;
}

std::string ReadRegistryText(HKEY root, const std::string& keyPath, const std::string& valueName, int* code) {
    return ReadRegistryText(RegistryPlace{root, 0}, keyPath, valueName, code);
}

std::string ReadRegistryText(const RegistryPlace& place, const std::string& keyPath, const std::string& valueName,
                             int* code) {
    CountRegistryRead();
    CRegistryManager reader(place, keyPath, valueName);
    const int result = reader.ReadString();
    if (code) *code = result;
    return result == kRegSuccess ? reader.textValue : std::string();
}

PathResult ResolveExistingPath(const std::string& text, std::string& path) {
    std::string cleaned = text;
    const std::size_t comma = cleaned.rfind(',');
    if (comma != std::string::npos && comma != 0) cleaned.resize(comma);  // drops an icon index
    cleaned = RemoveChar(cleaned, '"');
    cleaned = ReplaceAll(cleaned, "\\\\", "\\");
    if (ExistsWithCandidate(cleaned, path)) return kPathFound;

    // A command with arguments: keep what comes before the first blank of the last part.
    // Only backslashes separate folders here; a slash is a switch such as /SILENT.
    const PathParts parts = SplitCommandPath(cleaned);
    std::string candidate;
    if (!parts.drive.empty()) {
        const std::size_t blank = parts.extension.find(' ');
        if (blank != std::string::npos && blank > 0)
            candidate = parts.drive + parts.directory + parts.name + parts.extension.substr(0, blank);
    } else {
        const std::size_t blank = parts.directory.find(' ');
        if (blank != std::string::npos && blank > 0) candidate = parts.directory.substr(0, blank);
    }
    return ExistsWithCandidate(candidate, path) ? kPathFound : kPathNotFound;
}

std::string CKelvoEngine::ReadEntryValue(const RegistryPlace& place, const std::string& key, const char* valueName,
                                         int* code) const {
    if (!held_.held || !(held_.place == place) || held_.key != key)
        return ReadRegistryText(place, kUninstallRoot + key, valueName, code);
    // The same result as the registry manager's read, from the key already open.
    CountRegistryRead();
    int result = kRegOpenFailed;
    std::string text;
    if (held_.handle) {
        std::array<char, 1024 + 1> buffer{};
        DWORD size = 1024;
        result = RegQueryValueExA(held_.handle.Get(), valueName, nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS
                     ? kRegSuccess
                     : kRegReadFailed;
        if (result == kRegSuccess) text.assign(buffer.data());
    }
    if (code) *code = result;
    return text;
}

CKelvoEngine::HeldEntry::HeldEntry(const CKelvoEngine& engine, const RegistryPlace& place, const std::string& key,
                                   HKEY parent)
    : engine_(engine) {
    Held& held = engine_.held_;
    held.handle.Reset();
    // Nothing is taken from a failed open: its out-parameter is not to be trusted.
    HKEY opened = nullptr;
    const LONG result = parent ? RegOpenKeyExA(parent, key.c_str(), 0, KEY_QUERY_VALUE | place.view, &opened)
                               : RegOpenKeyExA(place.root, (kUninstallRoot + key).c_str(), 0,
                                               KEY_QUERY_VALUE | place.view, &opened);
    if (result == ERROR_SUCCESS) held.handle.Reset(opened);
    held.place = place;
    held.key = key;
    held.held = true;
}

CKelvoEngine::HeldEntry::~HeldEntry() {
    Held& held = engine_.held_;
    held.held = false;
    held.handle.Reset();
}

std::string CKelvoEngine::ReadDisplayName(const std::string& key, const RegistryPlace& place) const {
    return ReadEntryValue(place, key, "DisplayName");
}

NameAndLink CKelvoEngine::ReadDisplayNameAndLink(const std::string& key, const RegistryPlace& place) const {
    NameAndLink result;
    result.name = ReadDisplayName(key, place);
    result.link = TrimWhitespace(ReadEntryValue(place, key, "URLInfoAbout"));
    if (result.link.empty()) result.link = TrimWhitespace(ReadEntryValue(place, key, "HelpLink"));
    return result;
}

std::string CKelvoEngine::ReadPublisher(const std::string& key, const std::string& fileText,
                                        const RegistryPlace& place) const {
    const std::string publisher = TrimWhitespace(ReadEntryValue(place, key, "Publisher"));
    if (!publisher.empty()) return publisher;
    std::string file;
    if (ResolveExistingPath(fileText, file) != kPathFound) return {};
    CFileVersionInfo version;
    if (!version.Open(file.c_str())) return {};
    std::array<char, 512> company{};
    if (!version.GetStringByIndex(1, company.data(), static_cast<int>(company.size()))) return {};
    return TrimWhitespace(company.data());
}

std::string CKelvoEngine::ReadUninstallString(const std::string& key, const RegistryPlace& place) const {
    return ReadEntryValue(place, key, "UninstallString");
}

std::string CKelvoEngine::ReadInstallLocation(const std::string& key, const RegistryPlace& place) const {
    return ReadEntryValue(place, key, "InstallLocation");
}

std::string CKelvoEngine::ReadInstallerProductValue(const std::string& productKey,
                                                    const std::string& valueName) const {
    return ReadRegistryText(HKEY_LOCAL_MACHINE, kInstallerProductsRoot + productKey, valueName);
}

UninstallCommandResult CKelvoEngine::HasUninstallString(const std::string& key) const {
    int code = 0;
    std::string command = ReadEntryValue({}, key, "UninstallString", &code);
    if (code == kRegOpenFailed) command = ReadEntryValue({HKEY_CURRENT_USER, 0}, key, "UninstallString");
    return command.empty() ? kNoUninstallCommand : kHasUninstallCommand;
}

UninstallCommandResult CKelvoEngine::HasUninstallString(const std::string& key, const RegistryPlace& place) const {
    return ReadEntryValue(place, key, "UninstallString").empty() ? kNoUninstallCommand : kHasUninstallCommand;
}

RegistryResult CKelvoEngine::ProbeUninstallKey(const std::string& key) const {
    const RegistryResult code = ProbeUninstallKey(key, {});
    return code == kRegOpenFailed ? ProbeUninstallKey(key, {HKEY_CURRENT_USER, 0}) : code;
}

RegistryResult CKelvoEngine::ProbeUninstallKey(const std::string& key, const RegistryPlace& place) const {
    // An empty name would be the uninstall root itself, not an entry.
    if (key.empty()) return kRegOpenFailed;
    int code = kRegOpenFailed;
    ReadEntryValue(place, key, "", &code);
    return static_cast<RegistryResult>(code);
}

bool CKelvoEngine::IsHiddenEntry(const std::string& key, const RegistryPlace& place) const {
    // Read as text whatever the type: a 32-bit 1 is the text "\x01", a 32-bit 0 is "".
    if (!ReadEntryValue(place, key, "ParentKeyName").empty()) return true;
    return !ReadEntryValue(place, key, "SystemComponent").empty();
}

bool CKelvoEngine::IsMicrosoftPublished(const std::string& key, const RegistryPlace& place) const {
    return ReadEntryValue(place, key, "Publisher") == "Microsoft Corporation";
}

CKelvoEngine::ArpCacheSnapshot::ArpCacheSnapshot(const CKelvoEngine& engine) : engine_(engine) {
    engine_.arpNames_.byView.clear();
    engine_.arpNames_.active = true;
}

CKelvoEngine::ArpCacheSnapshot::~ArpCacheSnapshot() {
    engine_.arpNames_.active = false;
    engine_.arpNames_.byView.clear();
}

bool CKelvoEngine::ArpCacheMayHold(const std::string& key, REGSAM view) const {
    if (!arpNames_.active) return true;
    auto found = arpNames_.byView.find(view);
    if (found == arpNames_.byView.end()) {
        std::set<std::string> names;
        ScopedKey cache;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kArpCacheRoot, 0, KEY_READ | view, cache.Put()) == ERROR_SUCCESS)
            ForEachSubkey(cache.Get(), [&](int, const std::string& name) { names.insert(ToLowerAnsi(name)); });
        found = arpNames_.byView.emplace(view, std::move(names)).first;
    }
    // Registry names ignore the case of Latin letters.
    return found->second.count(ToLowerAnsi(key)) != 0;
}

std::string CKelvoEngine::ReadArpCachePath(const std::string& key, REGSAM view) const {
    // The record may be missing, shorter than its 552 bytes or not zero-terminated: the
    // buffer is zeroed and the path is cut at its 262 units whatever the data holds.
    std::array<BYTE, kSlowInfoBufferSize> buffer{};
    ScopedKey cache;
    const std::string path = kArpCacheRoot + key;
    if (ArpCacheMayHold(key, view) &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, cache.Put()) == ERROR_SUCCESS) {
        CountRegistryRead();
        DWORD size = static_cast<DWORD>(buffer.size());
        if (RegQueryValueExA(cache.Get(), "SlowInfoCache", nullptr, nullptr, buffer.data(), &size) != ERROR_SUCCESS)
            buffer.fill(0);
    }
    std::wstring wide;
    for (std::size_t unit = 0; unit < kSlowInfoPathUnits; ++unit) {
        wchar_t c = 0;
        std::memcpy(&c, buffer.data() + kSlowInfoPathOffset + unit * sizeof(wchar_t), sizeof(wchar_t));
        if (c == 0) break;
        wide.push_back(c);
    }
    return TrimWhitespace(AnsiFromWide(wide));
}

std::string CKelvoEngine::ResolveIconFile(const std::string& key, const std::string& displayName,
                                          const RegistryPlace& place) const {
    if (key.empty()) return {};
    std::string path;

    if (key.front() == '{' && !displayName.empty()) {
        for (const _PRODUCTS& product : installerProducts) {
            if (product.productName == displayName && !product.productIcon.empty() &&
                ResolveExistingPath(product.productIcon, path) == kPathFound)
                return path;
        }
    }
    if (ResolveExistingPath(ReadEntryValue(place, key, "DisplayIcon"), path) == kPathFound) return path;

    // The ARP cache is the machine's, kept per view; an entry of the user's hive uses the
    // program's own view.
    const std::string cached = ReadArpCachePath(key, place.root == HKEY_LOCAL_MACHINE ? place.view : 0);
    if (PathExists(cached)) return cached;

    if (ResolveExistingPath(ReadEntryValue(place, key, "UninstallString"), path) == kPathFound) return path;
    if (ResolveExistingPath(ReadEntryValue(place, key, "InstallSource"), path) == kPathFound) return path;
    return cached;
}

}  // namespace tarnock
