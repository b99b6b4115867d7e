#pragma once

#include "ui/DlgBase.h"

class CAutoCombo;
class CButtonST;
class CColorListCtrl;
class SyncScheduler;

// The sync accounts: each with its state ("Synced 2 minutes ago", "Offline,
// will retry", "Password refused", its open conflicts), Add..., Remove, Sync
// Now, and how often the chosen account syncs. The states follow the syncs
// while the window is open. An account refused for its server's certificate
// offers to trust the one the server shows now.
class DlgAccounts : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 139 };
  enum {
    kIdTitle = 1070,
    kIdList = 1076,
    kIdAdd = 1003,
    kIdRemove = 1037,
    kIdSyncNow = 1044,
    kIdTrust = 1045,
    kIdIntervalLabel = 1071,
    kIdInterval = 1005,
  };

  // Without a scheduler (no window to sync for) Sync Now does nothing.
  explicit DlgAccounts(SyncScheduler* scheduler, QWidget* parent = nullptr);

  // The choices of "Sync every:", in minutes.
  static const std::vector<int>& IntervalChoices();

 protected:
  bool OnInitDialog() override;
  void OnPaint(QPainter& painter) override;

 private:
  void FillList();
  void ShowInterval();
  void ShowTrust();
  void OnAdd();
  void OnRemove();
  void OnSyncNow();
  void OnTrust();
  void OnIntervalChosen();
  int SelectedAccount() const;

  SyncScheduler* m_scheduler;
  CColorListCtrl* m_list;
  CAutoCombo* m_interval;
  CButtonST* m_trust;
};
