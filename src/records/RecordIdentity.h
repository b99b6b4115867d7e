#pragma once

#include <set>
#include <string>
#include <vector>

namespace DBL {
class Transaction;
}

// A record's identity and the text it was imported from (record_identity,
// described in db/identity.sql). Import and export read and write these
// inside their transaction.
struct RecordIdentity {
  int kind = 0;  // as category.type_id: 0 task, 1 contact, 2 event, 3 note
  int record_id = 0;
  std::string uid;
  std::string component;
  std::string fields;

  bool operator==(const RecordIdentity&) const = default;
};

// Every identity, or those of the given kinds only.
std::vector<RecordIdentity> ListIdentities(DBL::Transaction& transaction, const std::set<int>& kinds = {});
// Stores the identity, replacing the record's earlier one. An import stores
// thousands: the statement is prepared once per transaction and the texts
// are bound, not parsed again as quoted SQL (they are stored encoded alike).
void StoreIdentity(DBL::Transaction& transaction, const RecordIdentity& identity);
