// Reading stored values: a number that is not exactly an integer is damage,
// named by its table, column and row.
#include "orba/store/database.h"

#include <gtest/gtest.h>

namespace orba::store::testing {
namespace {

class DatabaseTest : public ::testing::Test {
 protected:
  // The first column of the first row of `sql` read by Statement::Int; the
  // error's message when that throws.
  std::string IntOf(const std::string& sql) {
    Statement statement = db_.Prepare(sql);
    EXPECT_TRUE(statement.Step()) << sql;
    try {
      return std::to_string(statement.Int(0));
    } catch (const StoreError& error) {
      return error.what();
    }
  }

  Database db_{":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY, "test.obx"};
};

TEST_F(DatabaseTest, IntTakesExactIntegersOnly) {
  const std::pair<const char*, const char*> taken[] = {
      {"SELECT 42", "42"},     {"SELECT -7", "-7"},       {"SELECT 2.0", "2"},
      {"SELECT '300'", "300"}, {"SELECT '-300'", "-300"},
  };
  for (const auto& [sql, value] : taken) EXPECT_EQ(IntOf(sql), value) << sql;
  const std::pair<const char*, const char*> refused[] = {
      {"SELECT '300abc' AS n", "n holds \"300abc\", not an integer"},
      {"SELECT 'abc' AS n", "n holds \"abc\", not an integer"},
      {"SELECT ' 3' AS n", "n holds \" 3\", not an integer"},
      {"SELECT '' AS n", "n holds \"\", not an integer"},
      {"SELECT 2.5 AS n", "n holds 2.5, not an integer"},
      {"SELECT x'0102' AS n", "n holds a blob of 2 bytes, not an integer"},
      {"SELECT NULL AS n", "n holds NULL, not an integer"},
      {"SELECT 5000000000 AS n", "n holds 5000000000, which does not fit in 32 bits"},
      {"SELECT '5000000000' AS n", "n holds 5000000000, which does not fit in 32 bits"},
  };
  for (const auto& [sql, problem] : refused) {
    EXPECT_EQ(IntOf(sql), "model file is damaged: test.obx (" + std::string(problem) + ")") << sql;
  }
}

TEST_F(DatabaseTest, DamageNamesTheTableColumnAndRow) {
  db_.Execute(
      "CREATE TABLE t_item (Item_ID INTEGER PRIMARY KEY, Parent INTEGER, orba_guid TEXT);"
      "CREATE TABLE t_loose (Parent INTEGER, orba_guid TEXT);"
      "INSERT INTO t_item VALUES (7, 'x7', '{I}');"
      "INSERT INTO t_loose VALUES ('x8', '{L}')");
  const std::pair<const char*, const char*> cases[] = {
      {"SELECT Parent, Item_ID FROM t_item",
       "t_item.Parent of the row with Item_ID 7 holds \"x7\""},
      {"SELECT Parent, orba_guid FROM t_loose",
       "t_loose.Parent of the row with orba_guid {L} holds \"x8\""},
      {"SELECT Parent FROM t_item", "t_item.Parent holds \"x7\""},
      {"SELECT t_item.Parent, t_loose.orba_guid FROM t_item, t_loose",
       "t_item.Parent holds \"x7\""},
  };
  for (const auto& [sql, expected] : cases) {
    EXPECT_EQ(IntOf(sql),
              "model file is damaged: test.obx (" + std::string(expected) + ", not an integer)")
        << sql;
  }
}

}  // namespace
}  // namespace orba::store::testing
