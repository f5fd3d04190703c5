// The registry as the settings store and the autostart code see it: keys named
// by a root and a backslash-separated path, values as their type and raw bytes.
// The Win32 implementation talks to the real registry; the in-memory one serves
// the tests and kovanc.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.hpp"

namespace kovan {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

// The hive's name as the system spells it ("HKEY_LOCAL_MACHINE").
inline const char* RootName(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case RegistryRoot::CurrentUser: return "HKEY_CURRENT_USER";
    case RegistryRoot::LocalMachine: return "HKEY_LOCAL_MACHINE";
    case RegistryRoot::Users: return "HKEY_USERS";
  }
  return "";
}

// Value types, numbered as the registry numbers them.
enum RegistryType : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegDwordBigEndian = 5,
  kRegMultiSz = 7,
  kRegQword = 11,
};

enum class RegistryStatus {
  Ok,
  NotFound,      // the key or the value is not there
  AccessDenied,  // the account may not do this; callers may try elsewhere
  Failed,        // anything else
};

struct RegistryValue {
  uint32_t type = kRegNone;
  std::vector<uint8_t> data;  // exactly the bytes the registry holds

  // REG_SZ: UTF-16LE with its terminating zero.
  static RegistryValue Text(std::string_view utf8, uint32_t type = kRegSz) {
    RegistryValue v{type, {}};
    for (char16_t c : Utf8ToUtf16(utf8)) {
      v.data.push_back(static_cast<uint8_t>(c & 0xFF));
      v.data.push_back(static_cast<uint8_t>(c >> 8));
    }
    v.data.push_back(0);
    v.data.push_back(0);
    return v;
  }
  // REG_DWORD: the four bytes, little-endian.
  static RegistryValue Dword(uint32_t value) {
    return {kRegDword,
            {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
             static_cast<uint8_t>(value >> 24)}};
  }
  static RegistryValue Bytes(uint32_t type, std::string_view bytes) {
    return {type, std::vector<uint8_t>(bytes.begin(), bytes.end())};
  }

  // The data read as UTF-16LE text up to the first zero character. Stored
  // strings need not carry their terminator, and an odd last byte is ignored.
  std::string AsText() const {
    std::u16string text;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
      const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
      if (c == 0) break;
      text.push_back(c);
    }
    return Utf16ToUtf8(text);
  }
};

class Registry {
 public:
  virtual ~Registry() = default;

  [[nodiscard]] virtual bool KeyExists(RegistryRoot root, const std::string& path) = 0;
  // Creates the key together with its missing parents; Ok when it exists already.
  [[nodiscard]] virtual RegistryStatus CreateKey(RegistryRoot root, const std::string& path) = 0;
  // NotFound when the key or the value is missing.
  [[nodiscard]] virtual RegistryStatus ReadValue(RegistryRoot root, const std::string& path, const std::string& name,
                                                 RegistryValue& value) = 0;
  // Opens an existing key for writing and sets the value; NotFound when the
  // key is missing.
  [[nodiscard]] virtual RegistryStatus WriteValue(RegistryRoot root, const std::string& path, const std::string& name,
                                                  const RegistryValue& value) = 0;
};

}  // namespace kovan
