// Off Windows there is no locale database to ask, so the common languages are
// listed here with the names and code pages Windows gives them in English.
#ifndef _WIN32

#include <algorithm>
#include <iterator>

#include "base/text.hpp"
#include "lang/language_info.hpp"

namespace kovan {

namespace {

struct KnownLanguage {
  uint16_t id;
  const char* name;
};

constexpr KnownLanguage kLanguages[] = {
    {1025, "Arabic (Saudi Arabia)"},
    {1026, "Bulgarian (Bulgaria)"},
    {1027, "Catalan (Spain)"},
    {1028, "Chinese (Traditional, Taiwan)"},
    {1029, "Czech (Czechia)"},
    {1030, "Danish (Denmark)"},
    {1031, "German (Germany)"},
    {1032, "Greek (Greece)"},
    {1033, "English (United States)"},
    {1034, "Spanish (Spain)"},
    {1035, "Finnish (Finland)"},
    {1036, "French (France)"},
    {1037, "Hebrew (Israel)"},
    {1038, "Hungarian (Hungary)"},
    {1039, "Icelandic (Iceland)"},
    {1040, "Italian (Italy)"},
    {1041, "Japanese (Japan)"},
    {1042, "Korean (Korea)"},
    {1043, "Dutch (Netherlands)"},
    {1044, "Norwegian Bokm\xc3\xa5l (Norway)"},
    {1045, "Polish (Poland)"},
    {1046, "Portuguese (Brazil)"},
    {1048, "Romanian (Romania)"},
    {1049, "Russian (Russia)"},
    {1050, "Croatian (Croatia)"},
    {1051, "Slovak (Slovakia)"},
    {1052, "Albanian (Albania)"},
    {1053, "Swedish (Sweden)"},
    {1054, "Thai (Thailand)"},
    {1055, "Turkish (Turkey)"},
    {1057, "Indonesian (Indonesia)"},
    {1058, "Ukrainian (Ukraine)"},
    {1060, "Slovenian (Slovenia)"},
    {1061, "Estonian (Estonia)"},
    {1062, "Latvian (Latvia)"},
    {1063, "Lithuanian (Lithuania)"},
    {1066, "Vietnamese (Vietnam)"},
    {1068, "Azerbaijani (Latin, Azerbaijan)"},
    {1086, "Malay (Malaysia)"},
    {1091, "Uzbek (Latin, Uzbekistan)"},
    {2052, "Chinese (Simplified, China)"},
    {2057, "English (United Kingdom)"},
    {2070, "Portuguese (Portugal)"},
    {2115, "Uzbek (Cyrillic, Uzbekistan)"},
    {3076, "Chinese (Traditional, Hong Kong SAR)"},
    {3082, "Spanish (Spain)"},
    {3084, "French (Canada)"},
};

// Code pages by primary language (the low 10 bits of the ID); the few
// languages written in two scripts depend on the sublanguage as well.
unsigned CodePageOfPrimary(uint16_t languageId) {
  const unsigned primary = languageId & 0x3FF;
  const unsigned sub = languageId >> 10;
  switch (primary) {
    case 0x01:
    case 0x29: return 1256;  // Arabic, Persian
    case 0x02:
    case 0x19:
    case 0x22:
    case 0x23: return 1251;                              // Bulgarian, Russian, Ukrainian, Belarusian
    case 0x04: return sub == 2 || sub == 4 ? 936 : 950;  // Chinese: simplified or traditional
    case 0x05:
    case 0x0E:
    case 0x15:
    case 0x18:
    case 0x1B:
    case 0x1C:
    case 0x24: return 1250;  // Czech, Hungarian, Polish, Romanian, Slovak, Albanian, Slovenian
    case 0x1A: return sub == 3 || sub == 7 ? 1251 : 1250;  // Croatian, Serbian (Cyrillic or Latin), Bosnian
    case 0x08: return 1253;                                // Greek
    case 0x0D: return 1255;                                // Hebrew
    case 0x11: return 932;                                 // Japanese
    case 0x12: return 949;                                 // Korean
    case 0x1E: return 874;                                 // Thai
    case 0x1F: return 1254;                                // Turkish
    case 0x25:
    case 0x26:
    case 0x27: return 1257;  // Estonian, Latvian, Lithuanian
    case 0x2A: return 1258;  // Vietnamese
    case 0x2C:
    case 0x43: return sub == 2 ? 1251 : 1254;  // Azerbaijani, Uzbek
    case 0x03:
    case 0x06:
    case 0x07:
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0F:
    case 0x10:
    case 0x13:
    case 0x14:
    case 0x16:
    case 0x1D:
    case 0x21:
    case 0x2D:
    case 0x36:
    case 0x38:
    case 0x3E:
    case 0x41:
    case 0x56: return 1252;  // the languages of Western Europe, Indonesian, Malay, Swahili, ...
    default: return 0;
  }
}

}  // namespace

std::string LanguageName(uint16_t languageId) {
  const auto it = std::find_if(std::begin(kLanguages), std::end(kLanguages),
                               [languageId](const KnownLanguage& known) { return known.id == languageId; });
  return it != std::end(kLanguages) ? it->name : std::to_string(languageId);
}

unsigned LanguageCodePage(uint16_t languageId) {
  const unsigned codePage = CodePageOfPrimary(languageId);
  return codePage != 0 ? codePage : AnsiCodePage();
}

}  // namespace kovan

#endif  // !_WIN32
