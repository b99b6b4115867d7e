// Sync against a real Radicale on this computer, filled once with 5,000
// events and 5,000 contacts (BENCH_SYNC_ITEMS in the environment sets another
// count). The server's time is part of every figure here; it is the same
// server, with the same items, for both sides of each ratio.
//
// first_sync: the organizer's first sync of both collections on a fresh
//   database beside `vdirsyncer sync` copying the same two collections to a
//   local folder.
// After it, lines measured against their targets (ratio = measured / target):
//   the requests per collection and the organizer's own time per collection
//   of 5,000 items (the CPU time of this process, in which the sync runs; the
//   server's answering time is spent in the server's process and is not
//   counted) of a sync with nothing changed (the median of a few such syncs),
//   and the requests per collection with one item changed on each side.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "db/Transaction.h"
#include "sync/AccountSync.h"
#include "sync/DavClient.h"
#include "sync/SyncEngine.h"
#include "sync/SyncStore.h"

namespace {

using Clock = std::chrono::steady_clock;
const char* const kUser = "alice";
const char* const kPassword = "open sesame";
const char* const kCalendar = "/alice/bench-calendar/";
const char* const kCards = "/alice/bench-cards/";
constexpr int kUnchangedRuns = 5;

int Items() {
  const char* count = std::getenv("BENCH_SYNC_ITEMS");
  return count && std::atoi(count) > 0 ? std::atoi(count) : 5000;
}

int FreePort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  bind(s, reinterpret_cast<sockaddr*>(&address), size);
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
  close(s);
  return ntohs(address.sin_port);
}

