#include <gtest/gtest.h>

#include <vector>

#include "OrganizerTest.h"
#include "app/AppBase.h"
#include "db/DBL.h"
#include "settings/UTSettings.h"

using namespace DBL;

namespace {

class SettingsTest : public OrganizerTest {
 protected:
  UTSettings& Settings() { return GetApp().GetSettings(); }

  MemResultSet Rows() { return ExecuteQuery("select * from settings"); }

  // Every value given a distinct number so that a swapped column shows.
  void FillDistinct() {
    UTSettings& s = Settings();
    s.SetPasswordProtect(1);
    s.SetPassword("pw");
    s.SetMinStartup(1);
    s.SetStayOnTop(1);
    s.SetTransparent(0);
    s.SetClrBackground(101);
    s.SetClrText(102);
    s.SetClrBorder(103);
    s.SetClrHighlight(104);
    s.SetClrLoPrior(105);
    s.SetClrMedPrior(106);
    s.SetClrHiPrior(107);
    s.SetInstallId(123456);
    s.SetNoteSort(2);
    s.SetTaskSort(3);
    s.SetContactSort(1);
  }
};

}  // namespace

TEST_F(SettingsTest, ANewObjectHoldsZerosAndLoadReadsTheRow) {
  UTSettings& s = Settings();
  EXPECT_EQ(s.GetClrBackground(), 0);
  EXPECT_EQ(s.GetPassword(), "");
  s.Load();
  EXPECT_EQ(s.GetClrBackground(), 15660278);
  EXPECT_EQ(s.GetClrText(), 2696481);
  EXPECT_EQ(s.GetInstallId(), 0);
}

TEST_F(SettingsTest, SaveAndLoadKeepEveryValueInItsOwnColumn) {
  FillDistinct();
  ASSERT_EQ(Settings().Save(), 0);
  MemResultSet row = Rows();
  ASSERT_TRUE(row.Next());
  EXPECT_EQ(row.GetInt("clr_border"), 103);
  EXPECT_EQ(row.GetInt("clr_highlight"), 104);
  EXPECT_EQ(row.GetInt("install_id"), 123456);
  EXPECT_EQ(row.GetInt("contact_sort"), 1);

  // Reload into a cleared object: everything comes back where it was.
  UTSettings& s = Settings();
  s.SetClrBorder(0);
  s.SetClrHighlight(0);
  s.SetClrHiPrior(0);
  s.SetInstallId(0);
  s.SetNoteSort(0);
  s.SetPassword("");
  s.Load();
  EXPECT_EQ(s.GetClrBackground(), 101);
  EXPECT_EQ(s.GetClrText(), 102);
  EXPECT_EQ(s.GetClrBorder(), 103);
  EXPECT_EQ(s.GetClrHighlight(), 104);
  EXPECT_EQ(s.GetClrLoPrior(), 105);
  EXPECT_EQ(s.GetClrMedPrior(), 106);
  EXPECT_EQ(s.GetClrHiPrior(), 107);
  EXPECT_EQ(s.GetInstallId(), 123456);
  EXPECT_EQ(s.GetNoteSort(), 2);
  EXPECT_EQ(s.GetTaskSort(), 3);
  EXPECT_EQ(s.GetContactSort(), 1);
  EXPECT_EQ(s.GetPasswordProtect(), 1);
  EXPECT_EQ(s.GetPassword(), "pw");
}

TEST_F(SettingsTest, EmptyTableKeepsValuesThenInsertLeavesContactSortToTheDefault) {
  ASSERT_EQ(ExecuteDelete("delete from settings"), 0);
  FillDistinct();
  Settings().Load();
  EXPECT_EQ(Settings().GetClrBackground(), 101) << "nothing to load, nothing changes";

  ASSERT_EQ(Settings().Save(), 0);
  MemResultSet row = Rows();
  ASSERT_TRUE(row.Next());
  EXPECT_EQ(row.GetInt("task_sort"), 3);
  EXPECT_EQ(row.GetInt("contact_sort"), 0) << "the insert does not name contact_sort";
  EXPECT_FALSE(row.Next());

  ASSERT_EQ(Settings().Save(), 0);
  row = Rows();
  ASSERT_TRUE(row.Next());
  EXPECT_EQ(row.GetInt("contact_sort"), 1) << "the second save updates the row";
  EXPECT_FALSE(row.Next());
}

