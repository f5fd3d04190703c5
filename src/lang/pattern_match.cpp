#include "lang/pattern_match.hpp"

#include <algorithm>

#include "base/text.hpp"

namespace kovan {

namespace {

// Matches one character against the element of the pattern at `p` and moves
// `p` past that element.
bool MatchOne(char c, std::string_view pattern, size_t& p) {
  const char lower = AsciiLower(c);
  if (pattern[p] == '[') {
    const size_t close = pattern.find(']', p + 1 + (p + 1 < pattern.size() && pattern[p + 1] == '!'));
    if (close != std::string_view::npos) {
      size_t i = p + 1;
      const bool negate = pattern[i] == '!';
      if (negate) ++i;
      bool found = false;
      for (; i < close; ++i) {
        const char from = AsciiLower(pattern[i]);
        if (i + 2 < close && pattern[i + 1] == '-') {
          const char to = AsciiLower(pattern[i + 2]);
          found = found || (static_cast<unsigned char>(lower) >= static_cast<unsigned char>(from) &&
                            static_cast<unsigned char>(lower) <= static_cast<unsigned char>(to));
          i += 2;
        } else {
          found = found || lower == from;
        }
      }
      p = close + 1;
      return found != negate;
    }
  }
  const char want = pattern[p++];
  return want == '?' || AsciiLower(want) == lower;
}

}  // namespace

bool MatchesPattern(std::string_view text, std::string_view pattern) {
  size_t t = 0;
  size_t p = 0;
  // Where to resume after the last '*': the pattern just past it and the text
  // position it has swallowed up to.
  size_t starP = std::string_view::npos;
  size_t starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = ++p;
      starT = t;
      continue;
    }
    size_t next = p;
    if (p < pattern.size() && MatchOne(text[t], pattern, next)) {
      p = next;
      ++t;
      continue;
    }
    if (starP == std::string_view::npos) return false;
    p = starP;
    t = ++starT;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

PatternList::PatternList(std::initializer_list<std::string_view> patterns) {
  for (std::string_view pattern : patterns) Add(pattern);
}

void PatternList::Add(std::string_view pattern) {
  const auto less = [](const std::string& a, std::string_view b) { return AsciiICompare(a, b) < 0; };
  const auto it = std::lower_bound(items_.begin(), items_.end(), pattern, less);
  if (it != items_.end() && AsciiIEquals(*it, pattern)) return;
  items_.insert(it, std::string(pattern));
}

bool PatternList::Matches(std::string_view text) const {
  return std::any_of(items_.begin(), items_.end(),
                     [text](const std::string& pattern) { return MatchesPattern(text, pattern); });
}

}  // namespace kovan
