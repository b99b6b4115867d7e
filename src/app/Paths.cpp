#include "app/Paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace Paths {

namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : "/tmp";
}

// An XDG base folder: the variable when it holds an absolute path, else the default.
std::string XdgFolder(const char* variable, std::string_view fallbackBelowHome) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  return HomeFolder() + "/" + std::string(fallbackBelowHome);
}

std::string ReadProgramFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error).string();
  return exe.parent_path().string();
}

// One program path as the value of a desktop entry's Exec key: quoted when it
// holds reserved characters, then with the key's own escapes for "%" and "\".
std::string ExecValue(const std::string& program) {
  std::string argument;
  if (program.find_first_of(" \t\n\"'\\><~|&;$*?#()`") == std::string::npos) {
    argument = program;
  } else {
    argument.push_back('"');
    for (char c : program) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') argument.push_back('\\');
      argument.push_back(c);
    }
    argument.push_back('"');
  }
  std::string value;
  for (char c : argument) {
    if (c == '%') value += '%';
    if (c == '\\') value += '\\';
    value += c;
  }
  return value;
}

}  // namespace

const std::string& ProgramFolder() {
  static const std::string folder = ReadProgramFolder();
  return folder;
}

std::string DatabaseFile() {
  const std::string portable = ProgramFolder() + "/organizer.db";
  if (::access(portable.c_str(), F_OK) == 0) return portable;
  return DataFolder() + "/organizer.db";
}

std::string DataFolder() {
  return XdgFolder("XDG_DATA_HOME", ".local/share") + "/" + kMakerName + "/" + kAppName;
}

std::string ConfigHome() { return XdgFolder("XDG_CONFIG_HOME", ".config"); }

std::string HelpPage(const std::string& name) {
  const std::string beside = ProgramFolder() + "/help/" + name;
  if (::access(beside.c_str(), F_OK) == 0) return beside;
  // Named to the user when no browser opens it, so without "bin/..".
  return std::filesystem::path(ProgramFolder() + "/../share/" + kAppId + "/help/" + name).lexically_normal().string();
}

std::string ProgramFile() { return ProgramFolder() + "/" + kExecutableName; }

std::string AutostartCommand() { return ExecValue(ProgramFile()); }

}  // namespace Paths
