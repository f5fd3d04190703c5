#include "pool/key_filter.hpp"

#include "base/text.hpp"

namespace kovan {

bool IsKeyCharacter(char32_t c) {
  return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || c == U'_';
}

bool KeyPasses(char32_t c) { return c == 8 || IsKeyCharacter(c); }

std::string NormalizeEditedValue(std::string_view value, std::string_view emptyMarker) {
  std::string out;
  for (char c : value) {
    if (c != ' ') out += c;
  }
  out = AsciiUpper(out);
  if (out.empty()) out = emptyMarker;
  return out;
}

std::optional<std::string> FirstRefusedCharacter(std::string_view value) {
  for (size_t i = 0; i < value.size(); ++i) {
    const auto byte = static_cast<unsigned char>(value[i]);
    if (byte == ' ' || IsKeyCharacter(byte)) continue;
    // A character beyond ASCII is refused whole: its lead byte and the
    // continuation bytes after it.
    size_t end = i + 1;
    if (byte >= 0xC0) {
      while (end < value.size() && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) ++end;
    }
    return std::string(value.substr(i, end - i));
  }
  return std::nullopt;
}

}  // namespace kovan
