#include "db/CppSQLite3DB.h"

#include <string>

#include "db/CppSQLite3Exception.h"
#include "base/TextUtil.h"

namespace tarnock {

CppSQLite3DB::~CppSQLite3DB() { Close(); }

void CppSQLite3DB::Close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);  // never leaks the handle, even with a statement left open
        db_ = nullptr;
    }
}

void CppSQLite3DB::Open(const char* path, int flags) {
    Close();
    // SQLite takes UTF-8 file names; the program's paths are in the ANSI code page.
    const std::string utf8Path = Utf8FromAnsi(path != nullptr ? path : "");
    const int result = sqlite3_open_v2(utf8Path.c_str(), &db_, flags, nullptr);
    if (result != SQLITE_OK) {
        // Without a handle SQLite could not even allocate one.
        throw CppSQLite3Exception(result, db_ != nullptr ? sqlite3_errmsg(db_) : nullptr);
    }
    sqlite3_busy_timeout(db_, busyTimeoutMs_);
}

CppSQLite3Query CppSQLite3DB::RunQuery(const char* sql) {
    if (db_ == nullptr) throw CppSQLite3Exception(kCppSQLiteError, "Database not open");

    sqlite3_stmt* statement = nullptr;
    const int prepared = sqlite3_prepare_v2(db_, sql != nullptr ? sql : "", -1, &statement, nullptr);
    if (prepared != SQLITE_OK) throw CppSQLite3Exception(prepared, nullptr);
    // Only blanks or comments: there is nothing to run.
    if (statement == nullptr) throw CppSQLite3Exception(kCppSQLiteError, "No SQL statement");

    const int stepped = sqlite3_step(statement);
    if (stepped != SQLITE_DONE && stepped != SQLITE_ROW) {
        const int finalized = sqlite3_finalize(statement);
        throw CppSQLite3Exception(finalized != SQLITE_OK ? finalized : stepped, sqlite3_errmsg(db_));
    }
    return CppSQLite3Query(db_, statement, stepped == SQLITE_DONE, true);
}

}  // namespace tarnock
