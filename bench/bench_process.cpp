// What a person waits for at start-up and what the running program holds:
// the real organizer, started as its own process on a private Xvfb display,
// to its first painted window, beside a bare Qt Widgets window (bare-window)
// started the same way. In the ratio lines "raw" is the bare window. After
// them one line per sample size gives the resident memory each holds half a
// second after its window showed, and the organizer's share over the bare one.
// ORGANIZER_EXE in the environment names another build of the program to time.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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

  // Waits for a window to be mapped and its centre to be painted; false after the timeout.
  bool WaitPainted(Clock::time_point end) {
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
      if (Clock::now() > end) return false;
      poll(&x, 1, 20);
    }
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&free)> box(
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr), &free);
    if (!box) return false;
    const int16_t cx = static_cast<int16_t>(box->x + box->width / 2);
    const int16_t cy = static_cast<int16_t>(box->y + box->height / 2);
    while (Clock::now() < end) {
      std::unique_ptr<xcb_get_image_reply_t, decltype(&free)> image(
          xcb_get_image_reply(m_connection,
                              xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, cx, cy, 1, 1, ~0u),
                              nullptr),
          &free);
      const uint8_t* pixel = image ? xcb_get_image_data(image.get()) : nullptr;
      if (pixel && (pixel[0] || pixel[1] || pixel[2])) return true;
      std::this_thread::sleep_for(200us);
    }
    return false;
  }

 private:
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

void Run(benchmark::State& state, const char* program, const std::string& side, int tasks) {
  BenchDatabase& database = Database(tasks);
  for (auto _ : state) {
    Display().Drain();
    const Clock::time_point started = Clock::now();
    const pid_t pid = Start(program, database);
    const bool shown = Display().WaitPainted(started + kTimeout);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - started).count());
    if (shown) {
      std::this_thread::sleep_for(kSettle);
      Memory()[side][tasks].push_back(ResidentKb(pid));
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    if (!shown) state.SkipWithError("no window showed");
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
    const std::string name = "Process start to the visible window " + std::to_string(tasks);
    const std::pair<const char*, const char*> sides[] = {{"organizer", organizer.c_str()}, {"raw", BARE_WINDOW_EXE}};
    for (const auto& [side, program] : sides) {
      benchmark::RegisterBenchmark((name + "/" + side).c_str(), Run, program, std::string(side), tasks)
          ->UseManualTime()
          ->Iterations(3)
          ->Unit(benchmark::kMillisecond);
    }
  }
  const int failed = RunBenchmarksWithRatios(argc, argv);
  for (const auto& [tasks, organizer] : Memory()["organizer"]) {
    const double mine = MedianMb(organizer);
    const double bare = MedianMb(Memory()["raw"][tasks]);
    std::printf("Memory with %d tasks: %+.1f MB over the bare window (organizer %.1f MB, bare %.1f MB)\n", tasks,
                mine - bare, mine, bare);
  }
  return failed;
}
