// What a person waits for at start-up and what the running program holds:
// the real organizer, started as its own process on a private Xvfb display,
// to its first painted window, beside a bare Qt Widgets window (bare-window)
// started the same way. In the ratio lines "raw" is the bare window. After
// them one line per sample size gives the resident memory each holds half a
// second after its window (and the organizer's list) showed, and the organizer's share over the bare one.
// A window may show before its list is filled, so a second pair times the
// organizer to its task list showing rows (a cell in a priority colour on the
// screen) beside the same bare window.
// ORGANIZER_EXE in the environment names another build of the program to time.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <sqlite3.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kSettle = 500ms;   // after the window showed, before the memory is read
constexpr auto kTimeout = 30s;

// A private X server with a black root: a window shows once it paints.
class XDisplay {
 public:
  XDisplay() {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe");
    m_server = fork();
    if (m_server == 0) {
      close(fds[0]);
      const int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      dup2(quiet, 2);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-br",
             "-noreset", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) throw std::runtime_error("Xvfb did not start");
    m_name = ":" + number;
    m_connection = xcb_connect(m_name.c_str(), nullptr);
    if (xcb_connection_has_error(m_connection)) throw std::runtime_error("no connection to " + m_name);
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &events);
    xcb_flush(m_connection);
  }
  ~XDisplay() {
    xcb_disconnect(m_connection);
    kill(m_server, SIGTERM);
    waitpid(m_server, nullptr, 0);
  }

  const std::string& Name() const { return m_name; }

  // Forgets what happened before: the windows of earlier processes.
  void Drain() {
    xcb_aux_sync();
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) free(event);
  }

  // Waits for a window to be mapped and its centre to be painted; 0 after the timeout.
  xcb_window_t WaitPainted(Clock::time_point end) {
    xcb_window_t window = 0;
    pollfd x{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    while (!window) {
      while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
          window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
        }
        free(event);
      }
      if (window) break;
      if (Clock::now() > end) return 0;
      poll(&x, 1, 20);
    }
    const auto box = Geometry(window);
    if (!box) return 0;
    const int16_t cx = static_cast<int16_t>(box->x + box->width / 2);
    const int16_t cy = static_cast<int16_t>(box->y + box->height / 2);
    while (Clock::now() < end) {
      const auto image = Image(cx, cy, 1, 1);
      const uint8_t* pixel = image ? xcb_get_image_data(image.get()) : nullptr;
      if (pixel && (pixel[0] || pixel[1] || pixel[2])) return window;
      std::this_thread::sleep_for(200us);
    }
    return 0;
  }

  // Waits until a band across the window's middle shows a pixel of one of the
  // colours (0x00BBGGRR); false after the timeout. A band, not the window: the
  // polling must not take the processor from the program it times.
  bool WaitColour(xcb_window_t window, const std::vector<int>& colours, Clock::time_point end) {
    const auto box = Geometry(window);
    if (!box) return false;
    constexpr uint16_t kBand = 48;  // more than two rows of a list
    const int16_t top = static_cast<int16_t>(box->y + std::max(0, box->height / 2 - kBand / 2));
    while (Clock::now() < end) {
      const auto image = Image(box->x, top, box->width, std::min<uint16_t>(kBand, box->height));
      if (image) {
        // 24-bit pixels arrive as blue, green, red and a pad byte.
        const uint8_t* pixel = xcb_get_image_data(image.get());
        const int length = xcb_get_image_data_length(image.get());
        for (int at = 0; at + 3 < length; at += 4) {
          const int colour = pixel[at + 2] | pixel[at + 1] << 8 | pixel[at] << 16;
          if (std::find(colours.begin(), colours.end(), colour) != colours.end()) return true;
        }
      }
      std::this_thread::sleep_for(1ms);
    }
    return false;
  }

 private:
  using Reply = std::unique_ptr<xcb_get_geometry_reply_t, decltype(&free)>;
  Reply Geometry(xcb_window_t window) {
    return Reply(xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr), &free);
  }
  std::unique_ptr<xcb_get_image_reply_t, decltype(&free)> Image(int16_t x, int16_t y, uint16_t width, uint16_t height) {
    return {xcb_get_image_reply(m_connection,
                                xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, x, y, width, height, ~0u),
                                nullptr),
            &free};
  }

  void xcb_aux_sync() { free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)); }

  pid_t m_server = -1;
  std::string m_name;
  xcb_connection_t* m_connection = nullptr;
  xcb_window_t m_root = 0;
};

