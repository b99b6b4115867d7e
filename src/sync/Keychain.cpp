#include "sync/Keychain.h"

#include <QEventLoop>
#include <qt6keychain/keychain.h>

namespace Sync {

namespace {

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

bool Keychain::Save(const QString& service, const QString& key, const QString& secret) {
  QKeychain::WritePasswordJob job(service);
  job.setKey(key);
  job.setTextData(secret);
  return Finish(job);
}

std::optional<QString> Keychain::Load(const QString& service, const QString& key) {
  QKeychain::ReadPasswordJob job(service);
  job.setKey(key);
  if (!Finish(job)) return std::nullopt;
  return job.textData();
}

void Keychain::Delete(const QString& service, const QString& key) {
  QKeychain::DeletePasswordJob job(service);
  job.setKey(key);
  Finish(job);
}

}  // namespace Sync
