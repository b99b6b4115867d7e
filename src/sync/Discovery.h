#pragma once

#include <QUrl>
#include <set>
#include <string>
#include <vector>

namespace Sync {

class DavClient;

struct FoundCollection {
  std::string href;  // full URL
  std::string name;
  bool addressbook = false;
  std::set<std::string> components;  // of a calendar: VEVENT, VTODO, VJOURNAL
};

struct Discovered {
  std::string error;  // "" when the account answered
  int status = 0;     // the HTTP status of a refusal (401: wrong password)
  // The SHA-256 of the server's certificate when it was refused as untrusted.
  std::string untrustedCertificate;
  QUrl calendarHome;
  QUrl addressbookHome;
  std::vector<FoundCollection> collections;
};

// The server address a person typed: a bare domain becomes https://domain/.
QUrl ServerUrl(const std::string& typed);

// The account's calendars and address books: RFC 6764's well-known addresses
// when given only a server, then current-user-principal, the home sets and
// the collections in them.
Discovered Discover(DavClient& client, const QUrl& start);

// Makes a calendar for `components` (MKCALENDAR) or an address book (extended
// MKCOL) named `name` in `home`. Returns "" and its URL in `made`, or why not.
std::string CreateCollection(DavClient& client, const QUrl& home, bool addressbook,
                             const std::set<std::string>& components, const std::string& name, FoundCollection& made);

}  // namespace Sync
