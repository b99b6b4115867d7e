#include <gtest/gtest.h>

#include <string>

#include "interop/ContactMapping.h"
#include "interop/InteropError.h"
#include "interop/VCard.h"

using namespace Interop;

namespace {

InteropItem OnlyContact(const std::string& text) {
  const std::vector<VCard> cards = ReadVCards(text);
  EXPECT_EQ(cards.size(), 1u);
  return cards.empty() ? InteropItem{} : ContactFromCard(cards.front());
}

int ErrorLine(const std::string& text, std::string* reason = nullptr) {
  try {
    ReadVCards(text);
  } catch (const InteropError& e) {
    if (reason) *reason = e.what();
    return e.Line();
  }
  return -1;
}

}  // namespace

TEST(VCardTest, Version21QuotedPrintableCharsetAndBareTypes) {
  // A soft line break ("=" at the end) inside a UTF-8 sequence, a Latin-1 value, bare TYPE words.
  const InteropItem item = OnlyContact(
      "BEGIN:VCARD\r\nVERSION:2.1\r\n"
      "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BC=\r\nller;J=C3=\r\n=BCrgen;;;\r\n"
      "NOTE;CHARSET=ISO-8859-1:Gr\xFC\xDF" "e\r\n"
      "TEL;WORK;VOICE:+49 30 1234\r\n"
      "EMAIL;INTERNET;PREF:j@example.org\r\n"
      "END:VCARD\r\n");
  EXPECT_EQ(item.contact.lname, "M\xC3\xBCller");
  EXPECT_EQ(item.contact.fname, "J\xC3\xBCrgen");
  EXPECT_EQ(item.contact.note, "Gr\xC3\xBC\xC3\x9F" "e");
  EXPECT_EQ(item.contact.phone, "+49 30 1234 (work,voice)");
  EXPECT_EQ(item.contact.email, "j@example.org");
}

TEST(VCardTest, Version3FoldingInsideACharacterEscapesGroupsAndSeveralCards) {
  const std::string text =
      "BEGIN:VCARD\nVERSION:3.0\nN:Doe;Jane;Q;Dr.;\nFN:Dr. Jane Q. Doe\n"
      // "ü" (C3 BC) folded between its two bytes.
      "NOTE:first\\nsecond\\, with comma\\; and semicolon \xC3\n \xBC\n"
      "item1.ADR;TYPE=home:;;1 Main St\\nFloor 2;Springfield;IL;62701;USA\nitem1.X-ABLabel:Home\n"
      "CATEGORIES:Friends,Work\nUID:abc-1\nEND:VCARD\n"
      "BEGIN:VCARD\nVERSION:4.0\nFN:Only Formatted\nTEL;VALUE=uri;TYPE=\"cell,voice\":tel:+1-555\nEND:VCARD\n";
  const std::vector<VCard> cards = ReadVCards(text);
  ASSERT_EQ(cards.size(), 2u);
  EXPECT_EQ(cards[0].line, 1);
  EXPECT_EQ(cards[1].line, 12);
  const InteropItem first = ContactFromCard(cards[0]);
  EXPECT_EQ(first.contact.lname, "Doe");
  EXPECT_EQ(first.contact.fname, "Jane");
  EXPECT_EQ(first.contact.mname, "Q");
  EXPECT_EQ(first.contact.disp_info, "Dr. Jane Q. Doe") << "FN says more than the names";
  EXPECT_EQ(first.contact.note, "first\nsecond, with comma; and semicolon \xC3\xBC");
  EXPECT_EQ(first.contact.address, "1 Main St Floor 2, Springfield, IL, 62701, USA");
  EXPECT_EQ(first.categories, (std::vector<std::string>{"Friends", "Work"}));
  EXPECT_EQ(first.uid, "abc-1");
  EXPECT_EQ(cards[0].properties[3].group, "item1");

  const InteropItem second = ContactFromCard(cards[1]);
  EXPECT_EQ(second.contact.fname, "Only Formatted") << "a card without N is named by FN";
  EXPECT_EQ(second.contact.phone, "tel:+1-555 (cell,voice)");
  EXPECT_EQ(second.uid.rfind("orvale-", 0), 0u) << "a card without UID is known by its text";
  EXPECT_EQ(ContactFromCard(ReadVCards(text)[1]).uid, second.uid) << "the same text, the same identity";
}

TEST(VCardTest, CaretEncodedParameterValues) {
  const std::vector<VCard> cards =
      ReadVCards("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:x\r\nADR;LABEL=\"a^nb^'c^^\":;;s;;;;\r\nEND:VCARD\r\n");
  ASSERT_EQ(cards.size(), 1u);
  const VCardProperty::Param* label = cards[0].properties[1].FindParam("LABEL");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->values, std::vector<std::string>{"a\nb\"c^"});
}

