#include <numeric>

#include "UiTest.h"
#include "db/OleDate.h"
#include "records/Tasks.h"
#include "ui/CColorListCtrl.h"
#include "views/DlgContacts.h"
#include "views/DlgTasks.h"

namespace {

using RecordViewColumnsTest = UiTest;

std::vector<int> Widths(const CColorListCtrl& list) {
  std::vector<int> widths;
  for (int c = 0; c < list.GetColumnCount(); ++c) widths.push_back(list.columnWidth(c));
  return widths;
}

int Inside(const CColorListCtrl& list) { return list.width() - 2 * list.frameWidth(); }

}  // namespace

TEST_F(RecordViewColumnsTest, ColumnsStayInsideTheListAndTheNameGivesWayFirst) {
  DlgContacts page;
  page.show();  // a hidden page hears of its size only once shown
  CColorListCtrl& list = *page.GetList();

  page.resize(900, 300);
  EXPECT_EQ(Widths(list), (std::vector<int>{300, 75, 300})) << "with room enough, the widths as chosen";

  page.resize(660, 300);
  std::vector<int> widths = Widths(list);
  EXPECT_LE(std::accumulate(widths.begin(), widths.end(), 0), Inside(list));
  EXPECT_EQ(widths[1], 75);
  EXPECT_EQ(widths[2], 300) << "only the name column narrows";

  page.resize(250, 300);  // too narrow even then: all shrink alike
  widths = Widths(list);
  EXPECT_LE(std::accumulate(widths.begin(), widths.end(), 0), Inside(list));
  EXPECT_GT(widths[1], 0);
}

TEST_F(RecordViewColumnsTest, TheDeadlineColumnHoldsTheWidestDateAndTime) {
  TaskRecord task;
  task.name = "Late";
  task.category_id = 1;
  task.priority_id = 1;
  task.deadline = 1;
  task.deadline_time = 1;
  task.due_date = OleDate::FromParts({2027, 9, 28, 0, 0, 0});
  task.due_time = OleDate::TimeOfDay(OleDate::FromParts({2027, 9, 28, 23, 59, 0}));
  ASSERT_GT(InsertTask(task), 0);
  DlgTasks page;
  page.show();
  page.resize(700, 300);
  page.RefreshList();
  CColorListCtrl& list = *page.GetList();
  const QString deadline = list.GetItemText(0, 3);
  ASSERT_FALSE(deadline.isEmpty());
  constexpr int kStyleMargins = 8;
  EXPECT_LE(QFontMetrics(list.font()).horizontalAdvance(deadline) + kStyleMargins, list.columnWidth(3))
      << deadline.toStdString() << " is cut";
}
