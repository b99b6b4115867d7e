#include <QHeaderView>
#include <QLineEdit>
#include <tuple>

#include "MainWindowTest.h"
#include "db/DBL.h"
#include "db/OleDate.h"
#include "editors/DlgAddContact.h"
#include "editors/DlgAddEditAppt.h"
#include "editors/DlgAddEditNote.h"
#include "records/Contacts.h"
#include "records/Events.h"
#include "records/Notes.h"
#include "ui/CButtonST.h"
#include "ui/CColorListCtrl.h"
#include "ui/CMyMonthCalCtrl.h"
#include "ui/CMyTabCtrl.h"
#include "views/DlgContacts.h"
#include "views/DlgImpDates.h"
#include "views/DlgNotes.h"
#include "views/DlgOrganizer.h"

namespace {

constexpr int kContactsTab = 1;
constexpr int kDatesTab = 2;
constexpr int kNotesTab = 3;

QLineEdit* Line(DlgBase& dialog, int id) { return qobject_cast<QLineEdit*>(dialog.GetDlgItem(id)); }

// The contacts, dates and notes pages, where their editors are opened.
class PagesEditingTest : public MainWindowTest {
 protected:
  DlgRecordView* Page(int tab) {
    CMyTabCtrl* tabs = m_window->GetTabCtrl();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
    QCoreApplication::processEvents();
    return static_cast<DlgRecordView*>(tabs->GetView(tab));
  }

  static QStringList Column(DlgRecordView* page, int column) {
    QStringList texts;
    for (int row = 0; row < page->GetList()->GetItemCount(); ++row) texts << page->GetList()->GetItemText(row, column);
    return texts;
  }

  // A person's double click on a row: a click, then the press that makes it double.
  static void DoubleClickRow(DlgRecordView* page, int row) {
    CColorListCtrl* list = page->GetList();
    const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the edit is posted, not run inside the click";
    QCoreApplication::processEvents();
  }

  // Edit with nothing to edit: the page's notice, no editor.
  void ExpectNothingToEdit(DlgRecordView* page, const std::string& notice) {
    m_messages.clear();
    page->OnEditItem();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], std::make_pair(notice, int(kMessageNotice)));
  }

  template <typename Editor>
  void ExpectChildOfTheWindow(Editor& e, const char* title) {
    EXPECT_EQ(e.parentWidget(), m_window.get());
    EXPECT_EQ(e.windowModality(), Qt::WindowModal) << "reminder pop-ups stay usable meanwhile";
    EXPECT_EQ(e.windowTitle(), title);
  }
};

}  // namespace

