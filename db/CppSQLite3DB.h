// A connection to one SQLite database file.
#pragma once

#include <sqlite3.h>

#include "db/CppSQLite3Query.h"

namespace tarnock {

class CppSQLite3DB {
public:
    CppSQLite3DB() = default;
    CppSQLite3DB(const CppSQLite3DB&) = delete;
    CppSQLite3DB& operator=(const CppSQLite3DB&) = delete;
    // Closes the connection. Every cursor made by it must be gone by then.
    virtual ~CppSQLite3DB();

    // Opens the file at `path`, an 8-bit code-page path as the program has it. The flags
    // are sqlite3_open_v2's; the default creates a missing file, as sqlite3_open does.
    // Throws on failure; the connection handle stays and is closed later.
    void Open(const char* path, int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    void Close();
    bool IsOpen() const { return db_ != nullptr; }

    // Prepares `sql` (UTF-8) and steps it once: the cursor stands on the first row or at the end.
    CppSQLite3Query RunQuery(const char* sql);

    int BusyTimeout() const { return busyTimeoutMs_; }

private:
    sqlite3* db_ = nullptr;
    int busyTimeoutMs_ = 60000;
};

}  // namespace tarnock
