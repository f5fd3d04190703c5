// A file's size and last-write time, read from its attributes without
// opening it: what a build compares to tell whether a file has changed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kovan {

struct FileStamp {
  uint64_t size = 0;
  // The last write in the system's own unit (100 ns on Windows, 1 ns
  // elsewhere); only compared, never shown.
  int64_t writeTime = 0;

  bool operator==(const FileStamp&) const = default;
};

// Nothing when the attributes cannot be read or name a folder.
std::optional<FileStamp> FileStampOf(const std::string& path);

}  // namespace kovan
