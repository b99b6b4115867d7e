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

// Syncs every collection of the account and stores how it ended. The caller
// holds the SyncLock.
AccountResult SyncAccount(const Account& account, const QString& password);

// The account's state for the person, with the time since its last whole
// sync ("Synced 2 minutes ago") and the conflicts still open.
std::string DescribeState(const Account& account, int conflicts, long long now);

}  // namespace Sync
