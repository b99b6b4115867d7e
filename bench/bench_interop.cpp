// Import and export of 10,000 records beside the independent Python readers
// doing only their part: python3-icalendar parsing (Calendar.from_ical) or
// serialising, python3-vobject reading (readComponents) or serialising the
// same data. The organizer's figure includes storing or reading the database.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>

#include "BenchSupport.h"
#include "app/AppBase.h"
#include "db/DBL.h"
#include "interop/Exporter.h"
#include "interop/Importer.h"

namespace {

constexpr int kRecords = 10000;

std::string Folder() {
  static QTemporaryDir dir;
  return dir.path().toStdString();
}

std::string WriteFile(const std::string& name, const std::string& text) {
  const std::string path = Folder() + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string Events() {
  std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n";
  for (int i = 0; i < kRecords; ++i) {
    const std::string n = std::to_string(i);
    text += "BEGIN:VEVENT\r\nUID:event-" + n + "@bench\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:2025" +
            (i % 12 < 9 ? "0" : "") + std::to_string(i % 12 + 1) + "1" + std::to_string(i % 9) +
            "T1" + std::to_string(i % 10) + "3000Z\r\nDTEND:20250101T235900Z\r\nSUMMARY:Event number " + n +
            " with a title\r\nDESCRIPTION:A note about event " + n +
            "\\, with a comma\r\nLOCATION:Room " + n + "\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\n"
            "TRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VEVENT\r\n";
  }
  return text + "END:VCALENDAR\r\n";
}

std::string Tasks() {
  std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n";
  for (int i = 0; i < kRecords; ++i) {
    const std::string n = std::to_string(i);
    text += "BEGIN:VTODO\r\nUID:task-" + n + "@bench\r\nDTSTAMP:20250101T000000Z\r\nSUMMARY:Task number " + n +
            "\r\nDESCRIPTION:What task " + n + " is about\r\nPRIORITY:" + std::to_string(i % 9 + 1) +
            "\r\nDUE;VALUE=DATE:20250615\r\nCATEGORIES:Work\r\nEND:VTODO\r\n";
  }
  return text + "END:VCALENDAR\r\n";
}

std::string Cards() {
  std::string text;
  for (int i = 0; i < kRecords; ++i) {
    const std::string n = std::to_string(i);
    text += "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:card-" + n + "@bench\r\nN:Family" + n + ";Given;Middle;;\r\nFN:Given Middle Family" +
            n + "\r\nEMAIL;TYPE=INTERNET,HOME:person" + n + "@example.org\r\nTEL;TYPE=CELL:+1 555 " + n +
            "\r\nADR;TYPE=HOME:;;" + n + " Main Street;Springfield;IL;62701;USA\r\nNOTE:Met at the fair\\, year " + n +
            "\r\nORG:Example Ltd.\r\nEND:VCARD\r\n";
  }
  return text;
}

// The seconds a Python snippet takes for `work` over the file, timed inside
// Python so that starting the interpreter does not count.
double PythonSeconds(const std::string& setup, const std::string& work, const std::string& path) {
  const std::string script = "import sys, time, icalendar, vobject\n"
                             "data = open(sys.argv[1], 'rb').read()\n" + setup +
                             "\nt = time.perf_counter()\n" + work + "\nprint(time.perf_counter() - t)\n";
  const std::string scriptPath = WriteFile("timing.py", script);
  const std::string command = "/usr/bin/python3 '" + scriptPath + "' '" + path + "'";
  FILE* pipe = ::popen(command.c_str(), "r");
  double seconds = -1;
  if (pipe && std::fscanf(pipe, "%lf", &seconds) != 1) seconds = -1;
  if (pipe) ::pclose(pipe);
  return seconds;
}

void RunPython(benchmark::State& state, const std::string& setup, const std::string& work, const std::string& path) {
  for (auto _ : state) {
    const double seconds = PythonSeconds(setup, work, path);
    if (seconds < 0) {
      state.SkipWithError("python3 with icalendar and vobject did not run");
      return;
    }
    state.SetIterationTime(seconds);
  }
}

BenchDatabase& Database() {
  static BenchDatabase database("");
  static AppBase app;
  return database;
}

void Clear() {
  DBL::ExecuteDelete("delete from event");
  DBL::ExecuteDelete("delete from contact");
  DBL::ExecuteDelete("delete from task");
  DBL::ExecuteDelete("delete from record_identity");
}

void ImportEach(benchmark::State& state, const std::string& path) {
  Database();
  for (auto _ : state) {
    state.PauseTiming();
    Clear();
    state.ResumeTiming();
    Interop::Importer importer(path);
    if (!importer.Apply()) state.SkipWithError("not imported");
  }
}

// The records stored once, then written to a file each time.
void ExportEach(benchmark::State& state, const std::string& source, const std::string& out, int kind) {
  Database();
  Clear();
  Interop::Importer(source).Apply();
  // Changed records are written field by field over what they came with, the more work of the two.
  DBL::ExecuteUpdate("update record_identity set fields = ''");
  for (auto _ : state) {
    if (Interop::ExportFile(out, {kind}) != kRecords) state.SkipWithError("not all exported");
  }
}

const std::string& EventsFile() { static const std::string path = WriteFile("events.ics", Events()); return path; }
const std::string& TasksFile() { static const std::string path = WriteFile("tasks.ics", Tasks()); return path; }
const std::string& CardsFile() { static const std::string path = WriteFile("cards.vcf", Cards()); return path; }

void ImportEvents(benchmark::State& state) { ImportEach(state, EventsFile()); }
void ParseEventsPython(benchmark::State& state) {
  RunPython(state, "", "icalendar.Calendar.from_ical(data)", EventsFile());
}
void ImportContacts(benchmark::State& state) { ImportEach(state, CardsFile()); }
void ReadContactsPython(benchmark::State& state) {
  RunPython(state, "text = data.decode()", "list(vobject.readComponents(text))", CardsFile());
}
void ExportTasks(benchmark::State& state) { ExportEach(state, TasksFile(), Folder() + "/out-tasks.ics", 0); }
void ExportEvents(benchmark::State& state) { ExportEach(state, EventsFile(), Folder() + "/out-events.ics", 2); }
void ExportContacts(benchmark::State& state) { ExportEach(state, CardsFile(), Folder() + "/out-cards.vcf", 1); }
void SerialiseCalendarPython(benchmark::State& state, const std::string& path) {
  RunPython(state, "cal = icalendar.Calendar.from_ical(data)", "cal.to_ical()", path);
}
void SerialiseTasksPython(benchmark::State& state) { SerialiseCalendarPython(state, TasksFile()); }
void SerialiseEventsPython(benchmark::State& state) { SerialiseCalendarPython(state, EventsFile()); }
void SerialiseContactsPython(benchmark::State& state) {
  RunPython(state, "cards = list(vobject.readComponents(data.decode()))", "''.join(c.serialize() for c in cards)",
            CardsFile());
}

}  // namespace

BENCHMARK(ImportEvents)->Name("import_10000_events/organizer")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ParseEventsPython)->Name("import_10000_events/raw")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(ImportContacts)->Name("import_10000_contacts/organizer")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ReadContactsPython)->Name("import_10000_contacts/raw")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(ExportTasks)->Name("export_10000_tasks/organizer")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SerialiseTasksPython)->Name("export_10000_tasks/raw")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(ExportEvents)->Name("export_10000_events/organizer")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SerialiseEventsPython)->Name("export_10000_events/raw")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(ExportContacts)->Name("export_10000_contacts/organizer")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(SerialiseContactsPython)->Name("export_10000_contacts/raw")->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv); }
