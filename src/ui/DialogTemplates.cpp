#include <algorithm>

#include "ui/DialogTemplate.h"

// All dialog templates of the program. Item order is the controls' creation,
// stacking and tab order.

namespace {

using K = DlgItemKind;

constexpr unsigned kRight = kItemAlignRight;
constexpr unsigned kCenter = kItemAlignCenter;
constexpr unsigned kDefault = kItemDefaultButton;
constexpr unsigned kNoTab = kItemNoTabStop;

constexpr char kShellDlg[] = "MS Shell Dlg";
constexpr char kSansSerif[] = "MS Sans Serif";

std::vector<DialogTemplate> MakeTemplates() {
  return {
      // Main window.
      {102, kShellDlg, 8, 400, false, 305, 206, false,
       {
           {1036, K::TabControl, "", 7, 21, 291, 159},
           {1003, K::PushButton, "Add", 7, 184, 19, 16},
           {1037, K::PushButton, "Delete", 26, 184, 19, 16},
           {1038, K::PushButton, "Edit", 45, 184, 19, 16},
           {1075, K::Static, "Sort by:", 84, 187, 43, 12, kRight},
           {1005, K::ComboBox, "", 134, 186, 78, 64},
           {1041, K::PushButton, "Settings", 279, 184, 19, 16},
           {1047, K::Static, "", 208, 6, 8, 8},
           {1044, K::PushButton, "", 217, 2, 19, 16},
           {1043, K::PushButton, "", 236, 2, 19, 16},
           {1042, K::PushButton, "", 255, 2, 19, 16},
           {1048, K::PushButton, "-", 274, 2, 15, 9},
           {1045, K::PushButton, "X", 288, 2, 15, 9},
       }},
      // Tasks view.
      {106, kSansSerif, 8, 400, false, 325, 144, true,
       {
           {1049, K::ListView, "", 7, 7, 311, 130},
       }},
      // Contacts view.
      {107, kSansSerif, 8, 400, false, 326, 144, true,
       {
           {1076, K::ListView, "", 7, 7, 312, 130},
       }},
      // Notes view.
      {108, kSansSerif, 8, 400, false, 325, 145, true,
       {
           {1069, K::ListView, "", 7, 7, 311, 131},
       }},
      // Dates and events view.
      {109, kSansSerif, 8, 400, false, 325, 144, true,
       {
           {1090, K::MonthCalendar, "", 7, 7, 107, 83},
           {1076, K::ListView, "", 131, 7, 187, 130},
           {1112, K::CheckBox, "View All Events", 13, 108, 101, 10},
       }},
      // Task editor.
      {110, kShellDlg, 8, 400, false, 280, 292, false,
       {
           {1070, K::Static, "Add/Edit Task", 33, 10, 235, 18},
           {1063, K::Static, "Task:", 10, 42, 58, 12, kRight},
           {1032, K::Edit, "", 74, 40, 194, 14},
           {1064, K::Static, "Priority:", 10, 62, 58, 12, kRight},
           {1012, K::ComboBox, "", 74, 60, 90, 80},
           {1065, K::Static, "Category:", 10, 82, 58, 12, kRight},
           {1007, K::ComboBox, "", 74, 80, 120, 80},
           {1001, K::PushButton, "Categories...", 198, 78, 70, 17},
           {1052, K::RichEdit, "", 12, 102, 256, 64},
           {1053, K::CheckBox, "Completion Date:", 12, 174, 100, 12},
           {1055, K::DatePicker, "", 118, 173, 80, 14},
           {1054, K::CheckBox, "Completion Time:", 12, 192, 100, 12},
           {1056, K::TimePicker, "", 118, 191, 80, 14},
           {1066, K::Static, "Reminder:", 12, 212, 100, 12, kRight},
           {1062, K::ComboBox, "", 118, 210, 80, 80},
           {1105, K::Static, "Repeat:", 12, 230, 100, 12, kRight},
           {1106, K::ComboBox, "", 118, 228, 80, 80},
           {1107, K::Static, "", 12, 246, 256, 12},
           {1, K::PushButton, "Save", 72, 266, 63, 17, kDefault},
           {2, K::PushButton, "Cancel", 140, 266, 69, 17},
       }},
      // Note editor.
      {111, kShellDlg, 8, 400, false, 300, 252, false,
       {
           {1070, K::Static, "Static", 33, 10, 255, 18},
           {1067, K::Static, "Subject:", 10, 42, 52, 12, kRight},
           {1033, K::Edit, "", 68, 40, 220, 14},
           {1080, K::Static, "Category:", 10, 62, 52, 12, kRight},
           {1008, K::ComboBox, "", 68, 60, 140, 80},
           {1001, K::PushButton, "Categories...", 214, 58, 74, 17},
           {1068, K::RichEdit, "", 12, 82, 276, 136},
           {1, K::PushButton, "Save  ", 82, 226, 63, 17, kDefault},
           {2, K::PushButton, "Cancel  ", 150, 226, 69, 17},
       }},
      // Contact editor.
      {113, kShellDlg, 8, 400, false, 300, 326, false,
       {
           {1101, K::Static, "Static", 33, 10, 255, 18},
           {1102, K::GroupBox, "Contact Name", 10, 32, 280, 56},
           {1067, K::Static, "Last:", 16, 50, 40, 12, kRight},
           {1022, K::Edit, "", 60, 48, 90, 14},
           {1074, K::Static, "First:", 152, 50, 40, 12, kRight},
           {1088, K::Edit, "", 196, 48, 86, 14},
           {1094, K::Static, "Middle:", 16, 68, 40, 12, kRight},
           {1089, K::Edit, "", 60, 66, 90, 14},
           {1080, K::Static, "Category:", 10, 98, 88, 12, kRight},
           {1005, K::ComboBox, "", 104, 96, 110, 80},
           {1001, K::PushButton, "Categories...", 218, 94, 72, 17},
           {1093, K::Static, "Display Information:", 10, 118, 88, 12, kRight},
           {1090, K::Edit, "", 104, 116, 186, 14},
           {1092, K::Static, "Addresses:", 10, 136, 136, 12},
           {1091, K::RichEdit, "", 10, 148, 136, 60},
           {1096, K::Static, "Email:", 154, 136, 136, 12},
           {1095, K::RichEdit, "", 154, 148, 136, 60},
           {1113, K::Static, "Phone:", 10, 214, 136, 12},
           {1097, K::RichEdit, "", 10, 226, 136, 60},
           {1100, K::Static, "Notes:", 154, 214, 136, 12},
           {1099, K::RichEdit, "", 154, 226, 136, 60},
           {1, K::PushButton, "Save   ", 82, 298, 63, 17, kDefault},
           {2, K::PushButton, "Cancel", 150, 298, 69, 17},
       }},
      // Category manager.
      {114, kShellDlg, 8, 400, false, 300, 262, false,
       {
           {1070, K::Static, "Manage <INSERT> Categories", 33, 10, 255, 18},
           {1076, K::ListView, "", 10, 34, 280, 108},
           {1037, K::PushButton, "Delete Selected Category", 150, 146, 140, 17},
           {1004, K::PushButton, "Add New Category:      ", 10, 170, 120, 17},
           {1078, K::Static, "Category Name:", 10, 194, 76, 12, kRight},
           {1030, K::Edit, "", 92, 192, 198, 14},
           {1079, K::Static, "Comment:", 10, 212, 76, 12, kRight},
           {1077, K::Edit, "", 92, 210, 198, 14},
           {1, K::PushButton, "   Close Window                 ", 80, 236, 140, 17, kDefault},
       }},
      // Event editor.
      {115, kShellDlg, 8, 400, false, 280, 262, false,
       {
           {1070, K::Static, "Appt for such and such a day", 33, 10, 235, 18},
           {1078, K::Static, "Event Name:", 10, 42, 62, 12, kRight},
           {1085, K::Edit, "", 78, 40, 190, 14},
           {1054, K::CheckBox, "Event Time:", 12, 62, 96, 12},
           {1083, K::TimePicker, "", 112, 61, 70, 14},
           {1104, K::Static, "All Day Event", 112, 63, 90, 12},
           {1066, K::Static, "Warning:", 10, 84, 62, 12, kRight},
           {1062, K::ComboBox, "", 78, 82, 90, 80},
           {1105, K::Static, "Repeat:", 10, 102, 62, 12, kRight},
           {1106, K::ComboBox, "", 78, 100, 90, 80},
           {1107, K::Static, "", 12, 118, 256, 12},
           {1086, K::Static, "Note:", 12, 134, 60, 12},
           {1068, K::RichEdit, "", 12, 148, 256, 80},
           {1, K::PushButton, "Save", 72, 236, 63, 17, kDefault},
           {2, K::PushButton, "Cancel", 140, 236, 69, 17},
       }},
      // Reminder pop-up.
      {116, kSansSerif, 8, 400, false, 265, 173, false,
       {
           {1, K::PushButton, "OK", 106, 150, 50, 16, kDefault},
           {1070, K::Static, "Orvale Reminder!", 30, 10, 154, 12},
           {1081, K::Static, "", 37, 45, 192, 45, kCenter},
           {1110, K::CheckBox, "Dismiss Reminder", 45, 106, 80, 10},
           {1111, K::CheckBox, "Reset Reminder:", 45, 123, 81, 10},
           {1005, K::ComboBox, "", 135, 122, 78, 64},
       }},
      // Summary of many missed reminders.
      {117, kSansSerif, 8, 400, false, 265, 203, false,
       {
           {1, K::PushButton, "OK", 106, 180, 50, 16, kDefault},
           {1070, K::Static, "Orvale Reminder!", 30, 10, 154, 12},
           {1081, K::Static, "", 20, 32, 225, 14, kCenter},
           {1068, K::RichEdit, "", 20, 50, 225, 122},
       }},
      // Search window; the results list fills the room under the field.
      {118, kShellDlg, 8, 400, false, 300, 250, false,
       {
           {1070, K::Static, "Search", 33, 10, 255, 18},
           {1001, K::Edit, "", 12, 36, 276, 14},
       }},
      // Message dialog.
      {134, kShellDlg, 8, 400, false, 210, 89, false,
       {
           {1096, K::Static, "Organizer Alert!", 30, 11, 165, 12},
           {1081, K::Static, "Static", 39, 33, 43, 15},
           {1, K::PushButton, "Yes", 54, 66, 50, 14},
           {2, K::PushButton, "No", 104, 66, 50, 14},
       }},
      // What importing a file will do, before it is done.
      {135, kShellDlg, 8, 400, false, 260, 150, false,
       {
           {1096, K::Static, "Import", 30, 11, 200, 12},
           {1081, K::Static, "", 20, 30, 225, 90},
           {1, K::PushButton, "Import", 75, 126, 50, 14, kDefault},
           {2, K::PushButton, "Cancel", 130, 126, 50, 14},
       }},
      // How far an import has come, while it takes a while.
      {136, kShellDlg, 8, 400, false, 220, 84, false,
       {
           {1096, K::Static, "Importing", 30, 11, 170, 12},
           {1099, K::ProgressBar, "", 20, 34, 180, 12},
           {2, K::PushButton, "Cancel", 85, 58, 50, 14},
       }},
      // How a record repeats, beyond the editors' plain choices.
      {137, kShellDlg, 8, 400, false, 250, 184, false,
       {
           {1070, K::Static, "Custom Repeat", 33, 10, 205, 18},
           {1071, K::Static, "Every:", 10, 40, 50, 12, kRight},
           {1072, K::Edit, "", 66, 38, 30, 14},
           {1073, K::ComboBox, "", 102, 38, 70, 80},
           {1080, K::CheckBox, "Mon", 12, 60, 32, 12},
           {1081, K::CheckBox, "Tue", 45, 60, 32, 12},
           {1082, K::CheckBox, "Wed", 78, 60, 32, 12},
           {1083, K::CheckBox, "Thu", 111, 60, 32, 12},
           {1084, K::CheckBox, "Fri", 144, 60, 32, 12},
           {1085, K::CheckBox, "Sat", 177, 60, 32, 12},
           {1086, K::CheckBox, "Sun", 210, 60, 32, 12},
           {1087, K::Static, "Monthly on:", 10, 80, 50, 12, kRight},
           {1088, K::ComboBox, "", 66, 78, 150, 80},
           {1089, K::Static, "Ends:", 10, 100, 50, 12, kRight},
           {1090, K::ComboBox, "", 66, 98, 70, 80},
           {1091, K::DatePicker, "", 142, 98, 80, 14},
           {1092, K::Edit, "", 142, 98, 30, 14},
           {1093, K::Static, "times", 176, 100, 40, 12},
           {1094, K::Static, "", 12, 122, 226, 24},
           {1, K::PushButton, "Save", 55, 158, 63, 17, kDefault},
           {2, K::PushButton, "Cancel", 124, 158, 69, 17},
       }},
      // Whether a change or a delete is for one occurrence of a series or for all of them.
      {138, kShellDlg, 8, 400, false, 230, 89, false,
       {
           {1096, K::Static, "Organizer Alert!", 30, 11, 165, 12},
           {1081, K::Static, "", 20, 33, 195, 15},
           {1, K::PushButton, "This One", 17, 66, 62, 14, kDefault},
           {1003, K::PushButton, "All of Them", 84, 66, 62, 14},
           {2, K::PushButton, "Cancel", 151, 66, 62, 14},
       }},
      // The sync accounts, their states and how often they sync.
      {139, kShellDlg, 8, 400, false, 290, 204, false,
       {
           {1070, K::Static, "Accounts", 33, 10, 245, 18},
           {1076, K::ListView, "", 10, 34, 270, 100},
           {1003, K::PushButton, "Add...", 10, 140, 56, 14},
           {1037, K::PushButton, "Remove", 70, 140, 56, 14},
           {1044, K::PushButton, "Sync Now", 130, 140, 56, 14},
           {1045, K::PushButton, "Trust Certificate...", 190, 140, 90, 14},
           {1071, K::Static, "Sync every:", 10, 162, 56, 12, kRight},
           {1005, K::ComboBox, "", 70, 160, 80, 80},
           {1, K::PushButton, "Close", 113, 180, 63, 17, kDefault},
       }},
      // A new sync account: where, who, and which collections receive what.
      {140, kShellDlg, 8, 400, false, 290, 262, false,
       {
           {1070, K::Static, "Add Account", 33, 10, 245, 18},
           {1071, K::Static, "Server:", 10, 38, 60, 12, kRight},
           {1001, K::Edit, "", 76, 36, 200, 14},
           {1072, K::Static, "User name:", 10, 56, 60, 12, kRight},
           {1002, K::Edit, "", 76, 54, 200, 14},
           {1073, K::Static, "Password:", 10, 74, 60, 12, kRight},
           {1006, K::Edit, "", 76, 72, 200, 14},
           {1004, K::PushButton, "Find Calendars", 76, 92, 80, 14},
           {1081, K::Static, "", 10, 112, 270, 26},
           {1099, K::ProgressBar, "", 76, 140, 200, 8},
           {1074, K::Static, "Tasks:", 10, 156, 60, 12, kRight},
           {1010, K::ComboBox, "", 76, 154, 200, 80},
           {1075, K::Static, "Events:", 10, 174, 60, 12, kRight},
           {1011, K::ComboBox, "", 76, 172, 200, 80},
           {1077, K::Static, "Notes:", 10, 192, 60, 12, kRight},
           {1012, K::ComboBox, "", 76, 190, 200, 80},
           {1078, K::Static, "Contacts:", 10, 210, 60, 12, kRight},
           {1013, K::ComboBox, "", 76, 208, 200, 80},
           {1, K::PushButton, "Add", 78, 236, 63, 17, kDefault},
           {2, K::PushButton, "Cancel", 148, 236, 63, 17},
       }},
      // The password of a sync account, asked for when none is stored.
      {141, kShellDlg, 8, 400, false, 250, 124, false,
       {
           {1070, K::Static, "Account Password", 33, 10, 205, 18},
           {1081, K::Static, "", 10, 34, 230, 34},
           {1073, K::Static, "Password:", 10, 76, 50, 12, kRight},
           {1006, K::Edit, "", 66, 74, 174, 14},
           {1, K::PushButton, "Sync", 56, 98, 63, 17, kDefault},
           {2, K::PushButton, "Cancel", 126, 98, 63, 17},
       }},
      // Settings dialog.
      {153, kShellDlg, 8, 400, false, 284, 332, false,
       {
           {1070, K::Static, "Orvale Organizer Settings", 33, 10, 175, 18},
           {1075, K::GroupBox, "Application Settings", 7, 33, 270, 104},
           {1076, K::CheckBox, "Start Orvale Organizer when I log in", 26, 46, 193, 10},
           {1077, K::CheckBox, "Start Orvale Organizer in Minimized State", 46, 64, 178, 10},
           {1018, K::CheckBox, "Keep Orvale Organizer on top", 26, 81, 120, 10},
           {1078, K::CheckBox, "Make Orvale Organizer transparent when idle", 26, 98, 204, 10},
           {1115, K::PushButton, "Accounts...", 26, 116, 70, 14},
           {1071, K::GroupBox, "Application Colors", 7, 142, 269, 158},
           {1098, K::Static, "Background Color:", 14, 156, 87, 8, kRight},
           {1102, K::Swatch, "", 115, 154, 47, 14},
           {1060, K::PushButton, "Select Color...", 179, 154, 54, 14},
           {1109, K::Static, "Border Color:", 14, 175, 87, 8, kRight},
           {1103, K::Swatch, "", 115, 172, 47, 14},
           {1089, K::PushButton, "Select Color...", 179, 172, 54, 14},
           {1100, K::Static, "Text Color:", 14, 193, 87, 8, kRight},
           {1105, K::Swatch, "", 115, 191, 47, 14},
           {1091, K::PushButton, "Select Color...", 179, 191, 54, 14},
           {1101, K::Static, "Highlight Color:", 14, 213, 87, 8, kRight},
           {1107, K::Swatch, "", 115, 211, 47, 14},
           {1093, K::PushButton, "Select Color...", 179, 211, 54, 14},
           {1114, K::PushButton, "Restore Defaults", 115, 227, 118, 13},
           {1074, K::Static, "High Priority Color:", 16, 246, 86, 8, kRight},
           {1104, K::Swatch, "", 115, 243, 47, 14},
           {1092, K::PushButton, "Select Color...", 179, 243, 54, 14},
           {1072, K::Static, "Medium Priority Color:", 7, 264, 96, 8, kRight},
           {1106, K::Swatch, "", 115, 262, 47, 13},
           {1094, K::PushButton, "Select Color...", 179, 261, 54, 14, kNoTab},
           {1073, K::Static, "Low Priority Color:", 16, 282, 87, 8},
           {1108, K::Swatch, "", 115, 280, 47, 13},
           {1096, K::PushButton, "Select Color...", 179, 279, 54, 14},
           {1, K::PushButton, "Save    ", 78, 308, 63, 17, kDefault},
           {2, K::PushButton, "Cancel    ", 140, 308, 69, 17},
       }},
  };
}

}  // namespace

const std::vector<DialogTemplate>& AllDialogTemplates() {
  static const std::vector<DialogTemplate> templates = MakeTemplates();
  return templates;
}

const DialogTemplate* FindDialogTemplate(int id) {
  const auto& all = AllDialogTemplates();
  const auto found = std::find_if(all.begin(), all.end(), [id](const DialogTemplate& t) { return t.id == id; });
  return found == all.end() ? nullptr : &*found;
}
