#include "sync/SyncEngine.h"

#include <QCryptographicHash>
#include <QUrl>
#include <QUuid>
#include <optional>

#include "db/Transaction.h"
#include "interop/CalendarMapping.h"
#include "interop/ContactMapping.h"
#include "interop/InteropError.h"
#include "interop/RecordFields.h"
#include "interop/RecordTexts.h"
#include "interop/RecordWriter.h"
#include "interop/VCard.h"
#include "records/RecordIdentity.h"
#include "recurrence/RepeatRules.h"
#include "sync/DavClient.h"
#include "sync/DavXml.h"
#include "sync/ItemHash.h"

namespace Sync {

using Interop::InteropItem;

namespace {

constexpr size_t kBatch = 100;
const std::string kConflictMark = " (conflict)";

struct Fetched {
  std::string etag;
  std::string data;
};

// An item of the server as the organizer reads it: the record, and for a
// series the occurrences it changed on their own (RECURRENCE-ID), each a
// record linked to it.
struct Remote {
  InteropItem item;
  std::vector<InteropItem> occurrences;
};

// A record of the collection's kinds as it is now.
struct LocalRecord {
  InteropItem item;  // the record, its UID
  std::string fields;
  std::string text;  // its component as it would be sent now
  std::string hash;
};

// What the server holds: all items (a full listing) or those changed since
// the token.
struct Listing {
  std::map<std::string, std::string> present;  // href -> ETag
  std::set<std::string> gone;
  bool full = false;
  std::string token;
};

// What the database takes at the end, in one transaction.
struct Plan {
  struct Store {
    InteropItem item;
    int recordId = 0;  // 0: a new record
    ItemStatus row;
    std::optional<InteropItem> copy;  // the person's version, kept beside it
    std::vector<InteropItem> occurrences;
  };
  struct Delete {
    int kind = 0;
    int recordId = 0;
    std::string href;
  };
  std::vector<Store> stores;
  std::vector<Delete> deletes;
  std::vector<ItemStatus> rows;
  std::vector<std::string> drops;
  std::vector<RecordIdentity> identities;
};

using RecordKey = std::pair<int, int>;  // kind, id

std::string DescribeReply(const DavReply& reply) {
  if (!reply.error.empty()) return reply.error;
  switch (reply.status) {
    case 401: return "the server refused the user name or password";
    case 403: return "the server does not allow this (HTTP 403)";
    case 503:
      return "the server is busy (HTTP 503" +
             (reply.retryAfter >= 0 ? ", retry after " + std::to_string(reply.retryAfter) + " s)" : std::string(")"));
    case 507: return "the server has no room left (HTTP 507)";
    default: return "the server answered HTTP " + std::to_string(reply.status);
  }
}

// A file name for an item made here, from its UID when that is plain.
std::string FileName(const std::string& uid, bool card) {
  bool plain = !uid.empty() && uid.size() <= 100;
  for (char c : uid) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.') plain = false;
  }
  const std::string stem =
      plain ? uid
            : QCryptographicHash::hash(QByteArray::fromStdString(uid), QCryptographicHash::Sha1).toHex().toStdString();
  return stem + (card ? ".vcf" : ".ics");
}

std::string WithMark(const std::string& text, size_t limit) {
  return Interop::FirstCharacters(text, limit - kConflictMark.size()) + kConflictMark;
}

// The person's version of a record, as a new record beside the server's.
InteropItem ConflictCopy(InteropItem item) {
  item.uid = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
  item.component.clear();
  switch (item.kind) {
    case 0: item.task.name = WithMark(item.task.name, 255); break;
    case 1:
      if (!item.contact.lname.empty()) {
        item.contact.lname += kConflictMark;
      } else {
        item.contact.fname += kConflictMark;
      }
      break;
    case 2: item.event.title = WithMark(item.event.title, 255); break;
    default: item.note.subject = WithMark(item.note.subject, 100); break;
  }
  return item;
}

class CollectionSync {
 public:
  CollectionSync(DavClient& client, const Account& account, const Collection& collection, EmptyAnswer answer)
      : m_client(client),
        m_account(account),
        m_collection(collection),
        m_answer(answer),
        m_token(collection.token),
        m_url(QString::fromStdString(collection.href)),
        m_path(m_url.path(QUrl::FullyEncoded).toStdString()),
        m_cards(collection.kinds == std::set<int>{1}) {
    m_result.collectionId = collection.id;
    m_result.href = collection.href;
    m_result.name = collection.name;
    m_result.kinds = KindNames(collection.kinds);
  }

