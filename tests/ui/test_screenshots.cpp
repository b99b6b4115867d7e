// Renders every dialog template, dressed as its dialog will be, into PNG files.
// Not part of the normal run: scripts/screenshots runs it and names the folder.
#include <QAbstractItemView>
#include <QDir>
#include <QPainter>
#include <QPixmap>

#include "ModalAnswers.h"
#include "UiTest.h"
#include "app/Message.h"
#include "settings/DlgAppSettings.h"
#include <QCoreApplication>
#include <QTest>
#include <tuple>

#include "db/OleDate.h"
#include "editors/DlgAddEditTask.h"
#include "editors/DlgMngCategories.h"
#include "records/Categories.h"
#include "records/Contacts.h"
#include "records/Events.h"
#include "records/Notes.h"
#include "records/Tasks.h"
#include "reminders/DlgMissedReminders.h"
#include "reminders/DlgReminder.h"
#include "reminders/DueReminders.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorListCtrl.h"
#include "ui/CColorStatic.h"
#include "ui/DialogTemplate.h"
#include "ui/DlgBase.h"
#include "ui/DlgMessage.h"
#include "ui/CMyTabCtrl.h"
#include "ui/ResourceIcons.h"
#include "views/DlgOrganizer.h"

namespace {

QString ShotsFolder() { return qEnvironmentVariable("ORGANIZER_SHOTS_DIR"); }

bool IsTitle(int templateId, int controlId) {
  if (templateId == 113) return controlId == 1101;
  if (templateId == 134) return controlId == 1096;
  return controlId == 1070;
}

// The fonts, icons and sample contents the program's dialogs give their controls.
void Dress(DlgBase& dialog, const DialogTemplate& dialogTemplate) {
  for (const DialogItem& item : dialogTemplate.items) {
    QWidget* control = dialog.GetDlgItem(item.id);
    if (auto* label = qobject_cast<CColorStatic*>(control)) {
      if (item.kind == DlgItemKind::Swatch) {
        label->SetBackColor(0x3366CC);
        continue;
      }
      label->setFont(IsTitle(dialogTemplate.id, item.id) ? dialog.GetTitleFont() : dialog.GetTextFont());
    } else if (auto* button = qobject_cast<CButtonST*>(control)) {
      button->MakeTransparent();
      if (button->IsCheckBoxMode()) {
        button->LoadButtonIcons(156, 158);
        button->SetCaptionFont(&dialog.GetTextFont());
        button->SetCheckState(item.id % 2 == 0);
      } else if (item.id == 1 || item.id == 2) {
        button->LoadButtonIcons(item.id == 1 ? 151 : 161, 0);
        button->SetCaptionFont(&dialog.GetButtonFont());
      } else {
        button->SetCaptionFont(&dialog.GetButtonFont());
      }
    } else if (auto* combo = qobject_cast<CAutoCombo*>(control)) {
      combo->setFont(dialog.GetTextFont());
      combo->InitAutoCombo(true, 100);
      combo->AddItem(QStringLiteral("Personal\tat home"));
      combo->AddItem(QStringLiteral("Work\tthe office"));
      combo->SelectItem(0);
    }
  }
  if (dialogTemplate.id == 115) dialog.GetDlgItem(1083)->hide();  // shown instead of "All Day Event"
  if (dialogTemplate.id == 116) {
    auto* message = qobject_cast<CColorStatic*>(dialog.GetDlgItem(1081));
    message->setFont(dialog.GetButtonFont());
    message->setText(QStringLiteral("The Task \"Renew the car insurance\" is due at \n\n12/09/2026 09:30 AM"));
  }
  if (dialogTemplate.id == 102) {
    for (auto [id, icon] : {std::pair{1003, 163}, {1037, 166}, {1038, 165}, {1041, 142}, {1042, 140}}) {
      auto* button = qobject_cast<CButtonST*>(dialog.GetDlgItem(id));
      button->setText(QString());
      button->LoadButtonIcons(icon, 0);
    }
    for (int id : {1045, 1048}) {
      qobject_cast<CButtonST*>(dialog.GetDlgItem(id))->SetCaptionFont(&dialog.GetCaptionButtonFont());
    }
  }
}

// A dialog that paints the frame and emblem its window will paint.
class PreviewDialog : public DlgBase {
 public:
  using DlgBase::DlgBase;

