#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <set>
#include <vector>
#include <string>

#include "sync/Discovery.h"
#include "ui/DlgBase.h"

class CAutoCombo;
class CButtonST;
class CColorEdit;
class CColorStatic;
class QProgressBar;
namespace Sync {
class StopSignal;
}  // namespace Sync

// Adds a sync account: the server's address (or just its domain), the user
// name and password; Find Calendars looks for the account's calendars and
// address books in a thread of its own, so the window keeps answering, and
// Cancel aborts the search at once and closes. The person then picks the
// collection for tasks, events, notes and contacts, or a new one named
// "Orvale Organizer" where the account has none. Add makes the new
// collections, stores the account and puts the password in the Secret Service
// (in memory where there is none). Nothing is stored until the account
// answered with its collections. An account added again keeps what it had and
// takes the password typed: the way to give it one when the desktop has no
// Secret Service.
class DlgAddAccount : public DlgBase {
  Q_OBJECT

 public:
  enum { kTemplateId = 140 };
  enum {
    kIdTitle = 1070,
    kIdServer = 1001,
    kIdUser = 1002,
    kIdPassword = 1006,
    kIdFind = 1004,
    kIdStatus = 1081,
    kIdProgress = 1099,
    kIdTasks = 1010,
    kIdEvents = 1011,
    kIdNotes = 1012,
    kIdContacts = 1013,
  };
  // The name of collections the organizer makes.
  static constexpr char kNewCollectionName[] = "Orvale Organizer";

  explicit DlgAddAccount(QWidget* parent = nullptr);

  // The account stored by Add; 0 before.
  int GetAccountId() const { return m_accountId; }
  // The question before a certificate this computer does not trust is
  // trusted for an account: `why` it is asked, and the fingerprint to compare.
  static std::string TrustQuestion(const std::string& why, const std::string& fingerprint);
  // Whether a search or the making of collections is under way.
  bool IsBusy() const { return m_busy; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  // Aborts a search under way, then closes: nothing is stored.
  void OnCancel() override;
  void OnPaint(QPainter& painter) override;

 private:
  void OnFind();
  void OnFound(const Sync::Discovered& found, const std::string& pin);
  void FillChoices();
  // Runs `work` in a thread of its own, with a client for the account typed
  // that Cancel can stop, and then, unless cancelled, `done` here.
  void RunAside(const QString& what, std::function<void(Sync::DavClient&)> work, std::function<void()> done);
  void EndBusy(const QString& status);
  void ShowStatus(const QString& text);
  // Stores the account with its collections and the kinds each receives, then
  // the password, and closes.
  void Store(const std::vector<Sync::FoundCollection>& collections, const std::vector<std::set<int>>& kinds);
  CAutoCombo* Choice(int kind) const;

  CColorEdit* m_server;
  CColorEdit* m_user;
  CColorEdit* m_password;
  CButtonST* m_find;
  CButtonST* m_add;
  CColorStatic* m_status;
  QProgressBar* m_progress;
  bool m_busy = false;
  int m_run = 0;  // counts searches, so that a cancelled one's answer is ignored
  std::shared_ptr<Sync::StopSignal> m_stop;  // the search under way's
  // What the last search found, for the choices and Add.
  Sync::Discovered m_found;
  QUrl m_start;
  std::string m_userName;
  QString m_passwordText;
  std::string m_pin;  // the certificate the person chose to trust, "" none
  int m_accountId = 0;
};
