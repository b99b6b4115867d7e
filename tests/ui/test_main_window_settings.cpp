// The main window's Settings command: the dialog runs owned by the window, and
// after Save the window and its pages show the new colours and stay-on-top.
#include <QColorDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "ModalAnswers.h"
#include "UiTest.h"
#include "app/Message.h"
#include "db/DBL.h"
#include "records/Tasks.h"
#include "settings/DlgAppSettings.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorHeaderCtrl.h"
#include "ui/CColorListCtrl.h"
#include "ui/CColorStatic.h"
#include "ui/CMyMonthCalCtrl.h"
#include "ui/CMyTabCtrl.h"
#include "ui/ColorRef.h"
#include "views/DlgImpDates.h"
#include "views/DlgOrganizer.h"

namespace {

constexpr int kDarkBackground = 0x201810;
constexpr int kLightText = 0xF0F4F8;
constexpr int kHighlight = 0x804020;
constexpr int kHighPriority = 0x000080;

int StoredSetting(const char* column) {
  DBL::MemResultSet rs = DBL::ExecuteQuery(std::string("select ") + column + " from settings");
  return rs.Next() ? rs.GetInt(column) : -999;
}

class MainWindowSettingsTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    SetMessageHook([this](const std::string& text, int) {
      m_messages.push_back(text);
      return 1;
    });
    ASSERT_EQ(DBL::ExecuteUpdate("update settings set install_id = '777777'"), 0);  // not a first start
    Settings().Load();
    TaskRecord task;
    task.name = "Pay rent";
    task.category_id = 1;
    task.priority_id = 1;
    ASSERT_GT(InsertTask(task), 0);
    m_window = std::make_unique<DlgOrganizer>();
  }

  void TearDown() override {
    m_window.reset();
    SetMessageHook(nullptr);
    UiTest::TearDown();
  }

  void Show() {
    m_window->show();
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    QCoreApplication::processEvents();
  }

  CButtonST* Button(int id) const { return qobject_cast<CButtonST*>(m_window->GetDlgItem(id)); }
  // The window's focus child, which takes the keyboard focus whenever the
  // window is active: the tab control or the list it hands the focus on to.
  bool FocusIsOnTheTabs() const {
    QWidget* focus = m_window->focusWidget();
    return focus == m_window->GetTabCtrl() || focus == TaskList();
  }

  CColorListCtrl* TaskList() const { return m_window->GetTabCtrl()->GetView(0)->findChild<CColorListCtrl*>(); }

  // Queues the answers of the settings dialog; the action must close it.
  static void AnswerSettings(const std::function<void(DlgAppSettings&)>& action) {
    AnswerModal<DlgAppSettings>([action](DlgAppSettings& dialog) {
      EXPECT_NE(dialog.parentWidget(), nullptr) << "owned by the main window, so it cannot fall behind it";
      action(dialog);
    });
  }

  static void Pick(DlgAppSettings& dialog, int buttonId, int colorRef) {
    AnswerModal<QColorDialog>([colorRef](QColorDialog& picker) {
      picker.setCurrentColor(ColorFromRef(colorRef));
      picker.accept();
    });
    QTest::mouseClick(dialog.GetDlgItem(buttonId), Qt::LeftButton);
  }

  static void Click(DlgAppSettings& dialog, int id) { QTest::mouseClick(dialog.GetDlgItem(id), Qt::LeftButton); }

  std::unique_ptr<DlgOrganizer> m_window;
  std::vector<std::string> m_messages;
};

QColor PixelOf(QWidget* widget, QPoint at) { return widget->grab().toImage().pixelColor(at); }

}  // namespace

