// The real registry, in the process's own view (64-bit keys for the 64-bit
// build).
#pragma once

#include <windows.h>

#include "platform/registry.hpp"

namespace kovan {

class Win32Registry : public Registry {
 public:
  bool KeyExists(RegistryRoot root, const std::string& path) override;
  RegistryStatus CreateKey(RegistryRoot root, const std::string& path) override;
  RegistryStatus ReadValue(RegistryRoot root, const std::string& path, const std::string& name,
                           RegistryValue& value) override;
  RegistryStatus WriteValue(RegistryRoot root, const std::string& path, const std::string& name,
                            const RegistryValue& value) override;

  static HKEY RootKey(RegistryRoot root);
  static RegistryStatus StatusOf(LSTATUS code);
};

}  // namespace kovan
