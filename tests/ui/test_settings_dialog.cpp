#include <QColorDialog>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "ModalAnswers.h"
#include "UiTest.h"
#include "app/Message.h"
#include "app/Paths.h"
#include "db/DBL.h"
#include "settings/DlgAppSettings.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"
#include "ui/ColorRef.h"

namespace {

int StoredSetting(const char* column) {
  DBL::MemResultSet rs = DBL::ExecuteQuery(std::string("select ") + column + " from settings");
  return rs.Next() ? rs.GetInt(column) : -999;
}

std::string AutostartEntry() {
  std::ifstream in(Paths::ConfigHome() + "/autostart/org.tavrin.OrvaleOrganizer.desktop");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Makes every later write to the settings row fail, as a full disk or a
// read-only file would.
void RefuseSettingsWrites() {
  ASSERT_GT(DBL::ExecuteInsert("insert into category (type_id, name) values (0, 'x'); create trigger no_update "
                               "before update on settings begin select raise(abort, 'refused'); end"),
            0);
}

class SettingsDialogTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetMessageHook([this](const std::string& text, int kind) {
      m_messages.push_back(text);
      m_textColorAtMessage.push_back(Settings().GetClrText());
      EXPECT_EQ(kind, kMessageOkNotice) << text;
      return 1;
    });
  }

  void TearDown() override {
    SetMessageHook(nullptr);
    UiTest::TearDown();
  }

  static CButtonST* Button(DlgAppSettings& dialog, int id) { return qobject_cast<CButtonST*>(dialog.GetDlgItem(id)); }
  static CColorStatic* Swatch(DlgAppSettings& dialog, int id) {
    return qobject_cast<CColorStatic*>(dialog.GetDlgItem(id));
  }

  // Clicks a "Select Color..." button and answers the colour dialog: a colour
  // to take, or none to cancel it. Returns the colour the dialog opened on.
  static QColor PickColor(DlgAppSettings& dialog, int buttonId, std::optional<int> colorRef) {
    QColor opened;
    AnswerModal<QColorDialog>([&opened, colorRef](QColorDialog& picker) {
      opened = picker.currentColor();
      if (colorRef) {
        picker.setCurrentColor(ColorFromRef(*colorRef));
        picker.accept();
      } else {
        picker.reject();
      }
    });
    QTest::mouseClick(Button(dialog, buttonId), Qt::LeftButton);
    return opened;
  }

  // Runs the dialog modally; the action works in it and must close it.
  int RunModal(const std::function<void(DlgAppSettings&)>& action) {
    DlgAppSettings dialog(&Settings());
    AnswerModal<DlgAppSettings>(action);
    return dialog.DoModal();
  }

  std::vector<std::string> m_messages;
  std::vector<int> m_textColorAtMessage;
};

const char kRestartNotice[] = "You may need to restart Orvale Organizer for some changes to take effect.";

}  // namespace

TEST_F(SettingsDialogTest, OpensWithEachSettingOnItsOwnControlAndNamesEveryControl) {
  Settings().SetAutostart(0);
  Settings().SetMinStartup(1);
  Settings().SetStayOnTop(0);
  Settings().SetTransparent(1);
  const std::pair<int, int> swatches[] = {
      {DlgAppSettings::kIdBackgroundSwatch, 0x010101}, {DlgAppSettings::kIdBorderSwatch, 0x020202},
      {DlgAppSettings::kIdTextSwatch, 0x030303},       {DlgAppSettings::kIdHighlightSwatch, 0x040404},
      {DlgAppSettings::kIdHiPriorSwatch, 0x050505},    {DlgAppSettings::kIdMedPriorSwatch, 0x060606},
      {DlgAppSettings::kIdLoPriorSwatch, 0x070707},
  };
  Settings().SetClrBackground(0x010101);
  Settings().SetClrBorder(0x020202);
  Settings().SetClrText(0x030303);
  Settings().SetClrHighlight(0x040404);
  Settings().SetClrHiPrior(0x050505);
  Settings().SetClrMedPrior(0x060606);
  Settings().SetClrLoPrior(0x070707);

  DlgAppSettings dialog(&Settings());
  dialog.Create();
  EXPECT_FALSE(Button(dialog, DlgAppSettings::kIdAutostart)->GetCheckState());
  EXPECT_TRUE(Button(dialog, DlgAppSettings::kIdMinStartup)->GetCheckState());
  EXPECT_FALSE(Button(dialog, DlgAppSettings::kIdStayOnTop)->GetCheckState());
  EXPECT_TRUE(Button(dialog, DlgAppSettings::kIdTransparent)->GetCheckState());
  for (const auto& [id, color] : swatches) EXPECT_EQ(Swatch(dialog, id)->GetBackColor(), color) << id;

  const std::pair<int, const char*> names[] = {
      {DlgAppSettings::kIdAutostart, "Start Orvale Organizer when I log in"},
      {DlgAppSettings::kIdMinStartup, "Start Orvale Organizer in Minimized State"},
      {DlgAppSettings::kIdStayOnTop, "Keep Orvale Organizer on top"},
      {DlgAppSettings::kIdTransparent, "Make Orvale Organizer transparent when idle"},
      {DlgAppSettings::kIdBackground, "Select background color"},
      {DlgAppSettings::kIdBorder, "Select border color"},
      {DlgAppSettings::kIdText, "Select text color"},
      {DlgAppSettings::kIdHighlight, "Select highlight color"},
      {DlgAppSettings::kIdHiPrior, "Select high priority color"},
      {DlgAppSettings::kIdMedPrior, "Select medium priority color"},
      {DlgAppSettings::kIdLoPrior, "Select low priority color"},
      {DlgBase::kIdOk, "Save"},
      {DlgBase::kIdCancel, "Cancel"},
  };
  for (const auto& [id, name] : names) EXPECT_EQ(dialog.GetDlgItem(id)->accessibleName(), name) << id;
  EXPECT_EQ(Button(dialog, DlgAppSettings::kIdAutostart)->text(), "Start Orvale Organizer when I log in");
}

