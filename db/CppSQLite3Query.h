// A forward-only cursor over the result rows of one statement. It must not outlive the
// connection that made it.
#pragma once

#include <sqlite3.h>

namespace tarnock {

class CppSQLite3Query {
public:
    // A finished cursor: every use throws "Null Virtual Machine pointer".
    CppSQLite3Query() = default;
    // Takes a statement that has been stepped once; `atEnd` is that step's outcome.
    // With `ownsStatement` the cursor finalizes the statement itself.
    CppSQLite3Query(sqlite3* db, sqlite3_stmt* statement, bool atEnd, bool ownsStatement);
    // Moving hands the statement over; the source is left finished.
    CppSQLite3Query(CppSQLite3Query&& other) noexcept;
    CppSQLite3Query& operator=(CppSQLite3Query&& other) noexcept;
    CppSQLite3Query(const CppSQLite3Query&) = delete;
    CppSQLite3Query& operator=(const CppSQLite3Query&) = delete;
    // Finishes the statement; a failing finalize is swallowed here.
    virtual ~CppSQLite3Query();

    bool AtEnd() const;
    void Advance();
    int ColumnCount() const;
    // The current row's column as UTF-8 text; null for SQL NULL. Valid until the cursor
    // moves or finishes.
    const char* ColumnText(int index) const;
    // Finalizes an owned statement; throws when SQLite reports a failure.
    void Finish();

private:
    void CheckStatement() const;
    void FinishQuietly() noexcept;

    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
    bool atEnd_ = true;
    int columnCount_ = 0;
    bool ownsStatement_ = false;
};

}  // namespace tarnock
