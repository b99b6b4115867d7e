#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace DBL {
class Transaction;
}

// What the sync keeps in organizer.db (tables described in sync.sql), read
// and written inside the caller's transaction (EnsureTables() opens its own).
namespace Sync {

struct Account {
  int id = 0;
  std::string url;
  std::string user;
  std::string pinnedSha256;
  int interval = 15;
  long long lastSync = 0;
  std::string state;
};

struct Collection {
  int id = 0;
  int accountId = 0;
  std::string href;  // full URL
  std::string name;
  std::set<int> kinds;  // 0 task, 1 contact, 2 event, 3 note
  std::string token;
  std::string state;
};

// What to do with a collection that came back empty from the server while
// it held many items here: ask the person first, delete them here too, or
// put them back on the server.
enum class EmptyAnswer { kAsk, kDeleteHere, kPutBack };

struct ItemStatus {
  std::string href;
  int kind = 0;
  int recordId = 0;
  std::string uid;
  std::string etag;
  std::string hash;
};

const char* SyncSchemaText();
// Adds the tables when missing; harmless when they are there.
void EnsureTables(DBL::Transaction& t);
// True when every table and index of the sync is there.
bool HasTables(DBL::Transaction& t);
// EnsureTables in transactions of its own: reads first and takes the write
// lock only when something is missing, so a start never waits on (or holds
// up) another copy's sync or the --sync command.
void EnsureTables();

std::vector<Account> ListAccounts(DBL::Transaction& t);
std::vector<Collection> ListCollections(DBL::Transaction& t, int accountId);
std::vector<ItemStatus> ListItems(DBL::Transaction& t, int collectionId);

int InsertAccount(DBL::Transaction& t, const Account& account);
int InsertCollection(DBL::Transaction& t, const Collection& collection);
// `lastSync` 0 keeps the time of the last whole sync.
void SetAccountState(DBL::Transaction& t, int accountId, const std::string& state, long long lastSync);
void SetAccountInterval(DBL::Transaction& t, int accountId, int minutes);
void SetAccountPin(DBL::Transaction& t, int accountId, const std::string& pinnedSha256);
void SetCollectionState(DBL::Transaction& t, int collectionId, const std::string& token, const std::string& state);
void RemoveAccount(DBL::Transaction& t, int accountId);

void StoreItem(DBL::Transaction& t, int collectionId, const ItemStatus& item);
void DropItem(DBL::Transaction& t, int collectionId, const std::string& href);

// The answer for a collection that came back empty: its records deleted
// here (kDeleteHere), or forgotten as synced so that the next sync sends
// them all again (kPutBack). Either way the collection is listed whole next
// time. Returns how many records that is.
int AnswerEmptyCollection(DBL::Transaction& t, int collectionId, EmptyAnswer answer);

void AddConflict(DBL::Transaction& t, int accountId, int kind, int recordId);
// Conflict copies of the account the person has not yet deleted.
int ConflictCount(DBL::Transaction& t, int accountId);

// Drops the identity a deleted record left behind, so a record coming back
// under its UID can take it.
void ForgetUid(DBL::Transaction& t, int kind, const std::string& uid);

// Deletes a record of any kind with its identity; a series with its rule
// and the occurrences taken out of it.
void DeleteRecord(DBL::Transaction& t, int kind, int recordId);
// The records taken out of a series as occurrences of their own, by day.
std::map<int, int> ListOccurrences(DBL::Transaction& t, int kind, int seriesId);

// "tasks, events, notes", for the person.
std::string KindNames(const std::set<int>& kinds);
std::string KindsText(const std::set<int>& kinds);
std::set<int> ParseKinds(const std::string& text);

}  // namespace Sync
