#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "interop/InteropItem.h"
#include "sync/SyncStore.h"

namespace Sync {

class DavClient;

// What one sync of one collection did.
struct CollectionResult {
  int collectionId = 0;
  std::string href;
  std::string name;
  std::string kinds;     // what it receives, in words: "tasks, events, notes"
  int received = 0;      // added or changed here from the server
  int deletedHere = 0;   // deleted here because the server deleted them
  int sent = 0;          // added or changed on the server
  int deletedThere = 0;  // deleted on the server
  int conflicts = 0;
  std::string error;     // "" when the collection synced whole
  int status = 0;        // the HTTP status behind the error, if any
  int retryAfter = -1;   // seconds the server asked to wait
  // Stopped: the server came back empty. The person's answer is given to
  // the next run, or to AnswerEmptyCollection.
  bool emptyOnServer = false;
};

// Two-way sync of one collection: the server's changes since the stored token
// (or a full listing), the records' own changes since the last sync (a hash of
// each record's component against the stored one), then the server written
// first and the database after, in one transaction. A run stopped anywhere
// leaves nothing the next run cannot finish: the status rows advance only
// once both sides hold an item, and an item whose UID is on both sides is
// linked, not sent again.
class SyncEngine {
 public:
  SyncEngine(DavClient& client, const Account& account);
  // `answer`: what to do should the collection come back empty.
  CollectionResult Run(const Collection& collection, EmptyAnswer answer = EmptyAnswer::kAsk);

  // The least number of items a collection must hold before its coming back
  // empty is taken for a fault, not mirrored.
  static constexpr size_t kEmptyGuard = 50;

 private:
  DavClient& m_client;
  Account m_account;
};

}  // namespace Sync
