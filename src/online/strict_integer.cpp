#include "online/strict_integer.hpp"

namespace kovan {

std::optional<int32_t> StrictToInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  unsigned base = 10;
  const std::string_view rest = text.substr(i);
  if (rest.starts_with("0x") || rest.starts_with("0X")) {
    base = 16;
    i += 2;
  } else if (rest.starts_with("$") || rest.starts_with("x") || rest.starts_with("X")) {
    base = 16;
    i += 1;
  }

  // Magnitude up to 2^31, the size of the most negative value.
  constexpr uint64_t kLimit = uint64_t{1} << 31;
  uint64_t magnitude = 0;
  const size_t first = i;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > kLimit) return std::nullopt;
  }
  if (i == first) return std::nullopt;
  if (!negative && magnitude == kLimit) return std::nullopt;
  return static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude));
}

}  // namespace kovan