TEST_F(SettingsDialogTest, OptionsAreStoredAtTheClickAndCancelKeepsThemInMemoryOnly) {
  ASSERT_EQ(Settings().GetAutostart(), 0);
  const int result = RunModal([](DlgAppSettings& dialog) {
    for (int id : {DlgAppSettings::kIdAutostart, DlgAppSettings::kIdMinStartup, DlgAppSettings::kIdStayOnTop,
                   DlgAppSettings::kIdTransparent}) {
      QTest::mouseClick(Button(dialog, id), Qt::LeftButton);
    }
    EXPECT_NE(AutostartEntry().find("Hidden=false"), std::string::npos) << "written at the click";
    QTest::mouseClick(Button(dialog, DlgAppSettings::kIdTransparent), Qt::LeftButton);  // and off again
    QTest::mouseClick(Button(dialog, DlgBase::kIdCancel), Qt::LeftButton);
  });
  EXPECT_EQ(result, DlgBase::kIdCancel);
  EXPECT_EQ(Settings().GetAutostart(), 1);
  EXPECT_EQ(Settings().GetMinStartup(), 1);
  EXPECT_EQ(Settings().GetStayOnTop(), 1);
  EXPECT_EQ(Settings().GetTransparent(), 0);
  EXPECT_NE(AutostartEntry().find("Hidden=false"), std::string::npos) << "Cancel undoes nothing";
  EXPECT_EQ(StoredSetting("autostart"), 0) << "nothing saved";
  EXPECT_EQ(StoredSetting("stay_on_top"), 0);
  EXPECT_TRUE(m_messages.empty());
}

TEST_F(SettingsDialogTest, AnAutostartEntryThatCannotBeWrittenIsReported) {
  // A file where the autostart folder should be: no entry can go there.
  std::filesystem::remove_all(Paths::ConfigHome() + "/autostart");
  std::ofstream(Paths::ConfigHome() + "/autostart") << "not a folder";
  RunModal([](DlgAppSettings& dialog) {
    QTest::mouseClick(Button(dialog, DlgAppSettings::kIdAutostart), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, DlgBase::kIdCancel), Qt::LeftButton);
  });
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0],
            "The autostart entry could not be written, so Orvale Organizer will not start when you log in.");
  EXPECT_EQ(Settings().GetAutostart(), 1) << "the choice is kept for the next try";
}

TEST_F(SettingsDialogTest, APickedColourIsStoredAndShownAtOnceAndACancelledPickChangesNothing) {
  const int background = Settings().GetClrBackground();
  const int border = Settings().GetClrBorder();
  RunModal([this, background, border](DlgAppSettings& dialog) {
    const QColor opened = PickColor(dialog, DlgAppSettings::kIdBorder, 0x336699);
    EXPECT_EQ(RefFromColor(opened), border) << "the picker starts on the colour being changed";
    EXPECT_EQ(Settings().GetClrBorder(), 0x336699);
    EXPECT_EQ(Swatch(dialog, DlgAppSettings::kIdBorderSwatch)->GetBackColor(), 0x336699);
    const QImage swatch = Swatch(dialog, DlgAppSettings::kIdBorderSwatch)->grab().toImage();
    EXPECT_EQ(swatch.pixelColor(swatch.rect().center()), ColorFromRef(0x336699)) << "repainted in the new colour";

    const QColor openedAgain = PickColor(dialog, DlgAppSettings::kIdBackground, std::nullopt);
    EXPECT_EQ(RefFromColor(openedAgain), background);
    EXPECT_EQ(Settings().GetClrBackground(), background);
    EXPECT_EQ(Swatch(dialog, DlgAppSettings::kIdBackgroundSwatch)->GetBackColor(), background);
    QTest::mouseClick(Button(dialog, DlgBase::kIdCancel), Qt::LeftButton);
  });
  EXPECT_EQ(Settings().GetClrBorder(), 0x336699);
  EXPECT_NE(StoredSetting("clr_border"), 0x336699);
  EXPECT_TRUE(m_messages.empty()) << "a border colour is never under text";
}

