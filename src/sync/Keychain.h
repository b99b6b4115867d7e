#pragma once

#include <QString>
#include <optional>

namespace Sync {

// The system keychain (the Secret Service) through QtKeychain; part of the
// network module. Each call waits for the keychain's answer.
class Keychain {
 public:
  static bool Save(const QString& service, const QString& key, const QString& secret);
  static std::optional<QString> Load(const QString& service, const QString& key);
  static void Delete(const QString& service, const QString& key);
};

}  // namespace Sync
