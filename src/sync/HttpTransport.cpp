#include "sync/HttpTransport.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslError>

#include "sync/DavClient.h"

namespace Sync {

namespace {

std::string Fingerprint(const QSslCertificate& certificate) {
  return certificate.digest(QCryptographicHash::Sha256).toHex(':').toLower().toStdString();
}

}  // namespace

HttpTransport::HttpTransport(QByteArray authorization, std::string pinnedSha256, int timeoutMs)
    : m_authorization(std::move(authorization)), m_pinned(std::move(pinnedSha256)), m_timeoutMs(timeoutMs) {}

DavReply HttpTransport::SendOnce(const QByteArray& method, const QUrl& url, const QByteArray& body,
                                 const QList<Header>& headers, const Watch& watch, QUrl& redirect) {
  QNetworkRequest request(url);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  request.setTransferTimeout(m_timeoutMs);
  request.setRawHeader("Authorization", m_authorization);
  for (const Header& header : headers) request.setRawHeader(header.first, header.second);

  DavReply result;
  QNetworkReply* reply = m_network.sendCustomRequest(request, method, body);
  QObject::connect(reply, &QNetworkReply::sslErrors, reply, [&](const QList<QSslError>& errors) {
    const std::string fingerprint = Fingerprint(reply->sslConfiguration().peerCertificate());
    if (!m_pinned.empty() && DavClient::PlainFingerprint(fingerprint) == m_pinned) {
      reply->ignoreSslErrors(errors);
    } else {
      result.untrustedCertificate = fingerprint;
    }
  });
  if (!watch(reply)) reply->abort();
  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  watch(nullptr);

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
