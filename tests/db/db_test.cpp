// The SQLite layer and the signature database reader, on small databases that each test
// builds itself in a temporary folder with a Korean name.
#include <gtest/gtest.h>

#include <windows.h>

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/CppSQLite3.h"
#include "db/DbCtrl.h"
#include "base/TextUtil.h"
#include "support/TestMachine.h"

using namespace tarnock;
using tarnock::testing::ReadBytes;

namespace {

// A fresh folder under %TEMP%, removed with its files afterwards.
class TempFolder {
public:
    TempFolder() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        path_ = std::wstring(temp) + L"tarnock_db_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                std::to_wstring(++counter) + L"_시그니처\\";
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        for (const std::wstring& name : Files()) DeleteFileW((path_ + name).c_str());
        RemoveDirectoryW(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::wstring Wide(const std::wstring& name) const { return path_ + name; }
    std::string Ansi(const std::wstring& name) const { return AnsiFromWide(path_ + name); }

    std::vector<std::wstring> Files() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((path_ + L"*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return names;
    }

private:
    std::wstring path_;
};

// Builds a database with the SQLite C API, independently of the layer under test.
void MakeDatabase(const std::wstring& path, const char* sqlUtf8) {
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open16(path.c_str(), &raw);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);
    ASSERT_EQ(opened, SQLITE_OK);
    char* error = nullptr;
    const int result = sqlite3_exec(db.get(), sqlUtf8, nullptr, nullptr, &error);
    const std::string message = error != nullptr ? error : "";
    sqlite3_free(error);
    ASSERT_EQ(result, SQLITE_OK) << message;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

// Runs `action` and returns the exception it threw; fails the test when nothing is thrown.
template <typename Action>
CppSQLite3Exception Thrown(Action action) {
    try {
        action();
    } catch (const CppSQLite3Exception& e) {
        return e;
    }
    ADD_FAILURE() << "no CppSQLite3Exception";
    return CppSQLite3Exception(-1, "none");
}

constexpr char kNullVm[] = "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer";
constexpr char kBadIndex[] = "CPPSQLITE_ERROR[1000]: Invalid field index requested";

// ---------------------------------------------------------------- SQLite layer

class SqliteLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeDatabase(folder_.Wide(L"layer.db"),
                     "CREATE TABLE t (a TEXT, b INTEGER, c TEXT);"
                     "INSERT INTO t VALUES ('one', 1, NULL), ('two', 2, 'last');"
                     "CREATE TABLE n (x INTEGER);"
                     "INSERT INTO n VALUES (1), (-9223372036854775808);");
        db_.Open(folder_.Ansi(L"layer.db").c_str());
    }
    TempFolder folder_;
    CppSQLite3DB db_;
};

TEST(SqliteException, CodeNamesAndMessageForm) {
    const struct {
        int code;
        const char* name;
    } cases[] = {
        {0, "SQLITE_OK"},        {1, "SQLITE_ERROR"},      {5, "SQLITE_BUSY"},    {14, "SQLITE_CANTOPEN"},
        {21, "SQLITE_MISUSE"},   {23, "SQLITE_AUTH"},      {25, "SQLITE_RANGE"},  {26, "UNKNOWN_ERROR"},
        {27, "UNKNOWN_ERROR"},   {99, "UNKNOWN_ERROR"},    {100, "SQLITE_ROW"},   {101, "SQLITE_DONE"},
        {1000, "CPPSQLITE_ERROR"}, {-1, "UNKNOWN_ERROR"},  {1001, "UNKNOWN_ERROR"},
    };
    for (const auto& c : cases) EXPECT_STREQ(CppSQLite3Exception::CodeName(c.code), c.name) << c.code;

    EXPECT_STREQ(CppSQLite3Exception(26, nullptr).Message(), "UNKNOWN_ERROR[26]: ");
    const CppSQLite3Exception busy(5, "database is locked");
    EXPECT_EQ(busy.Code(), 5);
    EXPECT_STREQ(busy.Message(), "SQLITE_BUSY[5]: database is locked");
}

TEST(SqliteException, CopiesOwnTheirMessages) {
    auto original = std::make_unique<CppSQLite3Exception>(kCppSQLiteError, "Database not open");
    CppSQLite3Exception copy(*original);
    CppSQLite3Exception assigned(1, nullptr);
    assigned = *original;
    EXPECT_NE(copy.Message(), original->Message());
    EXPECT_NE(assigned.Message(), original->Message());
    original.reset();  // frees only its own message
    EXPECT_EQ(copy.Code(), kCppSQLiteError);
    EXPECT_STREQ(copy.Message(), "CPPSQLITE_ERROR[1000]: Database not open");
    EXPECT_STREQ(assigned.Message(), "CPPSQLITE_ERROR[1000]: Database not open");
    assigned = assigned;  // self-assignment keeps the message
    EXPECT_STREQ(assigned.Message(), "CPPSQLITE_ERROR[1000]: Database not open");
}

TEST_F(SqliteLayerTest, QueryWithoutRowsIsAtEndAndFinishes) {
    CppSQLite3Query query = db_.RunQuery("select * from t where b = 99;");
    EXPECT_TRUE(query.AtEnd());
    EXPECT_EQ(query.ColumnCount(), 3);
    EXPECT_EQ(query.ColumnText(0), nullptr);  // no current row
    EXPECT_NO_THROW(query.Finish());
    EXPECT_STREQ(Thrown([&] { query.AtEnd(); }).Message(), kNullVm);
    EXPECT_NO_THROW(query.Finish());  // finishing twice is harmless
}

TEST_F(SqliteLayerTest, WalksRowsAndChecksColumnIndexes) {
    CppSQLite3Query query = db_.RunQuery("select a, b, c from t order by b;");
    ASSERT_FALSE(query.AtEnd());
    EXPECT_STREQ(query.ColumnText(0), "one");
    EXPECT_STREQ(query.ColumnText(1), "1");    // integers read as text
    EXPECT_EQ(query.ColumnText(2), nullptr);   // SQL NULL
    for (int bad : {-1, 3, 100}) {
        const CppSQLite3Exception e = Thrown([&] { query.ColumnText(bad); });
        EXPECT_EQ(e.Code(), kCppSQLiteError);
        EXPECT_STREQ(e.Message(), kBadIndex) << bad;
    }
    query.Advance();
    ASSERT_FALSE(query.AtEnd());
    EXPECT_STREQ(query.ColumnText(2), "last");  // column count - 1 is the last column
    query.Advance();
    EXPECT_TRUE(query.AtEnd());
    EXPECT_NO_THROW(query.Finish());
}

TEST_F(SqliteLayerTest, PrepareFailuresCarryTheCodeAndNoDetail) {
    for (const char* sql : {"selec * from t;", "select * from no_such_table;", "select nope from t;"}) {
        const CppSQLite3Exception e = Thrown([&] { db_.RunQuery(sql); });
        EXPECT_EQ(e.Code(), 1) << sql;
        EXPECT_STREQ(e.Message(), "SQLITE_ERROR[1]: ") << sql;
    }
    EXPECT_EQ(Thrown([&] { db_.RunQuery("  -- nothing"); }).Code(), kCppSQLiteError);
}

TEST_F(SqliteLayerTest, StepFailuresCarrySqliteErrorText) {
    // abs() of the smallest 64-bit integer overflows while the row is computed.
    const CppSQLite3Exception first = Thrown([&] { db_.RunQuery("select abs(x) from n where x < 0;"); });
    EXPECT_STREQ(first.Message(), "SQLITE_ERROR[1]: integer overflow");

    CppSQLite3Query query = db_.RunQuery("select abs(x) from n order by rowid;");
    ASSERT_FALSE(query.AtEnd());
    EXPECT_STREQ(query.ColumnText(0), "1");
    EXPECT_STREQ(Thrown([&] { query.Advance(); }).Message(), "SQLITE_ERROR[1]: integer overflow");
    // The failed cursor is finished: every further use says so.
    EXPECT_STREQ(Thrown([&] { query.AtEnd(); }).Message(), kNullVm);
    EXPECT_STREQ(Thrown([&] { query.Advance(); }).Message(), kNullVm);
    EXPECT_STREQ(Thrown([&] { query.ColumnText(0); }).Message(), kNullVm);
    EXPECT_NO_THROW(query.Finish());
}

TEST_F(SqliteLayerTest, DestroyingACursorSwallowsAFailedFinalize) {
    // A statement whose last step failed makes sqlite3_finalize report the error.
    auto failedStatement = [&](sqlite3* db) {
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, "select abs(x) from n where x < 0;", -1, &statement, nullptr), SQLITE_OK);
        EXPECT_EQ(sqlite3_step(statement), SQLITE_ERROR);
        return statement;
    };
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open16(folder_.Wide(L"layer.db").c_str(), &raw), SQLITE_OK);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);

    {
        CppSQLite3Query explicitFinish(db.get(), failedStatement(db.get()), false, true);
        EXPECT_STREQ(Thrown([&] { explicitFinish.Finish(); }).Message(), "SQLITE_ERROR[1]: integer overflow");
    }
    EXPECT_NO_THROW({ CppSQLite3Query destroyed(db.get(), failedStatement(db.get()), false, true); });

    // A cursor that does not own its statement leaves it to its owner.
    sqlite3_stmt* borrowed = failedStatement(db.get());
    { CppSQLite3Query notOwner(db.get(), borrowed, false, false); }
    EXPECT_EQ(sqlite3_finalize(borrowed), SQLITE_ERROR);
}