  CollectionResult Run() {
    DBL::RunTransaction(
        [&](DBL::Transaction& t) {
          for (ItemStatus& row : ListItems(t, m_collection.id)) m_rows.emplace(row.href, std::move(row));
        },
        false);
    Listing listing;
    if (!List(listing) || !Guard(listing)) return m_result;
    std::map<std::string, Fetched> fetched;
    std::vector<std::string> wanted;
    for (const auto& [href, etag] : listing.present) {
      const auto row = m_rows.find(href);
      if (row == m_rows.end() || row->second.etag != etag) wanted.push_back(href);
    }
    if (!Fetch(wanted, fetched)) return m_result;
    ReadLocal();

    Plan plan;
    std::set<std::pair<int, int>> linked;
    for (const auto& [href, row] : m_rows) {
      if (row.recordId > 0) linked.emplace(row.kind, row.recordId);
    }
    for (const auto& [href, row] : m_rows) {
      const auto got = fetched.find(href);
      Decide(row, got == fetched.end() ? nullptr : &got->second, listing.gone.count(href) > 0, plan);
    }
    for (const auto& [href, got] : fetched) {
      if (!m_rows.count(href)) Arrived(href, got, linked, plan);
    }
    for (const auto& [key, local] : m_local) {
      if (!linked.count(key)) SendNew(local, plan);
    }
    Commit(plan, m_written.empty() || listing.token.empty() ? listing.token : TokenAfterWrites(listing.token));
    return m_result;
  }

 private:
  std::string Href(const std::string& raw) const {
    if (raw.rfind("http", 0) == 0) return QUrl(QString::fromStdString(raw)).path(QUrl::FullyEncoded).toStdString();
    return raw;
  }
  QUrl UrlOf(const std::string& href) const { return m_url.resolved(QUrl::fromEncoded(QByteArray::fromStdString(href))); }

  bool Fail(const DavReply& reply, const std::string& what) {
    m_result.error = what + ": " + DescribeReply(reply);
    m_result.status = reply.status;
    m_result.retryAfter = reply.retryAfter;
    return false;
  }

  // An item that could not be written this time: noted, the rest goes on,
  // and its status row stays so that the next run tries again.
  void Note(const DavReply& reply, const std::string& href) {
    if (m_result.error.empty()) {
      m_result.error = href + ": " + DescribeReply(reply);
      m_result.status = reply.status;
      m_result.retryAfter = reply.retryAfter;
    }
  }

  DavReply ChangesSince(const std::string& token) {
    const QByteArray body =
        R"(<?xml version="1.0" encoding="utf-8"?><d:sync-collection xmlns:d="DAV:"><d:sync-token>)" +
        QByteArray::fromStdString(XmlEscaped(token)) +
        "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>";
    return m_client.Xml("REPORT", m_url, 0, body);
  }

  // The token to keep after this run wrote to the server. The one read at the
  // start would bring back our own writes, and would never tell of an item we
  // made that is deleted before the next run; so the token after our writes
  // is taken when they are all that changed since. When someone else changed
  // something meanwhile, no token: the next run lists everything.
  std::string TokenAfterWrites(const std::string& token) {
    const DavReply reply = ChangesSince(token);
    if (reply.status != 207) return "";
    const MultiStatus status = ParseMultiStatus(reply.body);
    if (!status.error.empty()) return "";
    for (const DavResponse& response : status.responses) {
      const auto ours = m_written.find(Href(response.href));
      const std::string etag = response.status == 404 ? "" : response.etag;
      if (ours == m_written.end() || ours->second != etag) return "";
    }
    return status.syncToken;
  }

