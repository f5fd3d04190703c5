// The summary the main window's panel shows while the mouse rests on it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pool/resource_pool.hpp"

namespace kovan {

inline constexpr size_t kHoverListedPaths = 20;

struct HoverSummary {
  std::string title;
  std::vector<std::string> notes;  // "• path" lines, at most 20 and the line of full stops
  bool showHelp = true;
};

// The size of a file, or nothing when it cannot be read. Called from several
// threads at once on large pools.
using FileSizeReader = std::function<std::optional<uint64_t>(const std::string& path)>;

// Builds the hint from the whole pool: up to 20 paths, the entry count and the
// 64-bit byte total of every entry (unreadable files count as zero bytes).
HoverSummary BuildHoverSummary(const ResourcePool& pool, const FileSizeReader& sizeOf,
                               std::string_view thousandsSeparator);

// 1234567 -> "1.234.567" with "." as the separator.
std::string GroupThousands(uint64_t value, std::string_view separator);

}  // namespace kovan
