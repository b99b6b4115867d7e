#include "sync/DavClient.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslError>

#include "sync/StopSignal.h"

namespace Sync {

namespace {

constexpr int kMaxRedirects = 5;

std::string Fingerprint(const QSslCertificate& certificate) {
  return certificate.digest(QCryptographicHash::Sha256).toHex(':').toLower().toStdString();
}

}  // namespace

std::string DavClient::PlainFingerprint(const std::string& fingerprint) {
  std::string plain;
  for (char c : fingerprint) {
    if (c != ':') plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return plain;
}

DavClient::DavClient(const QString& user, const QString& password, std::string pinnedSha256, int timeoutMs)
    : m_authorization("Basic " + (user + ':' + password).toUtf8().toBase64()),
      m_pinned(PlainFingerprint(pinnedSha256)),
      m_timeoutMs(timeoutMs) {}

std::string DavClient::RefusalOf(const QUrl& url) {
  if (!url.isValid() || url.host().isEmpty()) return "\"" + url.toString().toStdString() + "\" is not a server address";
  if (url.scheme() == "https") return "";
  if (url.scheme() != "http") return "only https:// addresses are accepted";
  const QString host = url.host();
  const QHostAddress address(host);
  if (host.compare("localhost", Qt::CaseInsensitive) == 0 || address.isLoopback()) return "";
  return "plain http:// is accepted only for this computer's own addresses; use https://";
}

DavReply DavClient::Xml(const QByteArray& method, const QUrl& url, int depth, const QByteArray& body) {
  return Send(method, url, body,
              {{"Depth", QByteArray::number(depth)}, {"Content-Type", "application/xml; charset=utf-8"}});
}

DavReply DavClient::Send(const QByteArray& method, const QUrl& url, const QByteArray& body,
                         const QList<Header>& headers) {
  QUrl target = url;
  for (int hop = 0;; ++hop) {
    if (const std::string refusal = RefusalOf(target); !refusal.empty()) {
      DavReply refused;
      refused.error = refusal;
      return refused;
    }
    QUrl redirect;
    DavReply reply = SendOnce(method, target, body, headers, redirect);
    if (redirect.isEmpty() || hop == kMaxRedirects) return reply;
    target = redirect;
  }
}

DavReply DavClient::SendOnce(const QByteArray& method, const QUrl& url, const QByteArray& body,
                             const QList<Header>& headers, QUrl& redirect) {
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  request.setTransferTimeout(m_timeoutMs);
  request.setRawHeader("Authorization", m_authorization);
  for (const Header& header : headers) request.setRawHeader(header.first, header.second);
  ++m_requests;

  DavReply result;
  QNetworkReply* reply = m_network.sendCustomRequest(request, method, body);
  QObject::connect(reply, &QNetworkReply::sslErrors, reply, [&](const QList<QSslError>& errors) {
    const QSslCertificate certificate = reply->sslConfiguration().peerCertificate();
    const std::string fingerprint = Fingerprint(certificate);
    if (!m_pinned.empty() && PlainFingerprint(fingerprint) == m_pinned) {
      reply->ignoreSslErrors(errors);
    } else {
      result.untrustedCertificate = fingerprint;
    }
  });
  if (m_stop && !m_stop->Watch(reply)) reply->abort();
  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (m_stop) m_stop->Watch(nullptr);

  result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (reply->isOpen()) result.body = reply->readAll();
  result.etag = reply->rawHeader("ETag").toStdString();
  bool number = false;
  const int retry = reply->rawHeader("Retry-After").trimmed().toInt(&number);
  if (number) result.retryAfter = retry;
  if (result.status >= 300 && result.status < 400 && reply->hasRawHeader("Location")) {
    redirect = url.resolved(QUrl::fromEncoded(reply->rawHeader("Location")));
  }
  if (result.status == 0) {
    if (!result.untrustedCertificate.empty()) {
      result.error = "the server's certificate is not trusted (SHA-256 " + result.untrustedCertificate + ")";
    } else if (reply->error() == QNetworkReply::OperationCanceledError ||
               reply->error() == QNetworkReply::TimeoutError) {
      result.error = "the server did not answer in time";
    } else {
      result.error = reply->errorString().toStdString();
    }
  }
  reply->deleteLater();
  return result;
}

}  // namespace Sync
