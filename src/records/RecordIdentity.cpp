#include "records/RecordIdentity.h"

#include "db/DBL.h"
#include "db/Transaction.h"

std::vector<RecordIdentity> ListIdentities(DBL::Transaction& transaction, const std::set<int>& kinds) {
  std::string sql = "select kind, record_id, uid, component, fields from record_identity";
  for (int kind : kinds) sql += (kind == *kinds.begin() ? " where kind in (" : ",") + DBL::IntToString(kind);
  if (!kinds.empty()) sql += ")";
  DBL::MemResultSet rows = transaction.Query(sql);
  std::vector<RecordIdentity> identities;
  identities.reserve(rows.RowCount());
  while (rows.Next()) {
    identities.push_back({rows.GetInt("kind"), rows.GetInt("record_id"), rows.GetString("uid"),
                          rows.GetString("component"), rows.GetString("fields")});
  }
  return identities;
}

void StoreIdentity(DBL::Transaction& transaction, const RecordIdentity& identity) {
  transaction.InsertBound(
      "insert or replace into record_identity (kind, record_id, uid, component, fields) values (?, ?, ?, ?, ?)",
      {identity.kind, identity.record_id, DBL::EncodeText(identity.uid), DBL::EncodeText(identity.component),
       DBL::EncodeText(identity.fields)});
}
