// Which file a path leads to, so that two paths to one file (a link beside its
// target, a folder reached both directly and through a link) can be told apart
// from two files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kovan {

// The volume and the file's number on it: equal for every path that reaches
// the same file, links followed. Some file systems (ReFS) number files with
// 128 bits, of which a 64-bit number is not unique; `indexHigh` holds the upper
// half where the system gives one, 0 elsewhere.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;
  uint64_t indexHigh = 0;

  bool operator==(const FileIdentity&) const = default;
};

struct FileIdentityHash {
  size_t operator()(const FileIdentity& id) const {
    return std::hash<uint64_t>{}(id.index) ^ (std::hash<uint64_t>{}(id.volume) * 0x9e3779b97f4a7c15ULL) ^
           (std::hash<uint64_t>{}(id.indexHigh) * 0xc2b2ae3d27d4eb4fULL);
  }
};

// Nothing when the path cannot be reached or opened; callers then compare
// paths instead.
std::optional<FileIdentity> IdentityOfFile(const std::string& path);

// The same answers as IdentityOfFile for many files. On Windows, where opening
// a file costs much more than listing its folder (above all under Wine), each
// folder is listed once and its files' numbers taken from the listing; a file
// the listing cannot answer for (a link, a name spelled otherwise) is opened.
// The listings are kept for the reader's life, so keep it for one task.
class FileIdentityReader {
 public:
  FileIdentityReader();
  ~FileIdentityReader();
  FileIdentityReader(const FileIdentityReader&) = delete;
  FileIdentityReader& operator=(const FileIdentityReader&) = delete;

  std::optional<FileIdentity> Read(const std::string& path);

 private:
  struct Listings;
  std::unique_ptr<Listings> listings_;
};

}  // namespace kovan
