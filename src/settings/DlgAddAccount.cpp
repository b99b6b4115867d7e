#include "settings/DlgAddAccount.h"

#include <QProgressBar>
#include <QThread>
#include <map>
#include <set>

#include "app/AppBase.h"
#include "app/Message.h"
#include "db/SQLException.h"
#include "db/Transaction.h"
#include "editors/EditorControls.h"
#include "sync/DavClient.h"
#include "sync/PasswordStore.h"
#include "sync/StopSignal.h"
#include "sync/SyncStore.h"
#include "ui/CAutoCombo.h"
#include "ui/CButtonST.h"
#include "ui/CColorEdit.h"
#include "ui/CColorStatic.h"

namespace {

constexpr int kAddIcon = 151;
constexpr int kCancelIcon = 166;
// A person waits for the search: a server silent this long is not answering.
constexpr int kSearchTimeoutMs = 30000;

// The values of the collection choices: none, a new one, or a found one.
constexpr int kNone = 0;
constexpr int kNew = 1;
constexpr int kFoundBase = 2;

// Kind (as category.type_id) -> the calendar component it is kept in; "" for contacts.
const std::map<int, std::string> kComponents = {{0, "VTODO"}, {2, "VEVENT"}, {3, "VJOURNAL"}, {1, ""}};

QString Sentence(const std::string& text) {
  QString sentence = QString::fromStdString(text);
  if (!sentence.isEmpty()) sentence[0] = sentence[0].toUpper();
  if (!sentence.endsWith('.')) sentence += '.';
  return sentence;
}

bool Fits(const Sync::FoundCollection& collection, const std::string& component) {
  return component.empty() ? collection.addressbook : collection.components.count(component) > 0;
}

}  // namespace

DlgAddAccount::DlgAddAccount(QWidget* parent)
    : DlgBase(kTemplateId, parent),
      m_server(qobject_cast<CColorEdit*>(GetDlgItem(kIdServer))),
      m_user(qobject_cast<CColorEdit*>(GetDlgItem(kIdUser))),
      m_password(qobject_cast<CColorEdit*>(GetDlgItem(kIdPassword))),
      m_find(qobject_cast<CButtonST*>(GetDlgItem(kIdFind))),
      m_add(qobject_cast<CButtonST*>(GetDlgItem(kIdOk))),
      m_status(qobject_cast<CColorStatic*>(GetDlgItem(kIdStatus))),
      m_progress(qobject_cast<QProgressBar*>(GetDlgItem(kIdProgress))) {
  if (parent) setWindowModality(Qt::WindowModal);
  connect(m_find, &QAbstractButton::clicked, this, &DlgAddAccount::OnFind);
  // What was found belongs to what was typed: a change means searching again.
  for (CColorEdit* field : {m_server, m_user, m_password}) {
    connect(field, &QLineEdit::textEdited, this, [this] {
      m_found = {};
      m_pin.clear();
      FillChoices();
    });
  }
}

bool DlgAddAccount::OnInitDialog() {
  DlgBase::OnInitDialog();
  setWindowTitle(QStringLiteral("Add Account"));
  EditorControls::DressTitle(*this, kIdTitle);
  EditorControls::DressLabels(*this, {1071, 1072, 1073, 1074, 1075, 1077, 1078, kIdStatus});
  m_status->setWordWrap(true);
  m_status->setAccessibleName(QStringLiteral("Search state"));
  EditorControls::DressButton(*this, m_find, 0);
  m_find->SetFlatStyle(false);  // without an icon, a frame tells it from a label
  EditorControls::DressButton(*this, m_add, kAddIcon);
  EditorControls::DressButton(*this, qobject_cast<CButtonST*>(GetDlgItem(kIdCancel)), kCancelIcon);
  m_server->setAccessibleName(QStringLiteral("Server"));
  m_server->setPlaceholderText(QStringLiteral("example.org or https://dav.example.org/"));
  m_user->setAccessibleName(QStringLiteral("User name"));
  m_password->setAccessibleName(QStringLiteral("Password"));
  m_password->setEchoMode(QLineEdit::Password);
  for (const auto& [kind, name] : {std::pair{0, "Tasks"}, std::pair{2, "Events"}, std::pair{3, "Notes"},
                                   std::pair{1, "Contacts"}}) {
    EditorControls::DressPickBox(*this, Choice(kind), false, 0);
    Choice(kind)->setAccessibleName(QString::fromUtf8(name));
  }
  m_progress->setRange(0, 0);  // no steps to count: it only shows that work goes on
  m_progress->setAccessibleName(QStringLiteral("Progress"));
  m_progress->hide();
  FillChoices();
  m_server->setFocus();
  StartTimer(kTimerFadeIn, 50);
  return true;
}

