#include <gtest/gtest.h>

#include "sync/DavClient.h"
#include "sync/DavXml.h"
#include "sync/Discovery.h"
#include "sync/ItemHash.h"

namespace {

using namespace Sync;

TEST(DavXml, ReadsChangesDeletionsAndTheTokenOfASyncReport) {
  const QByteArray reply = R"(<?xml version="1.0"?>
<D:multistatus xmlns:D="DAV:">
  <D:response><D:href>/cal/a.ics</D:href>
    <D:propstat><D:prop><D:getetag>"1"</D:getetag></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat>
  </D:response>
  <D:response><D:href>/cal/gone.ics</D:href><D:status>HTTP/1.1 404 Not Found</D:status></D:response>
  <D:sync-token>http://example.org/sync/7</D:sync-token>
</D:multistatus>)";
  const MultiStatus status = ParseMultiStatus(reply);
  ASSERT_EQ(status.error, "");
  ASSERT_EQ(status.responses.size(), 2u);
  EXPECT_EQ(status.responses[0].href, "/cal/a.ics");
  EXPECT_EQ(status.responses[0].etag, "\"1\"");
  EXPECT_TRUE(status.responses[0].found);
  EXPECT_EQ(status.responses[1].status, 404);
  EXPECT_FALSE(status.responses[1].found);
  EXPECT_EQ(status.syncToken, "http://example.org/sync/7");
}

TEST(DavXml, TakesFoundPropertiesFromEveryPropstatAndNoneFromMissingOnes) {
  // Properties split over two 200 propstats, and a 404 one naming components.
  const QByteArray reply = R"(<multistatus xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav"
      xmlns:A="urn:ietf:params:xml:ns:carddav">
  <response><href>/ann/book/</href>
    <propstat><prop><resourcetype><collection/><A:addressbook/></resourcetype></prop><status>HTTP/1.1 200 OK</status></propstat>
    <propstat><prop><displayname>Friends &amp; family</displayname></prop><status>HTTP/1.1 200 OK</status></propstat>
    <propstat><prop><C:supported-calendar-component-set><C:comp name="VTODO"/></C:supported-calendar-component-set></prop>
      <status>HTTP/1.1 404 Not Found</status></propstat>
  </response>
  <response><href>/ann/</href><propstat><prop>
    <current-user-principal><href>/principals/ann/</href></current-user-principal>
    <C:calendar-home-set><href>/ann/</href></C:calendar-home-set>
  </prop><status>HTTP/1.1 200 OK</status></propstat></response>
</multistatus>)";
  const MultiStatus status = ParseMultiStatus(reply);
  ASSERT_EQ(status.responses.size(), 2u);
  const DavResponse& book = status.responses[0];
  EXPECT_TRUE(book.addressbook && book.collection);
  EXPECT_FALSE(book.calendar);
  EXPECT_EQ(book.displayName, "Friends & family");
  EXPECT_TRUE(book.components.empty());
  EXPECT_EQ(status.responses[1].principal, std::vector<std::string>{"/principals/ann/"});
  EXPECT_EQ(status.responses[1].calendarHome, std::vector<std::string>{"/ann/"});
}

TEST(DavXml, KeepsTheItemTextAndRefusesWhatIsNoMultistatus) {
  const QByteArray reply = "<d:multistatus xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:response>"
                           "<d:href>/c/x.ics</d:href><d:propstat><d:prop><c:calendar-data>\n"
                           "BEGIN:VCALENDAR\r\nSUMMARY:Tom &amp; Ann\r\nEND:VCALENDAR\r\n"
                           "</c:calendar-data></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat>"
                           "</d:response></d:multistatus>";
  const MultiStatus status = ParseMultiStatus(reply);
  ASSERT_EQ(status.responses.size(), 1u);
  // XML itself turns CR LF into LF; the item readers take either.
  EXPECT_EQ(status.responses[0].data, "BEGIN:VCALENDAR\nSUMMARY:Tom & Ann\nEND:VCALENDAR\n");

  EXPECT_NE(ParseMultiStatus("<html>Login</html>").error, "");
  EXPECT_NE(ParseMultiStatus("<d:multistatus xmlns:d=\"DAV:\"><d:response>").error, "");
  EXPECT_EQ(StatusCode("HTTP/1.1 412 Precondition Failed"), 412);
  EXPECT_EQ(StatusCode("garbage"), 0);
}

