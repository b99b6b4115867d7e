#include "app/RunningCopy.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QUrl>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/Paths.h"

namespace {

// One request per connection, a line each; "open" lines (a file URL each,
// so that no name can break a line) come before the "show" they go with.
constexpr char kShow[] = "show\n";
constexpr char kShown[] = "shown\n";
constexpr char kOpen[] = "open ";
constexpr char kRefresh[] = "refresh\n";
constexpr char kRefreshed[] = "refreshed\n";
constexpr int kConnectMs = 1000;
constexpr int kReplyMs = 3000;
constexpr int kRetryMs = 100;
// sockaddr_un holds 108 bytes; a longer runtime folder falls back to the temporary one.
constexpr int kMaxSocketPath = 100;

}  // namespace

RunningCopy::RunningCopy(const std::string& databaseFile, QObject* parent)
    : QObject(parent), m_socketPath(SocketPath(databaseFile)), m_lock((m_socketPath + ".lock").toStdString()) {}

RunningCopy::~RunningCopy() = default;

QString RunningCopy::SocketPath(const std::string& databaseFile) {
  std::error_code error;
  std::filesystem::path database = std::filesystem::weakly_canonical(databaseFile, error);
  if (error) database = std::filesystem::absolute(databaseFile, error);
  const QString uid = QString::number(::getuid());
  const QByteArray key = (uid + ':' + QString::fromStdString(database.string())).toUtf8();
  const QString hash =
      QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16));
  const QString name = QString::fromLatin1(Paths::kAppId) + '-' + hash;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (runtime.startsWith('/') && QFileInfo(runtime).isDir() && runtime.size() + name.size() < kMaxSocketPath) {
    return runtime + '/' + name;
  }
  return QDir::tempPath() + '/' + QString::fromLatin1(Paths::kAppId) + '-' + uid + '-' + hash;
}

namespace {

// Sends the request's lines and waits for the one-line answer.
bool Ask(const QString& socketPath, const QByteArray& request, const QByteArray& answer) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(kConnectMs)) return false;
  socket.write(request);
  if (!socket.waitForBytesWritten(kConnectMs)) return false;
  QElapsedTimer waited;
  waited.start();
  while (!socket.canReadLine() && waited.elapsed() < kReplyMs) socket.waitForReadyRead(kReplyMs);
  return socket.readLine() == answer;
}

}  // namespace

RunningCopy::Outcome RunningCopy::Claim(const QStringList& files, int waitMs) {
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    // A lock file that cannot be made at all must not keep the program from starting.
    if (m_lock.TryLockExclusive() || !m_lock.IsOpen()) {
      Listen();
      return kFirst;
    }
    if (AskToShow(files)) return kShownOther;
    if (waited.elapsed() > waitMs) return kNoAnswer;
    QThread::msleep(kRetryMs);
  }
}

void RunningCopy::Listen() {
  // Whatever socket is there was left by a copy that has ended: the lock is ours.
  QLocalServer::removeServer(m_socketPath);
  m_server = new QLocalServer(this);
  m_server->setSocketOptions(QLocalServer::UserAccessOption);
  connect(m_server, &QLocalServer::newConnection, this, &RunningCopy::OnConnection);
  if (!m_server->listen(m_socketPath)) {
    std::printf("A later start cannot reach this copy of the organizer: %s\n",
                qPrintable(m_server->errorString()));
  }
}

bool RunningCopy::AskToShow(const QStringList& files) const {
  QByteArray request;
  for (const QString& file : files) request += kOpen + QUrl::fromLocalFile(file).toEncoded() + '\n';
  return Ask(m_socketPath, request + kShow, kShown);
}

bool RunningCopy::AskToRefresh(const std::string& databaseFile) {
  return Ask(SocketPath(databaseFile), kRefresh, kRefreshed);
}

void RunningCopy::OnConnection() {
  while (QLocalSocket* client = m_server->nextPendingConnection()) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    auto files = std::make_shared<QStringList>();
    connect(client, &QLocalSocket::readyRead, this, [this, client, files] {
      while (client->canReadLine()) {
        const QByteArray line = client->readLine();
        if (line.startsWith(kOpen)) {
          const QUrl url = QUrl::fromEncoded(line.mid(sizeof kOpen - 1).trimmed());
          if (url.isLocalFile()) files->append(url.toLocalFile());
          continue;
        }
        if (line == kShow) {
          client->write(kShown);
          client->flush();
          emit ShowRequested();
          if (!files->isEmpty()) emit OpenRequested(*files);
        } else if (line == kRefresh) {
          client->write(kRefreshed);
          client->flush();
          emit RefreshRequested();
        }
        client->disconnectFromServer();
        return;
      }
    });
  }
}
