#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "OrganizerTest.h"
#include "db/DBL.h"
#include "db/QueryRow.h"

using namespace DBL;

namespace {

class StoreTest : public OrganizerTest {
 protected:
  // Stores the text as a note subject the way every record does, and reads it back.
  std::string RoundTrip(const std::string& text) {
    const int id = ExecuteInsert("insert into note (subject, content, last_updated, category_id) values ('" +
                                 EncodeText(text) + "','',0,7)");
    EXPECT_GT(id, 0);
    MemResultSet rs = ExecuteQuery("select subject from note where id = " + IntToString(id));
    EXPECT_TRUE(rs.Next());
    return rs.GetString("subject");
  }

  std::string StoredSubject(int id) {
    MemResultSet rs = ExecuteQuery("select replace(subject, 'x', 'x') as raw from note where id = " + IntToString(id));
    return rs.Next() ? rs.GetString("raw") : std::string();
  }
};

}  // namespace

TEST_F(StoreTest, QuotesAreStoredAsMarkersAndReadBackAsTyped) {
  const std::string typed = "Bob's \"big\"";
  EXPECT_EQ(EncodeText(typed), "Bob#$%g^s *(!G^%^big*(!G^%^");
  EXPECT_EQ(RoundTrip(typed), typed);
  EXPECT_EQ(RoundTrip("'"), "'");
  EXPECT_EQ(RoundTrip("''); delete from task; --"), "''); delete from task; --");
}

TEST_F(StoreTest, TypedMarkersComeBackAsQuotes) {
  EXPECT_EQ(RoundTrip("one#$%g^two"), "one'two");
  EXPECT_EQ(RoundTrip("one*(!G^%^two"), "one\"two");
  EXPECT_EQ(DecodeText("#$%g^#$%g^*(!G^%^"), "''\"");
}

TEST_F(StoreTest, UnicodeAndLargeTextsRoundTrip) {
  const std::string unicode = "Café Ærø 日本語 💡 ÿ";
  EXPECT_EQ(RoundTrip(unicode), unicode);
  std::string large(1 << 20, 'a');
  for (size_t i = 0; i < large.size(); i += 997) large[i] = '\'';
  EXPECT_EQ(RoundTrip(large), large);
}

TEST_F(StoreTest, EmbeddedNulIsDroppedInsteadOfBreakingTheStatement) {
  const std::string typed("ab\0cd'e", 7);
  EXPECT_EQ(RoundTrip(typed), "abcd'e");
}

TEST_F(StoreTest, StatementKindCheckIgnoresCaseAndSurroundingBlanks) {
  EXPECT_GT(ExecuteInsert(" \r\n\tINSERT INTO category (type_id, name, comment) VALUES (0, 'Upper', '')\n "), 0);
  EXPECT_EQ(ExecuteUpdate("\n  UpDaTe category set comment = 'x' where name = 'Upper'"), 0);
  EXPECT_EQ(ExecuteDelete("DELETE from category where name = 'Upper'"), 0);
  EXPECT_FALSE(ExecuteQuery("  SELECT id from category where name = 'Upper'").Next());
}

TEST_F(StoreTest, StatementsOfTheWrongKindRaiseAndRunNothing) {
  const auto messageOf = [](auto&& call) {
    try {
      call();
    } catch (const SQLException& e) {
      EXPECT_EQ(e.GetCode(), 0);
      return e.GetMessage();
    }
    return std::string("nothing raised");
  };
  EXPECT_EQ(messageOf([] { ExecuteInsert("select 1"); }), "ExecuteInsert for non-insert sql");
  EXPECT_EQ(messageOf([] { ExecuteQuery("update task set completed = 1"); }), "ExecuteQuery for non-select sql");
  EXPECT_EQ(messageOf([] { ExecuteUpdate("delete from category"); }), "ExecuteUpdate for non-update sql");
  EXPECT_EQ(messageOf([] { ExecuteDelete("/* c */ delete from category"); }), "ExecuteDelete for non-delete sql");
  EXPECT_EQ(messageOf([] { ExecuteDelete("(delete from category)"); }), "ExecuteDelete for non-delete sql");
  EXPECT_EQ(messageOf([] { ExecuteQuery(" \t\r\n"); }), "ExecuteQuery for non-select sql");
  MemResultSet rs = ExecuteQuery("select count(*) as n from category");
  ASSERT_TRUE(rs.Next());
  EXPECT_EQ(rs.GetInt("n"), 8);
}