TEST_F(PagesEditingTest, ContactsAreAddedAndEditedFromTheirPage) {
  DlgRecordView* page = Page(kContactsTab);
  ExpectNothingToEdit(page, "Please select a Contact to edit!");

  for (const auto& [last, first] : {std::pair{"O'Brien", "Seán"}, {"Berg", "Tomas"}}) {
    WhenModal<DlgAddContact>([this, last = last, first = first](DlgAddContact& e) {
      ExpectChildOfTheWindow(e, "Add Contact");
      Line(e, DlgAddContact::kIdLast)->setText(QString::fromUtf8(last));
      Line(e, DlgAddContact::kIdFirst)->setText(QString::fromUtf8(first));
      Click(e.GetDlgItem(DlgBase::kIdOk));
    });
    page->OnAddItem();
  }
  EXPECT_EQ(Column(page, 0), (QStringList{"Berg, Tomas", QString::fromUtf8("O'Brien, Seán")}));
  EXPECT_EQ(page->GetList()->GetFirstSelectedRow(), 0);
  EXPECT_EQ(m_window->focusWidget(), page->GetList()) << "the focus is back in the list";

  WhenModal<DlgAddContact>([this](DlgAddContact& e) {
    ExpectChildOfTheWindow(e, "Edit Contact");
    EXPECT_EQ(Line(e, DlgAddContact::kIdLast)->text(), "O'Brien");
    Line(e, DlgAddContact::kIdDisplay)->setText("from the harbour");
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  DoubleClickRow(page, 1);
  EXPECT_EQ(Column(page, 2), (QStringList{"", "from the harbour"})) << "refreshed after the edit";
  EXPECT_EQ(ListContacts().size(), 2u) << "changed, not added";
  EXPECT_EQ(m_window->focusWidget(), page->GetList());
}

TEST_F(PagesEditingTest, AnEventIsAddedOnTheCalendarDayAndEditedOnItsOwn) {
  auto* page = static_cast<DlgImpDates*>(Page(kDatesTab));
  ExpectNothingToEdit(page, "Please select an Event to edit!");
  auto* calendar = qobject_cast<CMyMonthCalCtrl*>(page->GetDlgItem(DlgImpDates::kIdCalendar));
  calendar->setSelectedDate(QDate(2027, 3, 15));
  const int day = OleDate::DayNumber(OleDate::FromParts({2027, 3, 15}));
  // The calendar is greyed by "View All Events" but still proposes its day.
  Click(page->GetDlgItem(DlgImpDates::kIdAllEvents));
  ASSERT_FALSE(calendar->isEnabled());

  WhenModal<DlgAddEditAppt>([this](DlgAddEditAppt& e) {
    ExpectChildOfTheWindow(e, ("Schedule Event for " + OleDate::ShortDateText(OleDate::FromParts({2027, 3, 15}))).c_str());
    Line(e, DlgAddEditAppt::kIdName)->setText("Anna's birthday");
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  page->OnAddItem();
  const std::vector<EventRecord> stored = ListEvents(-1);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].event_date, day);
  EXPECT_EQ(Column(page, 1), QStringList{"Anna's birthday"});
  EXPECT_EQ(Column(page, 0), QStringList{"All Day"});
  EXPECT_EQ(m_window->focusWidget(), page->GetList());

  Click(page->GetDlgItem(DlgImpDates::kIdAllEvents));
  calendar->setSelectedDate(QDate(2027, 3, 16));
  EXPECT_EQ(page->GetList()->GetItemCount(), 0) << "another day";
  calendar->setSelectedDate(QDate(2027, 3, 15));
  ASSERT_EQ(page->GetList()->GetItemCount(), 1);

  WhenModal<DlgAddEditAppt>([this](DlgAddEditAppt& e) {
    ExpectChildOfTheWindow(e, ("Edit Event for " + OleDate::ShortDateText(OleDate::FromParts({2027, 3, 15}))).c_str());
    Line(e, DlgAddEditAppt::kIdName)->setText("Anna's 40th birthday");
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  DoubleClickRow(page, 0);
  EXPECT_EQ(Column(page, 1), QStringList{"Anna's 40th birthday"});
  EXPECT_EQ(LoadEvent(stored[0].id).event_date, day) << "the edit kept the event on its day";
}

TEST_F(PagesEditingTest, AllEventsAreDatedAndInDateThenTimeOrder) {
  const int march10 = OleDate::DayNumber(OleDate::FromParts({2030, 3, 10}));
  const int march20 = OleDate::DayNumber(OleDate::FromParts({2030, 3, 20}));
  for (const auto& [title, day, hour] : {std::tuple{"late day, early", march20, 8}, std::tuple{"early day, late", march10, 18},
                                         std::tuple{"early day, early", march10, 9}}) {
    ASSERT_GT(InsertEvent(EventRecord{-1, static_cast<double>(day), 1, hour / 24.0, title, "", 0}), 0);
  }
  auto* page = static_cast<DlgImpDates*>(Page(kDatesTab));
  CColorListCtrl* list = page->GetList();
  constexpr int kDateColumn = 2;
  EXPECT_TRUE(list->isColumnHidden(kDateColumn)) << "one day's events need no date";

  Click(page->GetDlgItem(DlgImpDates::kIdAllEvents));
  EXPECT_FALSE(list->isColumnHidden(kDateColumn));
  EXPECT_EQ(list->header()->visualIndex(kDateColumn), 0) << "the date is read first";
  EXPECT_EQ(list->model()->headerData(kDateColumn, Qt::Horizontal).toString(), QStringLiteral("Date"));
  EXPECT_EQ(Column(page, 1), (QStringList{"early day, early", "early day, late", "late day, early"}));
  const QString tenth = QString::fromStdString(OleDate::ShortDateText(march10));
  EXPECT_EQ(Column(page, kDateColumn), (QStringList{tenth, tenth, QString::fromStdString(OleDate::ShortDateText(march20))}));
  int widths = 0;
  for (int column = 0; column < 3; ++column) widths += list->columnWidth(column);
  EXPECT_LE(widths, list->viewport()->width()) << "the date column fits beside the others";

  Click(page->GetDlgItem(DlgImpDates::kIdAllEvents));
  EXPECT_TRUE(list->isColumnHidden(kDateColumn));
}

TEST_F(PagesEditingTest, NotesAreAddedAndEditedFromTheirPage) {
  DlgRecordView* page = Page(kNotesTab);
  ExpectNothingToEdit(page, "Please select a Note to edit!");
  WhenModal<DlgAddEditNote>([this](DlgAddEditNote& e) {
    ExpectChildOfTheWindow(e, "Add New Note");
    Click(e.GetDlgItem(DlgBase::kIdCancel));
  });
  page->OnAddItem();
  EXPECT_EQ(page->GetList()->GetItemCount(), 0) << "a cancelled note is not written";

  WhenModal<DlgAddEditNote>([](DlgAddEditNote& e) {
    Line(e, DlgAddEditNote::kIdSubject)->setText("Book list");
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  page->OnAddItem();
  EXPECT_EQ(Column(page, 0), QStringList{"Book list"});
  // The day it was stored, which is today unless midnight came in between.
  const double stored = LoadNote(ListNotes().front().id).last_updated;
  EXPECT_EQ(Column(page, 2), QStringList{QString::fromStdString(OleDate::ShortDateText(stored))});

  WhenModal<DlgAddEditNote>([this](DlgAddEditNote& e) {
    ExpectChildOfTheWindow(e, "Edit Note");
    Line(e, DlgAddEditNote::kIdSubject)->setText("Books to read");
    Click(e.GetDlgItem(DlgBase::kIdOk));
  });
  DoubleClickRow(page, 0);
  EXPECT_EQ(Column(page, 0), QStringList{"Books to read"});
  EXPECT_EQ(ListNotes().size(), 1u);
  EXPECT_EQ(m_window->focusWidget(), page->GetList());
}
