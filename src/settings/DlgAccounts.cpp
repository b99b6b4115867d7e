#include "settings/DlgAccounts.h"

#include <QDateTime>
#include <QSignalBlocker>
#include <QItemSelectionModel>
#include <QUrl>
#include <algorithm>

#include "app/AppBase.h"
#include "app/Message.h"
#include "app/SyncScheduler.h"
#include "db/SQLException.h"
#include "db/Transaction.h"
#include "editors/EditorControls.h"
#include "settings/DlgAddAccount.h"
#include "sync/AccountSync.h"
#include "sync/PasswordStore.h"
#include "sync/SyncStore.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorListCtrl.h"
#include "ui/ListStyle.h"

namespace {

constexpr int kAddIcon = 151;
constexpr int kRemoveIcon = 166;
constexpr int kCloseIcon = 161;
constexpr int kAccountWidth = 220;
constexpr int kStateWidth = 290;

std::vector<Sync::Account> Accounts(std::vector<int>* conflicts) {
  std::vector<Sync::Account> accounts;
  // Only reads: a sync may be writing, and the window must not wait for it.
  DBL::RunTransaction(
      [&](DBL::Transaction& t) {
        accounts = Sync::ListAccounts(t);
        for (const Sync::Account& account : accounts) conflicts->push_back(Sync::ConflictCount(t, account.id));
      },
      false);
  return accounts;
}

QString IntervalText(int minutes) {
  if (minutes % 60 == 0) return minutes == 60 ? QStringLiteral("1 hour") : QStringLiteral("%1 hours").arg(minutes / 60);
  return minutes == 1 ? QStringLiteral("1 minute") : QStringLiteral("%1 minutes").arg(minutes);
}

}  // namespace

DlgAccounts::DlgAccounts(SyncScheduler* scheduler, QWidget* parent)
    : DlgBase(kTemplateId, parent),
      m_scheduler(scheduler),
      m_list(qobject_cast<CColorListCtrl*>(GetDlgItem(kIdList))),
      m_interval(qobject_cast<CAutoCombo*>(GetDlgItem(kIdInterval))),
      m_trust(qobject_cast<CButtonST*>(GetDlgItem(kIdTrust))) {
  if (parent) setWindowModality(Qt::WindowModal);
  connect(qobject_cast<CButtonST*>(GetDlgItem(kIdAdd)), &QAbstractButton::clicked, this, &DlgAccounts::OnAdd);
  connect(qobject_cast<CButtonST*>(GetDlgItem(kIdRemove)), &QAbstractButton::clicked, this, &DlgAccounts::OnRemove);
  connect(qobject_cast<CButtonST*>(GetDlgItem(kIdSyncNow)), &QAbstractButton::clicked, this, &DlgAccounts::OnSyncNow);
  connect(m_trust, &QAbstractButton::clicked, this, &DlgAccounts::OnTrust);
  connect(m_interval, &CAutoCombo::selChange, this, &DlgAccounts::OnIntervalChosen);
  if (m_scheduler) connect(m_scheduler, &SyncScheduler::StateChanged, this, &DlgAccounts::FillList);
}

const std::vector<int>& DlgAccounts::IntervalChoices() {
  static const std::vector<int> minutes = {5, 15, 30, 60, 240};
  return minutes;
}

