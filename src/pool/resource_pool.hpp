// The resource pool: the ordered list of files to compile, each with its key
// name, resource type and path. Owned by the main window for the whole run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kovan {

enum PoolField : int { kKeyName = 0, kResourceType = 1, kFilePath = 2 };

// One entry: an ordered list of text fields (UTF-8). Entries the program makes
// have exactly three; entries read from a hand-edited list file keep whatever
// their line held, and a missing field reads as empty text.
struct PoolEntry {
  std::vector<std::string> fields;

  const std::string& Field(int c) const;
};

// The first character of `path` that no entry may carry: a double quote ends
// the quoted file name of a script line, so the rest of the name would be read
// as more of the script; CR, LF and 0x1A end a line of the list file, so the
// rest would come back as an entry of its own; NUL ends the name for the
// system. Nothing when the path has none of them.
std::optional<char> UnfitPathCharacter(std::string_view path);
// "a double quote", "a line feed", ... for a character found above.
const char* DescribeUnfitCharacter(char c);

class ResourcePool {
 public:
  size_t Count() const { return entries_.size(); }
  void Append(std::string key, std::string type, std::string path);
  // Appends an entry with any number of fields (the list-file reader).
  void AppendFields(std::vector<std::string> fields);
  const std::string& Field(size_t i, int c) const { return entries_[i].Field(c); }
  void SetField(size_t i, int c, std::string text);
  void Delete(size_t i);
  void Clear();
  void ReplaceAll(std::vector<PoolEntry> entries);
  // Removes every entry whose FilePath is empty, keeping the order of the rest;
  // one pass, where deleting them one by one would move the tail each time.
  void DeleteEmptyPaths();
  // Whether some entry's FilePath equals `path` exactly (letter case counts).
  // Answered from an index kept in step with the entries.
  bool ContainsPath(std::string_view path) const;

  const std::vector<PoolEntry>& Entries() const { return entries_; }
  // Changes with every change of the entries, so that something derived from
  // them (the drop import's set of known files) can tell when it is stale.
  uint64_t Revision() const { return revision_; }

 private:
  void IndexAdd(const std::string& path);
  void IndexRemove(const std::string& path);

  std::vector<PoolEntry> entries_;
  uint64_t revision_ = 0;
  struct PathHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  // FilePath -> number of entries carrying it; repeats from a list file are kept.
  std::unordered_map<std::string, size_t, PathHash, std::equal_to<>> pathIndex_;
};

}  // namespace kovan