TEST_F(MainWindowSettingsTest, SavedColoursShowAtOnceInTheWindowTabsListsAndPages) {
  Show();
  AnswerSettings([](DlgAppSettings& dialog) {
    Pick(dialog, DlgAppSettings::kIdBackground, kDarkBackground);
    Pick(dialog, DlgAppSettings::kIdText, kLightText);
    Pick(dialog, DlgAppSettings::kIdHighlight, kHighlight);
    Pick(dialog, DlgAppSettings::kIdHiPrior, kHighPriority);
    Click(dialog, DlgBase::kIdOk);
  });
  QTest::mouseClick(Button(DlgOrganizer::kIdSettings), Qt::LeftButton);
  ASSERT_EQ(Settings().GetClrBackground(), kDarkBackground) << "the dialog was not answered";
  EXPECT_EQ(StoredSetting("clr_background"), kDarkBackground);
  EXPECT_EQ(StoredSetting("clr_text"), kLightText);

  // The tasks page: rows, their priority cells, the selected row and the header.
  CColorListCtrl* list = TaskList();
  ASSERT_EQ(list->GetItemCount(), 1);
  EXPECT_EQ(list->GetCellLook(0, 0, false).textColor, kLightText);
  EXPECT_EQ(list->GetCellLook(0, 0, false).bkColor, kDarkBackground);
  EXPECT_EQ(list->GetCellLook(0, 1, false).bkColor, kHighPriority);
  EXPECT_EQ(list->GetCellLook(0, 0, true).bkColor, kHighlight);
  EXPECT_EQ(list->GetCellLook(0, 0, true).textColor, kLightText);
  EXPECT_EQ(PixelOf(list->GetHeaderCtrl()->viewport(), QPoint(0, 0)), ColorFromRef(kHighlight)) << "header frame";

  // The window's own controls.
  EXPECT_EQ(PixelOf(m_window->GetTabCtrl(), QPoint(1, 1)), ColorFromRef(kDarkBackground)) << "tab background";
  auto* sortLabel = qobject_cast<CColorStatic*>(m_window->GetDlgItem(DlgOrganizer::kIdSortLabel));
  EXPECT_EQ(sortLabel->GetBackColor(), kDarkBackground);
  EXPECT_EQ(sortLabel->GetForeColor(), kLightText);
  auto* sort = qobject_cast<CAutoCombo*>(m_window->GetDlgItem(DlgOrganizer::kIdSort));
  EXPECT_EQ(sort->lineEdit()->palette().color(QPalette::Text), ColorFromRef(kLightText));
  EXPECT_EQ(sort->ItemColor(CAutoCombo::kColorSelectedBackground), ColorFromRef(kHighlight));
  EXPECT_EQ(Button(DlgOrganizer::kIdClose)->GetStateColor(CButtonST::kColorFgOut), kLightText);
  EXPECT_EQ(PixelOf(m_window.get(), QPoint(m_window->width() / 2, m_window->height() - 8)),
            ColorFromRef(kDarkBackground));

  // A page not in sight: its calendar and its check box.
  auto* dates = qobject_cast<DlgImpDates*>(m_window->GetTabCtrl()->GetView(2));
  EXPECT_EQ(dates->findChild<CMyMonthCalCtrl*>()->palette().color(QPalette::Window), ColorFromRef(kDarkBackground));
  EXPECT_EQ(qobject_cast<CButtonST*>(dates->GetDlgItem(DlgImpDates::kIdAllEvents))->GetStateColor(CButtonST::kColorFgOut),
            kLightText);
  EXPECT_EQ(dates->palette().color(QPalette::Window), ColorFromRef(kDarkBackground));

  EXPECT_EQ(m_messages.back(), "You may need to restart Orvale Organizer for some changes to take effect.");
  EXPECT_TRUE(FocusIsOnTheTabs()) << "not left on the Settings button";
}

TEST_F(MainWindowSettingsTest, CancelChangesNothingOnScreenAndTheNextSortChangeStoresTheChanges) {
  Show();
  const int textBefore = Settings().GetClrText();
  AnswerSettings([](DlgAppSettings& dialog) {
    Click(dialog, DlgAppSettings::kIdAutostart);
    Pick(dialog, DlgAppSettings::kIdText, 0x0000C0);
    Click(dialog, DlgBase::kIdCancel);
  });
  QTest::mouseClick(Button(DlgOrganizer::kIdSettings), Qt::LeftButton);
  EXPECT_EQ(Settings().GetAutostart(), 1);
  EXPECT_EQ(StoredSetting("autostart"), 0);
  EXPECT_EQ(TaskList()->GetCellLook(0, 0, false).textColor, textBefore) << "no repaint after Cancel";
  EXPECT_TRUE(FocusIsOnTheTabs());

  qobject_cast<CAutoCombo*>(m_window->GetDlgItem(DlgOrganizer::kIdSort))->SelectItem(1);
  QCoreApplication::processEvents();
  EXPECT_EQ(StoredSetting("autostart"), 1);
  EXPECT_EQ(StoredSetting("clr_text"), 0x0000C0);
}

// Changing the window's flags the usual way hides it for a moment, which ends
// the modal loop the program runs in; so the window is run as the program runs it.
TEST_F(MainWindowSettingsTest, StayOnTopTurnsOnAndOffWithoutEndingTheProgramAndRecentres) {
  std::vector<bool> onTop;
  std::vector<bool> visible;
  bool centred = false;
  const auto toggleStayOnTop = [] {
    AnswerSettings([](DlgAppSettings& dialog) {
      Click(dialog, DlgAppSettings::kIdStayOnTop);
      Click(dialog, DlgBase::kIdOk);
    });
  };
  // The main window runs the program's loop without being modal.
  QTimer::singleShot(0, [&, &window = *m_window] {
    window.move(0, 0);
    toggleStayOnTop();
    QTest::mouseClick(Button(DlgOrganizer::kIdSettings), Qt::LeftButton);
    onTop.push_back(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    centred = (window.geometry().center() - centre).manhattanLength() <= 2;
    // Back in the window's own loop before the second change.
    QTimer::singleShot(0, [&] {
      visible.push_back(window.isVisible());
      toggleStayOnTop();
      QTest::mouseClick(Button(DlgOrganizer::kIdSettings), Qt::LeftButton);
      onTop.push_back(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
      QTimer::singleShot(0, [&] {
        visible.push_back(window.isVisible());
        QTest::mouseClick(Button(DlgOrganizer::kIdClose), Qt::LeftButton);
      });
    });
  });
  const int result = m_window->DoModal();
  EXPECT_EQ(result, DlgBase::kIdOk) << "ended by the close button";
  EXPECT_EQ(onTop, (std::vector<bool>{true, false}));
  EXPECT_EQ(visible, (std::vector<bool>{true, true})) << "the loop went on after each change";
  EXPECT_TRUE(centred);
  EXPECT_EQ(StoredSetting("stay_on_top"), 0);
}
