#include "db/CppSQLite3Query.h"

#include <utility>

#include "db/CppSQLite3Exception.h"

namespace tarnock {

CppSQLite3Query::CppSQLite3Query(sqlite3* db, sqlite3_stmt* statement, bool atEnd, bool ownsStatement)
    : db_(db),
      statement_(statement),
      atEnd_(atEnd),
      columnCount_(statement != nullptr ? sqlite3_column_count(statement) : 0),
      ownsStatement_(ownsStatement) {}

CppSQLite3Query::CppSQLite3Query(CppSQLite3Query&& other) noexcept
    : db_(other.db_),
      statement_(std::exchange(other.statement_, nullptr)),
      atEnd_(std::exchange(other.atEnd_, true)),
      columnCount_(std::exchange(other.columnCount_, 0)),
      ownsStatement_(std::exchange(other.ownsStatement_, false)) {}

CppSQLite3Query& CppSQLite3Query::operator=(CppSQLite3Query&& other) noexcept {
    if (this != &other) {
        FinishQuietly();
        db_ = other.db_;
        statement_ = std::exchange(other.statement_, nullptr);
        atEnd_ = std::exchange(other.atEnd_, true);
        columnCount_ = std::exchange(other.columnCount_, 0);
        ownsStatement_ = std::exchange(other.ownsStatement_, false);
    }
    return *this;
}

CppSQLite3Query::~CppSQLite3Query() { FinishQuietly(); }

void CppSQLite3Query::FinishQuietly() noexcept {
    try {
        Finish();
    } catch (const CppSQLite3Exception&) {
        // A destructor must not throw; the statement is released either way.
    }
}

void CppSQLite3Query::CheckStatement() const {
    if (statement_ == nullptr) throw CppSQLite3Exception(kCppSQLiteError, "Null Virtual Machine pointer");
}

bool CppSQLite3Query::AtEnd() const {
    CheckStatement();
    return atEnd_;
}

void CppSQLite3Query::Advance() {
    CheckStatement();
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_DONE) {
        atEnd_ = true;
    } else if (result != SQLITE_ROW) {
        const int finalized = sqlite3_finalize(std::exchange(statement_, nullptr));
        atEnd_ = true;
        throw CppSQLite3Exception(finalized != SQLITE_OK ? finalized : result, sqlite3_errmsg(db_));
    }
}

int CppSQLite3Query::ColumnCount() const {
    CheckStatement();
    return columnCount_;
}

const char* CppSQLite3Query::ColumnText(int index) const {
    CheckStatement();
    if (index < 0 || index > columnCount_ - 1) {
        throw CppSQLite3Exception(kCppSQLiteError, "Invalid field index requested");
    }
    if (atEnd_) return nullptr;  // no current row to read from
    return reinterpret_cast<const char*>(sqlite3_column_text(statement_, index));
}

void CppSQLite3Query::Finish() {
    if (statement_ == nullptr || !ownsStatement_) return;
    const int result = sqlite3_finalize(std::exchange(statement_, nullptr));
    atEnd_ = true;
    if (result != SQLITE_OK) throw CppSQLite3Exception(result, sqlite3_errmsg(db_));
}

}  // namespace tarnock
