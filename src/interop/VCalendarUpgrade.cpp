#include "interop/VCalendarUpgrade.h"

#include "interop/VCard.h"

namespace Interop {

namespace {

std::string EscapeText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    if (c == ',' || c == ';' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

bool IsVersionOne(const std::vector<ContentLine>& lines) {
  for (const ContentLine& line : lines) {
    if (PropertyName(line.text) == "VERSION") return line.text.substr(line.text.find(':') + 1) == "1.0";
  }
  return false;
}

}  // namespace

void UpgradeVCalendar(std::vector<ContentLine>& lines) {
  if (!IsVersionOne(lines)) return;
  std::vector<ContentLine> upgraded;
  upgraded.reserve(lines.size());
  bool alarmDone = false;
  for (const ContentLine& line : lines) {
    const std::string name = PropertyName(line.text);
    if (name == "BEGIN" || name == "END") {
      alarmDone = false;
      upgraded.push_back(line);
      continue;
    }
    const VCardProperty property = ParseContentLine(line);
    std::string value = property.value;
    if (name == "VERSION") {
      value = "2.0";
    } else if (name == "AALARM" || name == "DALARM") {
      const std::string at = value.substr(0, value.find(';'));
      if (!alarmDone && !at.empty()) {
        alarmDone = true;
        for (const std::string& text : {std::string("BEGIN:VALARM"), std::string("ACTION:DISPLAY"),
                                        "TRIGGER;VALUE=DATE-TIME:" + at, std::string("DESCRIPTION:Reminder"),
                                        std::string("END:VALARM")}) {
          upgraded.push_back({line.line, text});
        }
      }
      continue;
    } else if (name == "CATEGORIES") {
      std::string list;
      for (const std::string& part : SplitValue(value, ';')) list += (list.empty() ? "" : ",") + EscapeText(part);
      value = list;
    } else if (name == "SUMMARY" || name == "DESCRIPTION" || name == "LOCATION") {
      value = EscapeText(value);
    }
    std::string text = property.group.empty() ? property.name : property.group + "." + property.name;
    for (const VCardProperty::Param& param : property.params) {
      if (param.name == "ENCODING" || param.name == "CHARSET" || param.name == "TYPE") continue;
      text += ";" + param.name + "=";
      for (size_t i = 0; i < param.values.size(); ++i) text += (i ? "," : "") + param.values[i];
    }
    upgraded.push_back({line.line, text + ":" + value});
  }
  lines.swap(upgraded);
}

}  // namespace Interop
