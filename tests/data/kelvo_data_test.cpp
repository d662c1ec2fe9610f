// Checks of the signature database that ships with the program (kelvo.dat of this build):
// its schema, the program's own queries on it, and rules its data must keep because the
// removal deletes what it lists (its registry paths pass the removal's own deletion rule).
#include <gtest/gtest.h>

#include <windows.h>

#include <sqlite3.h>

#include <cctype>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/DeletionRule.h"
#include "base/TextUtil.h"
#include "db/DbCtrl.h"

using namespace tarnock;

namespace {

constexpr int kCategories[] = {1, 2, 3, 4, 9};

// The build folder as this Windows program sees it (Wine maps the Unix root to Z:).
std::string ShippedDatabasePath() {
    std::string path = std::string(TARNOCK_BUILD_DIR) + "/kelvo.dat";
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

// What the removal's deletion rule says of a path row of the product with this key name and
// product name ("allowed" when it may be deleted).
std::string PathVerdict(const std::string& path, const std::string& keyName, const std::string& name) {
    return DeletionVerdictText(CheckDeletionPath(path, {keyName, name}));
}

class ShippedDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(PathExists(path_)) << path_;
        sqlite3* raw = nullptr;
        const int opened = sqlite3_open_v2(Utf8FromAnsi(path_).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
        db_.reset(raw);
        ASSERT_EQ(opened, SQLITE_OK);
    }
    // Every row of a one-column query, converted to the code page.
    std::vector<std::string> Column(const char* sql) {
        std::vector<std::string> values;
        sqlite3_stmt* raw = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db_.get(), sql, -1, &raw, nullptr), SQLITE_OK) << sql;
        std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(raw, &sqlite3_finalize);
        while (statement && sqlite3_step(statement.get()) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
            values.push_back(text != nullptr ? AnsiFromUtf8(text) : std::string());
        }
        return values;
    }
    int Count(const std::string& sql) {
        const std::vector<std::string> values = Column(sql.c_str());
        return values.empty() ? -1 : std::atoi(values[0].c_str());
    }

    std::string path_ = ShippedDatabasePath();
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db_{nullptr, &sqlite3_close};
};

TEST_F(ShippedDatabase, HasTheSchemaTheProgramReads) {
    const std::vector<std::string> master = Column("select name from pragma_table_info('tb_kelvo_mst') order by cid;");
    ASSERT_GE(master.size(), 6u);
    bool typeAfterFive = false;
    for (std::size_t i = 5; i < master.size(); ++i) typeAfterFive |= ToLowerAnsi(master[i]) == "type";
    EXPECT_TRUE(typeAfterFive);
    EXPECT_EQ(Column("select name from pragma_table_info('tb_process_list') order by name;"),
              (std::vector<std::string>{"mst_Seq", "process_name"}));
    EXPECT_EQ(Column("select name from pragma_table_info('tb_registry_list') order by name;"),
              (std::vector<std::string>{"mst_Seq", "registry_key"}));

    // Only the five database categories; every list row belongs to a product.
    EXPECT_EQ(Count("select count(*) from tb_kelvo_mst where Type not in (1, 2, 3, 4, 9);"), 0);
    EXPECT_EQ(Count("select count(*) from tb_process_list where mst_Seq not in (select mst_Seq from tb_kelvo_mst);"), 0);
    EXPECT_EQ(Count("select count(*) from tb_registry_list where mst_Seq not in (select mst_Seq from tb_kelvo_mst);"), 0);
    EXPECT_EQ(Count("select count(*) from tb_kelvo_mst where mst_Seq < 0;"), 0);
}

TEST_F(ShippedDatabase, EveryCategoryLoadsAtLeastFifteenUniqueProducts) {
    for (int type : kCategories) {
        CDbCtrl db(path_);
        db.LoadCategory(type);
        EXPECT_GE(db.GetCount(), 15) << "category " << type;
        EXPECT_EQ(db.GetCount(), Count(FormatText("select count(*) from tb_kelvo_mst where Type=%d;", type)));

        std::set<std::string> names;
        for (int i = 0; i < db.GetCount(); ++i) {
            const std::string name = db.GetName(i);
            const std::string keyName = db.GetKeyName(i);
            const std::string info = db.GetInfo(i);
            const std::string where = "category " + std::to_string(type) + " " + name;
            EXPECT_FALSE(name.empty()) << where;
            EXPECT_TRUE(names.insert(name).second) << "duplicate " << where;
            EXPECT_FALSE(keyName.empty()) << where;
            EXPECT_EQ(TrimWhitespace(keyName), keyName) << where;
            if (db.GetMatchMode(i) == "%") {
                // A short fragment would match unrelated programs' keys.
                EXPECT_GE(keyName.size(), 5u) << where;
            }
            // A web address is one the homepage action can open.
            if (Contains(info, "://")) {
                EXPECT_TRUE(StartsWith(info, "http://")) << where;
                EXPECT_EQ(info.find(' '), std::string::npos) << where;
            }

            for (const std::string& process : SplitList(db.GetProcessNames(i))) {
                EXPECT_TRUE(ToLowerAnsi(process).ends_with(".exe")) << where << ": " << process;
                EXPECT_EQ(process.find_first_of("\\/:"), std::string::npos) << where << ": " << process;
            }
            for (const std::string& key : SplitList(db.GetRegistryKeys(i)))
                EXPECT_EQ(PathVerdict(key, keyName, name), "allowed") << where << ": " << key;
        }
        // Loading again gives the same order, which the removal relies on.
        CDbCtrl again(path_);
        again.LoadCategory(type);
        ASSERT_EQ(again.GetCount(), db.GetCount());
        for (int i = 0; i < db.GetCount(); ++i) EXPECT_EQ(again.GetName(i), db.GetName(i));
    }
}

