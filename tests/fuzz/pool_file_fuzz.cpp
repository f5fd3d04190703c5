// The pool list file reader on arbitrary bytes: it must never crash, and what
// it reads must survive a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pool/pool_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kovan::ResourcePool pool;
  for (auto& fields : kovan::ParsePoolFile(bytes, 1252)) pool.AppendFields(std::move(fields));
  const std::string written = kovan::SerializePool(pool, 1252);
  const auto again = kovan::ParsePoolFile(written, 1252);
  if (again.size() != pool.Count()) std::abort();
  for (size_t i = 0; i < again.size(); ++i) {
    // CR, LF and 0x1A cannot stand inside a field of a line file; others must survive.
    bool plain = true;
    for (const auto& f : pool.Entries()[i].fields) plain = plain && f.find_first_of("\r\n\x1A") == std::string::npos;
    if (plain && again[i] != pool.Entries()[i].fields) std::abort();
  }
  return 0;
}
