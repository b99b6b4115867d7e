#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkAccessManager>
#include <QPair>
#include <QString>
#include <QUrl>
#include <memory>
#include <string>

namespace Sync {

class StopSignal;

struct DavReply {
  int status = 0;  // the HTTP status; 0 when no reply came
  QByteArray body;
  std::string etag;
  int retryAfter = -1;  // seconds, from Retry-After; -1 when none
  std::string error;    // why no reply came, in words; "" for an HTTP reply
  // The SHA-256 of a certificate that was refused (hex pairs joined by ':').
  std::string untrustedCertificate;

  bool Ok() const { return status >= 200 && status < 300; }
};

// The WebDAV requests of CalDAV and CardDAV over QNetworkAccessManager. Each
// call waits for its reply in a local event loop, so the client belongs in
// the thread that syncs (a command, or a worker beside the window), never in
// the window's own. Credentials go with the first request (Basic), so no
// request waits for a challenge. Certificates are verified; one the system
// does not trust is accepted only when its SHA-256 is the pinned one. Plain
// http is refused unless the server is on this computer.
class DavClient {
 public:
  using Header = QPair<QByteArray, QByteArray>;

  // `timeoutMs`: how long a reply may be silent. Generous: a server lists
  // thousands of items it has not indexed yet slowly.
  static constexpr int kDefaultTimeoutMs = 180000;
  DavClient(const QString& user, const QString& password, std::string pinnedSha256,
            int timeoutMs = kDefaultTimeoutMs);

  DavReply Send(const QByteArray& method, const QUrl& url, const QByteArray& body = {},
                const QList<Header>& headers = {});
  // PROPFIND and REPORT with an XML body and a Depth header.
  DavReply Xml(const QByteArray& method, const QUrl& url, int depth, const QByteArray& body);

  // Another thread may stop this client through `stop`: see StopSignal.
  void SetStop(std::shared_ptr<StopSignal> stop) { m_stop = std::move(stop); }

  // How many requests went out (redirects followed count each).
  int RequestCount() const { return m_requests; }

  // "" when the address may be used; else why not, for the person.
  static std::string RefusalOf(const QUrl& url);
  // A SHA-256 fingerprint as pins are kept: lower-case hex without the pairs' colons.
  static std::string PlainFingerprint(const std::string& fingerprint);

 private:
  DavReply SendOnce(const QByteArray& method, const QUrl& url, const QByteArray& body, const QList<Header>& headers,
                    QUrl& redirect);

  QNetworkAccessManager m_network;
  QByteArray m_authorization;
  std::string m_pinned;
  int m_timeoutMs;
  int m_requests = 0;
  std::shared_ptr<StopSignal> m_stop;
};

}  // namespace Sync