TEST(VCardTest, WrittenLinesAreFoldedAt75BytesNeverInsideACharacter) {
  VCardProperty note;
  note.name = "NOTE";
  std::string text;
  for (int i = 0; i < 60; ++i) text += "\xE2\x82\xAC";  // euro signs, three bytes each
  note.value = EscapeValue(text);
  const std::string card = WriteVCard({note});
  size_t start = 0;
  while (start < card.size()) {
    const size_t end = card.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    EXPECT_LE(end - start, 75u);
    if (end < card.size() - 2) {
      const auto next = static_cast<unsigned char>(card[end + 3]);
      if (card[end + 2] == ' ') {
        EXPECT_NE(next & 0xC0, 0x80) << "a continuation starts a character";
      }
    }
    start = end + 2;
  }
  const std::vector<VCard> back = ReadVCards(card);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].version, "3.0");
  EXPECT_EQ(UnescapeValue(back[0].properties[0].value), text);
}

TEST(VCardTest, EscapingRoundTrips) {
  const std::string text = "a,b;c\\d\ne";
  EXPECT_EQ(EscapeValue(text), "a\\,b\\;c\\\\d\\ne");
  EXPECT_EQ(UnescapeValue(EscapeValue(text)), text);
  EXPECT_EQ(SplitValue("x\\;y;z;", ';'), (std::vector<std::string>{"x;y", "z", ""}));
}

TEST(VCardTest, BadFilesNameTheLineAndWhy) {
  std::string why;
  EXPECT_EQ(ErrorLine("", &why), 0);
  EXPECT_EQ(why, "the file is empty");
  EXPECT_EQ(ErrorLine("Name,Phone\r\nJo,123\r\n", &why), 1);
  EXPECT_NE(why.find("not a vCard file"), std::string::npos) << why;
  EXPECT_EQ(ErrorLine("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:a\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:b\r\n", &why), 5);
  EXPECT_NE(why.find("cut off"), std::string::npos) << why;
  EXPECT_EQ(ErrorLine("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\xC3\x28\r\nEND:VCARD\r\n", &why), 3);
  EXPECT_EQ(why, "the text is not valid UTF-8");
  EXPECT_EQ(ErrorLine("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\xED\xA0\x80\r\nEND:VCARD\r\n"), 3) << "a surrogate";
  EXPECT_EQ(ErrorLine("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:\xC0\xAF\r\nEND:VCARD\r\n"), 3) << "an overlong form";
  EXPECT_EQ(ErrorLine("BEGIN:VCARD\r\nFN:a\r\nEND:VCARD\r\n", &why), 1);
  EXPECT_EQ(why, "a vCard without a VERSION");
  EXPECT_EQ(ErrorLine("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:a\r\nEND:VCALENDAR\r\n"), 4);
}

TEST(VCardTest, AHugePhotoIsRefusedWithItsSize) {
  std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:a\r\nPHOTO;ENCODING=b;TYPE=JPEG:";
  for (int i = 0; i < 40000; ++i) card += std::string(74, 'A') + "\r\n ";
  card += "AA\r\nTEL:1\r\nEND:VCARD\r\n";
  std::string why;
  EXPECT_EQ(ErrorLine(card, &why), 4);
  EXPECT_NE(why.find("2.8 MB"), std::string::npos) << why;
}

TEST(VCardTest, ChangedFieldsAreWrittenOverTheKeptCard) {
  const std::string kept =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Doe;Jane;;;\r\nFN:Jane Doe\r\nORG:Acme\r\nTEL;TYPE=cell:111\r\n"
      "X-CUSTOM;X-P=1:keep me\r\nEND:VCARD\r\n";
  InteropItem item = ContactFromCard(ReadVCards(kept).front());
  item.contact.cat_id = 4;
  const RecordFields before = FieldsOf(item.contact);
  item.contact.phone = "222 (work)";
  const std::string written = CardForContact(item.contact, "Family", item.uid, kept, before);
  const VCard card = ReadVCards(written).front();
  EXPECT_EQ(card.version, "3.0");
  ASSERT_NE(card.Find("TEL"), nullptr);
  EXPECT_EQ(card.Find("TEL")->value, "222");
  EXPECT_EQ(card.Find("TEL")->Types(), std::vector<std::string>{"work"});
  ASSERT_NE(card.Find("X-CUSTOM"), nullptr);
  EXPECT_EQ(card.Find("X-CUSTOM")->value, "keep me");
  EXPECT_EQ(card.Find("X-CUSTOM")->FindParam("X-P")->values, std::vector<std::string>{"1"});
  ASSERT_NE(card.Find("ORG"), nullptr);
  EXPECT_EQ(card.Find("CATEGORIES"), nullptr) << "the category did not change";
  ASSERT_NE(card.Find("UID"), nullptr);
  EXPECT_EQ(card.Find("UID")->value, item.uid);
}
