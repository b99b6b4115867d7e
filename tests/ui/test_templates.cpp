#include <QLabel>
#include <set>

#include "UiTest.h"
#include "ui/CColorStatic.h"
#include "ui/DialogTemplate.h"
#include "ui/DlgBase.h"

namespace {

// The closed height of a combo box; its template height is its open list.
QRect ClosedRect(const DialogItem& item) {
  return {item.x, item.y, item.cx, item.kind == DlgItemKind::ComboBox ? 14 : item.cy};
}

}  // namespace

TEST(DialogTemplates, EveryWindowHasItsTemplate) {
  for (int id : {102, 106, 107, 108, 109, 110, 111, 113, 114, 115, 116, 117, 134, 135, 136, 137, 138, 153}) {
    const DialogTemplate* dialogTemplate = FindDialogTemplate(id);
    ASSERT_NE(dialogTemplate, nullptr) << id;
    std::set<int> ids;
    for (const DialogItem& item : dialogTemplate->items) {
      EXPECT_TRUE(ids.insert(item.id).second) << "template " << id << " repeats control " << item.id;
      const QRect dialog(0, 0, dialogTemplate->cx, dialogTemplate->cy);
      EXPECT_TRUE(dialog.contains(ClosedRect(item))) << "template " << id << " control " << item.id << " sticks out";
    }
  }
  EXPECT_EQ(FindDialogTemplate(112), nullptr);
}

// The editors' layouts are our own: no control may cover another, except a
// group box round its contents and the event time shown in place of "All Day Event".
TEST(DialogTemplates, EditorControlsDoNotOverlap) {
  for (int id : {110, 111, 113, 114, 115}) {
    const DialogTemplate& dialogTemplate = *FindDialogTemplate(id);
    for (size_t a = 0; a < dialogTemplate.items.size(); ++a) {
      for (size_t b = a + 1; b < dialogTemplate.items.size(); ++b) {
        const DialogItem& first = dialogTemplate.items[a];
        const DialogItem& second = dialogTemplate.items[b];
        if (first.kind == DlgItemKind::GroupBox || second.kind == DlgItemKind::GroupBox) continue;
        if (id == 115 && first.id == 1083 && second.id == 1104) continue;
        EXPECT_FALSE(ClosedRect(first).intersects(ClosedRect(second)))
            << "template " << id << ": " << first.id << " and " << second.id;
      }
    }
  }
}

using ColorStaticTest = UiTest;

// Labels get fonts taller than their template rows; they grow downward to one
// full line instead of cutting the letters off.
TEST_F(ColorStaticTest, LabelGrowsToOneLineOfItsFont) {
  DlgBase dialog(153);
  dialog.Create();
  auto* label = qobject_cast<CColorStatic*>(dialog.GetDlgItem(1101));  // "Highlight Color:", 8 units high
  ASSERT_NE(label, nullptr);
  const QRect before = label->geometry();
  label->setFont(dialog.GetTextFont());
  const int line = QFontMetrics(dialog.GetTextFont()).height();
  ASSERT_GT(line, before.height());
  EXPECT_EQ(label->geometry(), QRect(before.topLeft(), QSize(before.width(), line)));
}
