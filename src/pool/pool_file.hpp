// The pool list file Liste.kvl: one comma-separated line per entry, in the
// system's ANSI code page, every line ended by CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pool/resource_pool.hpp"

namespace kovan {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// One entry's line, without its line end (UTF-8 in, UTF-8 out).
std::string EncodePoolLine(const std::vector<std::string>& fields);
// The fields of one line's text (bytes in, bytes out: no decoding here).
std::vector<std::string> SplitPoolLine(std::string_view line);

// The entries of a whole list file. A file that starts with the UTF-8
// byte-order mark is read as UTF-8, and so is one without a mark that is
// valid UTF-8 throughout and holds at least one character beyond ASCII; any
// other in `codePage`.
std::vector<std::vector<std::string>> ParsePoolFile(std::string_view bytes, unsigned codePage);

// The whole file for a pool. When some field cannot be written in `codePage`,
// or the ANSI bytes would read back as UTF-8, the file is written as UTF-8
// with a byte-order mark instead, so nothing is lost. An entry with a field
// holding CR, LF or 0x1A is left out.
std::string SerializePool(const ResourcePool& pool, unsigned codePage);

struct PoolReadResult {
  bool opened = false;
  int openError = 0;  // the system's code when the file could not be opened
};

// Replaces the pool with the file's entries. A file that cannot be opened
// leaves the pool empty and is only reported in the result; a failure while
// reading throws IoError and keeps the entries read so far.
[[nodiscard]] PoolReadResult ReadPoolFile(ResourcePool& pool, const std::string& fileName);
// Writes the pool through a temporary file; throws IoError and leaves any
// earlier file whole on failure.
void WritePoolFile(const ResourcePool& pool, const std::string& fileName);

}  // namespace kovan
