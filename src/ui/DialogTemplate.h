#pragma once

#include <vector>

// Dialog templates as data: every window of the program is built from one.
// Positions and sizes are in dialog units (a quarter of the template font's
// average character width, an eighth of its height).

enum class DlgItemKind {
  Static,
  GroupBox,
  Swatch,  // a sunken static that shows a colour
  Edit,
  RichEdit,
  PushButton,
  CheckBox,
  ComboBox,  // drop-down with an edit field; its height includes the open list
  DatePicker,
  TimePicker,
  ListView,
  TabControl,
  MonthCalendar,
  ProgressBar,
};

enum DlgItemStyle : unsigned {
  kItemStyleNone = 0,
  kItemAlignRight = 1u << 0,
  kItemAlignCenter = 1u << 1,
  kItemDefaultButton = 1u << 2,
  kItemNoTabStop = 1u << 3,
};

struct DialogItem {
  int id;
  DlgItemKind kind;
  const char* text;
  int x, y, cx, cy;
  unsigned style = kItemStyleNone;
};

struct DialogTemplate {
  int id;
  const char* face;
  int pointSize;
  int weight;
  bool italic;
  int cx, cy;
  bool child;  // a page inside another window rather than a window of its own
  std::vector<DialogItem> items;
};

// The template with this resource id, or null.
const DialogTemplate* FindDialogTemplate(int id);

// Every template, in resource id order.
const std::vector<DialogTemplate>& AllDialogTemplates();
