#pragma once

#include <QString>
#include <string>
#include <vector>

#include "sync/SyncEngine.h"
#include "sync/SyncStore.h"

namespace Sync {

struct AccountResult {
  std::vector<CollectionResult> collections;
  std::string state;  // what the account shows: "Synced", "Password refused", ...
  bool ok = false;
};

// Syncs every collection of the account and stores how it ended. A reply
// silent for 3 minutes (ORVALE_SYNC_TIMEOUT seconds when set) is given up. The caller
// holds the SyncLock. `emptied`: what to do with a collection that comes back
// empty from the server while it held many items here.
AccountResult SyncAccount(const Account& account, const QString& password, EmptyAnswer emptied = EmptyAnswer::kAsk);

// The person's answer for a collection that came back empty
// (CollectionResult::emptyOnServer, by its collectionId): kDeleteHere deletes
// its records here at once; kPutBack has the next sync send them all back.
// Returns how many records that is, or -1 while another sync of the database
// runs (ask again after it). Throws DBL::SQLException when the database
// cannot be written.
int AnswerEmptyCollection(int collectionId, EmptyAnswer answer);

// The SHA-256 (hex pairs) of the certificate the account's last sync was
// refused for, because this computer does not trust it or it is not the one
// pinned; "" when it was not.
std::string RefusedCertificate(const Account& account);
// Pins that certificate for the account, in place of any other: its next sync
// trusts it. Throws DBL::SQLException when the database cannot be written.
void TrustCertificate(int accountId, const std::string& sha256);

// The account's state for the person, with the time since its last whole
// sync ("Synced 2 minutes ago") and the conflicts still open.
std::string DescribeState(const Account& account, int conflicts, long long now);

}  // namespace Sync
