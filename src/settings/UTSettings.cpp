#include "settings/UTSettings.h"

#include <atomic>
#include <regex>

#include "app/Message.h"
#include "app/Paths.h"
#include "app/UTRegistryManager.h"
#include "db/DBL.h"
#include "db/SchemaText.h"

namespace {
std::atomic<int> g_liveObjects{0};
}

UTSettings::UTSettings() {
  if (++g_liveObjects > 1) ShowMessage("Multiple settings objects.", kMessageOkNotice);
}

UTSettings::~UTSettings() { --g_liveObjects; }

int UTSettings::LiveObjects() { return g_liveObjects; }

namespace {

// A column's default as the schema of a new database gives it: one source
// for the colours a new user starts with and the ones restored.
int SchemaDefault(const char* column) {
  const std::regex pattern(std::string(column) + R"(\s+INTEGER\s+NOT\s+NULL\s+DEFAULT\s+(\d+))");
  std::cmatch match;
  return std::regex_search(DBL::SchemaText(), match, pattern) ? std::stoi(match[1].str()) : 0;
}

}  // namespace

void UTSettings::RestoreDefaultColors() {
  m_clrBackground = SchemaDefault("clr_background");
  m_clrText = SchemaDefault("clr_text");
  m_clrBorder = SchemaDefault("clr_border");
  m_clrHighlight = SchemaDefault("clr_highlight");
  m_clrLoPrior = SchemaDefault("clr_lo_prior");
  m_clrMedPrior = SchemaDefault("clr_med_prior");
  m_clrHiPrior = SchemaDefault("clr_hi_prior");
}

void UTSettings::Load() {
  DBL::MemResultSet rs = DBL::ExecuteQuery(
      "select password_protect, password, autostart, min_startup, stay_on_top, transparent, clr_background, "
      "clr_text, clr_highlight, clr_border, clr_lo_prior, clr_med_prior, clr_hi_prior, install_id, note_sort, "
      "task_sort, contact_sort from settings");
  if (!rs.Next()) return;
  m_passwordProtect = rs.GetInt("password_protect");
  m_password = rs.GetString("password");
  SetAutostart(rs.GetInt("autostart"));
  m_minStartup = rs.GetInt("min_startup");
  m_stayOnTop = rs.GetInt("stay_on_top");
  m_transparent = rs.GetInt("transparent");
  m_clrBackground = rs.GetInt("clr_background");
  m_clrText = rs.GetInt("clr_text");
  m_clrBorder = rs.GetInt("clr_border");
  m_clrHighlight = rs.GetInt("clr_highlight");
  m_clrLoPrior = rs.GetInt("clr_lo_prior");
  m_clrMedPrior = rs.GetInt("clr_med_prior");
  m_clrHiPrior = rs.GetInt("clr_hi_prior");
  m_installId = rs.GetInt("install_id");
  m_noteSort = rs.GetInt("note_sort");
  m_taskSort = rs.GetInt("task_sort");
  m_contactSort = rs.GetInt("contact_sort");
}

int UTSettings::Save() {
  if (DBL::ExecuteQuery("select * from settings").Next()) return DBL::ExecuteUpdate(UpdateStatement());
  return DBL::ExecuteInsert(InsertStatement()) > 0 ? 0 : -1;
}

std::string UTSettings::UpdateStatement() const {
  using DBL::EncodeText;
  using DBL::IntToString;
  return "update settings set password_protect = " + IntToString(m_passwordProtect) +
         ",password = '" + EncodeText(m_password) + "'" +
         ",autostart = " + IntToString(m_autostart) +
         ",min_startup = " + IntToString(m_minStartup) +
         ",stay_on_top = " + IntToString(m_stayOnTop) +
         ",transparent = " + IntToString(m_transparent) +
         ",clr_background = " + IntToString(m_clrBackground) +
         ",clr_text = " + IntToString(m_clrText) +
         ",clr_border = " + IntToString(m_clrBorder) +
         ",clr_highlight = " + IntToString(m_clrHighlight) +
         ",clr_lo_prior=" + IntToString(m_clrLoPrior) +
         ",clr_med_prior=" + IntToString(m_clrMedPrior) +
         ",clr_hi_prior=" + IntToString(m_clrHiPrior) +
         ",install_id = '" + EncodeText(IntToString(m_installId)) + "'" +
         ",note_sort=" + IntToString(m_noteSort) +
         ",task_sort=" + IntToString(m_taskSort) +
         ",contact_sort=" + IntToString(m_contactSort);
}

// Leaves contact_sort out: a row made here takes that column's default.
std::string UTSettings::InsertStatement() const {
  using DBL::EncodeText;
  using DBL::IntToString;
  return "insert into settings(password_protect,password,autostart,min_startup,stay_on_top,transparent,"
         "clr_background,clr_text,clr_border,clr_highlight,clr_lo_prior,clr_med_prior,clr_hi_prior,install_id,"
         "note_sort,task_sort) values (" +
         IntToString(m_passwordProtect) + ",'" + EncodeText(m_password) + "'," + IntToString(m_autostart) + "," +
         IntToString(m_minStartup) + "," + IntToString(m_stayOnTop) + "," + IntToString(m_transparent) + "," +
         IntToString(m_clrBackground) + "," + IntToString(m_clrText) + "," + IntToString(m_clrBorder) + "," +
         IntToString(m_clrHighlight) + "," + IntToString(m_clrLoPrior) + "," + IntToString(m_clrMedPrior) + "," +
         IntToString(m_clrHiPrior) + ",'" + EncodeText(IntToString(m_installId)) + "'," +
         IntToString(m_noteSort) + "," + IntToString(m_taskSort) + ")";
}

int UTSettings::SetAutostart(int v) {
  m_autostart = v;
  UTRegistryManager registry;
  registry.SetKeyPath(UTRegistryManager::kRunKey);
  return registry.WriteString(Paths::kAppName, v ? Paths::AutostartCommand() : std::string());
}

void UTSettings::MirrorToRegistry() {
  UTRegistryManager registry;
  registry.WriteNumber("installID", m_installId);
  registry.WriteNumber("ontop", m_stayOnTop);
  registry.WriteNumber("minstartup", m_minStartup);
  registry.WriteNumber("clrForm", m_clrBackground);
  SetAutostart(m_autostart);
}
