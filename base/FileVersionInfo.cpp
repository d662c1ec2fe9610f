#include "base/FileVersionInfo.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace tarnock {

namespace {

constexpr std::array<const char*, 13> kStringNames = {
    "Comments",        "CompanyName",      "FileDescription", "FileVersion",  "InternalName",
    "LegalCopyright",  "LegalTrademarks",  "OriginalFilename", "PrivateBuild", "ProductName",
    "ProductVersion",  "SpecialBuild",     "OLESelfRegister"};

// Loads the whole version resource; empty on any failure.
std::vector<BYTE> LoadVersionData(const char* path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return {};
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoA(path, 0, size, data.data())) return {};
    return data;
}

}  // namespace

void CFileVersionInfo::Reset() {
    fixed_ = {};
    data_.clear();
    data_.shrink_to_fit();
    translations_ = nullptr;
    translationIndex_ = 0;
    translationCount_ = 0;
    valid_ = false;
}

bool CFileVersionInfo::Open(const char* path) {
    Reset();
    if (path == nullptr) return false;
    data_ = LoadVersionData(path);
    if (data_.empty()) return false;

    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data_.data(), "\\", &block, &length) || block == nullptr || length < sizeof(fixed_)) {
        Reset();
        return false;
    }
    std::memcpy(&fixed_, block, sizeof(fixed_));
    valid_ = fixed_.dwSignature == 0xFEEF04BD;

    bool haveTranslations = false;
    if (valid_ && VerQueryValueA(data_.data(), "\\VarFileInfo\\Translation", &block, &length) && block != nullptr) {
        translations_ = static_cast<const DWORD*>(block);
        translationCount_ = static_cast<int>(length / 4);
        haveTranslations = true;
    }
    if (!valid_ || !haveTranslations) {
        Reset();
        return false;
    }
    return true;
}

bool CFileVersionInfo::GetString(const char* name, char* buffer, int capacity) const {
    if (!valid_ || name == nullptr) return false;
    if (buffer != nullptr && capacity <= 0) return false;
    if (buffer != nullptr) std::memset(buffer, 0, static_cast<size_t>(capacity));

    WORD language = 0;
    WORD codePage = 0;
    if (translations_ != nullptr && translationIndex_ < translationCount_) {
        const DWORD entry = translations_[translationIndex_];
        language = LOWORD(entry);
        codePage = HIWORD(entry);
    }
    std::array<char, 260> query{};
    std::snprintf(query.data(), query.size(), "\\StringFileInfo\\%04X%04X\\%s", language, codePage, name);

    void* value = nullptr;
    UINT length = 0;
    // VerQueryValue takes a non-const block but does not change it.
    if (!VerQueryValueA(const_cast<BYTE*>(data_.data()), query.data(), &value, &length) || value == nullptr)
        return false;
    if (buffer != nullptr) lstrcpynA(buffer, static_cast<const char*>(value), capacity);
    return true;
}

bool CFileVersionInfo::GetStringByIndex(int index, char* buffer, int capacity) const {
    if (index < 0 || index >= static_cast<int>(kStringNames.size())) return false;
    return GetString(kStringNames[static_cast<size_t>(index)], buffer, capacity);
}

std::string FormatFileVersion(const char* path) {
    if (path == nullptr) return {};
    std::vector<BYTE> data = LoadVersionData(path);
    if (data.empty()) return {};
    void* block = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", &block, &length) || block == nullptr || length < sizeof(VS_FIXEDFILEINFO))
        return {};
    VS_FIXEDFILEINFO fixed{};
    std::memcpy(&fixed, block, sizeof(fixed));
    const DWORD ms = fixed.dwFileVersionMS;
    const DWORD ls = fixed.dwFileVersionLS;
    char text[64] = {};
    if (ls != 0)
        std::snprintf(text, sizeof(text), "%d.%d.%d.%d", HIWORD(ms), LOWORD(ms), HIWORD(ls), LOWORD(ls));
    else if (ms != 0)
        std::snprintf(text, sizeof(text), "%d.%d", HIWORD(ms), LOWORD(ms));
    return text;
}

}  // namespace tarnock
