#include "app/RunningCopy.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArrayView>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSocketNotifier>
#include <QThread>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

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

RunningCopy::~RunningCopy() {
  // Removed while the lock is still held, so that it can never be a later copy's socket.
  if (m_listening) ::unlink(QFile::encodeName(m_socketPath).constData());
}

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

// False, with errno set, when the path does not fit a socket address.
bool Address(const QByteArray& path, sockaddr_un& address) {
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path)) {
    errno = ENAMETOOLONG;
    return false;
  }
  std::memcpy(address.sun_path, path.constData(), path.size());
  return true;
}

// Waits for `events` on `fd` until the deadline; false when it passed first.
// A hang-up or an error also ends the wait: the next call reports it.
bool WaitFor(int fd, short events, const QDeadlineTimer& deadline) {
  for (;;) {
    pollfd polled{fd, events, 0};
    const int ready = ::poll(&polled, 1, static_cast<int>(deadline.remainingTime()));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

// Without MSG_NOSIGNAL a peer that has gone away would end this program with SIGPIPE.
bool SendAll(int fd, QByteArrayView data, const QDeadlineTimer& deadline) {
  while (!data.isEmpty()) {
    const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent >= 0) {
      data = data.sliced(sent);
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!WaitFor(fd, POLLOUT, deadline)) return false;
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

// Sends the request's lines and waits for the one-line answer. It blocks: it
// runs before there is a window, or with none at all.
bool Ask(const QString& socketPath, const QByteArray& request, const QByteArray& answer) {
  sockaddr_un address;
  if (!Address(QFile::encodeName(socketPath), address)) return false;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const auto closing = qScopeGuard([fd] { ::close(fd); });
  // A copy too busy to accept lets its backlog fill: then connecting waits this long at most.
  const timeval connectWait{kConnectMs / 1000, kConnectMs % 1000 * 1000};
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &connectWait, sizeof connectWait);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return false;
  if (!SendAll(fd, request, QDeadlineTimer(kConnectMs))) return false;
  const QDeadlineTimer replyBy(kReplyMs);
  QByteArray received;
  char chunk[256];
  while (!received.contains('\n')) {
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
    if (got > 0) {
      received.append(chunk, got);
    } else if (got == 0) {
      break;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      if (!WaitFor(fd, POLLIN, replyBy)) break;
    } else if (errno != EINTR) {
      break;
    }
  }
  return received.left(received.indexOf('\n') + 1) == answer;
}

// A listening socket at `path` that only this user can reach; -1, with errno
// set, when there is none.
int ListenAt(const QByteArray& path) {
  sockaddr_un address;
  if (!Address(path, address)) return -1;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  // Nobody can connect before listen(), so nobody else ever reaches it.
  if (::chmod(path.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, SOMAXCONN) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlink(path.constData());
    errno = error;
    return -1;
  }
  return fd;
}

// Watches `fd` for reading. The socket is closed when its notifier is
// destroyed, which has stopped watching by then: no path leaves it open.
QSocketNotifier* Watch(int fd, QObject* parent) {
  auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, parent);
  QObject::connect(notifier, &QObject::destroyed, [fd] { ::close(fd); });
  return notifier;
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
  const QByteArray path = QFile::encodeName(m_socketPath);
  // Whatever socket is there was left by a copy that has ended: the lock is ours.
  ::unlink(path.constData());
  const int fd = ListenAt(path);
  if (fd < 0) {
    std::printf("A later start cannot reach this copy of the organizer: %s\n", std::strerror(errno));
    return;
  }
  m_listening = Watch(fd, this);
  connect(m_listening, &QSocketNotifier::activated, this, &RunningCopy::OnConnection);
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
  for (;;) {
    const int client = ::accept4(static_cast<int>(m_listening->socket()), nullptr, nullptr,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client >= 0) {
      Serve(client);
    } else if (errno != EINTR && errno != ECONNABORTED) {
      return;
    }
  }
}

// Takes what the client has sent each time more has come, so that one that
// stays silent, or stops in the middle of a line, never holds up the window.
void RunningCopy::Serve(int client) {
  QSocketNotifier* notifier = Watch(client, this);
  const auto read = [this, client, notifier, received = QByteArray(), files = QStringList()]() mutable {
    const auto finish = [notifier] {
      notifier->setEnabled(false);
      notifier->deleteLater();
    };
    bool hungUp = false;
    char chunk[4096];
    for (;;) {
      const ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
      if (got > 0) {
        received.append(chunk, got);
      } else if (got < 0 && errno == EINTR) {
        continue;
      } else {
        hungUp = got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        break;
      }
    }
    for (qsizetype end = received.indexOf('\n'); end >= 0; end = received.indexOf('\n')) {
      const QByteArray line = received.left(end + 1);
      received.remove(0, end + 1);
      if (line.startsWith(kOpen)) {
        const QUrl url = QUrl::fromEncoded(line.mid(sizeof kOpen - 1).trimmed());
        if (url.isLocalFile()) files.append(url.toLocalFile());
        continue;
      }
      finish();
      // The answer is a few bytes on an empty socket: it never has to wait.
      if (line == kShow) {
        SendAll(client, kShown, QDeadlineTimer(0));
        emit ShowRequested();
        if (!files.isEmpty()) emit OpenRequested(files);
      } else if (line == kRefresh) {
        SendAll(client, kRefreshed, QDeadlineTimer(0));
        emit RefreshRequested();
      }
      return;
    }
    if (hungUp) finish();
  };
  connect(notifier, &QSocketNotifier::activated, this, read);
}
