#include "sync/SyncCommands.h"

#include <QCoreApplication>
#include <QDateTime>
#include <map>
#include <memory>

#include "db/DBL.h"
#include "db/DatabaseFile.h"
#include "db/SQLException.h"
#include "db/Transaction.h"
#include "app/Paths.h"
#include "sync/AccountSync.h"
#include "sync/DavClient.h"
#include "sync/Discovery.h"
#include "sync/PasswordStore.h"
#include "sync/SyncLock.h"
#include "sync/SyncStore.h"

namespace Sync {

namespace {

constexpr int kLockWaitMs = 10 * 60 * 1000;
const char* const kNewCollectionName = "Orvale Organizer";

// The network and the Secret Service need an event loop's application.
std::unique_ptr<QCoreApplication> EnsureApplication() {
  if (QCoreApplication::instance()) return nullptr;
  static int argc = 1;
  static char name[] = "orvale-organizer";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QCoreApplication>(argc, argv);
}

// The database as the program opens it, with the sync's tables.
bool Ready(std::ostream& err) {
  const std::string problem = DBL::PrepareDatabase(DBL::GetDatabasePath());
  if (!problem.empty()) {
    err << problem << "\n";
    return false;
  }
  try {
    EnsureTables();
  } catch (const DBL::SQLException& e) {
    err << "The database could not be prepared for syncing: " << e.GetMessage() << "\n";
    return false;
  }
  return true;
}

std::string FirstLine(std::istream& in) {
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// The first collection that takes `component` (a calendar's) or contacts.
const FoundCollection* FirstFitting(const std::vector<FoundCollection>& found, const std::string& component) {
  for (const FoundCollection& collection : found) {
    if (component.empty() ? collection.addressbook : collection.components.count(component) > 0) return &collection;
  }
  return nullptr;
}

}  // namespace

int AddAccountCommand(const std::string& url, const std::string& user, std::istream& in, std::ostream& out,
                      std::ostream& err) {
  const auto app = EnsureApplication();
  if (!Ready(err)) return 1;
  const QString password = QString::fromStdString(FirstLine(in));
  const QUrl start = ServerUrl(url);
  if (const std::string refusal = DavClient::RefusalOf(start); !refusal.empty()) {
    err << url << ": " << refusal << "\n";
    return 1;
  }
  DavClient client(QString::fromStdString(user), password, "");
  Discovered found = Discover(client, start);
  if (!found.error.empty()) {
    err << url << ": " << found.error << "\n";
    return 1;
  }

  // Kind -> component of a calendar ("" for the address book).
  const std::map<int, std::string> components = {{0, "VTODO"}, {2, "VEVENT"}, {3, "VJOURNAL"}, {1, ""}};
  std::map<std::string, FoundCollection> chosen;  // href -> collection
  std::map<std::string, std::set<int>> kinds;      // href -> kinds it receives
  std::set<std::string> missing;
  for (const auto& [kind, component] : components) {
    if (const FoundCollection* fits = FirstFitting(found.collections, component)) {
      chosen[fits->href] = *fits;
      kinds[fits->href].insert(kind);
    } else if (!component.empty()) {
      missing.insert(component);
    }
  }
  const auto make = [&](bool addressbook, const std::set<std::string>& wanted, const std::set<int>& forKinds) {
    FoundCollection made;
    const std::string why = CreateCollection(client, addressbook ? found.addressbookHome : found.calendarHome,
                                             addressbook, wanted, kNewCollectionName, made);
    if (!why.empty()) {
      err << url << ": no collection for " << KindNames(forKinds) << ": " << why << "\n";
      return;
    }
    chosen[made.href] = made;
    kinds[made.href].insert(forKinds.begin(), forKinds.end());
  };
  if (!missing.empty()) {
    std::set<int> forKinds;
    for (const auto& [kind, component] : components) {
      if (missing.count(component)) forKinds.insert(kind);
    }
    make(false, missing, forKinds);
  }
  if (!FirstFitting(found.collections, "")) make(true, {}, {1});

  Account account;
  account.url = start.toString().toStdString();
  account.user = user;
  try {
    DBL::RunTransaction([&](DBL::Transaction& t) {
      account.id = InsertAccount(t, account);
      for (const auto& [href, collection] : chosen) {
        InsertCollection(t, {0, account.id, href, collection.name, kinds[href], "", ""});
      }
    });
  } catch (const DBL::SQLException& e) {
    err << url << ": the account was not stored: " << e.GetMessage() << "\n";
    return 1;
  }
  if (!PasswordStore::Save(PasswordStore::KeyOf(user, account.url), password)) {
    err << "No Secret Service answered: the password is not stored, and --sync asks for it on standard input.\n";
  }
  out << "Account " << account.id << ": " << user << " at " << account.url << "\n";
  for (const auto& [href, collection] : chosen) {
    out << "  " << KindNames(kinds[href]) << " -> " << (collection.name.empty() ? href : collection.name) << " ("
        << href << ")\n";
  }
  return 0;
}

int ListAccountsCommand(std::ostream& out, std::ostream& err) {
  if (!Ready(err)) return 1;
  try {
    DBL::RunTransaction([&](DBL::Transaction& t) {
      const long long now = QDateTime::currentSecsSinceEpoch();
      for (const Account& account : ListAccounts(t)) {
        out << account.id << " " << account.user << " at " << account.url << ": "
            << DescribeState(account, ConflictCount(t, account.id), now) << "\n";
        for (const Collection& collection : ListCollections(t, account.id)) {
          out << "  " << KindNames(collection.kinds) << " -> "
              << (collection.name.empty() ? collection.href : collection.name) << " (" << collection.href << ")"
              << (collection.state.empty() ? "" : ": " + collection.state) << "\n";
        }
      }
    });
  } catch (const DBL::SQLException& e) {
    err << "The accounts could not be read: " << e.GetMessage() << "\n";
    return 1;
  }
  return 0;
}

int SyncCommand(std::istream& in, std::ostream& out, std::ostream& err, EmptyAnswer emptied) {
  const auto app = EnsureApplication();
  if (!Ready(err)) return 1;
  // Records made since the file opened get their UIDs, so they can be sent.
  DBL::UpdateIdentities(DBL::GetDatabasePath());
  SyncLock lock(DBL::GetDatabasePath());
  if (!lock.Acquire(0)) {
    err << "Another sync of this database is running; this one waits for it to finish.\n" << std::flush;
    if (!lock.Acquire(kLockWaitMs)) {
      err << "Another sync of this database is still running.\n";
      return 1;
    }
  }
  std::vector<Account> accounts;
  DBL::RunTransaction([&](DBL::Transaction& t) { accounts = ListAccounts(t); }, false);
  int code = 0;
  bool asked = false;
  for (const Account& account : accounts) {
    const QString key = PasswordStore::KeyOf(account.user, account.url);
    std::optional<QString> password = PasswordStore::Load(key);
    if (!password && !asked) {
      // Asked once per run: one line for the first account without one.
      asked = true;
      const std::string line = FirstLine(in);
      if (!line.empty() || !in.fail()) password = QString::fromStdString(line);
    }
    const std::string who = account.user + " at " + account.url;
    if (!password) {
      err << who << ": no password (the Secret Service has none)\n";
      code = 1;
      continue;
    }
    const AccountResult result = SyncAccount(account, *password, emptied);
    for (const CollectionResult& done : result.collections) {
      const std::string name = done.kinds + " (" + (done.name.empty() ? done.href : done.name) + ")";
      if (done.error.empty()) {
        out << who << ": " << name << ": received " << done.received << ", sent " << done.sent << ", deleted here "
            << done.deletedHere << ", deleted there " << done.deletedThere << ", conflicts " << done.conflicts
            << "\n";
      } else {
        err << who << ": " << name << ": failed: " << done.error << "\n";
        if (done.emptyOnServer) {
          err << who << ": " << name << ": to delete those items here as well, run '" << Paths::kExecutableName
              << " --sync --delete-here'; to put them back on the server, run '" << Paths::kExecutableName
              << " --sync --put-back'\n";
        }
      }
    }
    if (!result.ok) code = 1;
  }
  return code;
}

}  // namespace Sync
