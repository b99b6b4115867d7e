#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>
#include <cctype>
#include <memory>
#include <string>

#include "sync/DavTransport.h"

namespace Sync {

class StopSignal;

// The WebDAV requests of CalDAV and CardDAV, sent by the network module. Each
// call waits for its reply in a local event loop, so the client belongs in
// the thread that syncs (a command, or a worker beside the window), never in
// the window's own. Credentials go with the first request (Basic), so no
// request waits for a challenge. Certificates are verified; one the system
// does not trust is accepted only when its SHA-256 is the pinned one. Plain
// http is refused unless the server is on this computer.
class DavClient {
 public:
  using Header = DavTransport::Header;

  // `timeoutMs`: how long a reply may be silent. Generous: a server lists
  // thousands of items it has not indexed yet slowly.
  static constexpr int kDefaultTimeoutMs = 180000;
  DavClient(const QString& user, const QString& password, std::string pinnedSha256,
            int timeoutMs = kDefaultTimeoutMs);
  ~DavClient();

  DavReply Send(const QByteArray& method, const QUrl& url, const QByteArray& body = {},
                const QList<Header>& headers = {});
  // PROPFIND and REPORT with an XML body and a Depth header.
  DavReply Xml(const QByteArray& method, const QUrl& url, int depth, const QByteArray& body);

  // Another thread may stop this client through `stop`: see StopSignal.
  void SetStop(std::shared_ptr<StopSignal> stop) { m_stop = std::move(stop); }

  // How many requests went out (redirects followed count each).
  int RequestCount() const { return m_requests; }

  // "" when the address may be used; else why not, for the person. Asks the
  // network module whether a host is this computer's own.
  static std::string RefusalOf(const QUrl& url);
  // A SHA-256 fingerprint as pins are kept: lower-case hex without the pairs'
  // colons. Inline, so that the network module compares pins the same way.
  static std::string PlainFingerprint(const std::string& fingerprint) {
    std::string plain;
    for (char c : fingerprint) {
      if (c != ':') plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return plain;
  }

 private:
  DavReply SendOnce(const QByteArray& method, const QUrl& url, const QByteArray& body, const QList<Header>& headers,
                    QUrl& redirect);

  // Made with the first request, in the thread that sends them.
  std::unique_ptr<DavTransport> m_transport;
  QByteArray m_authorization;
  std::string m_pinned;
  int m_timeoutMs;
  int m_requests = 0;
  std::shared_ptr<StopSignal> m_stop;
};

}  // namespace Sync
