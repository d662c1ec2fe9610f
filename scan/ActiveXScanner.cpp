#include "scan/ActiveXScanner.h"

#include <array>
#include <cctype>
#include <string>

#include "base/RegistryManager.h"
#include "base/RegistryBackup.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/KelvoEngine.h"
#include "scan/RegistryEnum.h"
#include "scan/ScanMetrics.h"

namespace tarnock {

namespace {

constexpr char kActiveXCacheKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ActiveX Cache";

RegistryPlace MachineView(const RegistryPlace& place) { return {HKEY_LOCAL_MACHINE, place.view}; }

std::string ClassKey(const std::string& id) { return std::string(kMachineClassRoot) + "CLSID\\" + id; }

// "{" 8-4-4-4-12 hexadecimal digits "}".
bool IsIdentifier(const std::string& name) {
    static constexpr char kShape[] = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (name.size() != sizeof(kShape) - 1) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (kShape[i] == 'x' ? !std::isxdigit(static_cast<unsigned char>(name[i])) : name[i] != kShape[i])
            return false;
    }
    return true;
}

bool SameText(const std::string& a, const std::string& b) { return ToLowerAnsi(a) == ToLowerAnsi(b); }

std::string WindowsFolder() {
    std::array<char, MAX_PATH + 1> folder{};
    const UINT length = GetSystemWindowsDirectoryA(folder.data(), MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(folder.data()) : std::string();
}

// Expands only "%SystemRoot%" and "%windir%" at the start, from the system itself; any
// other variable would come from an environment, so such a text gives "".
std::string ExpandSystemVariables(const std::string& text) {
    std::string result = text;
    const std::string lower = ToLowerAnsi(text);
    for (const char* variable : {"%systemroot%", "%windir%"}) {
        if (StartsWith(lower, variable)) {
            const std::string windows = WindowsFolder();
            if (windows.empty()) return {};
            result = windows + text.substr(std::string(variable).size());
            break;
        }
    }
    return result.find('%') == std::string::npos ? result : std::string();
}

// The full path with "." and ".." resolved; "" for anything but a path on a drive.
std::string FullLocalPath(const std::string& path) {
    if (path.size() < 3 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' || path[2] != '\\')
        return {};
    if (path.find('/') != std::string::npos) return {};
    std::array<char, 1024> full{};
    const DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return {};
    // Short names ("DOWNLO~1") of existing files and folders compare by their long form.
    std::array<char, 1024> longer{};
    const DWORD longLength = GetLongPathNameA(full.data(), longer.data(), static_cast<DWORD>(longer.size()));
    if (longLength > 0 && longLength < longer.size()) return longer.data();
    return full.data();
}

bool IsOwnView(REGSAM view) {
#ifdef _WIN64
    return view != KEY_WOW64_32KEY;
#else
    return view != KEY_WOW64_64KEY;
#endif
}

// A program identifier of the class: a plain name whose "CLSID" names this class again, so
// that another program's identifier is never taken along.
void AddProgramIdentifier(const RegistryPlace& machine, const std::string& classId, const std::string& name,
                          ControlRegistration& registration) {
    // "Program.Component[.Version]": never a file type (".ocx"), a class root or a
    // shared key of the classes ("CLSID", "Interface", "*", ...), which have no dot.
    if (name.empty() || name.front() == '.' || name.find('.') == std::string::npos ||
        name.find('\\') != std::string::npos || IsIdentifier(name))
        return;
    const std::string key = kMachineClassRoot + name;
    if (!SameText(ReadRegistryText(machine, key + "\\CLSID", ""), classId)) return;
    for (const std::string& known : registration.keys)
        if (SameText(known, key)) return;
    registration.keys.push_back(key);
}

bool KeyPresent(const RegistryPlace& place, const std::string& path) {
    ScopedKey key;
    return RegOpenKeyExA(place.root, path.c_str(), 0, KEY_QUERY_VALUE | place.view, key.Put()) == ERROR_SUCCESS;
}

bool IsSharedTypeLibrary(const RegistryPlace& machine, const std::string& typeLibrary, const std::string& classId) {
    ScopedKey classes;
    const std::string root = std::string(kMachineClassRoot) + "CLSID";
    if (RegOpenKeyExA(machine.root, root.c_str(), 0, KEY_READ | machine.view, classes.Put()) != ERROR_SUCCESS)
        return false;
    bool shared = false;
    ForEachSubkey(classes.Get(), [&](int, const std::string& id) {
        if (shared || SameText(id, classId)) return;
        if (SameText(TrimWhitespace(ReadRegistryText(machine, root + "\\" + id + "\\TypeLib", "")), typeLibrary))
            shared = true;
    });
    return shared;
}

}  // namespace

int ListActiveXControls(IResultRows& rows) { return ListActiveXControls(rows, MachinePlaces()); }

int ListActiveXControls(IResultRows& rows, const std::vector<RegistryPlace>& places, const char* path) {
    const ScopedTimerResolution timerResolution;
    int result = -1;
    for (const RegistryPlace& place : places) {
        ScopedKey units;
        if (RegOpenKeyExA(place.root, path, 0, KEY_READ | place.view, units.Put()) != ERROR_SUCCESS) continue;
        result = 0;
        // A control downloaded by the 32-bit browser registers its class in the 32-bit view.
        const RegistryPlace classes = MachineView(place);
        const std::string placeText = PlaceText(place);
        ForEachSubkey(units.Get(), [&](int index, const std::string& id) {
            if (rows.StopRequested()) return;
            int code = 0;
            const std::string name = TrimWhitespace(ReadRegistryText(classes, ClassKey(id), "", &code));
            if (code != kRegSuccess || name.empty()) return;
            // A missing value is empty rather than the text of an earlier read.
            const std::string server = ReadRegistryText(classes, ClassKey(id) + "\\InprocServer32", "");
            std::string bitmap = ReadRegistryText(classes, ClassKey(id) + "\\ToolboxBitmap32", "");
            if (bitmap.empty()) bitmap = server;  // the control's own file is its icon source
            ScanPause();
            rows.AddListRow(name, id, server, bitmap, index, placeText);
        });
    }
    return result;
}

std::vector<std::string> DownloadedProgramFolders(const RegistryPlace& place) {
    std::vector<std::string> folders;
    const std::string windows = WindowsFolder();
    if (!windows.empty()) folders.push_back(windows + "\\Downloaded Program Files");
    ScopedKey cache;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kActiveXCacheKey, 0, KEY_QUERY_VALUE | place.view, cache.Put()) !=
        ERROR_SUCCESS)
        return folders;
    std::array<char, 260> name{};
    std::array<char, 1024> data{};
    for (DWORD index = 0;; ++index) {
        name.fill('\0');
        data.fill('\0');
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size() - 1);
        DWORD type = 0;
        const LONG read = RegEnumValueA(cache.Get(), index, name.data(), &nameLength, nullptr, &type,
                                        reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (read == ERROR_MORE_DATA) continue;
        if (read != ERROR_SUCCESS) break;
        if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
        std::string folder = FullLocalPath(ExpandSystemVariables(TrimWhitespace(data.data())));
        while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
        if (folder.size() > 3) folders.push_back(folder);
    }
    return folders;
}

