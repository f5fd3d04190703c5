// Text to a 32-bit integer, accepting exactly the forms the runtime's strict
// conversion does and nothing more.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kovan {

// Leading blanks, an optional sign, then decimal digits or hexadecimal digits
// after "$", "x", "X", "0x" or "0X". Anything after the digits (a line break
// included), no digits at all, or a value outside the 32-bit signed range
// gives nullopt.
std::optional<int32_t> StrictToInt(std::string_view text);

}  // namespace kovan
