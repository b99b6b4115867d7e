#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class CButtonST;
class CColorStatic;
class SyncScheduler;

// The sync state in the main window's header: a small icon (all synced, a
// sync running, an account that needs attention) whose tool tip names each
// account's state, beside the Sync Now button. Both show only when there is
// an account: without one there is nothing to say.
class SyncIndicator : public QObject {
  Q_OBJECT

 public:
  enum { kSyncedIcon = 145, kSyncingIcon = 146, kAttentionIcon = 147 };

  SyncIndicator(SyncScheduler& scheduler, CColorStatic* icon, CButtonST* button, QObject* parent = nullptr);

  // Reads the accounts' states again.
  void Update();
  // One line per account ("alice at dav.example.org: Synced 2 minutes ago"); "" without accounts.
  const QString& StateText() const { return m_text; }

 private:
  SyncScheduler& m_scheduler;
  CColorStatic* m_icon;
  CButtonST* m_button;
  QTimer m_clock;  // "2 minutes ago" grows older
  QString m_text;
};
