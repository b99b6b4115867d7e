#pragma once

#include <optional>
#include <ostream>

// The command-line work that needs no window. Returns the exit code when the
// arguments asked for such work and it is done; nothing when the program is
// to start as usual (no arguments, or ones it does not act on).
std::optional<int> RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);
