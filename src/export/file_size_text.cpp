#include "export/file_size_text.hpp"

#include <cstdint>
#include <iterator>
#include <optional>

#include "base/file_system.hpp"
#include "lang/lang_manager.hpp"

namespace kovan {

std::string FileSizeText(const std::string& path) {
  const std::optional<uint64_t> size = FileSizeOf(path);
  if (!size) return Text(msg::bildosboy);
  static constexpr const char* kUnits[] = {" Byte", " Kb", " Mb", " Gb"};
  uint64_t amount = *size;
  size_t unit = 0;
  while (unit + 1 < std::size(kUnits) && amount >= 1024) {
    amount /= 1024;
    ++unit;
  }
  return std::to_string(amount) + kUnits[unit];
}

}  // namespace kovan
