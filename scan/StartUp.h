// The programs Windows starts at logon: the "Run" values of the local machine and of the
// current user, and the shortcuts of the common Startup folder. Construction scans;
// removal deletes the Run value or the shortcut file, never the program.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

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
    HKEY root;                            // the Run value's root
    int kind;
    std::string valueName;                // the whole value name, which entryName may cut
    StartupEntry* next;
};

class CStartUp {
public:
    // Scans HKEY_LOCAL_MACHINE Run, HKEY_CURRENT_USER Run, then the common Startup folder.
    CStartUp();
    virtual ~CStartUp() = default;
    CStartUp(const CStartUp&) = delete;
    CStartUp& operator=(const CStartUp&) = delete;

    int GetCount() const { return entries_.Count(); }
    const StartupEntry* GetEntry(int index) const { return entries_.At(index); }

    // Deletes every Run value and shortcut named exactly so. Returns 1.
    int Remove(const std::string& entryName);

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
    int ScanRunValues(HKEY root, const std::string& windowsFolder, const std::string& systemFolder);
    int ScanStartupFolder();

    RecordList<StartupEntry> entries_;
};

}  // namespace tarnock
