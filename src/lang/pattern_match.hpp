// Wildcard patterns over names and property paths: '*' matches any run of
// characters (none too), '?' any one character, "[abc]" or "[a-z]" one
// character of the set and "[!...]" one character outside it. ASCII letter
// case is ignored throughout.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kovan {

// True when the pattern matches the whole text. A '[' without its closing
// bracket stands for itself.
bool MatchesPattern(std::string_view text, std::string_view pattern);

// A sorted set of patterns (duplicates, in any letter case, dropped).
class PatternList {
 public:
  PatternList() = default;
  PatternList(std::initializer_list<std::string_view> patterns);
  void Add(std::string_view pattern);
  bool Matches(std::string_view text) const;
  const std::vector<std::string>& Items() const { return items_; }

 private:
  std::vector<std::string> items_;
};

}  // namespace kovan