bool Listening(int port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool up = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(s);
  return up;
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string Two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

const char* const kCalendarOpen = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//bench//EN\r\n";
const char* const kCalendarClose = "END:VCALENDAR\r\n";

// An event as a phone writes it: times, a place, an alarm and properties of its own.
std::string Event(int i, const std::string& summary) {
  const std::string n = std::to_string(i);
  const std::string day = "2027" + Two(i % 12 + 1) + Two(i % 28 + 1);
  std::string text = "BEGIN:VEVENT\r\nUID:bench-event-" + n + "@phone\r\nDTSTAMP:20260101T000000Z\r\n";
  if (i % 7 == 0) {
    text += "DTSTART;VALUE=DATE:" + day + "\r\n";
  } else {
    text += "DTSTART:" + day + "T" + Two(8 + i % 10) + "3000\r\nDTEND:" + day + "T" + Two(9 + i % 10) + "3000\r\n";
  }
  return text + "SUMMARY:" + summary + "\r\nLOCATION:Room " + std::to_string(i % 40) +
         "\r\nDESCRIPTION:Bring the notes of meeting " + n + "\\, and the figures\r\n"
         "X-PHONE-COLOUR:#3366cc\r\nX-PHONE-TRAVEL-TIME:PT" + std::to_string(i % 30) + "M\r\n"
         "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n"
         "END:VEVENT\r\n";
}

std::string Card(int i, const std::string& note) {
  const std::string n = std::to_string(i);
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bench-card-" + n + "@phone\r\nN:Family" + n + ";Given" + n +
         ";;;\r\nFN:Given" + n + " Family" + n + "\r\nORG:Company " + std::to_string(i % 50) +
         "\r\nEMAIL;TYPE=INTERNET:person" + n + "@example.org\r\nTEL;TYPE=CELL:+1 555 " + std::to_string(100000 + i) +
         "\r\nADR;TYPE=HOME:;;" + n + " Long Street;Springfield;;12345;Country\r\nNOTE:" + note +
         "\r\nX-PHONE-RINGTONE:bell\r\nX-SOCIALPROFILE;TYPE=chat:person" + n + "\r\nEND:VCARD\r\n";
}

std::string EventsFile(int count) {
  std::string text = kCalendarOpen;
  for (int i = 0; i < count; ++i) text += Event(i, "Meeting " + std::to_string(i) + " about the plans");
  return text + kCalendarClose;
}

std::string CardsFile(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += Card(i, "Met at the fair");
  return text;
}

// Radicale with one user, in a temporary folder, for the whole run.
class Radicale {
 public:
  Radicale() : m_port(FreePort()) {
    const std::string dir = m_dir.path().toStdString();
    Write(dir + "/users", std::string(kUser) + ":" + kPassword + "\n");
    Write(dir + "/config", "[server]\nhosts = 127.0.0.1:" + std::to_string(m_port) +
                               "\n[auth]\ntype = htpasswd\nhtpasswd_filename = " + dir +
                               "/users\nhtpasswd_encryption = plain\n[storage]\nfilesystem_folder = " + dir +
                               "/data\n[logging]\nlevel = warning\n");
    m_pid = fork();
    if (m_pid == 0) {
      freopen((dir + "/server.log").c_str(), "w", stdout);
      freopen((dir + "/server.log").c_str(), "a", stderr);
      execlp("radicale", "radicale", "--config", (dir + "/config").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    const auto end = Clock::now() + std::chrono::seconds(30);
    while (!Listening(m_port)) {
      if (Clock::now() > end) throw std::runtime_error("radicale did not start");
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  ~Radicale() {
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
  }
  std::string Url(const std::string& path = "/") const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
  std::string Folder() const { return m_dir.path().toStdString(); }

 private:
  QTemporaryDir m_dir;
  int m_port;
  pid_t m_pid = 0;
};

// PUTs that run at once; returns their statuses.
std::vector<int> PutAll(const std::vector<std::pair<std::string, std::pair<QByteArray, QByteArray>>>& puts) {
  QNetworkAccessManager network;
  std::vector<QNetworkReply*> replies;
  for (const auto& [url, content] : puts) {
    QNetworkRequest request(QUrl(QString::fromStdString(url)));
    request.setTransferTimeout(30 * 60 * 1000);
    request.setRawHeader("Authorization", "Basic " + QByteArray(kUser).append(':').append(kPassword).toBase64());
    request.setRawHeader("Content-Type", content.first);
    replies.push_back(network.put(request, content.second));
  }
  QEventLoop loop;
  size_t done = 0;
  for (QNetworkReply* reply : replies) {
    QObject::connect(reply, &QNetworkReply::finished, &loop, [&] {
      if (++done == replies.size()) loop.quit();
    });
  }
  loop.exec();
  std::vector<int> statuses;
  for (QNetworkReply* reply : replies) {
    statuses.push_back(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
    reply->deleteLater();
  }
  return statuses;
}

// The server reads every item once after a fill to index it; neither side of
// a ratio should pay for that, so it is done before both.
void WarmUp(Radicale& server) {
  Sync::DavClient client(kUser, kPassword, "");
  for (const char* path : {kCalendar, kCards}) {
    const QUrl url(QString::fromStdString(server.Url(path)));
    client.Xml("PROPFIND", url, 1,
               R"(<?xml version="1.0"?><d:propfind xmlns:d="DAV:"><d:prop><d:getetag/></d:prop></d:propfind>)");
    client.Xml("REPORT", url, 0,
               R"(<?xml version="1.0"?><d:sync-collection xmlns:d="DAV:"><d:sync-token/><d:sync-level>1</d:sync-level>)"
               R"(<d:prop><d:getetag/></d:prop></d:sync-collection>)");
  }
}

// The server, filled on first use: each collection goes up as one PUT of the
// whole calendar or address book (Radicale takes item-by-item PUTs of thousands
// of items far too slowly to fill it in a benchmark's run), both at once. It
// is stopped at exit, so that no server outlives the run.
Radicale& Server() {
  static const std::unique_ptr<Radicale> server = [] {
    auto made = std::make_unique<Radicale>();
    const int count = Items();
    const std::vector<int> statuses =
        PutAll({{made->Url(kCalendar), {"text/calendar; charset=utf-8", QByteArray::fromStdString(EventsFile(count))}},
                {made->Url(kCards), {"text/vcard; charset=utf-8", QByteArray::fromStdString(CardsFile(count))}}});
    for (int status : statuses) {
      if (status != 201 && status != 200 && status != 204) {
        throw std::runtime_error("filling the server failed: HTTP " + std::to_string(status));
      }
    }
    WarmUp(*made);
    return made;
  }();
  return *server;
}

double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// A fresh organizer database with an account for the two collections.
struct Organizer {
  BenchDatabase db{""};
  Sync::Account account;
  std::vector<Sync::Collection> collections;

  Organizer() {
    account.url = Server().Url();
    account.user = kUser;
    DBL::RunTransaction([&](DBL::Transaction& t) {
      Sync::EnsureTables(t);
      account.id = Sync::InsertAccount(t, account);
      Sync::InsertCollection(t, {0, account.id, Server().Url(kCalendar), "Calendar", {2}, "", ""});
      Sync::InsertCollection(t, {0, account.id, Server().Url(kCards), "Contacts", {1}, "", ""});
      collections = Sync::ListCollections(t, account.id);
    });
  }

  // One sync of each collection; the most requests any of them took, and in
  // `ownMs` the most CPU time any of them took.
  int Sync(benchmark::State& state, std::vector<Sync::CollectionResult>* results = nullptr, double* ownMs = nullptr) {
    Sync::DavClient client(kUser, kPassword, "");
    Sync::SyncEngine engine(client, account);
    int most = 0;
    for (const Sync::Collection& collection : collections) {
      const int before = client.RequestCount();
      const double cpu = CpuMs();
      const Sync::CollectionResult result = engine.Run(collection);
      if (ownMs) *ownMs = std::max(*ownMs, CpuMs() - cpu);
      if (!result.error.empty()) state.SkipWithError(("sync failed: " + result.error).c_str());
      if (results) results->push_back(result);
      most = std::max(most, client.RequestCount() - before);
    }
    DBL::RunTransaction([&](DBL::Transaction& t) { collections = Sync::ListCollections(t, account.id); });
    return most;
  }

  // Where the item with this UID lies on the server.
  std::string Href(const std::string& uid) {
    std::string href;
    DBL::RunTransaction([&](DBL::Transaction& t) {
      DBL::MemResultSet rows = t.Query("select href from sync_item where uid = '" + uid + "'");
      if (rows.Next()) href = rows.GetString("href");
    }, false);
    return href;
  }

  int Count(const char* table) {
    int n = 0;
    DBL::RunTransaction([&](DBL::Transaction& t) {
      DBL::MemResultSet rows = t.Query(std::string("select count(*) as n from ") + table);
      if (rows.Next()) n = rows.GetInt("n");
    }, false);
    return n;
  }
};

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void FirstSyncOrganizer(benchmark::State& state) {
  Server();
  for (auto _ : state) {
    Organizer organizer;
    const auto start = Clock::now();
    const Sync::AccountResult result = Sync::SyncAccount(organizer.account, kPassword);
    state.SetIterationTime(Seconds(start));
    if (!result.ok || organizer.Count("event") != Items() || organizer.Count("contact") != Items()) {
      state.SkipWithError("the first sync did not bring every item");
    }
  }
}

void FirstSyncVdirsyncer(benchmark::State& state) {
  Server();
  for (auto _ : state) {
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    std::string config = "[general]\nstatus_path = \"" + d + "/status/\"\n";
    for (const auto& [name, type, path, ext] :
         {std::tuple{"calendar", "caldav", kCalendar, ".ics"}, std::tuple{"cards", "carddav", kCards, ".vcf"}}) {
      const std::string n = name;
      std::system(("mkdir -p " + d + "/" + n).c_str());
      config += "[pair " + n + "]\na = \"" + n + "_local\"\nb = \"" + n + "_remote\"\ncollections = null\n[storage " +
                n + "_local]\ntype = \"filesystem\"\npath = \"" + d + "/" + n + "/\"\nfileext = \"" + ext +
                "\"\n[storage " + n + "_remote]\ntype = \"" + type + "\"\nurl = \"" + Server().Url(path) +
                "\"\nusername = \"" + kUser + "\"\npassword = \"" + kPassword + "\"\n";
    }
    Write(d + "/config", config);
    const std::string run = "vdirsyncer -c " + d + "/config ";
    if (std::system((run + "discover >/dev/null 2>&1 </dev/null").c_str()) != 0) {
      state.SkipWithError("vdirsyncer discover failed");
      break;
    }
    const auto start = Clock::now();
    const int status = std::system((run + "sync >" + d + "/sync.log 2>&1").c_str());
    state.SetIterationTime(Seconds(start));
    if (status != 0) state.SkipWithError("vdirsyncer sync failed");
  }
}

// Figures measured against a target, printed after the ratios.
struct TargetLine {
  std::string name;
  double measured;
  double target;
  const char* unit;
};
std::vector<TargetLine> g_targets;

void Record(const std::string& name, double measured, double target, const char* unit) {
  g_targets.push_back({name, measured, target, unit});
}

void Change(const std::string& sql) {
  DBL::RunTransaction([&](DBL::Transaction& t) { t.Change(sql); });
}

void LaterSyncs(benchmark::State& state) {
  const std::string items = std::to_string(Items());
  for (auto _ : state) {
    Organizer organizer;
    organizer.Sync(state);  // the first sync: both sides hold every item

    // The median of a few: the CPU time of one run varies with what else the
    // computer does.
    std::vector<double> times;
    int unchanged = 0;
    for (int run = 0; run < kUnchangedRuns; ++run) {
      double own = 0;
      unchanged = std::max(unchanged, organizer.Sync(state, nullptr, &own));
      times.push_back(own);
    }
    std::sort(times.begin(), times.end());
    const double own = times[times.size() / 2];
    Record("sync_nothing_changed_" + items + "/requests_per_collection", unchanged, 1, "requests");
    Record("sync_nothing_changed_" + items + "/own_time_per_collection", own, 100, "ms (CPU)");

    // The phone changes one event and one contact, the person one of each here.
    const std::string event = organizer.Href("bench-event-1@phone");
    const std::string card = organizer.Href("bench-card-1@phone");
    const std::string text = kCalendarOpen + Event(1, "Moved meeting") + kCalendarClose;
    const std::string vcard = Card(1, "Seen again at the fair");
    PutAll({{Server().Url(event), {"text/calendar; charset=utf-8", QByteArray::fromStdString(text)}},
            {Server().Url(card), {"text/vcard; charset=utf-8", QByteArray::fromStdString(vcard)}}});
    Change("update event set title = 'Changed here' where id = "
           "(select record_id from sync_item where uid = 'bench-event-2@phone')");
    Change("update contact set lname = 'Changedhere' where id = "
           "(select record_id from sync_item where uid = 'bench-card-2@phone')");
    std::vector<Sync::CollectionResult> results;
    const int changed = organizer.Sync(state, &results);
    for (const Sync::CollectionResult& result : results) {
      if (result.received != 1 || result.sent != 1) state.SkipWithError("one change each way was not synced");
    }
    Record("sync_one_changed_each_side_" + items + "/requests_per_collection", changed, 4, "requests");
  }
}

}  // namespace

BENCHMARK(FirstSyncOrganizer)->Name("first_sync_events_and_contacts/organizer")->Unit(benchmark::kMillisecond)
    ->UseManualTime()->Iterations(1)->Repetitions(1);
BENCHMARK(FirstSyncVdirsyncer)->Name("first_sync_events_and_contacts/raw")->Unit(benchmark::kMillisecond)
    ->UseManualTime()->Iterations(1)->Repetitions(1);
BENCHMARK(LaterSyncs)->Name("later_syncs")->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(1);

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int failed = RunBenchmarksWithRatios(argc, argv);
  for (const TargetLine& line : g_targets) {
    std::printf("%s: ratio %.2f (organizer %.1f %s, target %.0f %s)\n", line.name.c_str(), line.measured / line.target,
                line.measured, line.unit, line.target, line.unit);
  }
  return failed;
}