bool DlgAccounts::OnInitDialog() {
  DlgBase::OnInitDialog();
  EditorControls::DressTitle(*this, kIdTitle);
  EditorControls::DressLabels(*this, {kIdIntervalLabel});
  EditorControls::DressButton(*this, qobject_cast<CButtonST*>(GetDlgItem(kIdAdd)), kAddIcon);
  EditorControls::DressButton(*this, qobject_cast<CButtonST*>(GetDlgItem(kIdRemove)), kRemoveIcon);
  auto* syncNow = qobject_cast<CButtonST*>(GetDlgItem(kIdSyncNow));
  EditorControls::DressButton(*this, syncNow, 0);
  syncNow->SetFlatStyle(false);  // without an icon, a frame tells it from a label
  EditorControls::DressButton(*this, m_trust, 0);
  m_trust->SetFlatStyle(false);
  EditorControls::DressButton(*this, qobject_cast<CButtonST*>(GetDlgItem(kIdOk)), kCloseIcon);
  EditorControls::DressPickBox(*this, m_interval, false, 0);
  m_interval->setAccessibleName(QStringLiteral("Sync every"));
  setWindowTitle(QStringLiteral("Accounts"));

  const int text = GetApp().GetSettings().GetClrText();
  m_list->SetGridLines(true);
  m_list->setFont(GetTextFont());
  m_list->SetTextColor(text);
  m_list->SetSelectedTextColor(text);
  m_list->InsertColumn(QStringLiteral("Account"), 0);
  m_list->InsertColumn(QStringLiteral("State"), 1);
  m_list->setColumnWidth(0, kAccountWidth);
  m_list->setColumnWidth(1, kStateWidth);
  m_list->setAccessibleName(QStringLiteral("Accounts"));
  connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &DlgAccounts::ShowInterval);
  connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &DlgAccounts::ShowTrust);

  FillList();
  StartTimer(kTimerFadeIn, 50);
  return true;
}

void DlgAccounts::FillList() {
  const int keep = SelectedAccount();
  std::vector<int> conflicts;
  std::vector<Sync::Account> accounts;
  try {
    accounts = Accounts(&conflicts);
  } catch (const DBL::SQLException& e) {
    ShowMessage("The accounts could not be read: " + e.GetMessage(), kMessageOkNotice);
  }
  const int text = GetApp().GetSettings().GetClrText();
  const long long now = QDateTime::currentSecsSinceEpoch();
  m_list->setUpdatesEnabled(false);
  m_list->DeleteAllItems();
  int select = 0;
  for (size_t row = 0; row < accounts.size(); ++row) {
    const Sync::Account& account = accounts[row];
    const bool running = m_scheduler && m_scheduler->RunningAccount() == account.id;
    const QString where = QUrl(QString::fromStdString(account.url)).host();
    const int r = static_cast<int>(row);
    m_list->SetCellText(r, 0, QString::fromStdString(account.user) + QStringLiteral(" at ") + where);
    m_list->SetCellText(r, 1, running ? QStringLiteral("Syncing...")
                                      : QString::fromStdString(Sync::DescribeState(account, conflicts[row], now)));
    m_list->SetItemValue(r, account.id);
    m_list->SetRowStyle(r, kLsTextColor, false);
    m_list->SetRowTextColor(r, text, false);
    if (account.id == keep) select = r;
  }
  if (!accounts.empty()) m_list->SelectRow(select);
  m_list->setUpdatesEnabled(true);
  ShowInterval();
  ShowTrust();
}

int DlgAccounts::SelectedAccount() const {
  const int row = m_list->GetFirstSelectedRow();
  return row < 0 ? 0 : m_list->GetItemValue(row);
}

void DlgAccounts::ShowInterval() {
  const int id = SelectedAccount();
  int minutes = 15;
  std::vector<int> conflicts;
  try {
    for (const Sync::Account& account : Accounts(&conflicts)) {
      if (account.id == id) minutes = account.interval;
    }
  } catch (const DBL::SQLException&) {
    // The list said why already; the choice shows the default.
  }
  const QSignalBlocker quiet(m_interval);
  m_interval->ResetItems();
  std::vector<int> choices = IntervalChoices();
  if (std::find(choices.begin(), choices.end(), minutes) == choices.end()) choices.push_back(minutes);
  std::sort(choices.begin(), choices.end());
  for (int choice : choices) m_interval->SetItemValue(m_interval->AddItem(IntervalText(choice)), choice);
  EditorControls::SelectValue(m_interval, minutes);
  m_interval->setEnabled(id != 0);
}