 protected:
  void OnPaint(QPainter& painter) override {
    const int id = GetTemplateId();
    if (id == 102) {
      DrawFrame(painter);
    } else if (!FindDialogTemplate(id)->child) {
      DrawEmblem(painter);
      DrawWideFrame(painter);
    }
  }
};

void Save(QWidget& widget, const QString& name) {
  ASSERT_TRUE(widget.grab().save(QDir(ShotsFolder()).filePath(name + QStringLiteral(".png"))));
}

}  // namespace

using Screenshots = UiTest;

TEST_F(Screenshots, DISABLED_EveryTemplate) {
  ASSERT_FALSE(ShotsFolder().isEmpty()) << "set ORGANIZER_SHOTS_DIR";
  QDir().mkpath(ShotsFolder());
  for (const DialogTemplate& dialogTemplate : AllDialogTemplates()) {
    // Dialogs that are rendered as themselves below.
    if (dialogTemplate.id == DlgMessage::kTemplateId || dialogTemplate.id == DlgAppSettings::kTemplateId) continue;
    PreviewDialog dialog(dialogTemplate.id);
    dialog.Create();
    Dress(dialog, dialogTemplate);
    Save(dialog, QStringLiteral("template-%1").arg(dialogTemplate.id));
  }
  const QString longText = QStringLiteral("This Category is assigned to one or more Tasks.  Please delete these Tasks "
                                          "before deleting the Category.");
  const std::pair<int, QString> messages[] = {
      {0, QStringLiteral("Are you sure you want to delete this Task?")},
      {1, QStringLiteral("Please enter a Task name.")},
      {2, QStringLiteral("You cannot delete the last Category")},
      {2, longText},
  };
  int n = 0;
  for (const auto& [kind, text] : messages) {
    DlgMessage message(text, kind);
    message.Create();
    Save(message, QStringLiteral("message-%1-kind%2").arg(++n).arg(kind));
  }
}

// Every icon at the sizes it must stay clean at, one row per icon.
TEST_F(Screenshots, DISABLED_Icons) {
  ASSERT_FALSE(ShotsFolder().isEmpty()) << "set ORGANIZER_SHOTS_DIR";
  const int ids[] = {128, 140, 142, 151, 156, 158, 161, 163, 165, 166};
  const int sizes[] = {16, 24, 32, 48};
  QPixmap sheet(4 * 56, static_cast<int>(std::size(ids)) * 56);
  sheet.fill(QColor(0xF6, 0xF2, 0xEE));
  QPainter painter(&sheet);
  for (size_t row = 0; row < std::size(ids); ++row) {
    for (size_t column = 0; column < std::size(sizes); ++column) {
      const QPixmap icon = ResourceIcon(ids[row]).pixmap(sizes[column]);
      ASSERT_FALSE(icon.isNull()) << ids[row];
      painter.drawPixmap(static_cast<int>(column) * 56 + 4, static_cast<int>(row) * 56 + 4, icon);
    }
  }
  painter.end();
  ASSERT_TRUE(sheet.save(QDir(ShotsFolder()).filePath(QStringLiteral("icons.png"))));
}

// The open list of a two-column pick box, with one row chosen.
TEST_F(Screenshots, DISABLED_OpenPickList) {
  ASSERT_FALSE(ShotsFolder().isEmpty()) << "set ORGANIZER_SHOTS_DIR";
  DlgBase dialog(110);
  dialog.Create();
  auto* combo = qobject_cast<CAutoCombo*>(dialog.GetDlgItem(1007));
  combo->setFont(dialog.GetTextFont());
  combo->InitAutoCombo(true, 100);
  for (const char* item : {"Personal\tat home", "Work\tthe office", "Errands\tin town", "A rather long category\tx"}) {
    combo->AddItem(QString::fromUtf8(item));
  }
  combo->SelectItem(1);
  dialog.show();
  combo->showPopup();
  Save(*combo->view()->window(), QStringLiteral("pick-list"));
  combo->hidePopup();
}

