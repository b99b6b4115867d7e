#include "sync/DavXml.h"

#include <QXmlStreamReader>

namespace Sync {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");
const QString kCardDav = QStringLiteral("urn:ietf:params:xml:ns:carddav");

bool Is(const QXmlStreamReader& xml, const QString& ns, const char* name) {
  return xml.namespaceUri() == ns && xml.name() == QLatin1String(name);
}

std::string Text(QXmlStreamReader& xml) {
  return xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toStdString();
}

// The <href>s inside the current element.
std::vector<std::string> Hrefs(QXmlStreamReader& xml) {
  std::vector<std::string> hrefs;
  while (xml.readNextStartElement()) {
    if (Is(xml, kDav, "href")) {
      hrefs.push_back(Text(xml));
    } else {
      xml.skipCurrentElement();
    }
  }
  return hrefs;
}

void ReadProp(QXmlStreamReader& xml, DavResponse& into) {
  while (xml.readNextStartElement()) {
    if (Is(xml, kDav, "getetag")) {
      into.etag = Text(xml);
    } else if (Is(xml, kCalDav, "calendar-data") || Is(xml, kCardDav, "address-data")) {
      // Item texts keep their own spacing: only the element's edges are trimmed.
      into.data = xml.readElementText().toStdString();
      const size_t start = into.data.find_first_not_of(" \t\r\n");
      into.data.erase(0, start == std::string::npos ? into.data.size() : start);
    } else if (Is(xml, kDav, "displayname")) {
      into.displayName = Text(xml);
    } else if (Is(xml, kDav, "resourcetype")) {
      while (xml.readNextStartElement()) {
        if (Is(xml, kDav, "collection")) into.collection = true;
        if (Is(xml, kCalDav, "calendar")) into.calendar = true;
        if (Is(xml, kCardDav, "addressbook")) into.addressbook = true;
        xml.skipCurrentElement();
      }
    } else if (Is(xml, kCalDav, "supported-calendar-component-set")) {
      while (xml.readNextStartElement()) {
        if (Is(xml, kCalDav, "comp")) into.components.insert(xml.attributes().value("name").toString().toUpper().toStdString());
        xml.skipCurrentElement();
      }
    } else if (Is(xml, kDav, "current-user-principal")) {
      into.principal = Hrefs(xml);
    } else if (Is(xml, kCalDav, "calendar-home-set")) {
      into.calendarHome = Hrefs(xml);
    } else if (Is(xml, kCardDav, "addressbook-home-set")) {
      into.addressbookHome = Hrefs(xml);
    } else {
      xml.skipCurrentElement();
    }
  }
}

// A server may split the found properties over several propstats.
void Merge(DavResponse& from, DavResponse& into) {
  into.found = true;
  if (!from.etag.empty()) into.etag = std::move(from.etag);
  if (!from.data.empty()) into.data = std::move(from.data);
  if (!from.displayName.empty()) into.displayName = std::move(from.displayName);
  into.collection = into.collection || from.collection;
  into.calendar = into.calendar || from.calendar;
  into.addressbook = into.addressbook || from.addressbook;
  into.components.merge(from.components);
  if (!from.principal.empty()) into.principal = std::move(from.principal);
  if (!from.calendarHome.empty()) into.calendarHome = std::move(from.calendarHome);
  if (!from.addressbookHome.empty()) into.addressbookHome = std::move(from.addressbookHome);
}

DavResponse ReadResponse(QXmlStreamReader& xml) {
  DavResponse response;
  while (xml.readNextStartElement()) {
    if (Is(xml, kDav, "href")) {
      response.href = Text(xml);
    } else if (Is(xml, kDav, "status")) {
      response.status = StatusCode(Text(xml));
    } else if (Is(xml, kDav, "propstat")) {
      // Properties count only from a propstat whose status is 2xx.
      DavResponse props;
      int status = 0;
      while (xml.readNextStartElement()) {
        if (Is(xml, kDav, "prop")) {
          ReadProp(xml, props);
        } else if (Is(xml, kDav, "status")) {
          status = StatusCode(Text(xml));
        } else {
          xml.skipCurrentElement();
        }
      }
      if (status >= 200 && status < 300) Merge(props, response);
    } else {
      xml.skipCurrentElement();
    }
  }
  return response;
}

}  // namespace

int StatusCode(const std::string& line) {
  const size_t space = line.find(' ');
  if (space == std::string::npos || line.size() < space + 4) return 0;
  int code = 0;
  for (size_t i = space + 1; i < space + 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return 0;
    code = code * 10 + (line[i] - '0');
  }
  return code;
}

MultiStatus ParseMultiStatus(const QByteArray& bytes) {
  MultiStatus result;
  QXmlStreamReader xml(bytes);
  if (!xml.readNextStartElement() || !Is(xml, kDav, "multistatus")) {
    result.error = "the server's reply is not a WebDAV multistatus";
    return result;
  }
  while (xml.readNextStartElement()) {
    if (Is(xml, kDav, "response")) {
      result.responses.push_back(ReadResponse(xml));
    } else if (Is(xml, kDav, "sync-token")) {
      result.syncToken = Text(xml);
    } else {
      xml.skipCurrentElement();
    }
  }
  if (xml.hasError()) result.error = "the server's reply could not be read (" + xml.errorString().toStdString() + ")";
  return result;
}

std::string XmlEscaped(const std::string& text) {
  return QString::fromStdString(text).toHtmlEscaped().toStdString();
}

}  // namespace Sync
