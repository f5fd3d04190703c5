// The message constants: named texts with a current (active language) and a
// built-in (base language) value, and the loader of the LANG_CONSTS resource.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kovan {

struct LangConstant {
  std::string name;  // spelled as in the resource
  std::u16string value;
  std::u16string builtin;
};

bool IsValidIdentifier(std::string_view name);

class ConstantsTable {
 public:
  void Clear();
  // Throws LanguageError for an invalid or repeated name.
  void Add(std::string name, std::u16string text);
  // Looks a name up without regard to ASCII letter case; nullptr when absent.
  const LangConstant* Find(std::string_view name) const;
  LangConstant* Find(std::string_view name);
  // The constants sorted by name, ASCII case ignored. Entries may be changed
  // but not added or removed through it.
  const std::vector<LangConstant>& Items() const;
  std::vector<LangConstant>& Items();

  uint8_t flag = 0;  // kept with the table; nothing reads it

 private:
  void Sort() const;

  // Appended in any order and sorted only when the whole list is asked for,
  // so that a large file in reverse order still loads in linear time. The
  // sort happens inside const calls: callers that share a table across
  // threads hold a writer's lock for Items().
  mutable std::vector<LangConstant> items_;
  mutable std::unordered_map<std::string, size_t> index_;  // upper-cased name -> position in items_
  mutable bool sorted_ = true;
};

// Replaces the table with the entries of a LANG_CONSTS stream (versions 0, 1
// and 2). 8-bit values of versions 0 and 1 are decoded with `ansiCodePage`.
// Throws LanguageError.
void LoadConstantsResource(ConstantsTable& table, std::span<const uint8_t> data, unsigned ansiCodePage);

// The resource image built into this program (the executable's RCDATA
// "LANG_CONSTS" on Windows); empty when there is none.
std::span<const uint8_t> BuiltinConstantsResource();

// Constants that live beside the resource (name, base-language text).
struct AddedConstant {
  const char* name;
  const char16_t* text;
};
std::span<const AddedConstant> AddedConstants();

// Fills the table with the program's constants: those of a resource image
// (none when it is empty) and then the added ones.
void LoadProgramConstants(ConstantsTable& table, std::span<const uint8_t> image, unsigned ansiCodePage);

}  // namespace kovan
