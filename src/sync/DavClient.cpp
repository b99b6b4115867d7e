#include "sync/DavClient.h"

#include "sync/NetModule.h"
#include "sync/StopSignal.h"

namespace Sync {

namespace {

constexpr int kMaxRedirects = 5;

}  // namespace

DavClient::DavClient(const QString& user, const QString& password, std::string pinnedSha256, int timeoutMs)
    : m_authorization("Basic " + (user + ':' + password).toUtf8().toBase64()),
      m_pinned(PlainFingerprint(pinnedSha256)),
      m_timeoutMs(timeoutMs) {}

DavClient::~DavClient() = default;

std::string DavClient::RefusalOf(const QUrl& url) {
  if (!url.isValid() || url.host().isEmpty()) return "\"" + url.toString().toStdString() + "\" is not a server address";
  if (url.scheme() == "https") return "";
  if (url.scheme() != "http") return "only https:// addresses are accepted";
  const NetFunctions* net = NetModule::Get();
  if (!net) return NetModule::Problem();
  if (url.host().compare("localhost", Qt::CaseInsensitive) == 0 || net->isLoopback(url.host())) return "";
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
  if (!m_transport) {
    const NetFunctions* net = NetModule::Get();
    if (!net) {
      DavReply failed;
      failed.error = NetModule::Problem();
      return failed;
    }
    m_transport = net->makeTransport(m_authorization, m_pinned, m_timeoutMs);
  }
  ++m_requests;
  const DavTransport::Watch watch = [stop = m_stop](QObject* reply) { return !stop || stop->Watch(reply); };
  return m_transport->SendOnce(method, url, body, headers, watch, redirect);
}

}  // namespace Sync
