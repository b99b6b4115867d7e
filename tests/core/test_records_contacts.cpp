#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordsTest.h"
#include "records/Contacts.h"

namespace {

class ContactTest : public RecordsTest {
 protected:
  static ContactRecord Contact(const std::string& lname, int category = 4) {
    ContactRecord contact;
    contact.cat_id = category;
    contact.lname = lname;
    return contact;
  }

  static std::vector<std::string> ListedNames(int contactSort) {
    GetApp().GetSettings().SetContactSort(contactSort);
    std::vector<std::string> names;
    for (const ContactRecord& contact : ListContacts()) names.push_back(contact.lname);
    return names;
  }
};

}  // namespace

TEST_F(ContactTest, QuotesInEveryTextRoundTrip) {
  ContactRecord contact{-1, 6, "", "Bob's", "\"J\"", "O'Neil", "the \"boss\"", "1 King's Road\nTown",
                        "bob@o'neil.example", "'555'", "says \"hi\""};
  contact.id = InsertContact(contact);
  ASSERT_GT(contact.id, 0);
  EXPECT_EQ(Stored("select lname from contact where id = " + std::to_string(contact.id)), "O#$%g^Neil");
  EXPECT_EQ(LoadContact(contact.id), contact);  // no category name when loaded

  contact.cat_id = 5;
  contact.fname = "Rob's";
  contact.phone = "\"777\"";
  contact.note = "'";
  ASSERT_EQ(UpdateContact(contact), 0);
  EXPECT_EQ(LoadContact(contact.id), contact);
  contact.catname = "Friends";
  EXPECT_EQ(ListContacts(), std::vector<ContactRecord>{contact});

  ASSERT_EQ(DeleteContact(contact.id), 0);
  EXPECT_EQ(LoadContact(contact.id), ContactRecord{});
}

TEST_F(ContactTest, ListFollowsTheSortSetting) {
  ASSERT_GT(InsertContact(Contact("b", 6)), 0);
  ASSERT_GT(InsertContact(Contact("A", 5)), 0);
  ASSERT_GT(InsertContact(Contact("c", 4)), 0);
  EXPECT_EQ(ListedNames(0), (std::vector<std::string>{"A", "b", "c"}));
  // Categories Family (4), Friends (5), Work (6).
  EXPECT_EQ(ListedNames(1), (std::vector<std::string>{"c", "A", "b"}));
  EXPECT_EQ(ListedNames(5).size(), 3u);
}

TEST(ContactListName, NoCommaOrBlankForAnEmptyPart) {
  auto named = [](const std::string& first, const std::string& middle, const std::string& last) {
    ContactRecord contact;
    contact.fname = first;
    contact.mname = middle;
    contact.lname = last;
    return ContactListName(contact);
  };
  EXPECT_EQ(named("Bob", "J", "Smith"), "Smith, Bob");
  EXPECT_EQ(named("Bob", "", ""), "Bob");
  EXPECT_EQ(named("", "J", "Smith"), "Smith");
  EXPECT_EQ(named("", "Jo", ""), "Jo");  // the only part given is shown, not an empty name
  EXPECT_EQ(named("", "", ""), "");
}