CAutoCombo* DlgAddAccount::Choice(int kind) const {
  switch (kind) {
    case 0: return qobject_cast<CAutoCombo*>(GetDlgItem(kIdTasks));
    case 1: return qobject_cast<CAutoCombo*>(GetDlgItem(kIdContacts));
    case 2: return qobject_cast<CAutoCombo*>(GetDlgItem(kIdEvents));
    default: return qobject_cast<CAutoCombo*>(GetDlgItem(kIdNotes));
  }
}

void DlgAddAccount::FillChoices() {
  const bool found = !m_found.collections.empty() || !m_found.calendarHome.isEmpty() ||
                     !m_found.addressbookHome.isEmpty();
  m_add->setEnabled(found);
  for (const auto& [kind, component] : kComponents) {
    CAutoCombo* box = Choice(kind);
    box->ResetItems();
    box->setEnabled(found);
    if (!found) continue;
    int first = -1;
    for (size_t index = 0; index < m_found.collections.size(); ++index) {
      const Sync::FoundCollection& collection = m_found.collections[index];
      if (!Fits(collection, component)) continue;
      const int item = box->AddItem(QString::fromStdString(collection.name.empty() ? collection.href : collection.name));
      box->SetItemValue(item, kFoundBase + static_cast<int>(index));
      if (first < 0) first = item;
    }
    // Where the account has none, the organizer offers to make one.
    const QUrl home = component.empty() ? m_found.addressbookHome : m_found.calendarHome;
    if (first < 0 && !home.isEmpty()) {
      first = box->AddItem(QStringLiteral("New: \"%1\"").arg(QString::fromUtf8(kNewCollectionName)));
      box->SetItemValue(first, kNew);
    }
    box->SetItemValue(box->AddItem(QStringLiteral("None")), kNone);
    box->SelectItem(first < 0 ? box->count() - 1 : first);
  }
}

void DlgAddAccount::OnFind() {
  if (m_busy) return;
  const QString typed = m_server->text().trimmed();
  if (typed.isEmpty()) {
    EndBusy(QStringLiteral("Please enter the server's address, or just its domain."));
    m_server->setFocus();
    return;
  }
  if (m_user->text().trimmed().isEmpty()) {
    EndBusy(QStringLiteral("Please enter the user name."));
    m_user->setFocus();
    return;
  }
  const QUrl start = Sync::ServerUrl(typed.toStdString());
  if (const std::string refusal = Sync::DavClient::RefusalOf(start); !refusal.empty()) {
    EndBusy(Sentence(refusal));
    m_server->setFocus();
    return;
  }
  m_start = start;
  m_userName = m_user->text().trimmed().toStdString();
  m_passwordText = m_password->text();
  auto found = std::make_shared<Sync::Discovered>();
  RunAside(QStringLiteral("Looking for calendars and address books at %1...").arg(start.host()),
           [found, start](Sync::DavClient& client) { *found = Sync::Discover(client, start); },
           [this, found, pin = m_pin] { OnFound(*found, pin); });
}

