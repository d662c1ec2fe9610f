// Named version strings of an executable or library file, from its version resource.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tarnock {

class CFileVersionInfo {
public:
    CFileVersionInfo() = default;
    virtual ~CFileVersionInfo() = default;
    CFileVersionInfo(const CFileVersionInfo&) = delete;
    CFileVersionInfo& operator=(const CFileVersionInfo&) = delete;

    // Loads the version information of the file; true when its fixed block is valid
    // and it has a translation table. Releases what an earlier Open loaded.
    bool Open(const char* path);
    // Copies the string `name` of the first translation, at most capacity - 1 bytes and
    // a terminator. False (buffer zeroed when given) when there is no such string.
    bool GetString(const char* name, char* buffer, int capacity) const;
    // The same for the name at `index` of the fixed table ("Comments" .. "OLESelfRegister").
    bool GetStringByIndex(int index, char* buffer, int capacity) const;
    void Reset();

    bool IsValid() const { return valid_; }
    const VS_FIXEDFILEINFO& FixedInfo() const { return fixed_; }

private:
    VS_FIXEDFILEINFO fixed_{};
    std::vector<BYTE> data_;
    const DWORD* translations_ = nullptr;  // points into data_
    int translationIndex_ = 0;
    int translationCount_ = 0;
    bool valid_ = false;
};

// The file-version text: "%d.%d.%d.%d" when the low half of the fixed file version is
// not 0, "%d.%d" when only the high half is, else empty (also on every failure).
std::string FormatFileVersion(const char* path);

}  // namespace tarnock
