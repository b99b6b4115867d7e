#pragma once

#include "ui/DlgBase.h"

class SyncScheduler;
class UTSettings;

// The settings dialog: four options and seven colours of the application's one
// settings object, which it changes at every click (not a copy), and the way
// to the sync accounts. Save writes the object to the database; Cancel leaves
// the changes in memory, unsaved, for the next save to write.
class DlgAppSettings : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 153 };
  enum {
    kIdTitle = 1070,
    kIdAutostart = 1076,
    kIdMinStartup = 1077,
    kIdStayOnTop = 1018,
    kIdTransparent = 1078,
    kIdBackground = 1060,
    kIdBorder = 1089,
    kIdText = 1091,
    kIdHighlight = 1093,
    kIdHiPrior = 1092,
    kIdMedPrior = 1094,
    kIdLoPrior = 1096,
    kIdBackgroundSwatch = 1102,
    kIdBorderSwatch = 1103,
    kIdTextSwatch = 1105,
    kIdHighlightSwatch = 1107,
    kIdHiPriorSwatch = 1104,
    kIdMedPriorSwatch = 1106,
    kIdLoPriorSwatch = 1108,
    kIdRestoreDefaults = 1114,
    kIdAccounts = 1115,
  };

  explicit DlgAppSettings(UTSettings* settings, QWidget* parent = nullptr);

  // The syncs the account list starts and follows; without one, the list
  // still adds and removes accounts.
  void SetSyncScheduler(SyncScheduler* scheduler) { m_scheduler = scheduler; }

 protected:
  bool OnInitDialog() override;
  // Saves; the dialog stays open when the settings could not be written.
  void OnOK() override;
  void OnPaint(QPainter& painter) override;

 private:
  void OnOptionClicked(int id);
  // The colour choices are numbered in the order of their buttons.
  void OnSelectColor(int choice);
  void OnRestoreDefaults();
  // The swatch of a colour choice shows the colour now set.
  void ShowSwatch(int choice);
  // Warns, the first time only, when the colour would leave some text hard to read.
  void WarnIfHardToRead(int choice, int colorRef);

  UTSettings* m_settings;
  SyncScheduler* m_scheduler = nullptr;
  bool m_warnedContrast = false;
};
