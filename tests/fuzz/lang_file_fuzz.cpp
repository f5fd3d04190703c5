// The language-file reader on arbitrary bytes: decoding and parsing must never
// crash, the parameter-only reading must never fail, and a full reading that
// succeeds holds only usable IDs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "lang/lang_error.hpp"
#include "lang/lang_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string text = kovan::DecodeLanguageFile(bytes, 1252);
  kovan::LangFile params;
  try {
    params = kovan::ParseLanguageText(text, true);
  } catch (const kovan::LanguageError&) {
    std::abort();
  }
  try {
    const kovan::LangFile full = kovan::ParseLanguageText(text, false);
    for (const kovan::LangSection& section : full.sections) {
      for (const auto& [id, value] : section.texts) {
        if (id <= 0) std::abort();
      }
    }
  } catch (const kovan::LanguageError&) {
  }
  (void)kovan::Unescape(text);
  return 0;
}
