#include <QCoreApplication>
#include <malloc.h>

#include <iostream>

#include "app/COrganizerApp.h"
#include "app/CommandLine.h"
#include "app/RunningCopy.h"
#include "db/DBL.h"

int main(int argc, char** argv) {
  // The program's other threads (start-up's damage check, the X connection's
  // reader) are brief or small: sharing one heap with the window lets what
  // they free serve the window, instead of a heap of their own staying resident.
  mallopt(M_ARENA_MAX, 1);
  if (const std::optional<int> done = RunCommandLine(argc, argv, std::cout, std::cerr)) {
    const CommandLineRequest::Action action = ParseCommandLine(argc, argv).action;
    if (action == CommandLineRequest::kImport || action == CommandLineRequest::kExport ||
        action == CommandLineRequest::kSync || action == CommandLineRequest::kAddAccount) {
      // A copy running on the same database shows the new state (records,
      // accounts and their sync states); without a display.
      QCoreApplication core(argc, argv);
      RunningCopy::AskToRefresh(DBL::GetDatabasePath());
    }
    return *done;
  }
  COrganizerApp app(argc, argv);
  return app.InitInstance();
}
