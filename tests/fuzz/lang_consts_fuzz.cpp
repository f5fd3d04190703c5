// The constants resource loader on arbitrary bytes: it either fails with its
// error or gives a sorted table of valid, distinct names that survives being
// written as a version 2 stream and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/text.hpp"
#include "lang/constants_table.hpp"
#include "lang/lang_error.hpp"

namespace {

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kovan::ConstantsTable table;
  try {
    kovan::LoadConstantsResource(table, {data, size}, 1252);
  } catch (const kovan::LanguageError&) {
    return 0;
  }
  const auto& items = table.Items();
  for (size_t i = 0; i < items.size(); ++i) {
    if (!kovan::IsValidIdentifier(items[i].name) || items[i].value != items[i].builtin) std::abort();
    if (i > 0 && kovan::AsciiICompare(items[i - 1].name, items[i].name) >= 0) std::abort();
  }

  std::vector<uint8_t> stream{2, table.flag};
  const auto count = static_cast<uint32_t>(items.size());
  for (int k = 0; k < 4; ++k) stream.push_back(static_cast<uint8_t>(count >> (8 * k)));
  for (const kovan::LangConstant& item : items) {
    PutU16(stream, static_cast<uint16_t>(item.name.size()));
    stream.insert(stream.end(), item.name.begin(), item.name.end());
    if (item.value.size() > 0xFFFF) return 0;  // came from 8-bit text that grew; cannot be written back
    PutU16(stream, static_cast<uint16_t>(item.value.size()));
    for (char16_t c : item.value) PutU16(stream, c);
  }
  kovan::ConstantsTable again;
  kovan::LoadConstantsResource(again, stream, 1252);
  if (again.Items().size() != items.size() || again.flag != table.flag) std::abort();
  for (size_t i = 0; i < items.size(); ++i) {
    if (again.Items()[i].name != items[i].name || again.Items()[i].value != items[i].value) std::abort();
  }
  return 0;
}
