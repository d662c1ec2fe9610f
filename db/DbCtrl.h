// The signature database kelvo.dat: known products by category, their processes and
// the registry entries left behind. Read-only; every operation opens its own connection.
#pragma once

#include <memory>
#include <string>

namespace tarnock {

struct SignatureRow;  // singly linked, in load order

class CDbCtrl {
public:
    // The database beside the running program.
    CDbCtrl();
    // A database at an explicit path (tests, tools).
    explicit CDbCtrl(std::string path);
    virtual ~CDbCtrl();
    CDbCtrl(const CDbCtrl&) = delete;
    CDbCtrl& operator=(const CDbCtrl&) = delete;

    // Appends the rows of tb_kelvo_mst whose Type is `type`, ordered by product name.
    // Always true; after a database error the rows read so far stay.
    bool LoadCategory(int type);
    int GetCount() const;
    // Fields of the row at `index`; empty text outside 0..count-1.
    std::string GetName(int index) const;
    std::string GetInfo(int index) const;
    std::string GetKeyName(int index) const;
    std::string GetMatchMode(int index) const;
    // The product's process names / registry paths joined with "|"; empty without rows.
    std::string GetProcessNames(int index) const;
    std::string GetRegistryKeys(int index) const;

    const std::string& Path() const { return path_; }

private:
    const SignatureRow* RowAt(int index) const;
    std::string JoinColumn(const char* queryFormat, int index) const;

    std::string path_;
    SignatureRow* head_ = nullptr;
    SignatureRow* tail_ = nullptr;
    int count_ = 0;
};

}  // namespace tarnock
