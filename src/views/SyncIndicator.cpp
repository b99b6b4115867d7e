#include "views/SyncIndicator.h"

#include <QDateTime>
#include <QUrl>

#include "app/SyncScheduler.h"
#include "db/SQLException.h"
#include "db/Transaction.h"
#include "sync/AccountSync.h"
#include "sync/SyncStore.h"
#include "ui/CButtonST.h"
#include "ui/CColorStatic.h"
#include "ui/ResourceIcons.h"

namespace {
constexpr int kClockMs = 30 * 1000;
}

SyncIndicator::SyncIndicator(SyncScheduler& scheduler, CColorStatic* icon, CButtonST* button, QObject* parent)
    : QObject(parent), m_scheduler(scheduler), m_icon(icon), m_button(button) {
  m_icon->setAccessibleName(QStringLiteral("Sync state"));
  m_icon->setAlignment(Qt::AlignCenter);
  connect(&m_scheduler, &SyncScheduler::StateChanged, this, &SyncIndicator::Update);
  connect(&m_clock, &QTimer::timeout, this, &SyncIndicator::Update);
  m_clock.start(kClockMs);
}

void SyncIndicator::Update() {
  std::vector<Sync::Account> accounts;
  std::vector<int> conflicts;
  try {
    DBL::RunTransaction(
        [&](DBL::Transaction& t) {
          accounts = Sync::ListAccounts(t);
          for (const Sync::Account& account : accounts) conflicts.push_back(Sync::ConflictCount(t, account.id));
        },
        false);
  } catch (const DBL::SQLException&) {
    // Before the first sync the tables may not be there yet: no accounts.
  }
  const long long now = QDateTime::currentSecsSinceEpoch();
  QStringList lines;
  bool attention = false;
  for (size_t i = 0; i < accounts.size(); ++i) {
    const Sync::Account& account = accounts[i];
    const bool running = m_scheduler.RunningAccount() == account.id;
    const std::string state = running ? "Syncing..." : Sync::DescribeState(account, conflicts[i], now);
    if (!running && !account.state.empty() && (account.state != "Synced" || conflicts[i] > 0)) attention = true;
    lines << QString::fromStdString(account.user) + QStringLiteral(" at ") +
                 QUrl(QString::fromStdString(account.url)).host() + QStringLiteral(": ") +
                 QString::fromStdString(state);
  }
  m_text = lines.join('\n');
  const bool shown = !accounts.empty();
  m_icon->setVisible(shown);
  m_button->setVisible(shown);
  if (!shown) return;
  const int iconId = m_scheduler.RunningAccount() != 0 ? kSyncingIcon : attention ? kAttentionIcon : kSyncedIcon;
  m_icon->setPixmap(ResourcePixmap(iconId).scaled(m_icon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
  m_icon->setToolTip(m_text);
  m_icon->setAccessibleDescription(m_text);
}