void DlgAddAccount::OnFound(const Sync::Discovered& found, const std::string& pin) {
  if (!found.untrustedCertificate.empty() && pin.empty()) {
    const std::string why = "This computer does not trust the certificate of " + m_start.host().toStdString() + ".";
    if (ShowMessage(TrustQuestion(why, found.untrustedCertificate), kMessageYesNoCaution) == 1) {
      m_pin = found.untrustedCertificate;
      OnFind();
      return;
    }
    EndBusy(QStringLiteral("Not added: the server's certificate is not trusted."));
    return;
  }
  if (!found.error.empty()) {
    EndBusy(Sentence(found.error));
    (found.status == 401 ? m_password : m_server)->setFocus();
    return;
  }
  m_found = found;
  FillChoices();
  int calendars = 0;
  int books = 0;
  for (const Sync::FoundCollection& collection : m_found.collections) ++(collection.addressbook ? books : calendars);
  EndBusy(QStringLiteral("Found %1 calendar(s) and %2 address book(s). Choose where each kind of record goes, then Add.")
              .arg(calendars)
              .arg(books));
  Choice(0)->setFocus();
}

std::string DlgAddAccount::TrustQuestion(const std::string& why, const std::string& fingerprint) {
  return why + "\n\nIts SHA-256 fingerprint:\n" + fingerprint +
         "\n\nTrust this one certificate for this account? Only do so when the fingerprint is the one your server "
         "shows.";
}

void DlgAddAccount::RunAside(const QString& what, std::function<void(Sync::DavClient&)> work,
                             std::function<void()> done) {
  m_busy = true;
  const int run = ++m_run;
  m_stop = std::make_shared<Sync::StopSignal>();
  ShowStatus(what);
  m_progress->show();
  m_find->setEnabled(false);
  m_add->setEnabled(false);
  QThread* thread = QThread::create([work = std::move(work), stop = m_stop, user = QString::fromStdString(m_userName),
                                     password = m_passwordText, pin = m_pin] {
    Sync::DavClient client(user, password, pin, kSearchTimeoutMs);
    client.SetStop(stop);
    work(client);
  });
  connect(thread, &QThread::finished, thread, &QObject::deleteLater);
  connect(thread, &QThread::finished, this, [this, run, done = std::move(done)] {
    if (run != m_run) return;  // cancelled meanwhile
    m_busy = false;
    m_progress->hide();
    m_find->setEnabled(true);
    done();
  });
  thread->start();
}

void DlgAddAccount::ShowStatus(const QString& text) {
  m_status->setText(text);
  // Screen readers read the line by its name; what it says is its description.
  m_status->setAccessibleDescription(text);
}

void DlgAddAccount::EndBusy(const QString& status) {
  m_busy = false;
  m_progress->hide();
  m_find->setEnabled(true);
  m_add->setEnabled(!m_found.collections.empty() || !m_found.calendarHome.isEmpty() ||
                    !m_found.addressbookHome.isEmpty());
  ShowStatus(status);
}

