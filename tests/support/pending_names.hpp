// The fresh names a compiler writes its output under, for comparing what it
// was given with the output's own name.
#pragma once

#include <string>

namespace kovan::test {

// The text with every "~<16 hex digits>-" (the prefix of a fresh name beside
// the output) removed, so "FOLDER~<digits>-NAME" reads "FOLDER" "NAME".
inline std::string WithoutPendingNames(const std::string& text) {
  auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '~' && i + 17 < text.size() && text[i + 17] == '-') {
      size_t k = 1;
      while (k <= 16 && hex(text[i + k])) ++k;
      if (k == 17) {
        i += 17;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace kovan::test
