#include "records/Categories.h"

#include "app/Message.h"
#include "db/DBL.h"
#include "db/Transaction.h"
#include "records/RecordRows.h"

using DBL::IntToString;

namespace {

constexpr int kRefused = -1;
// SQLite's generic error code: a usage count could not be read, so deleting
// might hide the records that use the category.
constexpr int kCountUnreadable = 1;

CategoryRecord ReadCategory(const DBL::MemResultSet& row) {
  return CategoryRecord{row.GetInt("id"), row.GetInt("type_id"), row.GetString("name"), row.GetString("comment")};
}

// The "num" of a count query; -1 when the query gave no row.
int Count(const std::string& sql) {
  DBL::MemResultSet rows = DBL::ExecuteQuery(sql);
  return rows.Next() ? rows.GetInt("num") : -1;
}

// The query counting the records of `kind` filed under category `id`, and
// their name in the refusal; no query for kinds without records of their own.
struct Usage {
  std::string sql;
  std::string word;
};

Usage UsageOf(int id, int kind) {
  switch (kind) {
    case kCategoryTasks:
      return {"select count(category_id) as num from task where category_id = " + IntToString(id), "Tasks"};
    case kCategoryContacts:
      return {"select count(cat_id) as num from contact where cat_id = " + IntToString(id), "Contacts"};
    case kCategoryNotes:
      return {"select count(category_id) as num from note where category_id = " + IntToString(id), "Notes"};
    default:
      return {};
  }
}

std::string ListSql(int kind) {
  return "select id, type_id, name,comment from category where type_id = " + IntToString(kind);
}

}  // namespace

std::vector<CategoryRecord> ListCategories(int kind) {
  return RecordRows::ReadAll<CategoryRecord>(ListSql(kind), ReadCategory);
}

std::vector<CategoryRecord> ListCategories(int kind, DBL::Transaction& transaction) {
  return RecordRows::ReadRows<CategoryRecord>(transaction.Query(ListSql(kind)), ReadCategory);
}

int InsertCategory(const CategoryRecord& category) { return DBL::ExecuteInsert(InsertCategorySql(category)); }

std::string InsertCategorySql(const CategoryRecord& category) {
  using RecordRows::Quoted;
  return "insert into category ( type_id, name, comment) values (" + IntToString(category.type_id) + "," +
         Quoted(category.name) + "," + Quoted(category.comment) + ")";
}

int DeleteCategory(int id, int kind) {
  const int ofKind = Count("select count(type_id) as num from category where type_id = " + IntToString(kind));
  if (ofKind < 0) return kCountUnreadable;
  if (ofKind <= 1) {
    ShowMessage("You cannot delete the last Category", kMessageOkNotice);
    return kRefused;
  }
  const Usage usage = UsageOf(id, kind);
  if (!usage.sql.empty()) {
    const int used = Count(usage.sql);
    if (used < 0) return kCountUnreadable;
    if (used > 0) {
      ShowMessage("This Category is assigned to one or more " + usage.word + ".  Please delete these " + usage.word +
                      " before deleting the Category.",
                  kMessageOkNotice);
      return kRefused;
    }
  }
  return DBL::ExecuteDelete("delete from category where id = " + IntToString(id));
}