bool IsInsideFolders(const std::string& file, const std::vector<std::string>& folders) {
    const std::string full = FullLocalPath(file);
    if (full.empty()) return false;
    for (const std::string& folder : folders) {
        std::string prefix = FullLocalPath(folder);
        if (prefix.empty()) continue;
        if (prefix.back() != '\\') prefix += '\\';
        if (full.size() > prefix.size() && SameText(full.substr(0, prefix.size()), prefix)) return true;
    }
    return false;
}

bool ReadControlRegistration(const RegistryPlace& place, const std::string& classId, ControlRegistration& out) {
    if (!IsIdentifier(classId)) return false;
    const RegistryPlace machine = MachineView(place);
    const std::string classKey = ClassKey(classId);
    if (!KeyPresent(machine, classKey)) return false;
    ControlRegistration registration;
    registration.file =
        FullLocalPath(ExpandSystemVariables(TrimWhitespace(ReadRegistryText(machine, classKey + "\\InprocServer32", ""))));
    registration.keys.push_back(classKey);
    const std::string typeLibrary = TrimWhitespace(ReadRegistryText(machine, classKey + "\\TypeLib", ""));
    // A type library that another class of the machine names too stays, with its interfaces.
    if (IsIdentifier(typeLibrary) && !IsSharedTypeLibrary(machine, typeLibrary, classId)) {
        registration.typeLibrary = typeLibrary;
        const std::string libraryKey = std::string(kMachineClassRoot) + "TypeLib\\" + typeLibrary;
        if (KeyPresent(machine, libraryKey)) registration.keys.push_back(libraryKey);
        // The interfaces of the control's type library name it in their "TypeLib".
        ScopedKey interfaces;
        const std::string interfaceRoot = std::string(kMachineClassRoot) + "Interface";
        if (RegOpenKeyExA(machine.root, interfaceRoot.c_str(), 0, KEY_READ | machine.view, interfaces.Put()) ==
            ERROR_SUCCESS) {
            ForEachSubkey(interfaces.Get(), [&](int, const std::string& id) {
                if (!IsIdentifier(id)) return;
                const std::string key = interfaceRoot + "\\" + id;
                if (SameText(TrimWhitespace(ReadRegistryText(machine, key + "\\TypeLib", "")), typeLibrary))
                    registration.keys.push_back(key);
            });
        }
    }
    for (const char* name : {"\\ProgID", "\\VersionIndependentProgID"})
        AddProgramIdentifier(machine, classId, TrimWhitespace(ReadRegistryText(machine, classKey + name, "")),
                             registration);
    const std::string unit = kDistributionUnitsKey + classId;
    if (KeyPresent(machine, unit)) registration.keys.push_back(unit);
    out = std::move(registration);
    return true;
}

