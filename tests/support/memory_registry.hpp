// A registry held in memory: the tests' registry, and kovanc's where no real
// one exists. Key and value names ignore ASCII letter case, as the system's do.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/registry.hpp"

namespace kovan {

class MemoryRegistry : public Registry {
 public:
  bool KeyExists(RegistryRoot root, const std::string& path) override;
  RegistryStatus CreateKey(RegistryRoot root, const std::string& path) override;
  RegistryStatus ReadValue(RegistryRoot root, const std::string& path, const std::string& name,
                           RegistryValue& value) override;
  RegistryStatus WriteValue(RegistryRoot root, const std::string& path, const std::string& name,
                            const RegistryValue& value) override;

  // From now on every key creation and value write under `root` fails with
  // `status` (AccessDenied plays an account without write access; Ok undoes it).
  void FailWrites(RegistryRoot root, RegistryStatus status) { writeFailures_[root] = status; }

  // The number of values held in the key; 0 when it does not exist.
  size_t ValueCount(RegistryRoot root, const std::string& path) const;

 private:
  using KeyId = std::pair<RegistryRoot, std::string>;  // path folded and without stray separators
  static KeyId Id(RegistryRoot root, const std::string& path);
  RegistryStatus WriteFailure(RegistryRoot root) const;

  std::map<KeyId, std::map<std::string, RegistryValue>> keys_;  // values by folded name
  std::map<RegistryRoot, RegistryStatus> writeFailures_;
};

}  // namespace kovan
