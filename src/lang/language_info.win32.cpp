#include <windows.h>

#include "base/text.hpp"
#include "lang/language_info.hpp"

namespace kovan {

namespace {

LCID LocaleOf(uint16_t languageId) { return MAKELCID(languageId, SORT_DEFAULT); }

}  // namespace

std::string LanguageName(uint16_t languageId) {
  wchar_t name[255];
  const int length = GetLocaleInfoW(LocaleOf(languageId), LOCALE_SLANGUAGE, name, 255);
  if (length <= 1) return std::to_string(languageId);
  return ToUtf8(std::wstring_view(name, static_cast<size_t>(length - 1)));
}

unsigned LanguageCodePage(uint16_t languageId) {
  wchar_t text[7];
  const int length = GetLocaleInfoW(LocaleOf(languageId), LOCALE_IDEFAULTANSICODEPAGE, text, 7);
  if (length <= 1) return AnsiCodePage();
  unsigned codePage = 0;
  for (int i = 0; i < length - 1; ++i) {
    if (text[i] < L'0' || text[i] > L'9') return AnsiCodePage();
    codePage = codePage * 10 + static_cast<unsigned>(text[i] - L'0');
  }
  // Languages without an ANSI code page of their own report 0.
  return codePage == 0 ? AnsiCodePage() : codePage;
}

}  // namespace kovan
