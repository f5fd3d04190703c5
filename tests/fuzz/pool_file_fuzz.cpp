// The pool list file on arbitrary bytes: the reader must never crash, and a
// pool must survive a write and a second read, every entry unchanged and none
// added. The bytes are read twice: as a list file, and as the fields of a
// pool (split at NUL bytes, three to an entry) so that fields holding what a
// line cannot carry (CR, LF, 0x1A) are written too.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "base/text.hpp"
#include "pool/pool_file.hpp"

namespace {

bool Writable(const std::vector<std::string>& fields) {
  for (const std::string& f : fields) {
    if (f.find_first_of(std::string_view("\r\n\x1A", 3)) != std::string::npos) return false;
  }
  return true;
}

// The write and read back give exactly the entries that can be written, in order.
void CheckRoundTrip(const kovan::ResourcePool& pool) {
  const auto again = kovan::ParsePoolFile(kovan::SerializePool(pool, 1252), 1252);
  size_t at = 0;
  for (const kovan::PoolEntry& entry : pool.Entries()) {
    if (!Writable(entry.fields)) continue;
    if (at >= again.size() || again[at] != entry.fields) std::abort();
    ++at;
  }
  if (at != again.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  kovan::ResourcePool read;
  for (auto& fields : kovan::ParsePoolFile(bytes, 1252)) read.AppendFields(std::move(fields));
  CheckRoundTrip(read);

  // Fields are UTF-8 inside the program; 1252 gives every byte a character,
  // and leaves CR, LF and 0x1A as they are.
  kovan::ResourcePool built;
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t i = 0; i <= bytes.size(); ++i) {
    if (i < bytes.size() && bytes[i] != '\0') continue;
    fields.push_back(kovan::AnsiToUtf8(bytes.substr(start, i - start), 1252));
    start = i + 1;
    if (fields.size() == 3 || i == bytes.size()) {
      built.AppendFields(std::move(fields));
      fields.clear();
    }
  }
  CheckRoundTrip(built);
  return 0;
}
