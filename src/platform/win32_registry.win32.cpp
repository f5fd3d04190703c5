#include "platform/win32_registry.win32.hpp"

#include "base/handles.win32.hpp"

namespace kovan {

HKEY Win32Registry::RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users: return HKEY_USERS;
  }
  return nullptr;
}

RegistryStatus Win32Registry::StatusOf(LSTATUS code) {
  switch (code) {
    case ERROR_SUCCESS: return RegistryStatus::Ok;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return RegistryStatus::NotFound;
    case ERROR_ACCESS_DENIED: return RegistryStatus::AccessDenied;
    default: return RegistryStatus::Failed;
  }
}

namespace {

LSTATUS OpenKey(RegistryRoot root, const std::string& path, REGSAM access, UniqueHKey& key) {
  HKEY raw = nullptr;
  const LSTATUS code = RegOpenKeyExW(Win32Registry::RootKey(root), ToWide(path).c_str(), 0, access, &raw);
  if (code == ERROR_SUCCESS) key.reset(raw);
  return code;
}

}  // namespace

bool Win32Registry::KeyExists(RegistryRoot root, const std::string& path) {
  UniqueHKey key;
  return OpenKey(root, path, KEY_QUERY_VALUE, key) == ERROR_SUCCESS;
}

RegistryStatus Win32Registry::CreateKey(RegistryRoot root, const std::string& path) {
  HKEY raw = nullptr;
  const LSTATUS code = RegCreateKeyExW(RootKey(root), ToWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                       KEY_WRITE, nullptr, &raw, nullptr);
  const UniqueHKey key(code == ERROR_SUCCESS ? raw : nullptr);
  return StatusOf(code);
}

RegistryStatus Win32Registry::ReadValue(RegistryRoot root, const std::string& path, const std::string& name,
                                        RegistryValue& value) {
  UniqueHKey key;
  if (const LSTATUS code = OpenKey(root, path, KEY_QUERY_VALUE, key); code != ERROR_SUCCESS) return StatusOf(code);
  const std::wstring wideName = ToWide(name);
  // The value may grow between the size query and the read; ask again then.
  for (;;) {
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS code = RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, nullptr, &size);
    if (code != ERROR_SUCCESS) return StatusOf(code);
    std::vector<uint8_t> data(size);
    code = RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, data.data(), &size);
    if (code == ERROR_MORE_DATA) continue;
    if (code != ERROR_SUCCESS) return StatusOf(code);
    data.resize(size);
    value = RegistryValue{type, std::move(data)};
    return RegistryStatus::Ok;
  }
}

RegistryStatus Win32Registry::WriteValue(RegistryRoot root, const std::string& path, const std::string& name,
                                         const RegistryValue& value) {
  UniqueHKey key;
  if (const LSTATUS code = OpenKey(root, path, KEY_SET_VALUE, key); code != ERROR_SUCCESS) return StatusOf(code);
  return StatusOf(RegSetValueExW(key.get(), ToWide(name).c_str(), 0, value.type, value.data.data(),
                                 static_cast<DWORD>(value.data.size())));
}

}  // namespace kovan
