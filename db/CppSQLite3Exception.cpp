#include "db/CppSQLite3Exception.h"

#include <sqlite3.h>

#include <utility>

namespace tarnock {

namespace {

// SQLite's primary result codes 0..25.
constexpr const char* kPrimaryNames[] = {
    "SQLITE_OK",       "SQLITE_ERROR",    "SQLITE_INTERNAL", "SQLITE_PERM",     "SQLITE_ABORT",
    "SQLITE_BUSY",     "SQLITE_LOCKED",   "SQLITE_NOMEM",    "SQLITE_READONLY", "SQLITE_INTERRUPT",
    "SQLITE_IOERR",    "SQLITE_CORRUPT",  "SQLITE_NOTFOUND", "SQLITE_FULL",     "SQLITE_CANTOPEN",
    "SQLITE_PROTOCOL", "SQLITE_EMPTY",    "SQLITE_SCHEMA",   "SQLITE_TOOBIG",   "SQLITE_CONSTRAINT",
    "SQLITE_MISMATCH", "SQLITE_MISUSE",   "SQLITE_NOLFS",    "SQLITE_AUTH",     "SQLITE_FORMAT",
    "SQLITE_RANGE",
};

char* CopyText(const char* text) { return sqlite3_mprintf("%s", text != nullptr ? text : ""); }

}  // namespace

const char* CppSQLite3Exception::CodeName(int code) {
    constexpr int primaryCount = static_cast<int>(sizeof(kPrimaryNames) / sizeof(kPrimaryNames[0]));
    if (code >= 0 && code < primaryCount) return kPrimaryNames[code];
    switch (code) {
        case SQLITE_ROW: return "SQLITE_ROW";
        case SQLITE_DONE: return "SQLITE_DONE";
        case kCppSQLiteError: return "CPPSQLITE_ERROR";
        default: return "UNKNOWN_ERROR";
    }
}

CppSQLite3Exception::CppSQLite3Exception(int code, const char* detail)
    : code_(code), message_(sqlite3_mprintf("%s[%d]: %s", CodeName(code), code, detail != nullptr ? detail : "")) {}

CppSQLite3Exception::CppSQLite3Exception(const CppSQLite3Exception& other)
    : code_(other.code_), message_(CopyText(other.message_)) {}

CppSQLite3Exception& CppSQLite3Exception::operator=(const CppSQLite3Exception& other) {
    if (this != &other) {
        char* copy = CopyText(other.message_);
        sqlite3_free(std::exchange(message_, copy));
        code_ = other.code_;
    }
    return *this;
}

CppSQLite3Exception::~CppSQLite3Exception() { sqlite3_free(message_); }

}  // namespace tarnock