  bool List(Listing& listing) {
    DavReply reply;
    if (!m_token.empty()) {
      reply = ChangesSince(m_token);
      if (reply.status == 207) return Read(reply, false, listing);
      // Any other refusal of the token (403/409 valid-sync-token): a full listing.
      if (!reply.error.empty() || reply.status == 401 || reply.status >= 500) return Fail(reply, "changes");
    }
    reply = ChangesSince("");
    if (reply.status == 207) return Read(reply, true, listing);
    if (!reply.error.empty() || reply.status == 401 || reply.status >= 500) return Fail(reply, "listing");
    // No sync-collection: every item with its ETag.
    reply = m_client.Xml(
        "PROPFIND", m_url, 1,
        R"(<?xml version="1.0" encoding="utf-8"?><d:propfind xmlns:d="DAV:"><d:prop><d:getetag/><d:resourcetype/></d:prop></d:propfind>)");
    if (reply.status != 207) return Fail(reply, "listing");
    return Read(reply, true, listing);
  }

  bool Read(const DavReply& reply, bool full, Listing& listing) {
    const MultiStatus status = ParseMultiStatus(reply.body);
    if (!status.error.empty()) {
      m_result.error = "listing: " + status.error;
      return false;
    }
    listing.full = full;
    listing.token = status.syncToken;
    for (const DavResponse& response : status.responses) {
      const std::string href = Href(response.href);
      if (href == m_path || response.collection) continue;
      if (response.status == 404) {
        listing.gone.insert(href);
      } else if (response.found) {
        listing.present[href] = response.etag;
      }
    }
    if (full) {
      for (const auto& [href, row] : m_rows) {
        if (!listing.present.count(href)) listing.gone.insert(href);
      }
    }
    return true;
  }

  // A collection that lost every item it held is not mirrored here.
  bool Guard(Listing& listing) {
    size_t linked = 0, left = 0;
    for (const auto& [href, row] : m_rows) {
      if (row.recordId <= 0) continue;
      ++linked;
      if (!listing.gone.count(href)) ++left;
    }
    if (linked < SyncEngine::kEmptyGuard || left > 0 || !listing.present.empty()) return true;
    if (m_answer == EmptyAnswer::kAsk) {
      m_result.emptyOnServer = true;
      m_result.error = "the collection came back empty from the server while it held " + std::to_string(linked) +
                       " items; nothing was deleted here, and it is not synced until this is decided";
      return false;
    }
    int records = 0;
    DBL::RunTransaction([&](DBL::Transaction& t) { records = AnswerEmptyCollection(t, m_collection.id, m_answer); });
    if (m_answer == EmptyAnswer::kDeleteHere) {
      m_result.deletedHere = records;
      return false;
    }
    // Put back: what is here is sent as new, as on a first sync.
    m_rows.clear();
    m_token.clear();
    listing.gone.clear();
    return true;
  }

  bool Fetch(const std::vector<std::string>& hrefs, std::map<std::string, Fetched>& fetched) {
    const QByteArray open =
        m_cards ? R"(<?xml version="1.0" encoding="utf-8"?><a:addressbook-multiget xmlns:d="DAV:" xmlns:a="urn:ietf:params:xml:ns:carddav"><d:prop><d:getetag/><a:address-data/></d:prop>)"
                : R"(<?xml version="1.0" encoding="utf-8"?><c:calendar-multiget xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:prop><d:getetag/><c:calendar-data/></d:prop>)";
    const QByteArray close = m_cards ? "</a:addressbook-multiget>" : "</c:calendar-multiget>";
    for (size_t first = 0; first < hrefs.size(); first += kBatch) {
      QByteArray body = open;
      for (size_t i = first; i < hrefs.size() && i < first + kBatch; ++i) {
        body += "<d:href>" + QByteArray::fromStdString(XmlEscaped(hrefs[i])) + "</d:href>";
      }
      body += close;
      const DavReply reply = m_client.Xml("REPORT", m_url, 1, body);
      if (reply.status != 207) return Fail(reply, "fetching items");
      const MultiStatus status = ParseMultiStatus(reply.body);
      if (!status.error.empty()) {
        m_result.error = "fetching items: " + status.error;
        return false;
      }
      for (const DavResponse& response : status.responses) {
        if (response.found && !response.data.empty()) fetched[Href(response.href)] = {response.etag, response.data};
      }
    }
    return true;
  }