// The reminder pop-ups as the scan opens them, for a task and for an event.
TEST_F(Screenshots, DISABLED_Reminders) {
  ASSERT_FALSE(ShotsFolder().isEmpty()) << "set ORGANIZER_SHOTS_DIR";
  QDir().mkpath(ShotsFolder());
  DlgReminder task(nullptr, kReminderTask, 1, 44, QStringLiteral("Renew the car insurance"),
                   QStringLiteral("12/09/2026 09:30 AM"));
  task.Create();
  Save(task, QStringLiteral("reminder-task"));
  DlgReminder event(nullptr, kReminderEvent, 1, 1500, QStringLiteral("Dentist"), QStringLiteral("12/10/2026 02:00 PM"));
  event.Create();
  Save(event, QStringLiteral("reminder-event"));
  DlgReminder missed(nullptr, kReminderTask, 1, -90, QStringLiteral("Pay rent"), QStringLiteral("12/08/2026 09:00 AM"));
  missed.Create();
  Save(missed, QStringLiteral("reminder-missed"));
  std::vector<DueReminder> many;
  for (int n = 1; n <= 12; ++n) {
    many.push_back(DueReminder{n % 3 ? kReminderTask : kReminderEvent, n, -60 * n, "Item " + std::to_string(n),
                               "12/08/2026 09:00 AM", true});
  }
  DlgMissedReminders summary(many);
  summary.Create();
  Save(summary, QStringLiteral("reminder-missed-summary"));
}

// A dark colour set a user might choose: light text on a dark background.
void UseDarkColors(UTSettings& settings) {
  settings.SetClrBackground(0x30261E);
  settings.SetClrText(0xE8EEF2);
  settings.SetClrBorder(0x7A5A3C);
  settings.SetClrHighlight(0x6E4A2A);
  settings.SetClrHiPrior(0x2A2AA0);
  settings.SetClrMedPrior(0x1E6EA0);
  settings.SetClrLoPrior(0x3C7A3C);
}

// The settings dialog as it opens, in the default colours and in a dark set.
TEST_F(Screenshots, DISABLED_SettingsDialog) {
  ASSERT_FALSE(ShotsFolder().isEmpty()) << "set ORGANIZER_SHOTS_DIR";
  QDir().mkpath(ShotsFolder());
  Settings().SetStayOnTop(1);
  {
    DlgAppSettings dialog(&Settings());
    dialog.Create();
    Save(dialog, QStringLiteral("settings-default"));
  }
  UseDarkColors(Settings());
  DlgAppSettings dialog(&Settings());
  dialog.Create();
  Save(dialog, QStringLiteral("settings-dark"));
}

// The main window after the dark set was saved in the settings dialog it opened.
TEST_F(Screenshots, DISABLED_MainWindowAfterDarkSettings) {
  ASSERT_FALSE(ShotsFolder().isEmpty()) << "set ORGANIZER_SHOTS_DIR";
  QDir().mkpath(ShotsFolder());
  SetMessageHook([](const std::string&, int) { return 1; });
  for (const auto& [name, priority, completed] :
       {std::tuple{"Renew the car insurance", 1, 0}, {"Book the dentist", 2, 0}, {"Water the plants", 3, 1}}) {
    TaskRecord task;
    task.name = name;
    task.priority_id = priority;
    task.category_id = 1;
    const int id = InsertTask(task);
    ASSERT_GT(id, 0);
    if (completed) SetTaskCompleted(id, 1);
  }
  Settings().SetInstallId(12345);  // not a first start: no welcome page
  DlgOrganizer window;
  window.show();
  QCoreApplication::processEvents();
  window.SetLayeredAlpha(255);
  AnswerModal<DlgAppSettings>([this](DlgAppSettings& dialog) {
    UseDarkColors(Settings());  // as the colour dialog would store them
    QTest::mouseClick(dialog.GetDlgItem(DlgBase::kIdOk), Qt::LeftButton);
  });
  QTest::mouseClick(window.GetDlgItem(DlgOrganizer::kIdSettings), Qt::LeftButton);
  QCoreApplication::processEvents();
  Save(window, QStringLiteral("main-after-dark-settings"));
  CMyTabCtrl* tabs = window.GetTabCtrl();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
  QCoreApplication::processEvents();
  Save(window, QStringLiteral("main-after-dark-settings-dates"));
  SetMessageHook(nullptr);
}

