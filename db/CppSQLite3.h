// The program's thin layer over SQLite: a connection, a forward-only cursor and the
// one exception type that every failure is thrown as.
#pragma once

#include "db/CppSQLite3DB.h"
#include "db/CppSQLite3Exception.h"
#include "db/CppSQLite3Query.h"
