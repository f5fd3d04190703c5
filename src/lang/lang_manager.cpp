#include "lang/lang_manager.hpp"

#include <mutex>

#include "base/text.hpp"
#include "lang/lang_error.hpp"

namespace kovan {

namespace {

// The ANSI code page of Turkish, the built-in language.
constexpr unsigned kBaseCodePage = 1254;

}  // namespace

TLangManager::TLangManager() : codePage_(kBaseCodePage) {
  LoadConstants(BuiltinConstantsResource());
}

void TLangManager::LoadConstants(std::span<const uint8_t> image) {
  std::unique_lock guard(lock_);
  if (image.empty()) {
    constants_.Clear();
  } else {
    LoadConstantsResource(constants_, image, codePage_);
  }
  for (const AddedConstant& added : AddedConstants()) {
    if (!constants_.Find(added.name)) constants_.Add(added.name, added.text);
  }
}

std::u16string TLangManager::ConstantText(std::string_view name) const {
  std::shared_lock guard(lock_);
  const LangConstant* item = constants_.Find(name);
  if (!item) throw ELangError("Constant \"" + std::string(name) + "\" not found");
  return item->value;
}

std::string TLangManager::ConstantTextAnsi(std::string_view name) const {
  const std::u16string text = ConstantText(name);
  return Utf16ToAnsi(text, CodePage());
}

uint16_t TLangManager::LanguageId() const {
  std::shared_lock guard(lock_);
  return languageId_;
}

unsigned TLangManager::CodePage() const {
  std::shared_lock guard(lock_);
  return codePage_;
}

TLangManager& LangManager() {
  static TLangManager manager;
  return manager;
}

std::u16string ConstantText(std::string_view name) { return LangManager().ConstantText(name); }
std::string ConstantTextAnsi(std::string_view name) { return LangManager().ConstantTextAnsi(name); }
std::string Text(std::string_view name) { return Utf16ToUtf8(LangManager().ConstantText(name)); }

}  // namespace kovan
