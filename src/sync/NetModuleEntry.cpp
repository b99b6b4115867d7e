// The network module's one entry point: the program finds it by name after
// loading the module (see NetModule).
#include <QHostAddress>
#include <QNetworkInformation>

#include "sync/HttpTransport.h"
#include "sync/Keychain.h"
#include "sync/NetModule.h"

namespace {

std::unique_ptr<Sync::DavTransport> MakeTransport(const QByteArray& authorization, const std::string& pinnedSha256,
                                                  int timeoutMs) {
  return std::make_unique<Sync::HttpTransport>(authorization, pinnedSha256, timeoutMs);
}

bool IsLoopback(const QString& host) { return QHostAddress(host).isLoopback(); }

bool WatchReachability(QObject* context, std::function<void()> online) {
  if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) return false;
  QObject::connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, context,
                   [online = std::move(online)](QNetworkInformation::Reachability reachability) {
                     if (reachability == QNetworkInformation::Reachability::Online) online();
                   });
  return true;
}

constexpr Sync::NetFunctions kFunctions{MakeTransport,        IsLoopback,           Sync::Keychain::Save,
                                        Sync::Keychain::Load, Sync::Keychain::Delete, WatchReachability};

}  // namespace

extern "C" __attribute__((visibility("default"))) const Sync::NetFunctions* orvale_net_module() { return &kFunctions; }
