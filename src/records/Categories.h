#pragma once

#include <string>
#include <vector>

namespace DBL {
class Transaction;
}

// Kinds of record that categories belong to (category.type_id).
enum CategoryKind {
  kCategoryTasks = 0,
  kCategoryContacts = 1,
  kCategoryEvents = 2,  // never has categories
  kCategoryNotes = 3,
};

struct CategoryRecord {
  int id = -1;
  int type_id = kCategoryTasks;
  std::string name;
  std::string comment;

  bool operator==(const CategoryRecord&) const = default;
};

// The categories of one kind, in the order the database keeps them.
std::vector<CategoryRecord> ListCategories(int kind);

// Stores type_id, name and comment. Returns the new id (positive); 0 when
// nothing was stored, -1 when the new id could not be read back.
int InsertCategory(const CategoryRecord& category);

// For bulk work in one transaction: InsertCategory's statement, and the
// categories of one kind as ListCategories gives them.
std::string InsertCategorySql(const CategoryRecord& category);
std::vector<CategoryRecord> ListCategories(int kind, DBL::Transaction& transaction);

// Deletes the category unless it is the last of its kind or records still use
// it; a refusal is shown to the user here. Returns 0 when deleted, -1 when
// refused, otherwise a SQLite code: nothing was deleted because the database
// could not be read or written.
int DeleteCategory(int id, int kind);
