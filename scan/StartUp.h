// The programs Windows starts at logon: the "Run" values of the local machine and of the
// current user, and the shortcuts of the common Startup folder. Construction scans;
// removal deletes the Run value or the shortcut file, never the program.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "base/RegistryPlace.h"
#include "scan/RecordList.h"

namespace tarnock {

inline constexpr std::size_t kStartupFieldSize = 512;
inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

enum StartupKind : int {
    kStartupRunValue = 1,
    kStartupShortcut = 2,
};

struct StartupEntry {
    char entryName[kStartupFieldSize];    // value name or shortcut file name; removal key
    char title[kStartupFieldSize];
    char commandText[kStartupFieldSize];  // the resolved command, or the not-found text
    char filePath[kStartupFieldSize];     // the resolved program path / the shortcut's path
    RegistryPlace place;                  // where the Run value lives (hive and view)
    int kind;
    std::string valueName;                // the whole value name, which entryName may cut
    StartupEntry* next;
};

class CStartUp {
public:
    // Scans the HKEY_LOCAL_MACHINE Run values of each view (64-bit, then 32-bit), the
    // HKEY_CURRENT_USER Run values, then the common Startup folder.
    CStartUp();
    virtual ~CStartUp() = default;
    CStartUp(const CStartUp&) = delete;
    CStartUp& operator=(const CStartUp&) = delete;

    int GetCount() const { return entries_.Count(); }
    const StartupEntry* GetEntry(int index) const { return entries_.At(index); }

    // Deletes the Run value whose whole name is `entryName` in exactly this place, never a same-named
    // value of another place nor a shortcut. The value is backed up first and kept when
    // the backup fails. Returns 1, or 0 when the value was kept because its backup failed.
    int Remove(const std::string& entryName, const RegistryPlace& place);
    // Deletes the shortcut file of the common Startup folder named exactly so, after copying
    // it into the backup folder. Returns 1, or 0 when it was kept because it could not be
    // copied (or deleted).
    int RemoveShortcut(const std::string& entryName);
    // The removal of a list row: a row with a place text (its hidden fifth column) is a Run
    // value of that place, a row without one a shortcut. An unknown place removes nothing
    // and gives 0.
    int RemoveRow(const std::string& entryName, const std::string& placeText);

    // The program path that a Run command starts and the command text to show for it
    // (the not-found text when no such file exists). Folders may be "" when unknown.
    struct Resolution {
        std::string commandText;
        std::string filePath;
    };
    static Resolution ResolveRunCommand(const std::string& data, const std::string& windowsFolder,
                                        const std::string& systemFolder);

    // The existence test of this scanner: the shell knows a display name for the path.
    static bool ShellPathExists(const std::string& path);

private:
    int ScanRunValues(const RegistryPlace& place, const std::string& windowsFolder, const std::string& systemFolder);
    int ScanStartupFolder();

    RecordList<StartupEntry> entries_;
};

}  // namespace tarnock
