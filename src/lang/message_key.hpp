// The name of a message constant as a compile-time key. The keys themselves
// (msg::kaynakyok, ...) are generated from the constants tables.
#pragma once

#include <string_view>

namespace kovan {

struct MessageKey {
  std::string_view name;
};

}  // namespace kovan
