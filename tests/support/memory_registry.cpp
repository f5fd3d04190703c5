#include "support/memory_registry.hpp"

namespace kovan {

namespace {

std::string Fold(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  for (char c : text) folded.push_back(AsciiLower(c));
  return folded;
}

}  // namespace

MemoryRegistry::KeyId MemoryRegistry::Id(RegistryRoot root, const std::string& path) {
  std::string normal;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) {
      if (!normal.empty()) normal.push_back('\\');
      normal += Fold(std::string_view(path).substr(start, end - start));
    }
    start = end + 1;
  }
  return {root, normal};
}

RegistryStatus MemoryRegistry::WriteFailure(RegistryRoot root) const {
  const auto it = writeFailures_.find(root);
  return it == writeFailures_.end() ? RegistryStatus::Ok : it->second;
}

bool MemoryRegistry::KeyExists(RegistryRoot root, const std::string& path) {
  const KeyId id = Id(root, path);
  return id.second.empty() || keys_.contains(id);
}

RegistryStatus MemoryRegistry::CreateKey(RegistryRoot root, const std::string& path) {
  if (KeyExists(root, path)) return RegistryStatus::Ok;
  if (const RegistryStatus failure = WriteFailure(root); failure != RegistryStatus::Ok) return failure;
  const KeyId id = Id(root, path);
  for (size_t sep = id.second.find('\\'); sep != std::string::npos; sep = id.second.find('\\', sep + 1))
    keys_.try_emplace({root, id.second.substr(0, sep)});
  keys_.try_emplace(id);
  return RegistryStatus::Ok;
}

RegistryStatus MemoryRegistry::ReadValue(RegistryRoot root, const std::string& path, const std::string& name,
                                         RegistryValue& value) {
  const auto key = keys_.find(Id(root, path));
  if (key == keys_.end()) return RegistryStatus::NotFound;
  const auto it = key->second.find(Fold(name));
  if (it == key->second.end()) return RegistryStatus::NotFound;
  value = it->second;
  return RegistryStatus::Ok;
}

RegistryStatus MemoryRegistry::WriteValue(RegistryRoot root, const std::string& path, const std::string& name,
                                          const RegistryValue& value) {
  const auto key = keys_.find(Id(root, path));
  if (key == keys_.end()) return RegistryStatus::NotFound;
  if (const RegistryStatus failure = WriteFailure(root); failure != RegistryStatus::Ok) return failure;
  key->second[Fold(name)] = value;
  return RegistryStatus::Ok;
}

size_t MemoryRegistry::ValueCount(RegistryRoot root, const std::string& path) const {
  const auto key = keys_.find(Id(root, path));
  return key == keys_.end() ? 0 : key->second.size();
}

}  // namespace kovan