TEST_F(SqliteLayerTest, MovingACursorHandsOverTheStatement) {
    CppSQLite3Query source = db_.RunQuery("select a from t order by b;");
    CppSQLite3Query target(std::move(source));
    EXPECT_STREQ(target.ColumnText(0), "one");
    EXPECT_STREQ(Thrown([&] { source.AtEnd(); }).Message(), kNullVm);
    CppSQLite3Query assigned;
    assigned = std::move(target);
    assigned.Advance();
    EXPECT_STREQ(assigned.ColumnText(0), "two");
}

TEST(SqliteLayer, QueryWithoutConnectionAndReadOnlyOpenOfAMissingFile) {
    CppSQLite3DB db;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(db.BusyTimeout(), 60000);
    EXPECT_STREQ(Thrown([&] { db.RunQuery("select 1;"); }).Message(), "CPPSQLITE_ERROR[1000]: Database not open");

    TempFolder folder;
    const CppSQLite3Exception e =
        Thrown([&] { db.Open(folder.Ansi(L"missing.db").c_str(), SQLITE_OPEN_READONLY); });
    EXPECT_EQ(e.Code(), SQLITE_CANTOPEN);
    EXPECT_TRUE(folder.Files().empty());
}

// ---------------------------------------------------------------- CDbCtrl