  // One item's text as the organizer reads it; false for what it cannot.
  bool Parse(const std::string& data, Remote& remote) const {
    remote = Remote{};
    try {
      if (m_cards) {
        const std::vector<Interop::VCard> cards = Interop::ReadVCards(data);
        if (cards.empty()) return false;
        remote.item = Interop::ContactFromCard(cards.front());
      } else {
        Interop::ReadResult read = Interop::ReadCalendar(data);
        if (read.items.empty()) return false;
        // The reader puts a series before the occurrences taken out of it.
        remote.item = std::move(read.items.front());
        for (size_t i = 1; i < read.items.size(); ++i) {
          if (read.items[i].seriesUid == remote.item.uid) remote.occurrences.push_back(std::move(read.items[i]));
        }
      }
    } catch (const Interop::InteropError&) {
      return false;
    }
    return m_collection.kinds.count(remote.item.kind) > 0;
  }

  void ReadLocal() {
    DBL::RunTransaction(
        [&](DBL::Transaction& t) {
          m_local = RecordsNow(t, nullptr);
          for (const auto& [key, local] : m_local) m_byUid[{key.first, local.item.uid}] = key.second;
        },
        false);
  }

  // The records of the collection's kinds as they are in `t`, each with the
  // text it would be sent as: a series with the occurrences taken out of it,
  // which are not items of their own. `only` narrows the texts made to those
  // records.
  std::map<RecordKey, LocalRecord> RecordsNow(DBL::Transaction& t, const std::set<RecordKey>* only) const {
    std::map<RecordKey, LocalRecord> records;
    std::vector<std::pair<RecordKey, std::string>> occurrences;
    Interop::RecordTexts texts(t, m_collection.kinds);
    const auto take = [&](int kind, const auto& record, auto fill) {
      const RecordIdentity* identity = texts.Identity(kind, record.id);
      if (!identity) return;  // no UID yet: next time
      const std::optional<int> series = texts.SeriesOf(kind, record.id);
      const RecordKey key(kind, series ? *series : record.id);
      if (only && !only->count(key)) return;
      if (series) {
        occurrences.emplace_back(key, texts.Text(record));
        return;
      }
      LocalRecord local;
      local.item.kind = kind;
      local.item.uid = identity->uid;
      local.item.component = identity->component;
      fill(local.item);
      local.fields = texts.Fields(kind, record);
      local.text = texts.Text(record);
      records.emplace(key, std::move(local));
    };
    if (m_collection.kinds.count(0)) {
      const std::vector<TaskRecord> tasks = ListTasks(t);
      texts.Prepare(tasks);
      for (const TaskRecord& r : tasks) take(0, r, [&](InteropItem& i) { i.task = r; });
    }
    if (m_collection.kinds.count(1)) {
      for (const ContactRecord& r : ListContacts(t)) take(1, r, [&](InteropItem& i) { i.contact = r; });
    }
    if (m_collection.kinds.count(2)) {
      const std::vector<EventRecord> events = ListEvents(t);
      texts.Prepare(events);
      for (const EventRecord& r : events) take(2, r, [&](InteropItem& i) { i.event = r; });
    }
    if (m_collection.kinds.count(3)) {
      for (const NoteRecord& r : ListNotes(t)) take(3, r, [&](InteropItem& i) { i.note = r; });
    }
    for (auto& [key, text] : occurrences) {
      if (const auto series = records.find(key); series != records.end()) series->second.text += text;
    }
    for (auto& [key, local] : records) local.hash = ItemHash(local.text);
    return records;
  }

