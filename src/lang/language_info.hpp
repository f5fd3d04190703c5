// What the system knows about a language: its name for the language list and
// the ANSI code page its 8-bit texts are written in.
#pragma once

#include <cstdint>
#include <string>

namespace kovan {

// The localized name of a language, such as "Turkish (Turkey)"; the decimal ID
// when the system has no name for it.
std::string LanguageName(uint16_t languageId);

// The language's default ANSI code page, or the system's ANSI code page when
// the system cannot say (languages written only in Unicode among them).
unsigned LanguageCodePage(uint16_t languageId);

}  // namespace kovan
