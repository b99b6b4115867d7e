#include "app/UTRegistryManager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <strings.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/Paths.h"

namespace {

// Writes the whole file under a temporary name and renames it into place, so
// that readers see the old or the new file, never half of one.
int WriteFileAtomically(const std::string& path, const std::string& content) {
  const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return errno;
  ::fchmod(fd, 0600);  // a leftover temporary may have had other rights
  size_t written = 0;
  while (written < content.size()) {
    const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    written += static_cast<size_t>(n);
  }
  int error = written == content.size() ? 0 : (errno ? errno : EIO);
  if (!error && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && !error) error = errno;
  if (!error && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error) ::unlink(temporary.c_str());
  return error;
}

bool IsOwnerOnly(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 07777) == 0600;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// The file with the line "name=..." replaced by "name=text", or the line added.
std::string WithValue(const std::string& old, const std::string& name, const std::string& text) {
  std::istringstream lines(old);
  std::string result;
  bool replaced = false;
  for (std::string line; std::getline(lines, line);) {
    if (!replaced && line.compare(0, name.size() + 1, name + "=") == 0) {
      line = name + "=" + text;
      replaced = true;
    }
    result += line + "\n";
  }
  if (!replaced) result += name + "=" + text + "\n";
  return result;
}

// The autostart entry: starts the program at log-in, or is hidden when the command is empty.
std::string AutostartEntry(const std::string& name, const std::string& command) {
  std::string entry = "[Desktop Entry]\nType=Application\nName=" + name +
                      "\nComment=Tasks, contacts, dates and notes\nIcon=" + std::string(Paths::kAppId) + "\nTerminal=false\n";
  if (!command.empty()) entry += "Exec=" + command + "\n";
  entry += command.empty() ? "Hidden=true\nX-GNOME-Autostart-enabled=false\n"
                           : "Hidden=false\nX-GNOME-Autostart-enabled=true\n";
  return entry;
}

// Earlier versions named the autostart entry after the application name.
constexpr char kOldAutostartName[] = "orvale-organizer.desktop";

}  // namespace

UTRegistryManager::UTRegistryManager() : m_keyPath(kProgramKey) {}

void UTRegistryManager::SetKeyPath(const std::string& path) { m_keyPath = path; }

std::string UTRegistryManager::KeyFile() const {
  if (m_keyPath == kRunKey) return Paths::ConfigHome() + "/autostart/" + Paths::kAppId + ".desktop";
  std::string relative = m_keyPath;
  const std::string software = "SOFTWARE\\";
  if (relative.size() > software.size() && strncasecmp(relative.c_str(), software.c_str(), software.size()) == 0) {
    relative.erase(0, software.size());
  }
  for (char& c : relative) {
    if (c == '\\') c = '/';
  }
  return Paths::ConfigHome() + "/" + relative + ".conf";
}

int UTRegistryManager::WriteString(const std::string& name, const std::string& text) {
  const std::filesystem::path file(KeyFile());
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) {
    std::printf("Error in creating appname.ini key\n");
    std::fflush(stdout);
    return error.value();
  }
  const std::string old = ReadFile(file.string());
  const std::string content = m_keyPath == kRunKey ? AutostartEntry(name, text) : WithValue(old, name, text);
  // Every start sets the autostart entry again: a file that already says it
  // is left alone, which saves a write and a sync to the disk.
  const int result = content == old && IsOwnerOnly(file.string()) ? 0 : WriteFileAtomically(file.string(), content);
  if (result != 0) {
    std::printf("Error in setting Section1 value\n");
    std::fflush(stdout);
  } else if (m_keyPath == kRunKey) {
    // The entry under the old name goes once the new one is in place, so the
    // desktop never starts the program twice and a failed write loses nothing.
    std::filesystem::remove(file.parent_path() / kOldAutostartName, error);
  }
  return result;
}

int UTRegistryManager::WriteNumber(const std::string& name, int value) {
  return WriteString(name, std::to_string(value));
}
