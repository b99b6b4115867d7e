#include "sync/PasswordStore.h"

#include <QEventLoop>
#include <map>
#include <mutex>
#include <qt6keychain/keychain.h>

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

// Runs a job to its end; true when it succeeded.
bool Finish(QKeychain::Job& job) {
  job.setAutoDelete(false);
  QEventLoop loop;
  QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
  job.start();
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  return job.error() == QKeychain::NoError;
}

}  // namespace

QString PasswordStore::KeyOf(const std::string& user, const std::string& url) {
  return QString::fromStdString(user) + '@' + QString::fromStdString(url);
}

bool PasswordStore::Save(const QString& key, const QString& password) {
  Remember(key, password);
  QKeychain::WritePasswordJob job(kService);
  job.setKey(key);
  job.setTextData(password);
  return Finish(job);
}

std::optional<QString> PasswordStore::Load(const QString& key) {
  {
    const std::lock_guard<std::mutex> guard(MemoryLock());
    const auto kept = Memory().find(key);
    if (kept != Memory().end()) return kept->second;
  }
  QKeychain::ReadPasswordJob job(kService);
  job.setKey(key);
  if (!Finish(job)) return std::nullopt;
  Remember(key, job.textData());
  return job.textData();
}

void PasswordStore::Keep(const QString& key, const QString& password) { Remember(key, password); }

void PasswordStore::Drop(const QString& key) {
  const std::lock_guard<std::mutex> guard(MemoryLock());
  Memory().erase(key);
}

void PasswordStore::Forget(const QString& key) {
  Drop(key);
  QKeychain::DeletePasswordJob job(kService);
  job.setKey(key);
  Finish(job);
}

}  // namespace Sync