  // Writes the record's text to `href`: over `etag`, or only where nothing
  // is (etag ""). The new ETag lands in `etag`; a reply without one is read.
  DavReply Put(const std::string& href, const LocalRecord& local, std::string& etag) {
    const QByteArray body = QByteArray::fromStdString(m_cards ? local.text : Interop::CalendarFile({local.text}));
    const QList<DavClient::Header> headers = {
        {"Content-Type", m_cards ? "text/vcard; charset=utf-8" : "text/calendar; charset=utf-8"},
        etag.empty() ? DavClient::Header("If-None-Match", "*")
                     : DavClient::Header("If-Match", QByteArray::fromStdString(etag))};
    DavReply reply = m_client.Send("PUT", UrlOf(href), body, headers);
    if (!reply.Ok()) return reply;
    etag = reply.etag;
    if (etag.empty()) etag = m_client.Send("GET", UrlOf(href)).etag;
    m_written[href] = etag;
    return reply;
  }

  // The item as the server holds it now, after it refused a write (412).
  bool Get(const std::string& href, Fetched& got) {
    const DavReply reply = m_client.Send("GET", UrlOf(href));
    if (!reply.Ok()) return false;
    got = {reply.etag, reply.body.toStdString()};
    return true;
  }

  void Sent(const std::string& href, const LocalRecord& local, const std::string& etag, Plan& plan) {
    plan.rows.push_back({href, local.item.kind, RecordId(local), local.item.uid, etag, local.hash});
    plan.identities.push_back({local.item.kind, RecordId(local), local.item.uid, local.text, local.fields});
    ++m_result.sent;
  }

  static int RecordId(const LocalRecord& local) {
    switch (local.item.kind) {
      case 0: return local.item.task.id;
      case 1: return local.item.contact.id;
      case 2: return local.item.event.id;
      default: return local.item.note.id;
    }
  }

  // The server's version goes into the record (or a new one, id 0).
  void TakeRemote(const std::string& href, const Fetched& got, Remote remote, int recordId, Plan& plan) {
    const std::string hash = ItemHash(remote.item.component);
    plan.stores.push_back({std::move(remote.item), recordId, {href, 0, recordId, "", got.etag, hash}, std::nullopt,
                           std::move(remote.occurrences)});
    ++m_result.received;
  }

  // Changed on both sides: the server's version wins the record, the
  // person's is kept beside it; equal versions are merely linked.
  void Both(const std::string& href, const Fetched& got, Remote remote, const LocalRecord& local, Plan& plan) {
    const std::string hash = ItemHash(remote.item.component);
    if (hash == local.hash) {
      plan.rows.push_back({href, local.item.kind, RecordId(local), local.item.uid, got.etag, hash});
      return;
    }
    plan.stores.push_back({std::move(remote.item), RecordId(local), {href, 0, RecordId(local), "", got.etag, hash},
                           ConflictCopy(local.item), std::move(remote.occurrences)});
    ++m_result.conflicts;
  }