// The tasks page's list as the tasks view fills it: priority colours behind
// the priority names, completed tasks struck out in light red, check boxes,
// grid lines and the selected row in the user's colours.
TEST_F(Screenshots, DISABLED_StyledList) {
  ASSERT_FALSE(ShotsFolder().isEmpty()) << "set ORGANIZER_SHOTS_DIR";
  PreviewDialog dialog(106);
  dialog.Create();
  auto* list = qobject_cast<CColorListCtrl*>(dialog.GetDlgItem(1049));
  ASSERT_NE(list, nullptr);
  list->setFont(dialog.GetTextFont());
  list->SetGridLines(true);
  list->SetCheckBoxes(true);
  list->SetSelectedTextColor(Settings().GetClrText());
  const std::pair<const char*, int> columns[] = {{"Task", 260}, {"Priority", 70}, {"Category", 75}, {"Deadline", 155}};
  for (int c = 0; c < 4; ++c) {
    list->InsertColumn(QString::fromUtf8(columns[c].first), c);
    list->setColumnWidth(c, columns[c].second);
  }
  struct Task {
    const char* name;
    int priority;
    const char* category;
    const char* deadline;
    bool completed;
  };
  const Task tasks[] = {
      {"Renew the car insurance", 1, "Personal", "12/09/2026 09:30 AM", false},
      {"Book the dentist", 2, "Personal", "12/10/2026 ", false},
      {"Send the quarterly report to the whole of the finance team", 1, "Work", "", false},
      {"Water the plants", 3, "Home", "", true},
      {"Order printer paper", 3, "Work", "12/14/2026 04:00 PM", false},
      {"Call the plumber", 2, "Home", "", true},
  };
  const char* priorities[] = {"", "High", "Medium", "Low"};
  const int priorityColors[] = {0, Settings().GetClrHiPrior(), Settings().GetClrMedPrior(), Settings().GetClrLoPrior()};
  for (int row = 0; row < static_cast<int>(std::size(tasks)); ++row) {
    const Task& task = tasks[row];
    list->SetCellText(row, 0, QString::fromUtf8(task.name));
    list->SetCellText(row, 1, QString::fromUtf8(priorities[task.priority]));
    list->SetCellBkColor(row, 1, priorityColors[task.priority]);
    list->SetCellStyle(row, 1, kLsBkColor);
    list->SetCellSelectedBkColor(row, 1, priorityColors[task.priority]);
    list->SetCellSelectedStyle(row, 1, kLsBkColor);
    list->SetCellText(row, 2, QString::fromUtf8(task.category));
    list->SetCellText(row, 3, QString::fromUtf8(task.deadline));
    list->SetRowStyle(row, task.completed ? kLsTextColor | kLsStrikeOut : kLsTextColor);
    list->SetRowTextColor(row, task.completed ? 0x7D7DFF : Settings().GetClrText());
    list->SetCheck(row, task.completed);
    list->SetItemValue(row, row + 1);
  }
  list->SelectRow(1);
  Save(dialog, QStringLiteral("styled-list"));
}

