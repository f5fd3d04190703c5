#include "lang/window_texts.hpp"

#include <algorithm>

namespace kovan {

const WindowText* FindWindowText(const WindowTextTable& table, int32_t id) {
  const auto it =
      std::find_if(table.texts.begin(), table.texts.end(), [id](const WindowText& t) { return t.id == id; });
  return it != table.texts.end() ? &*it : nullptr;
}

}  // namespace kovan