TEST_F(SettingsDialogTest, RestoreDefaultsPutsTheColoursBackForSaveToWrite) {
  const int defaultText = Settings().GetClrText();
  const int defaultBackground = Settings().GetClrBackground();
  RunModal([this](DlgAppSettings& dialog) {
    PickColor(dialog, DlgAppSettings::kIdBackground, 0x202020);
    PickColor(dialog, DlgAppSettings::kIdText, 0xE0E0E0);
    QTest::mouseClick(Button(dialog, DlgAppSettings::kIdRestoreDefaults), Qt::LeftButton);
    EXPECT_EQ(Swatch(dialog, DlgAppSettings::kIdTextSwatch)->GetBackColor(), Settings().GetClrText());
    EXPECT_EQ(Swatch(dialog, DlgAppSettings::kIdBackgroundSwatch)->GetBackColor(), Settings().GetClrBackground());
    QTest::mouseClick(Button(dialog, DlgBase::kIdCancel), Qt::LeftButton);
  });
  EXPECT_EQ(Settings().GetClrText(), defaultText);
  EXPECT_EQ(Settings().GetClrBackground(), defaultBackground);
}

TEST_F(SettingsDialogTest, SaveWritesEverythingAndAlwaysShowsTheRestartNotice) {
  int result = RunModal([](DlgAppSettings& dialog) {
    QTest::mouseClick(Button(dialog, DlgBase::kIdOk), Qt::LeftButton);
  });
  EXPECT_EQ(result, DlgBase::kIdOk);
  EXPECT_EQ(m_messages, std::vector<std::string>{kRestartNotice}) << "also when nothing changed";

  m_messages.clear();
  result = RunModal([](DlgAppSettings& dialog) {
    QTest::mouseClick(Button(dialog, DlgAppSettings::kIdStayOnTop), Qt::LeftButton);
    PickColor(dialog, DlgAppSettings::kIdLoPrior, 0x00FFAA);
    QTest::keyClick(&dialog, Qt::Key_Return);  // Enter saves, as the default button
  });
  EXPECT_EQ(result, DlgBase::kIdOk);
  EXPECT_EQ(m_messages, std::vector<std::string>{kRestartNotice});
  EXPECT_EQ(StoredSetting("stay_on_top"), 1);
  EXPECT_EQ(StoredSetting("clr_lo_prior"), 0x00FFAA);
}

TEST_F(SettingsDialogTest, AFailedSaveIsReportedAndTheDialogStaysOpenWithTheChanges) {
  RefuseSettingsWrites();
  bool stayedOpen = false;
  const int result = RunModal([this, &stayedOpen](DlgAppSettings& dialog) {
    QTest::mouseClick(Button(dialog, DlgAppSettings::kIdMinStartup), Qt::LeftButton);
    QTest::mouseClick(Button(dialog, DlgBase::kIdOk), Qt::LeftButton);
    stayedOpen = dialog.isVisible();
    EXPECT_TRUE(Button(dialog, DlgAppSettings::kIdMinStartup)->GetCheckState());
    QTest::mouseClick(Button(dialog, DlgBase::kIdCancel), Qt::LeftButton);
  });
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(result, DlgBase::kIdCancel) << "never reported as saved";
  EXPECT_EQ(m_messages, std::vector<std::string>{"The settings could not be saved."}) << "and no restart notice";
  EXPECT_EQ(Settings().GetMinStartup(), 1);
  EXPECT_EQ(StoredSetting("min_startup"), 0);
}

TEST_F(SettingsDialogTest, AColourThatLeavesTextUnreadableIsTakenAfterOneWarning) {
  const int oldText = Settings().GetClrText();
  const int background = Settings().GetClrBackground();
  RunModal([&](DlgAppSettings& dialog) {
    PickColor(dialog, DlgAppSettings::kIdText, 0x202020);  // dark on the light default: readable
    EXPECT_TRUE(m_messages.empty());

    PickColor(dialog, DlgAppSettings::kIdText, background);  // the background colour itself
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find("the text color and the background color"), std::string::npos) << m_messages[0];
    EXPECT_NE(m_messages[0].find("1.0 : 1"), std::string::npos) << m_messages[0];
    EXPECT_EQ(m_textColorAtMessage[0], 0x202020) << "warned while the old, readable colours still apply";
    EXPECT_EQ(Settings().GetClrText(), background) << "taken all the same";

    PickColor(dialog, DlgAppSettings::kIdHighlight, background);
    EXPECT_EQ(m_messages.size(), 1u) << "warned once only";
    QTest::mouseClick(Button(dialog, DlgBase::kIdCancel), Qt::LeftButton);
  });
  EXPECT_NE(oldText, background);

  // A background close to the text colour (contrast about 2.6 : 1) is caught too,
  // and so is a priority colour, on which the priority names are written.
  m_messages.clear();
  Settings().SetClrText(0x000000);
  RunModal([&](DlgAppSettings& dialog) {
    PickColor(dialog, DlgAppSettings::kIdHiPrior, 0x505050);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find("the high priority color"), std::string::npos) << m_messages[0];
    EXPECT_EQ(Settings().GetClrHiPrior(), 0x505050);
    QTest::mouseClick(Button(dialog, DlgBase::kIdCancel), Qt::LeftButton);
  });
}