ActiveXRemoval RemoveActiveXControl(const std::string& classId, const RegistryPlace& place,
                                    RemoveControlFunction removeControl) {
    if (!IsIdentifier(classId)) return ActiveXRemoval::BadName;
    if (place.root != HKEY_LOCAL_MACHINE) return ActiveXRemoval::NotRegistered;
    ControlRegistration registration;
    if (!ReadControlRegistration(place, classId, registration)) return ActiveXRemoval::NotRegistered;
    if (registration.file.empty() || !IsInsideFolders(registration.file, DownloadedProgramFolders(place)))
        return ActiveXRemoval::FileRefused;
    const RegistryPlace machine = MachineView(place);
    // Everything first, so that a failed backup leaves the whole control as it was.
    for (const std::string& key : registration.keys)
        if (!BackupRegistryKey(machine, key)) return ActiveXRemoval::BackupFailed;

    if (IsOwnView(place.view) && removeControl) {
        removeControl(registration.file.c_str(), classId.c_str(), nullptr, TRUE, TRUE);
    } else {
        // The file lies inside the downloaded-program folder, which only administrators write.
        DeleteFileA(registration.file.c_str());
    }
    for (const std::string& key : registration.keys)
        if (KeyPresent(machine, key)) CRegistryManager(machine, key).DeleteKeyTree();

    for (const std::string& key : registration.keys)
        if (KeyPresent(machine, key)) return ActiveXRemoval::Stays;
    return ActiveXRemoval::Removed;
}

ActiveXRemoval RemoveActiveXRow(const std::string& classId, const std::string& placeText) {
    RegistryPlace place;
    if (!placeText.empty() && !ParsePlaceText(placeText, place)) return ActiveXRemoval::NotRegistered;
    // The system's own cache library, from the system folder only.
    std::array<char, MAX_PATH + 1> folder{};
    const UINT length = GetSystemDirectoryA(folder.data(), MAX_PATH);
    ScopedModule cache;
    if (length > 0 && length < MAX_PATH) {
        const std::string path = std::string(folder.data()) + "\\OCCACHE.DLL";
        cache.Reset(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    }
    const auto removeControl =
        cache ? reinterpret_cast<RemoveControlFunction>(GetProcAddress(cache.Get(), "RemoveControlByName")) : nullptr;
    return RemoveActiveXControl(classId, place, removeControl);
}

}  // namespace tarnock
