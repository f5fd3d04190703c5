// The program's named settings in the registry: integers and booleans under
// one key of the local-machine hive.
//
// An account that may not write that hive (a standard user) would otherwise be
// unable to close the program, so a write refused for lack of access goes to
// the same key under the current user's hive instead. Once that key exists it
// is the one in use: reads come from it, and later writes go straight to it.
#pragma once

#include "base/errors.hpp"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/registry.hpp"

namespace kovan {

inline constexpr char kSettingsKey[] = "Software\\ORSEL RIRUDIR\\Kovan\\s2.0";

// A settings write that failed: "Unable to create key '...'" or
// "Unable to open key "HIVE\..." for write".
class RegistryError : public Error {
 public:
  using Error::Error;
};

class SettingsStore {
 public:
  explicit SettingsStore(Registry& registry, std::string keyPath = kSettingsKey);

  // Reads never fail: a missing, unreadable or unusable value gives `def`.
  // A name may carry a subkey path ("Sub\Value"): it is split at its last
  // backslash.
  [[nodiscard]] int32_t ReadInteger(std::string_view name, int32_t def) const;
  [[nodiscard]] bool ReadBoolean(std::string_view name, bool def) const;
  // A text value (REG_SZ or REG_EXPAND_SZ, unexpanded); `def` for any other type.
  [[nodiscard]] std::string ReadString(std::string_view name, const std::string& def) const;

  // Integers are stored as REG_DWORD (two's complement), booleans as the REG_SZ
  // text "TRUE" or "FALSE". Throws RegistryError.
  void WriteInteger(std::string_view name, int32_t value);
  void WriteBoolean(std::string_view name, bool value);
  // Stored as REG_SZ.
  void WriteString(std::string_view name, std::string_view value);

  const std::string& KeyPath() const { return keyPath_; }

 private:
  struct Location {
    std::string key;
    std::string value;
  };
  Location Locate(std::string_view name) const;
  RegistryRoot RootInUse(const std::string& key) const;
  RegistryStatus ReadRaw(const Location& at, RegistryValue& value) const;
  void Write(std::string_view name, const RegistryValue& value);
  // Creates the key when needed and sets the value; the status of the step
  // that failed, with `createFailed` telling which step it was.
  RegistryStatus TryWrite(RegistryRoot root, const Location& at, const RegistryValue& value, bool& createFailed);

  Registry& registry_;
  std::string keyPath_;
};

}  // namespace kovan