void DlgAddAccount::OnOK() {
  if (m_busy) return;
  if (!m_add->isEnabled()) {
    OnFind();  // Enter in the fields searches first
    return;
  }
  // Which found collection receives which kinds, and what is to be made.
  std::map<int, std::set<int>> kindsOf;  // index in m_found.collections -> kinds
  std::set<std::string> newComponents;
  std::set<int> newCalendarKinds;
  bool newAddressbook = false;
  for (const auto& [kind, component] : kComponents) {
    const int choice = EditorControls::SelectedValue(Choice(kind));
    if (choice >= kFoundBase) {
      kindsOf[choice - kFoundBase].insert(kind);
    } else if (choice == kNew && component.empty()) {
      newAddressbook = true;
    } else if (choice == kNew) {
      newComponents.insert(component);
      newCalendarKinds.insert(kind);
    }
  }
  if (kindsOf.empty() && newComponents.empty() && !newAddressbook) {
    ShowStatus(QStringLiteral("Choose a collection for at least one kind of record."));
    return;
  }
  std::vector<Sync::FoundCollection> chosen;
  std::vector<std::set<int>> chosenKinds;
  for (const auto& [index, kinds] : kindsOf) {
    chosen.push_back(m_found.collections[static_cast<size_t>(index)]);
    chosenKinds.push_back(kinds);
  }
  if (newComponents.empty() && !newAddressbook) {
    Store(chosen, chosenKinds);
    return;
  }
  auto made = std::make_shared<std::vector<Sync::FoundCollection>>();
  auto madeKinds = std::make_shared<std::vector<std::set<int>>>();
  auto why = std::make_shared<std::string>();
  const Sync::Discovered found = m_found;
  RunAside(QStringLiteral("Making \"%1\" on the server...").arg(QString::fromUtf8(kNewCollectionName)),
           [=](Sync::DavClient& client) {
             Sync::FoundCollection collection;
             if (!newComponents.empty()) {
               *why = Sync::CreateCollection(client, found.calendarHome, false, newComponents, kNewCollectionName,
                                             collection);
               if (!why->empty()) return;
               made->push_back(collection);
               madeKinds->push_back(newCalendarKinds);
             }
             if (newAddressbook) {
               *why = Sync::CreateCollection(client, found.addressbookHome, true, {}, kNewCollectionName, collection);
               if (!why->empty()) return;
               made->push_back(collection);
               madeKinds->push_back({1});
             }
           },
           [this, made, madeKinds, why, chosen, chosenKinds] {
             if (!why->empty()) {
               EndBusy(QStringLiteral("Nothing was added: the new collection could not be made. ") + Sentence(*why));
               return;
             }
             std::vector<Sync::FoundCollection> all = chosen;
             std::vector<std::set<int>> kinds = chosenKinds;
             all.insert(all.end(), made->begin(), made->end());
             kinds.insert(kinds.end(), madeKinds->begin(), madeKinds->end());
             Store(all, kinds);
           });
}

void DlgAddAccount::Store(const std::vector<Sync::FoundCollection>& collections,
                          const std::vector<std::set<int>>& kinds) {
  Sync::Account account;
  account.url = m_start.toString().toStdString();
  account.user = m_userName;
  account.pinnedSha256 = Sync::DavClient::PlainFingerprint(m_pin);
  try {
    DBL::RunTransaction([&](DBL::Transaction& t) {
      Sync::EnsureTables(t);
      for (const Sync::Account& known : Sync::ListAccounts(t)) {
        // Added again: only its password is taken, for a run that has none.
        if (known.user == account.user && known.url == account.url) {
          account.id = known.id;
          return;
        }
      }
      account.id = Sync::InsertAccount(t, account);
      for (size_t i = 0; i < collections.size(); ++i) {
        Sync::InsertCollection(t, {0, account.id, collections[i].href, collections[i].name, kinds[i], "", ""});
      }
    });
  } catch (const DBL::SQLException& e) {
    EndBusy(QStringLiteral("The account was not stored: ") + Sentence(e.GetMessage()));
    return;
  }
  if (!Sync::PasswordStore::Save(Sync::PasswordStore::KeyOf(account.user, account.url), m_passwordText)) {
    ShowMessage("No Secret Service answered, so the password is kept only while the organizer runs.",
                kMessageOkNotice);
  }
  m_accountId = account.id;
  done(kIdOk);
}

void DlgAddAccount::OnCancel() {
  if (m_busy) {
    // A silent server would hold the request until its timeout: it is
    // aborted, and whatever answer is on its way is ignored.
    m_stop->Stop();
    ++m_run;
  }
  DlgBase::OnCancel();
}

void DlgAddAccount::OnPaint(QPainter& painter) {
  DrawEmblem(painter);
  DrawWideFrame(painter);
}