TEST_F(ShippedDatabase, ListValuesHoldNoSeparatorAndEveryPathKeepsTheRules) {
    for (const std::string& value : Column("select process_name from tb_process_list;")) {
        EXPECT_EQ(value.find('|'), std::string::npos) << value;
    }
    // Every path row, also of a product no category loads, with its product's names.
    for (const std::string& joined :
         Column("select r.registry_key || char(9) || m.uninstall_key || char(9) || m.product_name "
                "from tb_registry_list r join tb_kelvo_mst m using (mst_Seq);")) {
        const std::size_t tab = joined.find('\t');
        const std::size_t second = joined.find('\t', tab + 1);
        ASSERT_NE(second, std::string::npos) << joined;
        const std::string path = joined.substr(0, tab);
        EXPECT_EQ(path.find('|'), std::string::npos) << path;
        EXPECT_EQ(PathVerdict(path, joined.substr(tab + 1, second - tab - 1), joined.substr(second + 1)), "allowed")
            << path;
    }
    EXPECT_EQ(Count("select count(*) from tb_kelvo_mst where match_mode <> '%' and trim(uninstall_key) = '';"), 0);
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with hexadecimal digits, optionally followed by
// the "_is1" that Inno Setup appends to its AppId.
bool IsProductCodeKey(const std::string& key) {
    std::string code = key;
    if (code.size() > 4 && ToLowerAnsi(code.substr(code.size() - 4)) == "_is1") code.resize(code.size() - 4);
    if (code.size() != 38 || code.front() != '{' || code.back() != '}') return false;
    for (std::size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        const char c = code[i];
        if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

TEST(KelvoData, ProductCodeKeysAreRecognised) {
    EXPECT_TRUE(IsProductCodeKey("{53F49750-6209-4FBF-9CA8-7A333C87D1ED}_is1"));
    EXPECT_TRUE(IsProductCodeKey("{94D1067D-4899-466c-BBB4-9FDD98E02C77}"));
    EXPECT_FALSE(IsProductCodeKey("{94D1067D-4899-466c-BBB4-9FDD98E02C7}"));
    EXPECT_FALSE(IsProductCodeKey("{94D1067D-4899-466c-BBB4-9FDD98E02C7G}"));
    EXPECT_FALSE(IsProductCodeKey("{94D1067D-48994-66c-BBB4-9FDD98E02C77}"));
    EXPECT_FALSE(IsProductCodeKey("94D1067D-4899-466c-BBB4-9FDD98E02C77"));
}

TEST_F(ShippedDatabase, ProductCodesAreExactAndEveryExactKeyIsListedOnce) {
    for (int type : kCategories) {
        CDbCtrl db(path_);
        db.LoadCategory(type);
        std::set<std::string> exactKeys;
        for (int i = 0; i < db.GetCount(); ++i) {
            const std::string key = db.GetKeyName(i);
            const bool fragment = db.GetMatchMode(i) == "%";
            const std::string where = "category " + std::to_string(type) + " " + db.GetName(i) + ": " + key;
            // A key that starts like a product code must be a whole one (a copying slip would
            // never match), and is never a fragment: a piece of a code says nothing.
            if (key.front() == '{') {
                EXPECT_TRUE(IsProductCodeKey(key)) << where;
                EXPECT_FALSE(fragment) << where;
            }
            // Registry names ignore case; one entry would otherwise be listed twice.
            if (!fragment) {
                EXPECT_TRUE(exactKeys.insert(ToLowerAnsi(key)).second) << "duplicate " << where;
            }
        }
    }
}

TEST_F(ShippedDatabase, KoreanProductNamesArriveInTheCodePage) {
    CDbCtrl db(path_);
    db.LoadCategory(3);
    std::set<std::string> names;
    for (int i = 0; i < db.GetCount(); ++i) names.insert(db.GetName(i));
    EXPECT_EQ(names.count(AnsiFromWide(L"카카오톡")), 1u);
    EXPECT_EQ(names.count(AnsiFromWide(L"네이트온")), 1u);
}

}  // namespace
