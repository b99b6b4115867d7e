#pragma once

#include <QNetworkAccessManager>

#include "sync/DavTransport.h"

namespace Sync {

// DavTransport over QNetworkAccessManager; part of the network module.
class HttpTransport : public DavTransport {
 public:
  HttpTransport(QByteArray authorization, std::string pinnedSha256, int timeoutMs);

  DavReply SendOnce(const QByteArray& method, const QUrl& url, const QByteArray& body, const QList<Header>& headers,
                    const Watch& watch, QUrl& redirect) override;

 private:
  QNetworkAccessManager m_network;
  QByteArray m_authorization;
  std::string m_pinned;  // lower-case hex without colons
  int m_timeoutMs;
};

}  // namespace Sync
