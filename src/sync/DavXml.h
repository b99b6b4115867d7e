#pragma once

#include <QByteArray>
#include <set>
#include <string>
#include <vector>

// The WebDAV multistatus replies (RFC 4918) that CalDAV and CardDAV send,
// read with the properties the sync asks for.
namespace Sync {

struct DavResponse {
  std::string href;  // as the server wrote it (a path, usually)
  int status = 0;    // of the response itself (404: a member deleted since the token); 0 when per property
  bool found = false;  // some property came with 200
  std::string etag;
  std::string data;  // calendar-data or address-data
  std::string displayName;
  bool collection = false;
  bool calendar = false;
  bool addressbook = false;
  std::set<std::string> components;  // supported-calendar-component-set: VEVENT, VTODO, VJOURNAL
  std::vector<std::string> principal;
  std::vector<std::string> calendarHome;
  std::vector<std::string> addressbookHome;
};

struct MultiStatus {
  std::vector<DavResponse> responses;
  std::string syncToken;
  std::string error;  // "" when the reply was read whole
};

MultiStatus ParseMultiStatus(const QByteArray& xml);

// 404 from "HTTP/1.1 404 Not Found"; 0 when it holds no code.
int StatusCode(const std::string& line);

// A text between XML tags, escaped.
std::string XmlEscaped(const std::string& text);

}  // namespace Sync
