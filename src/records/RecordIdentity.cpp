#include "records/RecordIdentity.h"

#include "db/Transaction.h"
#include "records/RecordRows.h"

using DBL::IntToString;
using RecordRows::Quoted;

std::vector<RecordIdentity> ListIdentities(DBL::Transaction& transaction) {
  DBL::MemResultSet rows = transaction.Query("select kind, record_id, uid, component, fields from record_identity");
  std::vector<RecordIdentity> identities;
  identities.reserve(rows.RowCount());
  while (rows.Next()) {
    identities.push_back({rows.GetInt("kind"), rows.GetInt("record_id"), rows.GetString("uid"),
                          rows.GetString("component"), rows.GetString("fields")});
  }
  return identities;
}

std::string StoreIdentitySql(const RecordIdentity& identity) {
  return "insert or replace into record_identity (kind, record_id, uid, component, fields) values (" +
         IntToString(identity.kind) + "," + IntToString(identity.record_id) + "," + Quoted(identity.uid) + "," +
         Quoted(identity.component) + "," + Quoted(identity.fields) + ")";
}
