#include <iostream>

#include "app/COrganizerApp.h"
#include "app/CommandLine.h"

int main(int argc, char** argv) {
  if (const std::optional<int> done = RunCommandLine(argc, argv, std::cout, std::cerr)) return *done;
  COrganizerApp app(argc, argv);
  return app.InitInstance();
}
