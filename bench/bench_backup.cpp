// The daily backup of a well-used database, beside copying the same file with cp.
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>

#include "BenchSupport.h"
#include "db/DatabaseCopy.h"

extern char** environ;

namespace {

BenchDatabase& TheSample() {
  static BenchDatabase database{SampleRecords()};
  return database;
}

std::string Target() { return TheSample().Path() + ".copy"; }

void Backup_organizer(benchmark::State& state) {
  const std::string& source = TheSample().Path();
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(Target());
    state.ResumeTiming();
    const std::string why = DBL::CopyDatabase(source, Target());
    if (!why.empty()) state.SkipWithError(why.c_str());
  }
}

void Backup_raw(benchmark::State& state) {
  std::string source = TheSample().Path();
  std::string target = Target();
  char cp[] = "cp";
  char* argv[] = {cp, source.data(), target.data(), nullptr};
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(target);
    state.ResumeTiming();
    pid_t child = 0;
    int status = 0;
    if (::posix_spawnp(&child, "cp", nullptr, nullptr, argv, environ) != 0 || ::waitpid(child, &status, 0) < 0 ||
        status != 0) {
      state.SkipWithError("cp failed");
    }
  }
}

}  // namespace

BENCHMARK(Backup_organizer)->Name("Daily backup 10000 tasks/organizer")->Unit(benchmark::kMillisecond);
BENCHMARK(Backup_raw)->Name("Daily backup 10000 tasks/raw")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  TheSample();
  return RunBenchmarksWithRatios(argc, argv);
}
