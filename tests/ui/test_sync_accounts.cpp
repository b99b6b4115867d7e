#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "ModalAnswers.h"
#include "UiTest.h"
#include "app/Message.h"
#include "app/SyncScheduler.h"
#include "db/DBL.h"
#include "db/Transaction.h"
#include "settings/DlgAccounts.h"
#include "settings/DlgAddAccount.h"
#include "sync/AccountSync.h"
#include "sync/DavClient.h"
#include "sync/PasswordStore.h"
#include "sync/SyncStore.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorEdit.h"
#include "ui/CColorListCtrl.h"
#include "ui/DlgMessage.h"

namespace {

class SyncAccountsTest : public UiTest {
 protected:
  int AddAccount(const std::string& url, const std::string& state, long long lastSync) {
    int id = 0;
    DBL::RunTransaction([&](DBL::Transaction& t) {
      Sync::EnsureTables(t);
      Sync::Account account;
      account.url = url;
      account.user = "alice";
      account.state = state;
      account.lastSync = lastSync;
      id = Sync::InsertAccount(t, account);
      Sync::InsertCollection(t, {0, id, url + "alice/calendar/", "Calendar", {2}, "", ""});
    });
    return id;
  }

  std::vector<Sync::Account> Accounts() {
    std::vector<Sync::Account> accounts;
    DBL::RunTransaction([&](DBL::Transaction& t) { accounts = Sync::ListAccounts(t); }, false);
    return accounts;
  }

  std::string PinOf(int accountId) {
    for (const Sync::Account& account : Accounts()) {
      if (account.id == accountId) return account.pinnedSha256;
    }
    return "(no account)";
  }
};

TEST(SyncRetry, DelaysDoubleUpToTheIntervalButNeverUndercutRetryAfter) {
  EXPECT_EQ(SyncScheduler::RetryDelaySeconds(1, -1, 15), 30);
  EXPECT_EQ(SyncScheduler::RetryDelaySeconds(2, -1, 15), 60);
  EXPECT_EQ(SyncScheduler::RetryDelaySeconds(4, -1, 15), 240);
  EXPECT_EQ(SyncScheduler::RetryDelaySeconds(40, -1, 15), 900);  // no overflow after many failures
  EXPECT_EQ(SyncScheduler::RetryDelaySeconds(1, 600, 15), 600);
  EXPECT_EQ(SyncScheduler::RetryDelaySeconds(1, 7200, 15), 7200);
  EXPECT_EQ(SyncScheduler::RetryDelaySeconds(3, -1, 1), 60);
}

TEST_F(SyncAccountsTest, TheListShowsEachAccountsStateAndTheIntervalIsKeptPerAccount) {
  const long long now = QDateTime::currentSecsSinceEpoch();
  const int first = AddAccount("https://dav.example.org/", "Synced", now - 150);
  const int second = AddAccount("https://cloud.example.net/", "Password refused", 0);
  DlgAccounts dialog(nullptr);
  dialog.Create();
  auto* list = qobject_cast<CColorListCtrl*>(dialog.GetDlgItem(DlgAccounts::kIdList));
  ASSERT_EQ(list->GetItemCount(), 2);
  EXPECT_EQ(list->GetItemText(0, 0), "alice at dav.example.org");
  EXPECT_EQ(list->GetItemText(0, 1), "Synced 2 minutes ago");
  EXPECT_EQ(list->GetItemText(1, 1), "Password refused");
  EXPECT_EQ(list->GetItemValue(0), first);

  list->SelectRow(1);
  auto* interval = qobject_cast<CAutoCombo*>(dialog.GetDlgItem(DlgAccounts::kIdInterval));
  EXPECT_EQ(interval->currentText(), "15 minutes");
  interval->SelectItem(interval->findText("1 hour"));
  emit interval->selChange();
  for (const Sync::Account& account : Accounts()) {
    EXPECT_EQ(account.interval, account.id == second ? 60 : 15) << account.url;
  }
  list->SelectRow(0);
  EXPECT_EQ(interval->currentText(), "15 minutes");
  list->SelectRow(1);
  EXPECT_EQ(interval->currentText(), "1 hour");
}

TEST_F(SyncAccountsTest, RemovingAnAccountAsksAndKeepsTheRecords) {
  AddAccount("https://dav.example.org/", "Synced", 0);
  ASSERT_GT(DBL::ExecuteInsert("insert into event (title, event_date) values ('Flight', 46000)"), 0);
  DlgAccounts dialog(nullptr);
  dialog.Create();
  auto* remove = qobject_cast<CButtonST*>(dialog.GetDlgItem(DlgAccounts::kIdRemove));
  std::vector<std::string> asked;
  SetMessageHook([&](const std::string& text, int) {
    asked.push_back(text);
    return asked.size() == 1 ? 2 : 1;  // No, then Yes
  });
  remove->click();
  EXPECT_EQ(Accounts().size(), 1u);
  remove->click();
  SetMessageHook(nullptr);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_NE(asked[0].find("alice at dav.example.org"), std::string::npos) << asked[0];
  EXPECT_TRUE(Accounts().empty());
  EXPECT_EQ(qobject_cast<CColorListCtrl*>(dialog.GetDlgItem(DlgAccounts::kIdList))->GetItemCount(), 0);
  DBL::MemResultSet events = DBL::ExecuteQuery("select count(*) as n from event");
  ASSERT_TRUE(events.Next());
  EXPECT_EQ(events.GetInt("n"), 1);
}

TEST_F(SyncAccountsTest, AnUnreachableServerIsTriedInTheBackgroundAndMarkedOffline) {
  // Port 1 on this computer: nothing listens there.
  const int id = AddAccount("http://127.0.0.1:1/", "", 0);
  Sync::PasswordStore::Save(Sync::PasswordStore::KeyOf("alice", "http://127.0.0.1:1/"), "secret");
  SyncScheduler scheduler;
  QSignalSpy states(&scheduler, &SyncScheduler::StateChanged);
  scheduler.Start();
  EXPECT_EQ(scheduler.RunningAccount(), id);  // the work went to the worker: this thread goes on
  ASSERT_TRUE(QTest::qWaitFor([&] { return scheduler.RunningAccount() == 0; }, 20000));
  EXPECT_GE(states.count(), 2);
  ASSERT_EQ(Accounts().size(), 1u);
  EXPECT_EQ(Accounts()[0].state, "Offline, will retry");
}

TEST_F(SyncAccountsTest, AnAccountRefusedForItsCertificateOffersToTrustTheOneTheServerShowsNow) {
  const std::string shown =
      "0a:1b:2c:3d:4e:5f:60:71:82:93:a4:b5:c6:d7:e8:f9:0a:1b:2c:3d:4e:5f:60:71:82:93:a4:b5:c6:d7:e8:f9";
  const int changed =
      AddAccount("https://dav.example.org/", "changes: the server's certificate is not trusted (SHA-256 " + shown + ")", 0);
  Sync::TrustCertificate(changed, "AA:BB:CC");  // the one trusted before, kept as the client compares it
  ASSERT_EQ(PinOf(changed), "aabbcc");
  const int synced = AddAccount("https://cloud.example.net/", "Synced", QDateTime::currentSecsSinceEpoch());
  const int offline = AddAccount("https://other.example.com/", "Offline, will retry", 0);

  DlgAccounts dialog(nullptr);
  dialog.Create();
  auto* list = qobject_cast<CColorListCtrl*>(dialog.GetDlgItem(DlgAccounts::kIdList));
  auto* trust = qobject_cast<CButtonST*>(dialog.GetDlgItem(DlgAccounts::kIdTrust));
  auto select = [&](int id) {
    for (int row = 0; row < list->GetItemCount(); ++row) {
      if (list->GetItemValue(row) == id) list->SelectRow(row);
    }
  };
  // Offered only where a certificate was refused.
  select(synced);
  EXPECT_TRUE(trust->isHidden());
  select(offline);
  EXPECT_TRUE(trust->isHidden());
  select(changed);
  EXPECT_FALSE(trust->isHidden());

  std::vector<std::pair<std::string, int>> asked;
  int answer = 2;
  SetMessageHook([&](const std::string& text, int kind) {
    asked.emplace_back(text, kind);
    return answer;
  });
  trust->click();
  EXPECT_EQ(PinOf(changed), "aabbcc");  // No keeps the certificate trusted before
  answer = 1;
  trust->click();
  SetMessageHook(nullptr);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].second, kMessageYesNoCaution);  // Enter alone answers No
  EXPECT_NE(asked[0].first.find(shown), std::string::npos) << asked[0].first;
  EXPECT_NE(asked[0].first.find("dav.example.org shows another certificate"), std::string::npos) << asked[0].first;
  EXPECT_EQ(PinOf(changed), Sync::DavClient::PlainFingerprint(shown));
  EXPECT_EQ(PinOf(synced), "");
}

