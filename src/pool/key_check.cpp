#include "pool/key_check.hpp"

#include <algorithm>
#include <array>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "base/file_system.hpp"
#include "base/text.hpp"

namespace kovan {

namespace {

constexpr std::string_view kUnnamed = "?";

// Primary weights of the word sort for ASCII. The hyphen and the apostrophe
// have none: they only break ties.
constexpr std::string_view kPunctuationOrder = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

constexpr std::array<int, 256> MakePrimaryWeights() {
  std::array<int, 256> w{};
  int next = 1;
  for (char c : kPunctuationOrder) w[static_cast<unsigned char>(c)] = next++;
  for (char c = '0'; c <= '9'; ++c) w[static_cast<unsigned char>(c)] = next++;
  for (char c = 'A'; c <= 'Z'; ++c) {
    w[static_cast<unsigned char>(c)] = next;
    w[static_cast<unsigned char>(c - 'A' + 'a')] = next++;
  }
  // Control characters sort before everything else, bytes above ASCII after.
  for (int c = 0; c < 0x20; ++c) w[c] = -0x20 + c;
  w[0x7F] = next++;
  for (int c = 0x80; c < 256; ++c) w[c] = next + c;
  return w;
}

constexpr std::array<int, 256> kPrimaryWeight = MakePrimaryWeights();

bool IsTieBreaker(char c) { return c == '-' || c == '\''; }

int Sign(int v) { return (v > 0) - (v < 0); }

std::vector<std::string> SortedDistinct(const std::vector<std::string>& lines) {
#ifdef _WIN32
  std::vector<std::u16string> keys;
  keys.reserve(lines.size());
  for (const std::string& line : lines) keys.push_back(Utf8ToUtf16(line));
  auto compare = [&keys](size_t a, size_t b) { return LocaleICompare(keys[a], keys[b]); };
#else
  auto compare = [&lines](size_t a, size_t b) { return KeyLineCompareAscii(lines[a], lines[b]); };
#endif
  std::vector<size_t> order(lines.size());
  std::iota(order.begin(), order.end(), size_t{0});
  // Stable, so that of lines comparing equal the one added first is kept.
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return compare(a, b) < 0; });
  std::vector<std::string> sorted;
  sorted.reserve(order.size());
  for (size_t k = 0; k < order.size(); ++k) {
    if (k > 0 && compare(order[k - 1], order[k]) == 0) continue;
    sorted.push_back(lines[order[k]]);
  }
  return sorted;
}

// The file name a list shows: the text after the last backslash, colon or
// slash, so that a list written on either kind of system names its files.
std::string_view ListedFileName(std::string_view path) {
  const size_t last = path.find_last_of("\\:/");
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::string MissingKeyList(const ResourcePool& pool) {
  std::string text;
  for (const PoolEntry& entry : pool.Entries()) {
    if (entry.Field(kKeyName) == kUnnamed) {
      text += ListedFileName(entry.Field(kFilePath));
      text += '\r';
    }
  }
  return text;
}

std::string SharedKeyList(const ResourcePool& pool) {
  // Counting each key once replaces comparing every entry with every other.
  std::unordered_map<std::string_view, size_t> keyCount;
  keyCount.reserve(pool.Count());
  for (const PoolEntry& entry : pool.Entries()) ++keyCount[entry.Field(kKeyName)];
  std::vector<std::string> lines;
  for (const PoolEntry& entry : pool.Entries()) {
    const std::string& key = entry.Field(kKeyName);
    if (key == kUnnamed || keyCount[key] < 2) continue;
    lines.push_back(key + "->" + std::string(ListedFileName(entry.Field(kFilePath))));
  }
  std::string text;
  for (const std::string& line : SortedDistinct(lines)) {
    text += line;
    text += '\r';
  }
  return text;
}

}  // namespace

int KeyLineCompareAscii(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  for (;;) {
    while (i < a.size() && IsTieBreaker(a[i])) ++i;
    while (j < b.size() && IsTieBreaker(b[j])) ++j;
    if (i == a.size() || j == b.size()) {
      if (i != a.size() || j != b.size()) return i == a.size() ? -1 : 1;
      break;
    }
    const int d = kPrimaryWeight[static_cast<unsigned char>(a[i])] - kPrimaryWeight[static_cast<unsigned char>(b[j])];
    if (d != 0) return Sign(d);
    ++i;
    ++j;
  }
  // Equal but for hyphens and apostrophes: compare those in order of
  // appearance. One standing further along sorts lower; at the same place the
  // apostrophe sorts before the hyphen; having more of them sorts higher.
  i = 0;
  j = 0;
  for (;;) {
    while (i < a.size() && !IsTieBreaker(a[i])) ++i;
    while (j < b.size() && !IsTieBreaker(b[j])) ++j;
    if (i == a.size() || j == b.size()) {
      if (i != a.size() || j != b.size()) return i == a.size() ? -1 : 1;
      return 0;
    }
    if (i != j) return i > j ? -1 : 1;
    if (a[i] != b[j]) return a[i] == '\'' ? -1 : 1;
    ++i;
    ++j;
  }
}

std::string KeyProblemList(const ResourcePool& pool, int mode) {
  switch (mode) {
    case 1: return MissingKeyList(pool);
    case 2: return SharedKeyList(pool);
    default: return {};
  }
}

}  // namespace kovan
