#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QUrl>
#include <functional>
#include <string>

namespace Sync {

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

// One HTTP exchange on the wire, made by the network module (see NetModule):
// the request goes out, its reply is waited for in a local event loop, and no
// redirect is followed. A certificate the system does not trust is accepted
// only when its SHA-256 is the pinned one (hex, no colons).
class DavTransport {
 public:
  using Header = QPair<QByteArray, QByteArray>;
  // Told the reply in flight as it goes out and nullptr once it ended; false
  // when the reply is to be aborted at once.
  using Watch = std::function<bool(QObject* reply)>;

  virtual ~DavTransport() = default;
  // `redirect` is set from a redirecting reply's Location.
  virtual DavReply SendOnce(const QByteArray& method, const QUrl& url, const QByteArray& body,
                            const QList<Header>& headers, const Watch& watch, QUrl& redirect) = 0;
};

}  // namespace Sync
