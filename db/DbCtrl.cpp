#include "db/DbCtrl.h"

#include <sqlite3.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <cstdlib>
#include <utility>

#include "db/CppSQLite3.h"
#include "base/TextUtil.h"

namespace tarnock {

namespace {

constexpr char kDatabaseFileName[] = "kelvo.dat";
constexpr char kCategoryQuery[] = "select * from tb_kelvo_mst where Type=%d order by 2;";
constexpr char kProductQuery[] = "select * from tb_kelvo_mst where Type=%d and mst_Seq=%d;";
constexpr char kProcessQuery[] = "select process_name from tb_process_list where mst_Seq=%d;";
constexpr char kRegistryQuery[] = "select registry_key from tb_registry_list where mst_Seq=%d;";

// The database ships with the program and is never written: open it read-only so that
// a missing file is reported instead of created empty.
void OpenDatabase(CppSQLite3DB& db, const std::string& path) { db.Open(path.c_str(), SQLITE_OPEN_READONLY); }

// Leading decimal digits (with an optional sign), as atoi reads them; 0 without digits.
int KeyFromText(const char* text) {
    if (text == nullptr) return 0;
    const long long value = std::strtoll(text, nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// Column text in the program's code page; SQL NULL reads as empty.
std::string ColumnAnsi(const CppSQLite3Query& query, int index) {
    const char* text = query.ColumnText(index);
    return text != nullptr ? AnsiFromUtf8(text) : std::string();
}

}  // namespace

CDbCtrl::CDbCtrl() : path_(ModuleFolder() + kDatabaseFileName) {}

CDbCtrl::CDbCtrl(std::string path) : path_(std::move(path)) {}

CDbCtrl::~CDbCtrl() {
    // Unlink one row at a time so that a long list never recurses through its links.
    while (head_) head_ = std::move(head_->next);
}

void CDbCtrl::Append(std::unique_ptr<SignatureRow> row) {
    SignatureRow* added = row.get();
    if (tail_ == nullptr) {
        head_ = std::move(row);
    } else {
        tail_->next = std::move(row);
    }
    tail_ = added;
    ++count_;
}

bool CDbCtrl::LoadCategory(int type) {
    try {
        CppSQLite3DB db;
        OpenDatabase(db, path_);
        CppSQLite3Query query = db.RunQuery(FormatText(kCategoryQuery, type).c_str());
        while (!query.AtEnd()) {
            auto row = std::make_unique<SignatureRow>();
            row->key = KeyFromText(query.ColumnText(0));
            CopyBounded(row->name, sizeof(row->name), ColumnAnsi(query, 1));
            CopyBounded(row->info, sizeof(row->info), ColumnAnsi(query, 2));
            CopyBounded(row->keyName, sizeof(row->keyName), ColumnAnsi(query, 3));
            CopyBounded(row->matchMode, sizeof(row->matchMode), ColumnAnsi(query, 4));
            Append(std::move(row));
            query.Advance();
        }
        query.Finish();
    } catch (const CppSQLite3Exception&) {
        // A broken or missing database is an empty (or partly read) category.
    }
    return true;
}

int CDbCtrl::GetCount() const { return count_; }

const SignatureRow* CDbCtrl::RowAt(int index) const {
    if (index < 0) return nullptr;
    const SignatureRow* row = head_.get();
    for (int i = 0; row != nullptr && i < index; ++i) row = row->next.get();
    return row;
}

std::string CDbCtrl::GetName(int index) const {
    const SignatureRow* row = RowAt(index);
    return row != nullptr ? row->name : "";
}

std::string CDbCtrl::GetInfo(int index) const {
    const SignatureRow* row = RowAt(index);
    return row != nullptr ? row->info : "";
}

std::string CDbCtrl::GetKeyName(int index) const {
    const SignatureRow* row = RowAt(index);
    return row != nullptr ? row->keyName : "";
}

std::string CDbCtrl::GetMatchMode(int index) const {
    const SignatureRow* row = RowAt(index);
    return row != nullptr ? row->matchMode : "";
}

std::string CDbCtrl::GetProcessNames(int index) const { return JoinColumn(kProcessQuery, index); }

std::string CDbCtrl::GetRegistryKeys(int index) const { return JoinColumn(kRegistryQuery, index); }

int CDbCtrl::GetKey(int index) const {
    const SignatureRow* row = RowAt(index);
    return row != nullptr ? row->key : -1;
}

std::string CDbCtrl::GetProcessNamesOfKey(int key) const { return JoinColumnOfKey(kProcessQuery, key); }

std::string CDbCtrl::GetRegistryKeysOfKey(int key) const { return JoinColumnOfKey(kRegistryQuery, key); }

bool CDbCtrl::FindProduct(int type, int key, SignatureRow& product) const {
    if (key < 0) return false;
    try {
        CppSQLite3DB db;
        OpenDatabase(db, path_);
        CppSQLite3Query query = db.RunQuery(FormatText(kProductQuery, type, key).c_str());
        if (query.AtEnd()) return false;
        SignatureRow found;
        found.key = KeyFromText(query.ColumnText(0));
        CopyBounded(found.name, sizeof(found.name), ColumnAnsi(query, 1));
        CopyBounded(found.info, sizeof(found.info), ColumnAnsi(query, 2));
        CopyBounded(found.keyName, sizeof(found.keyName), ColumnAnsi(query, 3));
        CopyBounded(found.matchMode, sizeof(found.matchMode), ColumnAnsi(query, 4));
        query.Finish();
        product.key = found.key;
        std::copy(std::begin(found.name), std::end(found.name), product.name);
        std::copy(std::begin(found.info), std::end(found.info), product.info);
        std::copy(std::begin(found.keyName), std::end(found.keyName), product.keyName);
        std::copy(std::begin(found.matchMode), std::end(found.matchMode), product.matchMode);
        return true;
    } catch (const CppSQLite3Exception&) {
        return false;
    }
}

std::string CDbCtrl::JoinColumn(const char* queryFormat, int index) const {
    const SignatureRow* row = RowAt(index);
    if (row == nullptr) return {};
    return JoinColumnOfKey(queryFormat, row->key);
}

std::string CDbCtrl::JoinColumnOfKey(const char* queryFormat, int key) const {
    if (key < 0) return {};
    std::string joined;
    try {
        CppSQLite3DB db;
        OpenDatabase(db, path_);
        CppSQLite3Query query = db.RunQuery(FormatText(queryFormat, key).c_str());
        for (bool first = true; !query.AtEnd(); first = false) {
            const std::string value = ColumnAnsi(query, 0);
            joined = first ? value : joined + "|" + value;
            query.Advance();
        }
        query.Finish();
    } catch (const CppSQLite3Exception&) {
        // The values joined before the error are the result.
    }
    return joined;
}

}  // namespace tarnock
