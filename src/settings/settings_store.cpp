#include "settings/settings_store.hpp"

#include <charconv>
#include <optional>
#include <span>
#include <utility>

#include "base/text.hpp"

namespace kovan {

namespace {

constexpr std::string_view kTrueWords[] = {"TRUE", "YES", "Y"};
constexpr std::string_view kFalseWords[] = {"FALSE", "NO", "N"};

// Optional sign and decimal digits, nothing else, within 64 bits.
std::optional<int64_t> ParseInt64(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  int64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, 10);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return number;
}

int32_t Low32(uint64_t number) { return static_cast<int32_t>(static_cast<uint32_t>(number)); }

int32_t IntegerOf(const RegistryValue& value, int32_t def) {
  switch (value.type) {
    case kRegSz:
    case kRegExpandSz: {
      const std::optional<int64_t> number = ParseInt64(value.AsText());
      return number ? Low32(static_cast<uint64_t>(*number)) : def;
    }
    case kRegDword:
    case kRegQword:
    case kRegBinary: {
      if (value.data.size() > 8) return def;
      uint64_t number = 0;
      for (size_t i = 0; i < value.data.size(); ++i) number |= static_cast<uint64_t>(value.data[i]) << (8 * i);
      return Low32(number);
    }
    default: return def;
  }
}

bool IsOneOf(std::string_view text, std::span<const std::string_view> words) {
  for (std::string_view word : words)
    if (text == word) return true;
  return false;
}

}  // namespace

SettingsStore::SettingsStore(Registry& registry, std::string keyPath)
    : registry_(registry), keyPath_(std::move(keyPath)) {}

SettingsStore::Location SettingsStore::Locate(std::string_view name) const {
  const std::string full = keyPath_ + "\\" + std::string(name);
  const size_t split = full.rfind('\\');
  return {full.substr(0, split), full.substr(split + 1)};
}

RegistryRoot SettingsStore::RootInUse(const std::string& key) const {
  return registry_.KeyExists(RegistryRoot::CurrentUser, key) ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
}

RegistryStatus SettingsStore::ReadRaw(const Location& at, RegistryValue& value) const {
  return registry_.ReadValue(RootInUse(at.key), at.key, at.value, value);
}

int32_t SettingsStore::ReadInteger(std::string_view name, int32_t def) const {
  RegistryValue value;
  if (ReadRaw(Locate(name), value) != RegistryStatus::Ok) return def;
  return IntegerOf(value, def);
}

bool SettingsStore::ReadBoolean(std::string_view name, bool def) const {
  RegistryValue value;
  const RegistryStatus status = ReadRaw(Locate(name), value);
  if (status == RegistryStatus::NotFound) return def;

  std::string text;
  if (status == RegistryStatus::Ok && (value.type == kRegSz || value.type == kRegExpandSz)) {
    text = value.AsText();
  } else if (status == RegistryStatus::Ok && value.type == kRegBinary) {
    // Binary data read as a string: its bytes as 8-bit characters, up to the
    // first zero byte.
    for (uint8_t byte : value.data) {
      if (byte == 0) break;
      text.push_back(static_cast<char>(byte));
    }
  } else {
    text = def ? "TRUE" : "FALSE";
  }
  const std::string upper = AsciiUpper(text);
  if (IsOneOf(upper, kTrueWords)) return true;
  if (IsOneOf(upper, kFalseWords)) return false;
  return IntegerOf(value, def ? 1 : 0) != 0;
}

std::string SettingsStore::ReadString(std::string_view name, const std::string& def) const {
  RegistryValue value;
  if (ReadRaw(Locate(name), value) != RegistryStatus::Ok) return def;
  return value.type == kRegSz || value.type == kRegExpandSz ? value.AsText() : def;
}

void SettingsStore::WriteInteger(std::string_view name, int32_t value) {
  Write(name, RegistryValue::Dword(static_cast<uint32_t>(value)));
}

void SettingsStore::WriteBoolean(std::string_view name, bool value) {
  Write(name, RegistryValue::Text(value ? "TRUE" : "FALSE"));
}

void SettingsStore::WriteString(std::string_view name, std::string_view value) {
  Write(name, RegistryValue::Text(value));
}

RegistryStatus SettingsStore::TryWrite(RegistryRoot root, const Location& at, const RegistryValue& value,
                                       bool& createFailed) {
  createFailed = false;
  if (!registry_.KeyExists(root, at.key)) {
    const RegistryStatus created = registry_.CreateKey(root, at.key);
    if (created != RegistryStatus::Ok) {
      createFailed = true;
      return created;
    }
  }
  return registry_.WriteValue(root, at.key, at.value, value);
}

void SettingsStore::Write(std::string_view name, const RegistryValue& value) {
  const Location at = Locate(name);
  RegistryRoot root = RootInUse(at.key);
  bool createFailed = false;
  RegistryStatus status = TryWrite(root, at, value, createFailed);
  if (status == RegistryStatus::AccessDenied && root == RegistryRoot::LocalMachine) {
    root = RegistryRoot::CurrentUser;
    status = TryWrite(root, at, value, createFailed);
  }
  if (status == RegistryStatus::Ok) return;
  if (createFailed) throw RegistryError("Unable to create key '" + at.key + "'");
  throw RegistryError("Unable to open key \"" + std::string(RootName(root)) + "\\" + at.key + "\" for write");
}

}  // namespace kovan
