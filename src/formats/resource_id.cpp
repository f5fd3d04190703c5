#include "formats/resource_id.hpp"

#include "base/text.hpp"

namespace kovan {

int CompareResourceIds(const ResourceId& a, const ResourceId& b) {
  if (a.numbered != b.numbered) return a.numbered ? 1 : -1;
  if (a.numbered) return a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
  return a.name.compare(b.name) < 0 ? -1 : a.name == b.name ? 0 : 1;
}

std::string ResourceIdText(const ResourceId& id) {
  return id.numbered ? "#" + std::to_string(id.number) : Utf16ToUtf8(id.name);
}

}  // namespace kovan
