#include "sync/AccountSync.h"

#include <QDateTime>

#include "db/DBL.h"
#include "db/SQLException.h"
#include "db/Transaction.h"
#include "sync/DavClient.h"
#include "sync/SyncLock.h"

namespace Sync {

namespace {

const std::string kSynced = "Synced";
constexpr int kAnswerWaitMs = 2000;

// How long a reply may be silent: ORVALE_SYNC_TIMEOUT seconds when set (the
// tests of a server that stops answering set a short one), else the client's own.
int ReplyTimeoutMs() {
  bool number = false;
  const int seconds = qEnvironmentVariableIntValue("ORVALE_SYNC_TIMEOUT", &number);
  return number && seconds > 0 ? seconds * 1000 : DavClient::kDefaultTimeoutMs;
}

std::string StateOf(const CollectionResult& result) {
  if (result.status == 401) return "Password refused";
  if (result.status == 0 || result.status >= 500) {
    if (result.status == 507 || result.error.find("certificate") != std::string::npos) return result.error;
    return "Offline, will retry";
  }
  return result.error;
}

std::string Ago(long long seconds) {
  if (seconds < 60) return "just now";
  const long long minutes = seconds / 60;
  if (minutes < 60) return minutes == 1 ? "1 minute ago" : std::to_string(minutes) + " minutes ago";
  const long long hours = minutes / 60;
  if (hours < 48) return hours == 1 ? "1 hour ago" : std::to_string(hours) + " hours ago";
  return std::to_string(hours / 24) + " days ago";
}

}  // namespace

AccountResult SyncAccount(const Account& account, const QString& password, EmptyAnswer emptied) {
  AccountResult result;
  std::vector<Collection> collections;
  DBL::RunTransaction([&](DBL::Transaction& t) { collections = ListCollections(t, account.id); }, false);
  DavClient client(QString::fromStdString(account.user), password, account.pinnedSha256, ReplyTimeoutMs());
  SyncEngine engine(client, account);
  result.ok = true;
  for (const Collection& collection : collections) {
    CollectionResult done;
    try {
      done = engine.Run(collection, emptied);
    } catch (const DBL::SQLException& e) {
      done.href = collection.href;
      done.name = collection.name;
      done.kinds = KindNames(collection.kinds);
      done.error = "the database could not be written (" + e.GetMessage() + ")";
      done.status = -1;
    }
    if (!done.error.empty() && result.ok) {
      result.ok = false;
      result.state = StateOf(done);
    }
    const bool refused = done.status == 401;
    result.collections.push_back(std::move(done));
    if (refused) break;  // the others would be refused alike
  }
  if (result.ok) result.state = kSynced;
  DBL::RunTransaction([&](DBL::Transaction& t) {
    SetAccountState(t, account.id, result.state, result.ok ? QDateTime::currentSecsSinceEpoch() : 0);
  });
  return result;
}

int AnswerEmptyCollection(int collectionId, EmptyAnswer answer) {
  SyncLock lock(DBL::GetDatabasePath());
  if (!lock.Acquire(kAnswerWaitMs)) return -1;
  int records = 0;
  DBL::RunTransaction([&](DBL::Transaction& t) { records = AnswerEmptyCollection(t, collectionId, answer); });
  return records;
}

std::string RefusedCertificate(const Account& account) {
  // The state is the client's refusal: "... certificate is not trusted (SHA-256 <pairs>)".
  const std::string marker = "certificate is not trusted (SHA-256 ";
  const size_t start = account.state.find(marker);
  if (start == std::string::npos) return "";
  const size_t from = start + marker.size();
  const size_t end = account.state.find(')', from);
  return end == std::string::npos ? "" : account.state.substr(from, end - from);
}

void TrustCertificate(int accountId, const std::string& sha256) {
  DBL::RunTransaction(
      [&](DBL::Transaction& t) { SetAccountPin(t, accountId, DavClient::PlainFingerprint(sha256)); });
}

std::string DescribeState(const Account& account, int conflicts, long long now) {
  std::string text;
  if (account.state == kSynced) {
    text = kSynced + " " + Ago(now - account.lastSync);
  } else if (account.state.empty()) {
    text = "Not synced yet";
  } else {
    text = account.state;
  }
  if (conflicts > 0) text += conflicts == 1 ? ", 1 conflict" : ", " + std::to_string(conflicts) + " conflicts";
  return text;
}

}  // namespace Sync
