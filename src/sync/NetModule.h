#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "sync/DavTransport.h"

namespace Sync {

// What the network module does: HTTP, the keychain and the network's state.
// It lives in a library of its own, loaded the first time one of these is
// needed, because loading the network and keychain libraries (and the
// Kerberos and proxy ones behind them) costs more memory at every start than
// anything else the window does without them. A program without a sync
// account never loads it.
struct NetFunctions {
  std::unique_ptr<DavTransport> (*makeTransport)(const QByteArray& authorization, const std::string& pinnedSha256,
                                                 int timeoutMs);
  // Whether a host name or address is this computer's own.
  bool (*isLoopback)(const QString& host);
  // The system keychain, under a service name: each call waits for its answer.
  bool (*saveSecret)(const QString& service, const QString& key, const QString& secret);
  std::optional<QString> (*loadSecret)(const QString& service, const QString& key);
  void (*deleteSecret)(const QString& service, const QString& key);
  // Calls `online` in `context`'s thread whenever the network comes back;
  // false when the system does not tell.
  bool (*watchReachability)(QObject* context, std::function<void()> online);
};

class NetModule {
 public:
  // The module's functions, loaded on the first call; nullptr when it cannot
  // be loaded, and Problem() says why.
  static const NetFunctions* Get();
  static const std::string& Problem();
  // The module's file: beside the executable in a build, else where it is installed.
  static std::string Path();
};

}  // namespace Sync
