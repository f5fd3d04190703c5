// The language manager: the active language and the message constants.
#pragma once

#include <cstdint>
#include <shared_mutex>
#include <string>
#include <string_view>

#include "lang/constants_table.hpp"

namespace kovan {

inline constexpr uint16_t kBaseLanguage = 1055;  // Turkish, built in

class TLangManager {
 public:
  TLangManager();

  // The text of a constant in the active language; throws ELangError
  // ("Constant "%s" not found") for an unknown name.
  std::u16string ConstantText(std::string_view name) const;
  // The same in the active language's ANSI code page.
  std::string ConstantTextAnsi(std::string_view name) const;

  uint16_t LanguageId() const;
  unsigned CodePage() const;

  // Replaces the constants with a resource image (the built-in one at creation).
  void LoadConstants(std::span<const uint8_t> image);

 private:
  mutable std::shared_mutex lock_;
  ConstantsTable constants_;
  uint16_t languageId_ = kBaseLanguage;
  unsigned codePage_;
};

TLangManager& LangManager();

// Shorthands for the program's own use: UTF-16 as stored, and UTF-8 for the
// rest of the program.
std::u16string ConstantText(std::string_view name);
std::string ConstantTextAnsi(std::string_view name);
std::string Text(std::string_view name);

}  // namespace kovan