  void Decide(const ItemStatus& row, const Fetched* got, bool gone, Plan& plan) {
    Remote remote;
    bool remoteChanged = false;
    ItemStatus now = row;
    if (got && row.recordId <= 0) {
      // An item this collection does not take: remembered, not fetched again.
      plan.rows.push_back({row.href, -1, 0, "", got->etag, ItemHash(got->data)});
      return;
    }
    if (got) {
      now.etag = got->etag;
      if (!Parse(got->data, remote)) {
        // Unreadable now: the record keeps its link and its fields; a change
        // made here later is written over it.
        plan.rows.push_back(now);
        got = nullptr;
      } else if (remote.item.kind != row.kind) {
        // Another kind under the same name: the record's item is gone, a new one came.
        Decide(row, nullptr, true, plan);
        TakeRemote(row.href, *got, std::move(remote), 0, plan);
        return;
      } else {
        remoteChanged = ItemHash(remote.item.component) != row.hash;
        if (!remoteChanged) plan.rows.push_back(now);
      }
    }
    if (row.recordId <= 0) {
      if (gone) plan.drops.push_back(row.href);
      return;
    }
    const auto found = m_local.find({row.kind, row.recordId});
    const LocalRecord* local = found == m_local.end() ? nullptr : &found->second;
    const bool localChanged = local && local->hash != row.hash;

    if (gone) {
      if (local && localChanged) {
        std::string etag;
        const DavReply reply = Put(row.href, *local, etag);
        if (reply.Ok()) {
          Sent(row.href, *local, etag, plan);
        } else {
          Note(reply, row.href);
        }
      } else if (local) {
        plan.deletes.push_back({row.kind, row.recordId, row.href});
        ++m_result.deletedHere;
      } else {
        plan.drops.push_back(row.href);
      }
      return;
    }
    if (remoteChanged) {
      if (!local) {
        TakeRemote(row.href, *got, std::move(remote), 0, plan);
      } else if (localChanged) {
        Both(row.href, *got, std::move(remote), *local, plan);
      } else {
        TakeRemote(row.href, *got, std::move(remote), row.recordId, plan);
      }
      return;
    }
    if (!local) {
      const DavReply reply = m_client.Send("DELETE", UrlOf(row.href), {},
                                           {{"If-Match", QByteArray::fromStdString(now.etag)}});
      Fetched current;
      if (reply.Ok() || reply.status == 404) {
        m_written[row.href] = "";
        plan.drops.push_back(row.href);
        ++m_result.deletedThere;
      } else if (reply.status == 412 && Get(row.href, current) && Parse(current.data, remote)) {
        // Changed there since: the changed version survives.
        TakeRemote(row.href, current, std::move(remote), 0, plan);
      } else {
        Note(reply, row.href);
      }
      return;
    }
    if (localChanged) {
      std::string etag = now.etag;
      const DavReply reply = Put(row.href, *local, etag);
      Fetched current;
      if (reply.Ok()) {
        Sent(row.href, *local, etag, plan);
      } else if (reply.status == 412 && Get(row.href, current) && Parse(current.data, remote)) {
        Both(row.href, current, std::move(remote), *local, plan);
      } else {
        Note(reply, row.href);
      }
    }
  }

  // An item the server has and the status rows do not.
  void Arrived(const std::string& href, const Fetched& got, std::set<std::pair<int, int>>& linked, Plan& plan) {
    Remote remote;
    if (!Parse(got.data, remote)) {
      plan.rows.push_back({href, -1, 0, "", got.etag, ItemHash(got.data)});
      return;
    }
    const auto known = m_byUid.find({remote.item.kind, remote.item.uid});
    if (known != m_byUid.end()) {
      const std::pair<int, int> key(remote.item.kind, known->second);
      if (linked.count(key)) {
        // The same UID under a second name: the first one stays the record's.
        plan.rows.push_back({href, -1, 0, "", got.etag, ItemHash(got.data)});
        return;
      }
      linked.insert(key);
      Both(href, got, std::move(remote), m_local.at(key), plan);
      return;
    }
    TakeRemote(href, got, std::move(remote), 0, plan);
  }

  void SendNew(const LocalRecord& local, Plan& plan) {
    const std::string href = m_path + FileName(local.item.uid, m_cards);
    std::string etag;
    const DavReply reply = Put(href, local, etag);
    Remote remote;
    Fetched current;
    if (reply.Ok()) {
      Sent(href, local, etag, plan);
    } else if (reply.status == 412 && Get(href, current) && Parse(current.data, remote)) {
      Both(href, current, std::move(remote), local, plan);
    } else {
      Note(reply, href);
    }
  }

  // A record the person changed (or deleted) after it was read is not
  // written over: it and its status row stay as they are, and the next run
  // sees the change as its own or as a conflict.
  std::set<RecordKey> ChangedSinceRead(DBL::Transaction& t, const Plan& plan) const {
    std::set<RecordKey> touched;
    for (const Plan::Delete& gone : plan.deletes) touched.emplace(gone.kind, gone.recordId);
    for (const Plan::Store& store : plan.stores) {
      if (store.recordId) touched.emplace(store.item.kind, store.recordId);
    }
    for (const RecordIdentity& identity : plan.identities) touched.emplace(identity.kind, identity.record_id);
    std::set<RecordKey> changed;
    if (touched.empty()) return changed;
    const std::map<RecordKey, LocalRecord> now = RecordsNow(t, &touched);
    for (const RecordKey& key : touched) {
      const auto was = m_local.find(key);
      const auto is = now.find(key);
      if (was == m_local.end() || is == now.end() || is->second.hash != was->second.hash) changed.insert(key);
    }
    return changed;
  }