void DlgAccounts::ShowTrust() {
  const int id = SelectedAccount();
  bool refused = false;
  std::vector<int> conflicts;
  try {
    for (const Sync::Account& account : Accounts(&conflicts)) {
      if (account.id == id) refused = !Sync::RefusedCertificate(account).empty();
    }
  } catch (const DBL::SQLException&) {
    // The list said why already.
  }
  m_trust->setVisible(refused);
}

// Trusting a certificate lets whoever holds its key read the account, so the
// person is shown the fingerprint and asked, and Enter alone answers No.
void DlgAccounts::OnTrust() {
  const int id = SelectedAccount();
  std::vector<int> conflicts;
  try {
    for (const Sync::Account& account : Accounts(&conflicts)) {
      const std::string fingerprint = Sync::RefusedCertificate(account);
      if (account.id != id || fingerprint.empty()) continue;
      const std::string host = QUrl(QString::fromStdString(account.url)).host().toStdString();
      const std::string why = account.pinnedSha256.empty()
                                  ? "This computer does not trust the certificate of " + host + "."
                                  : "The server " + host + " shows another certificate than the one trusted for "
                                    "this account.";
      if (ShowMessage(DlgAddAccount::TrustQuestion(why, fingerprint), kMessageYesNoCaution) != 1) return;
      Sync::TrustCertificate(id, fingerprint);
    }
  } catch (const DBL::SQLException& e) {
    ShowMessage("The certificate was not trusted: " + e.GetMessage(), kMessageOkNotice);
    return;
  }
  if (m_scheduler) m_scheduler->SyncAccountNow(id);
  FillList();
}

void DlgAccounts::OnIntervalChosen() {
  const int id = SelectedAccount();
  const int minutes = EditorControls::SelectedValue(m_interval);
  if (id == 0 || minutes <= 0) return;
  try {
    DBL::RunTransaction([&](DBL::Transaction& t) { Sync::SetAccountInterval(t, id, minutes); });
  } catch (const DBL::SQLException& e) {
    ShowMessage("The sync interval was not saved: " + e.GetMessage(), kMessageOkNotice);
    ShowInterval();
    return;
  }
  if (m_scheduler) m_scheduler->AccountsChanged();
}

void DlgAccounts::OnAdd() {
  DlgAddAccount add(this);
  if (add.DoModal() != kIdOk) return;
  if (m_scheduler) m_scheduler->SyncAccountNow(add.GetAccountId());
  FillList();
  for (int row = 0; row < m_list->GetItemCount(); ++row) {
    if (m_list->GetItemValue(row) == add.GetAccountId()) m_list->SelectRow(row);
  }
}

void DlgAccounts::OnRemove() {
  const int row = m_list->GetFirstSelectedRow();
  if (row < 0) {
    ShowMessage("No account was selected.", kMessageNotice);
    return;
  }
  const int id = m_list->GetItemValue(row);
  if (m_scheduler && m_scheduler->RunningAccount() == id) {
    ShowMessage("The account is syncing just now. Remove it once the sync has finished.", kMessageOkNotice);
    return;
  }
  const std::string name = m_list->GetItemText(row, 0).toStdString();
  if (ShowMessage("Remove the account " + name + "? Its records stay in the organizer; only syncing them ends.",
                  kMessageYesNo) != 1) {
    return;
  }
  std::vector<int> conflicts;
  try {
    for (const Sync::Account& account : Accounts(&conflicts)) {
      if (account.id != id) continue;
      DBL::RunTransaction([&](DBL::Transaction& t) { Sync::RemoveAccount(t, id); });
      Sync::PasswordStore::Forget(Sync::PasswordStore::KeyOf(account.user, account.url));
    }
  } catch (const DBL::SQLException& e) {
    ShowMessage("The account was not removed: " + e.GetMessage(), kMessageOkNotice);
  }
  if (m_scheduler) m_scheduler->AccountsChanged();
  FillList();
}

void DlgAccounts::OnSyncNow() {
  if (!m_scheduler) return;
  const int id = SelectedAccount();
  if (id != 0) {
    m_scheduler->SyncAccountNow(id);
  } else {
    m_scheduler->SyncNow();
  }
  FillList();
}

void DlgAccounts::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