// Category 1 in name order: Alpha(1), Beta(2), Delta(-7), Gamma(3). Category 3 holds one
// Korean product; nothing has Type 4 or 6.
constexpr char kFixture[] = R"sql(
CREATE TABLE tb_kelvo_mst (mst_Seq INTEGER, product_name TEXT, info TEXT, uninstall_key TEXT,
                           match_mode TEXT, Type INTEGER, extra TEXT);
CREATE TABLE tb_process_list (process_name TEXT, mst_Seq INTEGER);
CREATE TABLE tb_registry_list (registry_key TEXT, mst_Seq INTEGER);
INSERT INTO tb_kelvo_mst VALUES
  (2, 'Beta', 'http://beta.example/', 'Beta_is1', '', 1, 'x'),
  (3, 'Gamma', NULL, '{0A1B2C3D-0000-1111-2222-333344445555}', NULL, 1, NULL),
  (1, 'Alpha', 'http://alpha.example/', 'alpha', '%', 1, NULL),
  ('-7', 'Delta', '', 'delta', '=', 1, NULL),
  (4, 'Toolbar', 'http://toolbar.example/', 'Toolbar', '%', 2, NULL),
  (5, '네이트온 메신저', '메신저 정보', 'NateOn', '%', 3, NULL);
INSERT INTO tb_process_list VALUES ('A', 1), ('A', 2), ('B', 2), ('hidden.exe', -7), ('네이트온.exe', 5);
INSERT INTO tb_registry_list VALUES
  ('HKEY_LOCAL_MACHINE\SOFTWARE\Alpha\', 1),
  ('HKEY_USERS\.DEFAULT\Software\Alpha\Setting', 1),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\Delta\', -7),
  ('HKEY_LOCAL_MACHINE\SOFTWARE\네이트온\', 5);
)sql";

class DbCtrlTest : public ::testing::Test {
protected:
    void SetUp() override { MakeDatabase(folder_.Wide(L"kelvo.dat"), kFixture); }
    std::string Path() const { return folder_.Ansi(L"kelvo.dat"); }
    TempFolder folder_;
};

TEST(DbCtrl, RunsUnderTheKoreanCodePageAndFindsTheFileBesideTheProgram) {
    EXPECT_EQ(GetACP(), 949u);
    EXPECT_EQ(CDbCtrl().Path(), ModuleFolder() + "kelvo.dat");
}

TEST_F(DbCtrlTest, LoadsACategoryInNameOrderWithItsFields) {
    CDbCtrl db(Path());
    EXPECT_TRUE(db.LoadCategory(1));
    ASSERT_EQ(db.GetCount(), 4);
    const struct {
        const char* name;
        const char* info;
        const char* keyName;
        const char* matchMode;
    } expected[] = {
        {"Alpha", "http://alpha.example/", "alpha", "%"},
        {"Beta", "http://beta.example/", "Beta_is1", ""},
        {"Delta", "", "delta", "="},
        {"Gamma", "", "{0A1B2C3D-0000-1111-2222-333344445555}", ""},  // NULLs read as empty
    };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(db.GetName(i), expected[i].name) << i;
        EXPECT_EQ(db.GetInfo(i), expected[i].info) << i;
        EXPECT_EQ(db.GetKeyName(i), expected[i].keyName) << i;
        EXPECT_EQ(db.GetMatchMode(i), expected[i].matchMode) << i;
    }
    // A second object loads the same rows in the same order.
    CDbCtrl again(Path());
    again.LoadCategory(1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(again.GetName(i), db.GetName(i));
}

TEST_F(DbCtrlTest, CategoriesWithoutRowsLoadNothing) {
    for (int type : {4, 5, 6, 7, 8, 10, 0, -1}) {
        CDbCtrl db(Path());
        EXPECT_TRUE(db.LoadCategory(type));
        EXPECT_EQ(db.GetCount(), 0) << type;
        EXPECT_EQ(db.GetName(0), "");
        EXPECT_EQ(db.GetProcessNames(0), "");
    }
}

TEST_F(DbCtrlTest, JoinsProcessNamesAndRegistryKeys) {
    CDbCtrl db(Path());
    db.LoadCategory(1);
    EXPECT_EQ(db.GetProcessNames(0), "A");    // one row: no separator
    EXPECT_EQ(db.GetProcessNames(1), "A|B");  // two rows
    EXPECT_EQ(db.GetProcessNames(3), "");     // no rows
    EXPECT_EQ(db.GetRegistryKeys(0),
              "HKEY_LOCAL_MACHINE\\SOFTWARE\\Alpha\\|HKEY_USERS\\.DEFAULT\\Software\\Alpha\\Setting");
    EXPECT_EQ(db.GetRegistryKeys(1), "");
    // A negative product key has no lists, even when rows refer to it.
    EXPECT_EQ(db.GetName(2), "Delta");
    EXPECT_EQ(db.GetProcessNames(2), "");
    EXPECT_EQ(db.GetRegistryKeys(2), "");
}

TEST_F(DbCtrlTest, IndexesOutsideTheRowsGiveEmptyTextWithoutOpeningTheFile) {
    CDbCtrl db(Path());
    db.LoadCategory(1);

    // Another connection holds an exclusive lock: any read of the file would now wait
    // for the 60-second busy time-out.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open16(folder_.Wide(L"kelvo.dat").c_str(), &raw), SQLITE_OK);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> locker(raw, &sqlite3_close);
    ASSERT_EQ(sqlite3_exec(locker.get(), "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        sqlite3* probe = nullptr;
        ASSERT_EQ(sqlite3_open16(folder_.Wide(L"kelvo.dat").c_str(), &probe), SQLITE_OK);
        std::unique_ptr<sqlite3, decltype(&sqlite3_close)> reader(probe, &sqlite3_close);
        EXPECT_EQ(sqlite3_exec(reader.get(), "select count(*) from tb_kelvo_mst;", nullptr, nullptr, nullptr),
                  SQLITE_BUSY);  // the lock really keeps readers out
    }

    const ULONGLONG start = GetTickCount64();
    for (int index : {-1, 4, 5, 1000}) {
        EXPECT_EQ(db.GetName(index), "") << index;
        EXPECT_EQ(db.GetInfo(index), "") << index;
        EXPECT_EQ(db.GetKeyName(index), "") << index;
        EXPECT_EQ(db.GetMatchMode(index), "") << index;
        EXPECT_EQ(db.GetProcessNames(index), "") << index;
        EXPECT_EQ(db.GetRegistryKeys(index), "") << index;
    }
    EXPECT_EQ(db.GetProcessNames(2), "");  // negative key: not read either
    EXPECT_LT(GetTickCount64() - start, 5000u);
}

TEST_F(DbCtrlTest, KoreanTextsArriveInTheCodePage) {
    CDbCtrl db(Path());  // the folder name itself is Korean
    db.LoadCategory(3);
    ASSERT_EQ(db.GetCount(), 1);
    EXPECT_EQ(db.GetName(0), AnsiFromWide(L"네이트온 메신저"));
    EXPECT_EQ(db.GetInfo(0), AnsiFromWide(L"메신저 정보"));
    EXPECT_EQ(db.GetProcessNames(0), AnsiFromWide(L"네이트온.exe"));
    EXPECT_EQ(db.GetRegistryKeys(0), AnsiFromWide(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\네이트온\\"));
}

TEST(DbCtrl, MissingOrBrokenFilesGiveAnEmptyCategoryAndCreateNothing) {
    const struct {
        const wchar_t* name;
        const char* content;  // null: no file at all
    } cases[] = {
        {L"missing.dat", nullptr},
        {L"empty.dat", ""},
        {L"text.dat", "This is a plain text file and not an SQLite database, even if it is long enough "
                      "to hold a header of one hundred bytes or more........................"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        if (c.content != nullptr) WriteBytes(folder.Wide(c.name), c.content);
        CDbCtrl db(folder.Ansi(c.name));
        EXPECT_TRUE(db.LoadCategory(1));
        EXPECT_EQ(db.GetCount(), 0);

        const std::vector<std::wstring> files = folder.Files();
        if (c.content == nullptr) {
            EXPECT_TRUE(files.empty()) << "a missing database was created";
        } else {
            ASSERT_EQ(files.size(), 1u);  // no journal either
            EXPECT_EQ(ReadBytes(folder.Wide(c.name)), c.content);
        }
    }
}

TEST(DbCtrl, OverlongTextsAreCutAtACharacterBoundary) {
    TempFolder folder;
    const std::string longAscii(300, 'N');
    const std::wstring longHangul(100, L'가');  // 200 bytes in the code page
    std::string sql =
        "CREATE TABLE tb_kelvo_mst (k, n, i, u, m, Type);"
        "INSERT INTO tb_kelvo_mst VALUES (1, '" + longAscii + "', '" + longAscii + "', '" +
        std::string(254, 'K') + "', '" + longAscii + "', 9),"
        "(2, '" + Utf8FromAnsi(AnsiFromWide(L"한" + longHangul)) + "', '', '', '', 9);";
    MakeDatabase(folder.Wide(L"kelvo.dat"), sql.c_str());

    CDbCtrl db(folder.Ansi(L"kelvo.dat"));
    db.LoadCategory(9);
    ASSERT_EQ(db.GetCount(), 2);
    EXPECT_EQ(db.GetName(0), std::string(119, 'N'));
    EXPECT_EQ(db.GetInfo(0), std::string(254, 'N'));
    EXPECT_EQ(db.GetKeyName(0), std::string(254, 'K'));  // exactly at capacity: whole
    EXPECT_EQ(db.GetMatchMode(0), std::string(254, 'N'));
    // 119 bytes would split the 60th syllable: 59 syllables, 118 bytes.
    EXPECT_EQ(db.GetName(1), AnsiFromWide(L"한" + std::wstring(58, L'가')));
}

TEST(DbCtrl, KeepsWhatWasReadBeforeAnError) {
    TempFolder folder;
    // The views fail on the row whose k overflows abs(); the index makes the category
    // query read in name order, so the failing row comes third.
    MakeDatabase(folder.Wide(L"kelvo.dat"),
                 "CREATE TABLE base (seq, name, info, ukey, mode, Type, k);"
                 "CREATE INDEX base_name ON base (name);"
                 "INSERT INTO base VALUES (1, 'a', '', 'a', '', 1, 0), (2, 'b', '', 'b', '', 1, 0),"
                 "  (3, 'c', '', 'c', '', 1, -9223372036854775808), (4, 'd', '', 'd', '', 1, 0);"
                 "CREATE VIEW tb_kelvo_mst AS SELECT seq, name, info, ukey, mode, Type FROM base WHERE abs(k) >= 0;"
                 "CREATE TABLE raw (name, seq, k);"
                 "INSERT INTO raw VALUES ('A', 1, 0), ('B', 1, 0), ('BAD', 1, -9223372036854775808), ('C', 1, 0);"
                 "CREATE VIEW tb_process_list AS SELECT name AS process_name, seq AS mst_Seq FROM raw WHERE abs(k) >= 0;");
    CDbCtrl db(folder.Ansi(L"kelvo.dat"));
    EXPECT_TRUE(db.LoadCategory(1));
    ASSERT_EQ(db.GetCount(), 2);
    EXPECT_EQ(db.GetName(1), "b");
    EXPECT_EQ(db.GetProcessNames(0), "A|B");
    EXPECT_EQ(db.GetRegistryKeys(0), "");  // no such table
}

}  // namespace