TEST_F(StoreTest, ResultSetNeedsACurrentRow) {
  MemResultSet rs = ExecuteQuery("select id from category where id < 0");
  EXPECT_THROW(rs.GetString("id"), SQLException);
  EXPECT_FALSE(rs.Next());
  try {
    rs.GetString("id");
    FAIL() << "no exception";
  } catch (const SQLException& e) {
    EXPECT_EQ(e.GetMessage(), "MemResultSet::GetString() invalid row");
  }
}

TEST_F(StoreTest, ColumnsAreFoundByExactNameAndConvertedLikeTheCLibrary) {
  MemResultSet rs = ExecuteQuery(
      "select 1 as a, 2 as a, '12abc' as t, 'x' as nonnum, 2.5 as r, '1.000000' as one, NULL as nullcol");
  ASSERT_TRUE(rs.Next());
  EXPECT_EQ(rs.GetString("a"), "1");  // the first of two equal names
  EXPECT_EQ(rs.GetString("A"), "");   // case matters
  EXPECT_EQ(rs.GetInt("missing"), 0);
  EXPECT_EQ(rs.GetInt("t"), 12);
  EXPECT_EQ(rs.GetInt("nonnum"), 0);
  EXPECT_DOUBLE_EQ(rs.GetDouble("r"), 2.5);
  EXPECT_EQ(rs.GetInt("one"), 1);
  EXPECT_EQ(rs.GetString("nullcol"), "");
  EXPECT_FALSE(rs.Next());
}

// A list read row by row must show what the whole result shows: the same
// texts, and the same numbers to the last bit, also where SQLite's 15-digit
// text of a real differs from the real it holds.
TEST_F(StoreTest, RowsReadOneByOneReadAsTheWholeResult) {
  const std::string sql =
      "select 1 as a, 2 as a, '12abc' as t, 'x' as nonnum, 2.5 as r, 1 / 3.0 as third, 0.1 + 0.2 as sum, "
      "3000000000 as wide, 9007199254740993 as big, -7 as negative, '1.000000' as one, ' 42' as padded, "
      "NULL as nullcol, 'It#$%g^s *(!G^%^x*(!G^%^' as coded, 'caf\xc3\xa9' as accented";
  const std::vector<std::string> columns = {"a",   "A",       "missing", "t",   "nonnum", "r",      "third",
                                            "sum", "wide",    "big",     "negative", "one", "padded",
                                            "nullcol", "coded", "accented"};
  MemResultSet whole = ExecuteQuery(sql);
  ASSERT_TRUE(whole.Next());
  int rows = 0;
  ExecuteQueryEach(sql, [&](const QueryRow& row) {
    ++rows;
    for (const std::string& column : columns) {
      SCOPED_TRACE(column);
      EXPECT_EQ(row.GetString(column), whole.GetString(column));
      EXPECT_EQ(row.GetInt(column), whole.GetInt(column));
      const double mine = row.GetDouble(column);
      const double theirs = whole.GetDouble(column);
      EXPECT_EQ(std::memcmp(&mine, &theirs, sizeof mine), 0) << mine << " != " << theirs;
    }
  });
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(whole.GetString("coded"), "It's \"x\"");
}

TEST_F(StoreTest, RowsReadOneByOneComeInOrderAndOnlyForQueries) {
  std::vector<std::string> names;
  ExecuteQueryEach("select id, name from priority order by id desc",
                   [&](const QueryRow& row) { names.push_back(row.GetString("name")); });
  EXPECT_EQ(names, (std::vector<std::string>{"Low", "Medium", "High"}));
  // A query that does not run gives no rows; a statement that is no query runs nothing.
  ExecuteQueryEach("select nothing from nowhere", [](const QueryRow&) { FAIL() << "a row"; });
  EXPECT_THROW(ExecuteQueryEach("delete from priority", [](const QueryRow&) {}), SQLException);
  EXPECT_EQ(ExecuteQuery("select id from priority").RowCount(), 3u);
  // The file is closed again also when a row's reader gives up with an exception.
  EXPECT_THROW(ExecuteQueryEach("select id from priority", [](const QueryRow&) { throw SQLException("stop"); }),
               SQLException);
  EXPECT_EQ(ExecuteUpdate("update priority set comment = 'x' where id = 1"), 0);
}

