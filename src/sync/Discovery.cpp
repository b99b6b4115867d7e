#include "sync/Discovery.h"

#include <QUuid>

#include "sync/DavClient.h"
#include "sync/DavXml.h"

namespace Sync {

namespace {

const QByteArray kPrincipalQuery =
    R"(<?xml version="1.0" encoding="utf-8"?><d:propfind xmlns:d="DAV:"><d:prop><d:current-user-principal/></d:prop></d:propfind>)";
const QByteArray kHomeQuery =
    R"(<?xml version="1.0" encoding="utf-8"?><d:propfind xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav" xmlns:a="urn:ietf:params:xml:ns:carddav"><d:prop><c:calendar-home-set/><a:addressbook-home-set/></d:prop></d:propfind>)";
const QByteArray kCollectionQuery =
    R"(<?xml version="1.0" encoding="utf-8"?><d:propfind xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:prop><d:resourcetype/><d:displayname/><c:supported-calendar-component-set/></d:prop></d:propfind>)";

std::string Refused(const DavReply& reply, const std::string& what) {
  if (!reply.error.empty()) return reply.error;
  if (reply.status == 401) return "the server refused the user name or password";
  return what + " (HTTP " + std::to_string(reply.status) + ")";
}

// A path with a closing slash, as collections are named.
QUrl AsFolder(QUrl url) {
  if (!url.path().endsWith('/')) url.setPath(url.path() + '/');
  return url;
}

}  // namespace

QUrl ServerUrl(const std::string& typed) {
  QString text = QString::fromStdString(typed).trimmed();
  if (!text.contains("://")) text = "https://" + text;
  QUrl url(text);
  if (url.path().isEmpty()) url.setPath("/");
  return url;
}

Discovered Discover(DavClient& client, const QUrl& start) {
  Discovered found;
  // The principal, from the address given or the well-known ones.
  std::vector<QUrl> tries;
  if (start.path() != "/") tries.push_back(start);
  tries.push_back(start.resolved(QUrl("/.well-known/caldav")));
  tries.push_back(start.resolved(QUrl("/.well-known/carddav")));
  if (start.path() == "/") tries.push_back(start);
  QUrl principal;
  for (const QUrl& url : tries) {
    const DavReply reply = client.Xml("PROPFIND", url, 0, kPrincipalQuery);
    if (!reply.error.empty() || reply.status == 401) {
      found.status = reply.status;
      found.error = Refused(reply, "");
      found.untrustedCertificate = reply.untrustedCertificate;
      return found;
    }
    if (reply.status != 207) continue;
    const MultiStatus status = ParseMultiStatus(reply.body);
    for (const DavResponse& response : status.responses) {
      if (!response.principal.empty()) principal = url.resolved(QUrl(QString::fromStdString(response.principal.front())));
    }
    if (!principal.isEmpty()) break;
  }
  if (principal.isEmpty()) {
    found.error = "no CalDAV or CardDAV account was found at " + start.toString().toStdString();
    return found;
  }

  const DavReply homes = client.Xml("PROPFIND", principal, 0, kHomeQuery);
  if (homes.status != 207) {
    found.status = homes.status;
    found.error = Refused(homes, "the account's folders could not be read");
    return found;
  }
  for (const DavResponse& response : ParseMultiStatus(homes.body).responses) {
    if (!response.calendarHome.empty())
      found.calendarHome = principal.resolved(QUrl(QString::fromStdString(response.calendarHome.front())));
    if (!response.addressbookHome.empty())
      found.addressbookHome = principal.resolved(QUrl(QString::fromStdString(response.addressbookHome.front())));
  }

  std::vector<QUrl> homeUrls;
  for (const QUrl& home : {found.calendarHome, found.addressbookHome}) {
    if (!home.isEmpty() && (homeUrls.empty() || homeUrls.front() != home)) homeUrls.push_back(home);
  }
  for (const QUrl& home : homeUrls) {
    const DavReply listing = client.Xml("PROPFIND", home, 1, kCollectionQuery);
    if (listing.status != 207) {
      found.status = listing.status;
      found.error = Refused(listing, "the account's collections could not be listed");
      return found;
    }
    for (const DavResponse& response : ParseMultiStatus(listing.body).responses) {
      if (!response.calendar && !response.addressbook) continue;
      FoundCollection collection;
      collection.href = AsFolder(home.resolved(QUrl(QString::fromStdString(response.href)))).toString().toStdString();
      collection.name = response.displayName;
      collection.addressbook = response.addressbook;
      // Some servers name components for address books too: only a calendar's count.
      if (response.calendar) collection.components = response.components;
      // A calendar that names no components takes them all.
      if (response.calendar && collection.components.empty()) collection.components = {"VEVENT", "VTODO", "VJOURNAL"};
      found.collections.push_back(std::move(collection));
    }
  }
  return found;
}

std::string CreateCollection(DavClient& client, const QUrl& home, bool addressbook,
                             const std::set<std::string>& components, const std::string& name, FoundCollection& made) {
  if (home.isEmpty()) return "the account has no folder for new collections";
  const QUrl url = AsFolder(home).resolved(QUrl(QUuid::createUuid().toString(QUuid::WithoutBraces) + "/"));
  QByteArray body;
  DavReply reply;
  if (addressbook) {
    body = R"(<?xml version="1.0" encoding="utf-8"?><d:mkcol xmlns:d="DAV:" xmlns:a="urn:ietf:params:xml:ns:carddav"><d:set><d:prop><d:resourcetype><d:collection/><a:addressbook/></d:resourcetype><d:displayname>)" +
           QByteArray::fromStdString(XmlEscaped(name)) + "</d:displayname></d:prop></d:set></d:mkcol>";
    reply = client.Send("MKCOL", url, body, {{"Content-Type", "application/xml; charset=utf-8"}});
  } else {
    QByteArray set;
    for (const std::string& component : components) set += "<c:comp name=\"" + QByteArray::fromStdString(component) + "\"/>";
    body = R"(<?xml version="1.0" encoding="utf-8"?><c:mkcalendar xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:set><d:prop><d:displayname>)" +
           QByteArray::fromStdString(XmlEscaped(name)) + "</d:displayname><c:supported-calendar-component-set>" + set +
           "</c:supported-calendar-component-set></d:prop></d:set></c:mkcalendar>";
    reply = client.Send("MKCALENDAR", url, body, {{"Content-Type", "application/xml; charset=utf-8"}});
  }
  if (!reply.Ok()) return Refused(reply, "the server did not make the collection");
  made.href = url.toString().toStdString();
  made.name = name;
  made.addressbook = addressbook;
  made.components = components;
  return "";
}

}  // namespace Sync
