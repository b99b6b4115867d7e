#pragma once

#include <string>

// The user's preferences: one row of the settings table, held in memory.
// Setters change memory only; Save writes the whole row back.
class UTSettings {
 public:
  UTSettings();
  virtual ~UTSettings();
  UTSettings(const UTSettings&) = delete;
  UTSettings& operator=(const UTSettings&) = delete;

  // Reads the first settings row; without one the values stay as they are.
  void Load();
  // Writes every value into the settings row, or adds the row when there is none.
  // Returns 0 on success (the runners' codes otherwise).
  int Save();
  // Copies a few values into the program's configuration file and rewrites the
  // autostart entry; done once per installation.
  void MirrorToRegistry();

  // Puts the seven colours back to those of a new database (in memory, as
  // the setters do).
  void RestoreDefaultColors();

  // Live settings objects in this process.
  static int LiveObjects();

  int GetPasswordProtect() const { return m_passwordProtect; }
  void SetPasswordProtect(int v) { m_passwordProtect = v; }
  const std::string& GetPassword() const { return m_password; }
  void SetPassword(const std::string& v) { m_password = v; }
  int GetAutostart() const { return m_autostart; }
  // Also writes the autostart entry. Returns that write's result (0 on success).
  int SetAutostart(int v);
  int GetMinStartup() const { return m_minStartup; }
  void SetMinStartup(int v) { m_minStartup = v; }
  int GetStayOnTop() const { return m_stayOnTop; }
  void SetStayOnTop(int v) { m_stayOnTop = v; }
  int GetTransparent() const { return m_transparent; }
  void SetTransparent(int v) { m_transparent = v; }
  int GetClrBackground() const { return m_clrBackground; }
  void SetClrBackground(int v) { m_clrBackground = v; }
  int GetClrText() const { return m_clrText; }
  void SetClrText(int v) { m_clrText = v; }
  int GetClrBorder() const { return m_clrBorder; }
  void SetClrBorder(int v) { m_clrBorder = v; }
  int GetClrHighlight() const { return m_clrHighlight; }
  void SetClrHighlight(int v) { m_clrHighlight = v; }
  int GetClrLoPrior() const { return m_clrLoPrior; }
  void SetClrLoPrior(int v) { m_clrLoPrior = v; }
  int GetClrMedPrior() const { return m_clrMedPrior; }
  void SetClrMedPrior(int v) { m_clrMedPrior = v; }
  int GetClrHiPrior() const { return m_clrHiPrior; }
  void SetClrHiPrior(int v) { m_clrHiPrior = v; }
  int GetInstallId() const { return m_installId; }
  void SetInstallId(int v) { m_installId = v; }
  int GetNoteSort() const { return m_noteSort; }
  void SetNoteSort(int v) { m_noteSort = v; }
  int GetTaskSort() const { return m_taskSort; }
  void SetTaskSort(int v) { m_taskSort = v; }
  int GetContactSort() const { return m_contactSort; }
  void SetContactSort(int v) { m_contactSort = v; }

 private:
  std::string UpdateStatement() const;
  std::string InsertStatement() const;

  int m_passwordProtect = 0;
  std::string m_password;
  int m_autostart = 0;
  int m_minStartup = 0;
  int m_stayOnTop = 0;
  int m_transparent = 0;
  int m_clrBackground = 0;
  int m_clrText = 0;
  int m_clrBorder = 0;
  int m_clrHighlight = 0;
  int m_clrLoPrior = 0;
  int m_clrMedPrior = 0;
  int m_clrHiPrior = 0;
  int m_installId = 0;
  int m_noteSort = 0;
  int m_taskSort = 0;
  int m_contactSort = 0;
};