TEST_F(StoreTest, RowsKeepTheirOrderAndTheResultOutlivesItsCopy) {
  MemResultSet copy;
  {
    MemResultSet rs = ExecuteQuery("select id, name from priority order by id desc");
    copy = rs;
  }
  std::vector<std::string> names;
  while (copy.Next()) names.push_back(copy.GetString("name"));
  EXPECT_EQ(names, (std::vector<std::string>{"Low", "Medium", "High"}));
}

TEST_F(StoreTest, FailedWritesAreVisibleInTheirResults) {
  EXPECT_EQ(ExecuteInsert("insert into no_such_table (a) values (1)"), 0);
  EXPECT_NE(ExecuteUpdate("update no_such_table set a = 1"), 0);
  EXPECT_NE(ExecuteDelete("delete from no_such_table"), 0);
  EXPECT_FALSE(ExecuteQuery("select * from no_such_table").Next());
  EXPECT_FALSE(ExecuteQuery("select syntax error here").Next());
}

TEST_F(StoreTest, AFileThatCannotBeCreatedGivesMinusOne) {
  const std::string impossible = Folder() + "/plain-file/organizer.db";
  ASSERT_EQ(ExecuteInsert("insert into category (name) values ('x')", Folder() + "/f.db") > 0, false);
  EXPECT_EQ(ExecuteUpdate("update category set name = 'y'", impossible), -1);
  EXPECT_EQ(ExecuteDelete("delete from category", impossible), -1);
  EXPECT_LE(ExecuteInsert("insert into category (name) values ('x')", impossible), 0);
}

TEST_F(StoreTest, NumbersAreWrittenInDecimalAndRealsInPercentF) {
  EXPECT_EQ(IntToString(-1), "-1");
  EXPECT_EQ(IntToString(2147483647), "2147483647");
  EXPECT_EQ(RealToString(39448.541667), "39448.541667");
  EXPECT_EQ(RealToString(0.5625), "0.562500");
  EXPECT_EQ(RealToString(0), "0.000000");
  EXPECT_EQ(RealToString(1e20), "100000000000000000000.000000");
}

TEST(SQLExceptionTest, CodesGiveTheirMessages) {
  EXPECT_EQ(SQLException(5).GetMessage(), "The database file is locked");
  EXPECT_EQ(SQLException(19).GetMessage(), "Abort due to contraint violation");
  EXPECT_EQ(SQLException(23).GetMessage(), "Authorization denied");
  EXPECT_EQ(SQLException(0).GetMessage(), "Unknown database error");
  EXPECT_EQ(SQLException(24).GetMessage(), "Unknown database error");
  EXPECT_EQ(SQLException(5).GetCode(), 5);
  const SQLException copy = SQLException(8);
  EXPECT_EQ(copy.GetMessage(), "Attempt to write a readonly database");
}

// The sync counts the person's edits by these: only a stored change counts.
TEST_F(StoreTest, SingleWritesAreCountedOnlyWhenTheyStoreSomething) {
  const unsigned long before = SingleWriteCount();
  const int id = ExecuteInsert("insert into note (subject, content, last_updated, category_id) values ('a','',0,7)");
  ASSERT_GT(id, 0);
  EXPECT_EQ(ExecuteUpdate("update note set subject = 'b' where id = " + IntToString(id)), 0);
  EXPECT_EQ(SingleWriteCount(), before + 2);
  EXPECT_NE(ExecuteUpdate("update note set subject = 'c' where id = -5"), 0);
  EXPECT_NE(ExecuteInsert("insert into no_such_table (x) values (1)"), 1);
  EXPECT_EQ(SingleWriteCount(), before + 2);
  EXPECT_EQ(ExecuteDelete("delete from note where id = " + IntToString(id)), 0);
  EXPECT_EQ(SingleWriteCount(), before + 3);
}
