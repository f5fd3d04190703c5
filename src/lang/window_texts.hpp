// The shape of a translatable window's table of texts. A language file
// addresses a window by its section name and a text by its ID; each window
// keeps its own table beside its code.
#pragma once

#include <cstdint>
#include <span>

namespace kovan {

struct WindowText {
  const char* component;  // "" for the window itself
  const char* property;   // property path, such as "Caption" or "Caption.Text"
  int32_t id;
  const char* builtin;  // the base-language text, UTF-8
};

struct WindowTextTable {
  const char* windowName;  // the window's name, also its section in language files
  std::span<const WindowText> texts;
  // Property paths ("Component.Property") never to translate.
  std::span<const char* const> ignoreList;
};

// The built-in text of one entry; nullptr when the table has none.
const WindowText* FindWindowText(const WindowTextTable& table, int32_t id);

}  // namespace kovan
