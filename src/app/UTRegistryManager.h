#pragma once

#include <string>

// Writes the few values the organizer leaves outside its database. A key path
// names where they go: the log-in "Run" key becomes the XDG autostart entry,
// any other key a "name=value" file below $XDG_CONFIG_HOME. Files are written
// whole and atomically, readable by their owner only. Nothing reads them back.
class UTRegistryManager {
 public:
  static constexpr char kProgramKey[] = "SOFTWARE\\Tavrin\\Orvale Organizer";
  static constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

  UTRegistryManager();
  virtual ~UTRegistryManager() = default;

  void SetKeyPath(const std::string& path);

  // 0 on success; otherwise an errno value, after one diagnostic line on standard output.
  int WriteString(const std::string& name, const std::string& text);
  int WriteNumber(const std::string& name, int value);

  // The file that stands for the current key path.
  std::string KeyFile() const;

 private:
  std::string m_keyPath;
};