TEST_F(SettingsTest, WithTwoRowsTheFirstIsLoadedAndBothAreWritten) {
  ASSERT_GT(ExecuteInsert("insert into settings (clr_background) values (77)"), 0);
  Settings().Load();
  EXPECT_EQ(Settings().GetClrBackground(), 15660278);
  Settings().SetClrBackground(55);
  ASSERT_EQ(Settings().Save(), 0);
  MemResultSet rows = Rows();
  int count = 0;
  while (rows.Next()) {
    EXPECT_EQ(rows.GetInt("clr_background"), 55);
    ++count;
  }
  EXPECT_EQ(count, 2);
}

TEST_F(SettingsTest, PasswordsWithQuotesAreStoredEncodedAndComeBackUnchanged) {
  Settings().SetPassword("it's \"secret\"");
  ASSERT_EQ(Settings().Save(), 0);
  MemResultSet raw = ExecuteQuery("select password || '' as p, length(password) as n from settings");
  ASSERT_TRUE(raw.Next());
  EXPECT_EQ(raw.GetInt("n"), static_cast<int>(EncodeText("it's \"secret\"").size()));
  Settings().SetPassword("");
  Settings().Load();
  EXPECT_EQ(Settings().GetPassword(), "it's \"secret\"");
}

TEST_F(SettingsTest, AFailedSaveIsReported) {
  ASSERT_EQ(ExecuteUpdate("update settings set clr_text = 1"), 0);
  // A trigger stands in for any write that fails (a full disk, a read-only file).
  ASSERT_GT(ExecuteInsert("insert into category (type_id, name) values (0, 'x'); create trigger no_update "
                          "before update on settings begin select raise(abort, 'refused'); end"),
            0);
  Settings().SetClrText(2);
  EXPECT_NE(Settings().Save(), 0);
}

TEST_F(SettingsTest, ASecondSettingsObjectIsAnnouncedAndStillWorks) {
  EXPECT_EQ(UTSettings::LiveObjects(), 1);
  {
    UTSettings second;
    EXPECT_EQ(UTSettings::LiveObjects(), 2);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0].first, "Multiple settings objects.");
    EXPECT_EQ(m_messages[0].second, 2);
    second.Load();
    EXPECT_EQ(second.GetClrText(), 2696481);
  }
  EXPECT_EQ(UTSettings::LiveObjects(), 1);
}

TEST_F(SettingsTest, RestoringTheColoursGivesThoseOfANewDatabaseAndTouchesNothingElse) {
  UTSettings& s = Settings();
  s.Load();
  const auto colours = [&s] {
    return std::vector<int>{s.GetClrBackground(), s.GetClrText(),      s.GetClrBorder(), s.GetClrHighlight(),
                            s.GetClrLoPrior(),    s.GetClrMedPrior(), s.GetClrHiPrior()};
  };
  const std::vector<int> fresh = colours();
  s.SetClrBackground(1);
  s.SetClrText(2);
  s.SetClrBorder(3);
  s.SetClrHighlight(4);
  s.SetClrLoPrior(5);
  s.SetClrMedPrior(6);
  s.SetClrHiPrior(7);
  s.SetStayOnTop(1);
  s.RestoreDefaultColors();
  EXPECT_EQ(colours(), fresh);
  EXPECT_EQ(s.GetClrText(), 2696481);
  EXPECT_EQ(s.GetStayOnTop(), 1) << "only the colours";
}
