#include "pool/resource_pool.hpp"

#include <algorithm>

namespace kovan {

namespace {
const std::string kEmpty;
}  // namespace

std::optional<char> UnfitPathCharacter(std::string_view path) {
  for (char c : path) {
    if (c == '"' || c == '\r' || c == '\n' || c == '\x1A' || c == '\0') return c;
  }
  return std::nullopt;
}

const char* DescribeUnfitCharacter(char c) {
  switch (c) {
    case '"': return "a double quote";
    case '\r': return "a carriage return";
    case '\n': return "a line feed";
    case '\x1A': return "the end-of-file character 0x1A";
    case '\0': return "a NUL character";
    default: return "a character no entry may hold";
  }
}

const std::string& PoolEntry::Field(int c) const {
  return c >= 0 && static_cast<size_t>(c) < fields.size() ? fields[static_cast<size_t>(c)] : kEmpty;
}

void ResourcePool::IndexAdd(const std::string& path) { ++pathIndex_[path]; }

void ResourcePool::IndexRemove(const std::string& path) {
  const auto it = pathIndex_.find(path);
  if (it != pathIndex_.end() && --it->second == 0) pathIndex_.erase(it);
}

void ResourcePool::Append(std::string key, std::string type, std::string path) {
  ++revision_;
  IndexAdd(path);
  entries_.push_back(PoolEntry{{std::move(key), std::move(type), std::move(path)}});
}

void ResourcePool::AppendFields(std::vector<std::string> fields) {
  ++revision_;
  PoolEntry entry{std::move(fields)};
  IndexAdd(entry.Field(kFilePath));
  entries_.push_back(std::move(entry));
}

void ResourcePool::SetField(size_t i, int c, std::string text) {
  ++revision_;
  PoolEntry& entry = entries_[i];
  if (c == kFilePath) {
    IndexRemove(entry.Field(kFilePath));
    IndexAdd(text);
  }
  if (entry.fields.size() <= static_cast<size_t>(c)) entry.fields.resize(static_cast<size_t>(c) + 1);
  entry.fields[static_cast<size_t>(c)] = std::move(text);
}

void ResourcePool::Delete(size_t i) {
  ++revision_;
  IndexRemove(entries_[i].Field(kFilePath));
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
}

void ResourcePool::Clear() {
  ++revision_;
  entries_.clear();
  pathIndex_.clear();
}

void ResourcePool::ReplaceAll(std::vector<PoolEntry> entries) {
  Clear();
  entries_ = std::move(entries);
  pathIndex_.reserve(entries_.size());
  for (const PoolEntry& entry : entries_) IndexAdd(entry.Field(kFilePath));
}

bool ResourcePool::ContainsPath(std::string_view path) const { return pathIndex_.find(path) != pathIndex_.end(); }

void ResourcePool::DeleteEmptyPaths() {
  ++revision_;
  std::erase_if(entries_, [](const PoolEntry& e) { return e.Field(kFilePath).empty(); });
  pathIndex_.erase("");
}

}  // namespace kovan
