#include "kod/hover_summary.hpp"

#include <algorithm>

#include "lang/lang_manager.hpp"

namespace kovan {

namespace {
constexpr char kBullet[] = "\xE2\x80\xA2 ";  // • and one space
}

std::string GroupThousands(uint64_t value, std::string_view separator) {
  std::string digits = std::to_string(value);
  std::string out;
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

uint8_t OpacityForLevel(int64_t level) {
  const int64_t raw = level * 32 - 1;
  return static_cast<uint8_t>(((raw % 256) + 256) % 256);
}

HoverSummary BuildHoverSummary(const ResourcePool& pool, const FileSizeReader& sizeOf,
                               std::string_view thousandsSeparator) {
  HoverSummary summary;
  const size_t count = pool.Count();
  const size_t listed = std::min(count, kHoverListedPaths);
  summary.notes.reserve(listed + 1);
  for (size_t i = 0; i < listed; ++i) summary.notes.push_back(kBullet + pool.Field(i, kFilePath));
  if (count > kHoverListedPaths) summary.notes.push_back(std::string(kBullet) + "............");

  uint64_t total = 0;
  for (size_t i = 0; i < count; ++i) total += sizeOf(pool.Field(i, kFilePath)).value_or(0);

  summary.title = Text("dos1") + (count > kHoverListedPaths ? " - 20/" : " - ") + std::to_string(count) + " " +
                  Text("dos2") + " - " + GroupThousands(total, thousandsSeparator) + " Byte";
  return summary;
}

}  // namespace kovan
