#pragma once

#include <string>
#include <vector>

#include "db/DBL.h"
#include "db/OleDate.h"

// What every kind of record does alike: writing values into statement text and
// reading query rows into records.
namespace RecordRows {

// A text as it sits in a statement: encoded, between apostrophes. Built piece
// by piece because "'" + a temporary string trips a false -Wrestrict in g++ 12.
inline std::string Quoted(const std::string& text) {
  std::string quoted(1, '\'');
  quoted += DBL::EncodeText(text);
  quoted += '\'';
  return quoted;
}

// The date alone, as the day-number columns hold it.
inline std::string DayText(double ole) { return DBL::IntToString(OleDate::DayNumber(ole)); }

// Ids as an SQL list: "3,8,12".
inline std::string IdList(const std::vector<int>& ids) {
  std::string list;
  for (int id : ids) {
    if (!list.empty()) list += ',';
    list += DBL::IntToString(id);
  }
  return list;
}

// Every row of a result, turned into a record by `read`, in its order.
template <class Record, class Reader>
std::vector<Record> ReadRows(DBL::MemResultSet rows, Reader read) {
  std::vector<Record> records;
  records.reserve(rows.RowCount());
  while (rows.Next()) records.push_back(read(rows));
  return records;
}

// Every row of the query, turned into a record by `read`, in query order.
template <class Record, class Reader>
std::vector<Record> ReadAll(const std::string& sql, Reader read) {
  return ReadRows<Record>(DBL::ExecuteQuery(sql), read);
}

// The first row of the query turned into a record, or `missing` when there is none.
template <class Record, class Reader>
Record ReadFirst(const std::string& sql, Reader read, Record missing) {
  DBL::MemResultSet rows = DBL::ExecuteQuery(sql);
  return rows.Next() ? read(rows) : missing;
}

}  // namespace RecordRows
