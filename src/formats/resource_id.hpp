// The type or name of a resource: a 16-bit number or a UTF-16 text.
#pragma once

#include <cstdint>
#include <string>

namespace kovan {

struct ResourceId {
  bool numbered = true;
  uint16_t number = 0;
  std::u16string name;  // when not numbered

  static ResourceId Number(uint16_t n) { return {true, n, {}}; }
  static ResourceId Name(std::u16string text) { return {false, 0, std::move(text)}; }

  friend bool operator==(const ResourceId&, const ResourceId&) = default;
};

// The order of a resource directory, the one the loader's binary search
// expects: names before numbers, names by their UTF-16 units, numbers upward.
int CompareResourceIds(const ResourceId& a, const ResourceId& b);

// "#5" or the name in UTF-8, for messages.
std::string ResourceIdText(const ResourceId& id);

// The standard resource types.
namespace resource_type {
inline constexpr uint16_t kCursor = 1;
inline constexpr uint16_t kBitmap = 2;
inline constexpr uint16_t kIcon = 3;
inline constexpr uint16_t kGroupCursor = 12;
inline constexpr uint16_t kGroupIcon = 14;
}  // namespace resource_type

}  // namespace kovan
