#include "sync/PasswordStore.h"

#include <map>
#include <mutex>

#include "sync/NetModule.h"

namespace Sync {

namespace {

const QString kService = QStringLiteral("Orvale Organizer");

// The window's thread saves passwords while the sync's thread reads them.
std::mutex& MemoryLock() {
  static std::mutex lock;
  return lock;
}

std::map<QString, QString>& Memory() {
  static std::map<QString, QString> passwords;
  return passwords;
}

void Remember(const QString& key, const QString& password) {
  const std::lock_guard<std::mutex> guard(MemoryLock());
  Memory()[key] = password;
}

}  // namespace

QString PasswordStore::KeyOf(const std::string& user, const std::string& url) {
  return QString::fromStdString(user) + '@' + QString::fromStdString(url);
}

bool PasswordStore::Save(const QString& key, const QString& password) {
  Remember(key, password);
  const NetFunctions* net = NetModule::Get();
  return net && net->saveSecret(kService, key, password);
}

std::optional<QString> PasswordStore::Load(const QString& key) {
  {
    const std::lock_guard<std::mutex> guard(MemoryLock());
    const auto kept = Memory().find(key);
    if (kept != Memory().end()) return kept->second;
  }
  const NetFunctions* net = NetModule::Get();
  const std::optional<QString> saved = net ? net->loadSecret(kService, key) : std::nullopt;
  if (saved) Remember(key, *saved);
  return saved;
}

void PasswordStore::Keep(const QString& key, const QString& password) { Remember(key, password); }

void PasswordStore::Drop(const QString& key) {
  const std::lock_guard<std::mutex> guard(MemoryLock());
  Memory().erase(key);
}

void PasswordStore::Forget(const QString& key) {
  Drop(key);
  if (const NetFunctions* net = NetModule::Get()) net->deleteSecret(kService, key);
}

}  // namespace Sync
