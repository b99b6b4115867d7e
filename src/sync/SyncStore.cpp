#include "sync/SyncStore.h"

#include <regex>
#include <sstream>

#include "db/Transaction.h"
#include "records/RecordRows.h"

namespace Sync {

using DBL::IntToString;
using RecordRows::Quoted;

namespace {

const char* TableOf(int kind) {
  switch (kind) {
    case 0: return "task";
    case 1: return "contact";
    case 2: return "event";
    default: return "note";
  }
}

}  // namespace

void EnsureTables(DBL::Transaction& t) { t.Script(SyncSchemaText()); }

bool HasTables(DBL::Transaction& t) {
  // The names come from the schema itself, so a table added to it is looked for too.
  static const std::regex kCreated(R"(CREATE (?:TABLE|INDEX) IF NOT EXISTS (\w+))");
  const std::string schema = SyncSchemaText();
  std::string names;
  size_t wanted = 0;
  for (auto it = std::sregex_iterator(schema.begin(), schema.end(), kCreated); it != std::sregex_iterator(); ++it) {
    names += std::string(wanted++ ? "," : "") + "'" + (*it)[1].str() + "'";
  }
  DBL::MemResultSet rows = t.Query("select count(*) as n from sqlite_master where name in (" + names + ")");
  return rows.Next() && rows.GetInt("n") == static_cast<int>(wanted);
}

void EnsureTables() {
  bool present = false;
  DBL::RunTransaction([&](DBL::Transaction& t) { present = HasTables(t); }, false);
  if (!present) DBL::RunTransaction([](DBL::Transaction& t) { EnsureTables(t); });
}

std::string KindNames(const std::set<int>& kinds) {
  static const char* const kNames[] = {"tasks", "contacts", "events", "notes"};
  std::string text;
  for (int kind : kinds) text += (text.empty() ? "" : ", ") + std::string(kNames[kind]);
  return text;
}

std::string KindsText(const std::set<int>& kinds) {
  std::string text;
  for (int kind : kinds) text += (text.empty() ? "" : ",") + std::to_string(kind);
  return text;
}

std::set<int> ParseKinds(const std::string& text) {
  std::set<int> kinds;
  std::istringstream in(text);
  std::string part;
  while (std::getline(in, part, ',')) {
    if (part.size() == 1 && part[0] >= '0' && part[0] <= '3') kinds.insert(part[0] - '0');
  }
  return kinds;
}

std::vector<Account> ListAccounts(DBL::Transaction& t) {
  DBL::MemResultSet rows =
      t.Query("select id, url, user, pinned_sha256, interval, last_sync, state from sync_account order by id");
  std::vector<Account> accounts;
  while (rows.Next()) {
    accounts.push_back({rows.GetInt("id"), rows.GetString("url"), rows.GetString("user"),
                        rows.GetString("pinned_sha256"), rows.GetInt("interval"),
                        static_cast<long long>(rows.GetDouble("last_sync")), rows.GetString("state")});
  }
  return accounts;
}

std::vector<Collection> ListCollections(DBL::Transaction& t, int accountId) {
  DBL::MemResultSet rows = t.Query(
      "select id, account_id, href, name, kinds, token, state from sync_collection where account_id = " +
      IntToString(accountId) + " order by id");
  std::vector<Collection> collections;
  while (rows.Next()) {
    collections.push_back({rows.GetInt("id"), rows.GetInt("account_id"), rows.GetString("href"),
                           rows.GetString("name"), ParseKinds(rows.GetString("kinds")), rows.GetString("token"),
                           rows.GetString("state")});
  }
  return collections;
}

std::vector<ItemStatus> ListItems(DBL::Transaction& t, int collectionId) {
  DBL::MemResultSet rows = t.Query("select href, kind, record_id, uid, etag, hash from sync_item where collection_id = " +
                                   IntToString(collectionId));
  std::vector<ItemStatus> items;
  items.reserve(rows.RowCount());
  while (rows.Next()) {
    items.push_back({rows.GetString("href"), rows.GetInt("kind"), rows.GetInt("record_id"), rows.GetString("uid"),
                     rows.GetString("etag"), rows.GetString("hash")});
  }
  return items;
}

int InsertAccount(DBL::Transaction& t, const Account& a) {
  return t.Insert("insert into sync_account (url, user, pinned_sha256, interval, last_sync, state) values (" +
                  Quoted(a.url) + "," + Quoted(a.user) + "," + Quoted(a.pinnedSha256) + "," + IntToString(a.interval) +
                  "," + std::to_string(a.lastSync) + "," + Quoted(a.state) + ")");
}

int InsertCollection(DBL::Transaction& t, const Collection& c) {
  return t.Insert("insert into sync_collection (account_id, href, name, kinds, token, state) values (" +
                  IntToString(c.accountId) + "," + Quoted(c.href) + "," + Quoted(c.name) + "," +
                  Quoted(KindsText(c.kinds)) + "," + Quoted(c.token) + "," + Quoted(c.state) + ")");
}

void SetAccountState(DBL::Transaction& t, int accountId, const std::string& state, long long lastSync) {
  t.Change("update sync_account set state = " + Quoted(state) +
           (lastSync ? ", last_sync = " + std::to_string(lastSync) : std::string()) +
           " where id = " + IntToString(accountId));
}

void SetAccountInterval(DBL::Transaction& t, int accountId, int minutes) {
  t.Change("update sync_account set interval = " + IntToString(minutes) + " where id = " + IntToString(accountId));
}

void SetAccountPin(DBL::Transaction& t, int accountId, const std::string& pinnedSha256) {
  t.Change("update sync_account set pinned_sha256 = " + Quoted(pinnedSha256) + " where id = " +
           IntToString(accountId));
}

void SetCollectionState(DBL::Transaction& t, int collectionId, const std::string& token, const std::string& state) {
  t.Change("update sync_collection set token = " + Quoted(token) + ", state = " + Quoted(state) +
           " where id = " + IntToString(collectionId));
}

void RemoveAccount(DBL::Transaction& t, int accountId) {
  const std::string id = IntToString(accountId);
  t.Change("delete from sync_item where collection_id in (select id from sync_collection where account_id = " + id + ")");
  t.Change("delete from sync_collection where account_id = " + id);
  t.Change("delete from sync_conflict where account_id = " + id);
  t.Change("delete from sync_account where id = " + id);
}

// A sync stores thousands of these in one transaction: prepared once, the
// texts bound (encoded as every stored text is).
void StoreItem(DBL::Transaction& t, int collectionId, const ItemStatus& item) {
  t.InsertBound(
      "insert or replace into sync_item (collection_id, href, kind, record_id, uid, etag, hash) values (?, ?, ?, ?, ?, ?, ?)",
      {collectionId, DBL::EncodeText(item.href), item.kind, item.recordId, DBL::EncodeText(item.uid),
       DBL::EncodeText(item.etag), DBL::EncodeText(item.hash)});
}

void DropItem(DBL::Transaction& t, int collectionId, const std::string& href) {
  t.Change("delete from sync_item where collection_id = " + IntToString(collectionId) + " and href = " + Quoted(href));
}

int AnswerEmptyCollection(DBL::Transaction& t, int collectionId, EmptyAnswer answer) {
  int records = 0;
  for (const ItemStatus& item : ListItems(t, collectionId)) {
    if (item.recordId <= 0) continue;
    ++records;
    if (answer == EmptyAnswer::kDeleteHere) DeleteRecord(t, item.kind, item.recordId);
  }
  t.Change("delete from sync_item where collection_id = " + IntToString(collectionId));
  SetCollectionState(t, collectionId, "", "");
  return records;
}

void AddConflict(DBL::Transaction& t, int accountId, int kind, int recordId) {
  t.Insert("insert or replace into sync_conflict (account_id, kind, record_id) values (" + IntToString(accountId) +
           "," + IntToString(kind) + "," + IntToString(recordId) + ")");
}

int ConflictCount(DBL::Transaction& t, int accountId) {
  // A copy the person deleted is resolved; its row goes with this count.
  t.Change("delete from sync_conflict where account_id = " + IntToString(accountId) +
           " and not exists (select 1 from task where kind = 0 and task.id = record_id)"
           " and not exists (select 1 from contact where kind = 1 and contact.id = record_id)"
           " and not exists (select 1 from event where kind = 2 and event.id = record_id)"
           " and not exists (select 1 from note where kind = 3 and note.id = record_id)");
  DBL::MemResultSet rows =
      t.Query("select count(*) as n from sync_conflict where account_id = " + IntToString(accountId));
  return rows.Next() ? rows.GetInt("n") : 0;
}

void ForgetUid(DBL::Transaction& t, int kind, const std::string& uid) {
  t.Change("delete from record_identity where kind = " + IntToString(kind) + " and uid = " + Quoted(uid));
}

void DeleteRecord(DBL::Transaction& t, int kind, int recordId) {
  const std::string key = " where kind = " + IntToString(kind);
  if (kind == 0 || kind == 2) {
    // The occurrences taken out of a series go with it.
    const std::string taken =
        "(select record_id from repeat_override" + key + " and series_id = " + IntToString(recordId) + ")";
    t.Change("delete from record_identity" + key + " and record_id in " + taken);
    t.Change(std::string("delete from ") + TableOf(kind) + " where id in " + taken);
    t.Change("delete from repeat_rule" + key + " and record_id in " + taken);
    t.Change("delete from repeat_override" + key + " and (series_id = " + IntToString(recordId) +
             " or record_id = " + IntToString(recordId) + ")");
    t.Change("delete from repeat_rule" + key + " and record_id = " + IntToString(recordId));
  }
  t.Change(std::string("delete from ") + TableOf(kind) + " where id = " + IntToString(recordId));
  t.Change("delete from record_identity" + key + " and record_id = " + IntToString(recordId));
}

std::map<int, int> ListOccurrences(DBL::Transaction& t, int kind, int seriesId) {
  DBL::MemResultSet rows = t.Query("select day, record_id from repeat_override where kind = " + IntToString(kind) +
                                   " and series_id = " + IntToString(seriesId));
  std::map<int, int> days;
  while (rows.Next()) days[rows.GetInt("day")] = rows.GetInt("record_id");
  return days;
}

}  // namespace Sync
