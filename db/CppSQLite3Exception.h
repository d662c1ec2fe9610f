// The single exception type of the SQLite layer. Its message is "NAME[code]: detail".
#pragma once

namespace tarnock {

// Errors the layer detects itself, as opposed to SQLite's result codes.
constexpr int kCppSQLiteError = 1000;

class CppSQLite3Exception {
public:
    // `detail` may be null (an empty detail).
    CppSQLite3Exception(int code, const char* detail);
    CppSQLite3Exception(const CppSQLite3Exception& other);
    CppSQLite3Exception& operator=(const CppSQLite3Exception& other);
    virtual ~CppSQLite3Exception();

    int Code() const { return code_; }
    // Never null.
    const char* Message() const { return message_ != nullptr ? message_ : ""; }

    // "SQLITE_ERROR" for 1, "CPPSQLITE_ERROR" for 1000, "UNKNOWN_ERROR" for codes without a name.
    static const char* CodeName(int code);

private:
    int code_;
    char* message_;  // owned; sqlite3_mprintf / sqlite3_free
};

}  // namespace tarnock
