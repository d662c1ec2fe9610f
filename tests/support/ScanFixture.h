// Registry and file fixtures for the scanner tests. The scanners read fixed system
// locations, so each test adds its own uniquely named keys, values and files there and
// removes them again when the fixture object goes away.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "base/RegistryPlace.h"
#include "scan/CategoryScan.h"

namespace tarnock::testing {

// Signature rows given by the test instead of a database file.
struct SignatureRowData {
    std::string name;
    std::string info;
    std::string keyName;
    std::string matchMode;
};

class FakeSignatureRows : public ISignatureRows {
public:
    FakeSignatureRows() = default;
    explicit FakeSignatureRows(std::vector<SignatureRowData> rows) : rows_(std::move(rows)) {}
    bool LoadCategory(int type) override {
        loadedTypes.push_back(type);
        loaded_ = true;
        return true;
    }
    int GetCount() const override { return loaded_ ? static_cast<int>(rows_.size()) : 0; }
    std::string GetName(int index) const override { return Row(index).name; }
    std::string GetInfo(int index) const override { return Row(index).info; }
    std::string GetKeyName(int index) const override { return Row(index).keyName; }
    std::string GetMatchMode(int index) const override { return Row(index).matchMode; }

    std::vector<int> loadedTypes;

private:
    const SignatureRowData& Row(int index) const {
        static const SignatureRowData empty;
        return loaded_ && index >= 0 && index < GetCount() ? rows_[static_cast<std::size_t>(index)] : empty;
    }
    std::vector<SignatureRowData> rows_;
    bool loaded_ = false;
};

// UTF-8 (source literals) to UTF-16, for names and data the code page cannot hold.
std::wstring WideFromUtf8(const std::string& text);

// Keys and values created through this object are deleted (whole trees) on destruction.
class RegistryFixture {
public:
    RegistryFixture() = default;
    ~RegistryFixture();
    RegistryFixture(const RegistryFixture&) = delete;
    RegistryFixture& operator=(const RegistryFixture&) = delete;

    // Creates root\path (and forgets any earlier content); deleted on destruction. The
    // forms with a place write into that place's registry view.
    void CreateKey(HKEY root, const std::string& path) { CreateKey(RegistryPlace{root, 0}, path); }
    void CreateKey(const RegistryPlace& place, const std::string& path);
    // Values in keys created here or elsewhere (a missing key is created and owned); a
    // value in a key this object does not own is deleted on its own on destruction.
    void SetText(HKEY root, const std::string& path, const std::string& name, const std::string& value,
                 DWORD type = REG_SZ) {
        SetText(RegistryPlace{root, 0}, path, name, value, type);
    }
    void SetText(const RegistryPlace& place, const std::string& path, const std::string& name,
                 const std::string& value, DWORD type = REG_SZ);
    // Name and text given as UTF-8, written through the wide API.
    void SetTextUtf8(HKEY root, const std::string& path, const std::string& nameUtf8, const std::string& valueUtf8);
    void SetDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
        SetDword(RegistryPlace{root, 0}, path, name, value);
    }
    void SetDword(const RegistryPlace& place, const std::string& path, const std::string& name, DWORD value);
    void SetBinary(HKEY root, const std::string& path, const std::string& name, const void* data, DWORD size);
    // A key given in UTF-16 (names the code page cannot hold, or paths longer than the
    // ANSI functions take), with an optional text value; deleted on destruction.
    void CreateKeyWide(HKEY root, const std::wstring& path, const std::wstring& valueName = L"",
                       const std::wstring& value = L"");
    // Deletes a tree now (also one that this object did not create).
    static void DeleteTree(HKEY root, const std::string& path) { DeleteTree(RegistryPlace{root, 0}, path); }
    static void DeleteTree(const RegistryPlace& place, const std::string& path);

private:
    struct ForeignValue {
        RegistryPlace place;
        std::string path;
        std::string name;
    };
    // Remembers a value in a key this object does not own, or creates the key.
    void Track(const RegistryPlace& place, const std::string& path, const std::string& name);
    std::vector<std::pair<RegistryPlace, std::string>> keys_;
    std::vector<std::pair<HKEY, std::wstring>> wideKeys_;
    std::vector<ForeignValue> foreignValues_;
};

// A folder of files removed with everything in it on destruction.
class FileFixture {
public:
    explicit FileFixture(std::string folder);
    ~FileFixture();
    FileFixture(const FileFixture&) = delete;
    FileFixture& operator=(const FileFixture&) = delete;

    const std::string& Folder() const { return folder_; }
    // Creates folder\relative (and the folders above it); returns the full path.
    std::string AddFile(const std::string& relative, const std::string& content = "x");
    std::string CopyIn(const std::string& source, const std::string& relative);
    std::string MakeFolder(const std::string& relative);
    // A file outside the folder, deleted on destruction too.
    std::string AdoptFile(const std::string& fullPath, const std::string& source = "");

private:
    std::string folder_;
    std::vector<std::string> adopted_;
};

// Subkey names of root\path in enumeration order.
std::vector<std::string> EnumerateSubkeys(HKEY root, const std::string& path);
std::vector<std::string> EnumerateSubkeys(const RegistryPlace& place, const std::string& path);
// The enumeration position of `name` below root\path, -1 when absent.
int SubkeyIndex(HKEY root, const std::string& path, const std::string& name);
int SubkeyIndex(const RegistryPlace& place, const std::string& path, const std::string& name);
// Whether the key, or the value of the key, exists in the place.
bool KeyExists(const RegistryPlace& place, const std::string& path);
bool ValueExists(const RegistryPlace& place, const std::string& path, const std::string& name);

// The folder of the test program (with a trailing backslash) and its scanner fixtures.
std::string ScanFixtureDll(const std::string& name);

}  // namespace tarnock::testing