TEST_F(SyncAccountsTest, CancelAbortsASearchTheServerNeverAnswersAndClosesAtOnce) {
  QTcpServer silent;
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
  std::vector<QTcpSocket*> held;  // taken, read, never answered
  QObject::connect(&silent, &QTcpServer::newConnection, [&] {
    while (QTcpSocket* socket = silent.nextPendingConnection()) held.push_back(socket);
  });
  DlgAddAccount dialog(nullptr);
  dialog.Create();
  dialog.show();
  qobject_cast<CColorEdit*>(dialog.GetDlgItem(DlgAddAccount::kIdServer))
      ->setText(QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort()));
  qobject_cast<CColorEdit*>(dialog.GetDlgItem(DlgAddAccount::kIdUser))->setText(QStringLiteral("alice"));
  qobject_cast<CColorEdit*>(dialog.GetDlgItem(DlgAddAccount::kIdPassword))->setText(QStringLiteral("secret"));
  qobject_cast<CButtonST*>(dialog.GetDlgItem(DlgAddAccount::kIdFind))->click();
  ASSERT_TRUE(dialog.IsBusy());
  ASSERT_TRUE(QTest::qWaitFor([&] { return !held.empty() && held.front()->bytesAvailable() > 0; }, 10000));

  QElapsedTimer clock;
  clock.start();
  qobject_cast<CButtonST*>(dialog.GetDlgItem(DlgBase::kIdCancel))->click();
  EXPECT_TRUE(dialog.isHidden());
  EXPECT_EQ(dialog.result(), DlgBase::kIdCancel);
  // The client hangs up: the request was aborted, not left to run into its
  // timeout of half a minute.
  EXPECT_TRUE(QTest::qWaitFor([&] { return held.front()->state() == QAbstractSocket::UnconnectedState; }, 5000));
  EXPECT_LT(clock.elapsed(), 5000);
  QTest::qWait(200);
  EXPECT_EQ(held.size(), 1u);  // and no later request went out
  EXPECT_EQ(dialog.GetAccountId(), 0);
  DBL::RunTransaction([](DBL::Transaction& t) { Sync::EnsureTables(t); });
  EXPECT_TRUE(Accounts().empty());
}

}  // namespace
