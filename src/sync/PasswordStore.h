#pragma once

#include <QString>
#include <optional>
#include <string>

namespace Sync {

// Account passwords in the desktop's Secret Service; where there is none,
// in this process's memory only. Never in organizer.db or a file.
class PasswordStore {
 public:
  // The key of an account's password: its user and address.
  static QString KeyOf(const std::string& user, const std::string& url);
  // False when the Secret Service did not take it (it is then kept in memory).
  static bool Save(const QString& key, const QString& password);
  static std::optional<QString> Load(const QString& key);
  static void Forget(const QString& key);
  // For this run only, never the Secret Service: a password the person typed
  // when none was stored, and dropped again when the server refuses it.
  static void Keep(const QString& key, const QString& password);
  static void Drop(const QString& key);
};

}  // namespace Sync