XDisplay& Display() {
  static XDisplay display;
  return display;
}

// The resident set of a process, in kilobytes.
long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

// The sample databases, each with its install id set (not a first start, which opens a page).
BenchDatabase& Database(int tasks) {
  static std::map<int, std::unique_ptr<BenchDatabase>> databases;
  std::unique_ptr<BenchDatabase>& database = databases[tasks];
  if (!database) {
    database = std::make_unique<BenchDatabase>(SampleRecords(tasks) + ";UPDATE settings SET install_id = 1");
    mkdir((database->DataHome() + "/run").c_str(), 0700);
  }
  return *database;
}

// Resident kilobytes per program and sample size, one entry per run.
std::map<std::string, std::map<int, std::vector<long>>>& Memory() {
  static std::map<std::string, std::map<int, std::vector<long>>> memory;
  return memory;
}

pid_t Start(const char* program, const BenchDatabase& database) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    setenv("DISPLAY", Display().Name().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("XDG_DATA_HOME", database.DataHome().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (database.DataHome() + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (database.DataHome() + "/run").c_str(), 1);
    execl(program, program, static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// The colours of the task list's priority cells in the sample database.
std::vector<int> PriorityColours(const BenchDatabase& database) {
  std::vector<int> colours;
  sqlite3* db = nullptr;
  sqlite3_open_v2(database.Path().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "SELECT clr_hi_prior, clr_med_prior, clr_lo_prior FROM settings", -1, &stmt, nullptr);
  if (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int column = 0; column < 3; ++column) colours.push_back(sqlite3_column_int(stmt, column));
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return colours;
}

// Times one program to its first painted window or, with untilRows, the
// organizer on to its task list showing rows (the bare window has no list).
// Memory is read after the latter, when all the rows are held.
void Run(benchmark::State& state, const char* program, const std::string& side, int tasks, bool untilRows) {
  BenchDatabase& database = Database(tasks);
  const std::vector<int> colours = PriorityColours(database);
  for (auto _ : state) {
    Display().Drain();
    const Clock::time_point started = Clock::now();
    const pid_t pid = Start(program, database);
    const xcb_window_t window = Display().WaitPainted(started + kTimeout);
    bool shown = window != 0;
    if (shown && untilRows && side == "organizer") shown = Display().WaitColour(window, colours, started + kTimeout);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - started).count());
    if (shown && untilRows) {
      std::this_thread::sleep_for(kSettle);
      Memory()[side][tasks].push_back(ResidentKb(pid));
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    if (!shown) state.SkipWithError(window ? "the task list showed no rows" : "no window showed");
  }
}

double MedianMb(std::vector<long> kb) {
  if (kb.empty()) return 0;
  std::sort(kb.begin(), kb.end());
  return kb[kb.size() / 2] / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  static const std::string organizer = std::getenv("ORGANIZER_EXE") ? std::getenv("ORGANIZER_EXE") : ORGANIZER_EXE;
  for (int tasks : {10000, 100000}) {
    const std::pair<const char*, bool> goals[] = {{"Process start to the visible window ", false},
                                                  {"Process start to the task list with its rows ", true}};
    for (const auto& [goal, untilRows] : goals) {
      const std::string name = goal + std::to_string(tasks);
      const std::pair<const char*, const char*> sides[] = {{"organizer", organizer.c_str()}, {"raw", BARE_WINDOW_EXE}};
      for (const auto& [side, program] : sides) {
        benchmark::RegisterBenchmark((name + "/" + side).c_str(), Run, program, std::string(side), tasks, untilRows)
            ->UseManualTime()
            ->Iterations(3)
            ->Unit(benchmark::kMillisecond);
      }
    }
  }
  const int failed = RunBenchmarksWithRatios(argc, argv);
  for (const auto& [tasks, organizer] : Memory()["organizer"]) {
    const double mine = MedianMb(organizer);
    const double bare = MedianMb(Memory()["raw"][tasks]);
    std::printf("Memory with %d tasks: %+.2f MB over the bare window (organizer %.2f MB, bare %.2f MB)\n", tasks,
                mine - bare, mine, bare);
  }
  return failed;
}