  // The occurrences a series' item holds, each into the record taken out of
  // the series on its day (a new one when there is none); one the item no
  // longer holds goes back into the series.
  void StoreOccurrences(DBL::Transaction& t, Interop::RecordWriter& writer, Plan::Store& store) {
    const int kind = store.item.kind;
    const int series = store.row.recordId;
    std::map<int, int> linked = ListOccurrences(t, kind, series);
    for (InteropItem& one : store.occurrences) {
      int id = 0;
      if (const auto known = linked.find(one.seriesDay); known != linked.end()) {
        id = known->second;
        linked.erase(known);
      }
      writer.SetCategory(one);
      ForgetUid(t, kind, one.uid);
      id = writer.Store(one, id, Interop::FieldsText(Interop::RecordWriter::Fields(one)));
      t.Insert(LinkOccurrenceSql(kind, id, series, one.seriesDay));
    }
    for (const auto& [day, id] : linked) DeleteRecord(t, kind, id);
  }

  void Commit(Plan& plan, const std::string& token) {
    bool left = false;
    DBL::RunTransaction([&](DBL::Transaction& t) {
      const std::set<RecordKey> changed = ChangedSinceRead(t, plan);
      Interop::RecordWriter writer(t, true);
      for (const Plan::Delete& gone : plan.deletes) {
        if (changed.count({gone.kind, gone.recordId})) {
          --m_result.deletedHere;
          left = true;
          continue;
        }
        DeleteRecord(t, gone.kind, gone.recordId);
        DropItem(t, m_collection.id, gone.href);
      }
      for (const std::string& href : plan.drops) DropItem(t, m_collection.id, href);
      for (const ItemStatus& row : plan.rows) StoreItem(t, m_collection.id, row);
      // What was sent stays sent; the identity of a record changed since
      // keeps what that change made of it.
      for (const RecordIdentity& identity : plan.identities) {
        if (!changed.count({identity.kind, identity.record_id})) StoreIdentity(t, identity);
      }
      for (Plan::Store& store : plan.stores) {
        if (store.recordId && changed.count({store.item.kind, store.recordId})) {
          --(store.copy ? m_result.conflicts : m_result.received);
          left = true;
          continue;
        }
        writer.SetCategory(store.item);
        if (!store.recordId) ForgetUid(t, store.item.kind, store.item.uid);
        const std::string fields = Interop::FieldsText(Interop::RecordWriter::Fields(store.item));
        store.row.kind = store.item.kind;
        store.row.uid = store.item.uid;
        store.row.recordId = writer.Store(store.item, store.recordId, fields);
        StoreItem(t, m_collection.id, store.row);
        if (store.item.kind == 0 || store.item.kind == 2) StoreOccurrences(t, writer, store);
        // A copy is a record made here: no kept component, no fields it was read with.
        if (store.copy) AddConflict(t, m_account.id, store.copy->kind, writer.Store(*store.copy, 0, ""));
      }
      // A run that left items for next time keeps the old token, so they come again.
      const bool whole = m_result.error.empty() && !left;
      SetCollectionState(t, m_collection.id, whole ? token : m_token, m_result.error);
    });
  }

  DavClient& m_client;
  const Account& m_account;
  const Collection& m_collection;
  const EmptyAnswer m_answer;
  std::string m_token;  // the token the run starts from
  const QUrl m_url;
  const std::string m_path;
  const bool m_cards;
  CollectionResult m_result;
  std::map<std::string, ItemStatus> m_rows;
  std::map<std::pair<int, int>, LocalRecord> m_local;
  std::map<std::pair<int, std::string>, int> m_byUid;
  std::map<std::string, std::string> m_written;  // href -> ETag of what this run wrote, "" deleted
};

}  // namespace

SyncEngine::SyncEngine(DavClient& client, const Account& account) : m_client(client), m_account(account) {}

CollectionResult SyncEngine::Run(const Collection& collection, EmptyAnswer answer) {
  return CollectionSync(m_client, m_account, collection, answer).Run();
}

}  // namespace Sync
