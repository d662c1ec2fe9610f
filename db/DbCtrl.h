// The signature database kelvo.dat: known products by category, their processes and
// the registry entries left behind. Read-only; every operation opens its own connection.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace tarnock {

// Field capacities of a loaded row, terminator included.
constexpr std::size_t kSignatureNameCapacity = 120;
constexpr std::size_t kSignatureTextCapacity = 255;

// One product of a loaded category; texts in the ANSI code page, cut to their capacity.
struct SignatureRow {
    int key = 0;
    char name[kSignatureNameCapacity] = {};
    char info[kSignatureTextCapacity] = {};
    char keyName[kSignatureTextCapacity] = {};
    char matchMode[kSignatureTextCapacity] = {};
    std::unique_ptr<SignatureRow> next;  // singly linked, in load order
};

class CDbCtrl {
public:
    // The database beside the running program.
    CDbCtrl();
    // A database at an explicit path (tests, tools); an ANSI code-page path.
    explicit CDbCtrl(std::string path);
    virtual ~CDbCtrl();
    CDbCtrl(const CDbCtrl&) = delete;
    CDbCtrl& operator=(const CDbCtrl&) = delete;

    // Appends the rows of tb_kelvo_mst whose Type is `type`, ordered by product name.
    // Always true; after a database error the rows read so far stay. A missing file is
    // an empty category and is never created.
    bool LoadCategory(int type);
    int GetCount() const;
    // Fields of the row at `index`; empty text outside 0..count-1.
    std::string GetName(int index) const;
    std::string GetInfo(int index) const;
    std::string GetKeyName(int index) const;
    std::string GetMatchMode(int index) const;
    // The product's process names / registry paths joined with "|"; empty without rows,
    // for an index outside the rows (without touching the file) and for a negative key.
    std::string GetProcessNames(int index) const;
    std::string GetRegistryKeys(int index) const;
    // The database key (mst_Seq) of the row at `index`; -1 outside the rows.
    int GetKey(int index) const;

    // Lookups by the product's database key, straight from the file: a list row carries the
    // key, never a position in a load, so another load order or a replaced file cannot make
    // it name another product's data.
    std::string GetProcessNamesOfKey(int key) const;
    std::string GetRegistryKeysOfKey(int key) const;
    // The product `key` of category `type` as the file holds it now; false (and `product`
    // untouched) when there is none.
    bool FindProduct(int type, int key, SignatureRow& product) const;

    const std::string& Path() const { return path_; }

private:
    const SignatureRow* RowAt(int index) const;
    std::string JoinColumn(const char* queryFormat, int index) const;
    std::string JoinColumnOfKey(const char* queryFormat, int key) const;
    void Append(std::unique_ptr<SignatureRow> row);

    std::string path_;
    std::unique_ptr<SignatureRow> head_;
    SignatureRow* tail_ = nullptr;
    int count_ = 0;
};

}  // namespace tarnock