// The main window on each of its tabs, with a few records of every kind.
TEST_F(Screenshots, DISABLED_MainWindowTabs) {
  ASSERT_FALSE(ShotsFolder().isEmpty()) << "set ORGANIZER_SHOTS_DIR";
  QDir().mkpath(ShotsFolder());
  const int today = OleDate::DayNumber(OleDate::Now());
  const struct {
    const char* name;
    int priority, category, deadline, withTime;
    double time;
    int completed;
  } tasks[] = {{"Renew the car insurance", 1, 3, 1, 1, 0.395833, 0}, {"Send the quarterly report", 2, 2, 1, 0, 0, 0},
               {"Water the plants", 3, 1, 0, 0, 0, 1},           {"Prepare the team meeting", 1, 2, 1, 1, 0.625, 0},
               {"Call the plumber", 2, 3, 0, 0, 0, 1}};
  for (const auto& t : tasks) {
    TaskRecord task;
    task.name = t.name;
    task.priority_id = t.priority;
    task.category_id = t.category;
    task.deadline = t.deadline;
    task.deadline_time = t.withTime;
    task.due_date = today + 1;
    task.due_time = t.time;
    task.warning = 0;
    const int id = InsertTask(task);
    ASSERT_GT(id, 0);
    if (t.completed) SetTaskCompleted(id, 1);
  }
  for (const auto& [first, last, info, category] :
       {std::tuple{"Anna", "Lindqvist", "Sister", 4}, {"Tomas", "Berg", "Climbing on Thursdays", 5},
        {"Grace", "Okafor", "Project lead, finance", 6}}) {
    ContactRecord contact;
    contact.fname = first;
    contact.lname = last;
    contact.disp_info = info;
    contact.cat_id = category;
    ASSERT_GT(InsertContact(contact), 0);
  }
  for (const auto& [title, usingTime, time] :
       {std::tuple{"Dentist", 1, 0.4375}, {"Anna's birthday", 0, 0.0}, {"Concert", 1, 0.791667}}) {
    EventRecord event;
    event.event_date = today;
    event.title = title;
    event.using_time = usingTime;
    event.event_time = time;
    ASSERT_GT(InsertEvent(event), 0);
  }
  for (const auto& [subject, category] : {std::pair{"Holiday ideas", 8}, {"Wi-Fi at the cabin", 7}, {"Book list", 8}}) {
    NoteRecord note;
    note.subject = subject;
    note.category_id = category;
    ASSERT_GT(InsertNote(note), 0);
  }
  Settings().SetInstallId(12345);  // not a first start: no welcome page

  DlgOrganizer window;
  window.show();
  QCoreApplication::processEvents();
  window.SetLayeredAlpha(255);
  for (int tab = 0; tab < 4; ++tab) {
    CMyTabCtrl* tabs = window.GetTabCtrl();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(tab).center());
    QCoreApplication::processEvents();
    Save(window, QStringLiteral("main-tab-%1").arg(tab));
  }
}

// The task editor as the tasks view opens it: new, and editing tasks without
// a date, with a date only, and with a date and a time; then the category
// manager with a few categories.
TEST_F(Screenshots, DISABLED_TaskEditorAndCategories) {
  ASSERT_FALSE(ShotsFolder().isEmpty()) << "set ORGANIZER_SHOTS_DIR";
  QDir().mkpath(ShotsFolder());
  for (const auto& [name, comment] : {std::pair{"Garden", "beds, hedges and the lawn"},
                                      {"Car", "insurance, tyres, service"}}) {
    CategoryRecord category;
    category.name = name;
    category.comment = comment;
    ASSERT_GT(InsertCategory(category), 0);
  }
  const int today = OleDate::DayNumber(OleDate::Now());
  const struct {
    const char* shot;
    int deadline, withTime, warning;
  } edits[] = {{"task-editor-no-date", 0, 0, 0}, {"task-editor-date", 1, 0, 1420}, {"task-editor-date-time", 1, 1, 15}};
  DlgAddEditTask fresh(true, -1);
  fresh.Create();
  Save(fresh, QStringLiteral("task-editor-new"));
  for (const auto& edit : edits) {
    TaskRecord task;
    task.name = "Renew the car insurance";
    task.description = "Compare three offers first.\nThe policy number is in the blue folder.";
    task.category_id = 2;
    task.priority_id = 1;
    task.deadline = edit.deadline;
    task.deadline_time = edit.withTime;
    task.due_date = today + 3;
    task.due_time = 0.5625;
    task.warning = edit.warning;
    const int id = InsertTask(task);
    ASSERT_GT(id, 0);
    DlgAddEditTask editor(false, id);
    editor.Create();
    Save(editor, QString::fromUtf8(edit.shot));
  }
  DlgMngCategories manager(kCategoryTasks);
  manager.Create();
  Save(manager, QStringLiteral("category-manager"));
}