TEST(ItemHash, IgnoresWhatServersRewriteButNotWhatThePersonChanged) {
  const std::string item =
      "BEGIN:VEVENT\r\nUID:1\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:Lunch with the whole te\r\n am\r\nEND:VEVENT\r\n";
  // Refolded, reordered, new DTSTAMP and LAST-MODIFIED, LF line ends.
  const std::string rewritten =
      "BEGIN:VEVENT\nSUMMARY:Lunch with the whole team\nUID:1\nDTSTAMP:20270303T101010Z\n"
      "LAST-MODIFIED:20270303T101010Z\nEND:VEVENT\n";
  EXPECT_EQ(ItemHash(item), ItemHash(rewritten));
  EXPECT_NE(ItemHash(item), ItemHash("BEGIN:VEVENT\r\nUID:1\r\nSUMMARY:Lunch\r\nEND:VEVENT\r\n"));
  EXPECT_EQ(ItemHash("BEGIN:VCARD\r\nFN:Ann\r\nREV:2026\r\nEND:VCARD\r\n"),
            ItemHash("BEGIN:VCARD\r\nFN:Ann\r\nREV:2027\r\nEND:VCARD\r\n"));
}

// Hashes are stored with every synced item: a hash that came out different
// for the same text would make every item look changed after an update.
TEST(ItemHash, GivesTheHashesStoredByEarlierSyncs) {
  const std::string folded =
      "\xEF\xBB\xBF" "BEGIN:VEVENT\r\nUID:a-1\r\ndtstamp:20260101T000000Z\r\nSUMMARY:A long summary that is \r\n"
      "\tfolded twice over thr\r\n ee lines  \r\n\r\nitem1.REV:1\r\nX-ODD;P=\"a:b\":v\t\r\nEND:VEVENT\r\n";
  const std::string crOnly = "BEGIN:VCARD\rVERSION:3.0\rFN:Ann\rN:;Ann;;;\r\rEND:VCARD";
  const std::string quotedPrintable =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nNOTE;ENCODING=QUOTED-PRINTABLE:line one=0D=0A=\r\nline two=\r\n\r\nEND:VCARD\r\n";
  const std::string notUtf8 = "BEGIN:VCARD\r\nFN:Ren\xE9\r\nEND:VCARD\r\n";
  const std::string latin1 = "BEGIN:VCARD\r\nFN;CHARSET=ISO-8859-1:Ren\xE9\r\nEND:VCARD\r\n";
  // LF alone with an "=" inside a line (no soft break), and both line ends mixed around a fold.
  const std::string lfOnly = "BEGIN:VCARD\nFN:Zo\xC3\xAB\nNOTE:a=b\nEND:VCARD\n";
  const std::string mixed = "BEGIN:VTODO\r\nUID:t\nSUMMARY:mixed\r\n  ends\nEND:VTODO";
  for (const auto& [text, hash] : std::vector<std::pair<std::string, std::string>>{
           {folded, "363be89a0fe34999e558b052a1356082dacb1c7d"},
           {crOnly, "b44d954c9b1b0c96696483e7c5dc4839bc19513e"},
           {quotedPrintable, "b7014ef5e8c66e3001ab7a52be209dd5c1614fd7"},
           {notUtf8, "b458be0020c9ed65699e422b4f636d07837951ad"},
           {latin1, "3d06c1401b5e9a8826f9bdead7c8c418ca198a71"},
           {lfOnly, "00001a8d531138b5101f5959260c1c36674f396f"},
           {mixed, "08fe65d16df2f496f9a7d28f5a2517dcab184ac4"},
           {"", "adc83b19e793491b1c6ea0fd8b46cd9f32e592fc"},
           {" \r\n", "c8e6f04f9f44a4d08986ff5dd3817a689d3ebc5d"},
           {"FN:Ann \t", "999be80ddc83b5e7eaf5ac6facd1ccb1cfce3741"}}) {
    EXPECT_EQ(ItemHash(text), hash);
  }
}

TEST(DavClient, PlainHttpOnlyForThisComputer) {
  EXPECT_EQ(DavClient::RefusalOf(QUrl("https://dav.example.org/")), "");
  EXPECT_EQ(DavClient::RefusalOf(QUrl("http://127.0.0.1:5232/")), "");
  EXPECT_EQ(DavClient::RefusalOf(QUrl("http://127.8.9.10/")), "");
  EXPECT_EQ(DavClient::RefusalOf(QUrl("http://[::1]:8000/")), "");
  EXPECT_EQ(DavClient::RefusalOf(QUrl("http://localhost/")), "");
  EXPECT_NE(DavClient::RefusalOf(QUrl("http://dav.example.org/")), "");
  EXPECT_NE(DavClient::RefusalOf(QUrl("http://192.168.1.2/")), "");
  EXPECT_NE(DavClient::RefusalOf(QUrl("ftp://127.0.0.1/")), "");
}

TEST(Discovery, ABareDomainMeansItsHttpsRoot) {
  EXPECT_EQ(ServerUrl("dav.example.org").toString(), "https://dav.example.org/");
  EXPECT_EQ(ServerUrl(" https://dav.example.org/remote.php/dav ").toString(),
            "https://dav.example.org/remote.php/dav");
}

}  // namespace
