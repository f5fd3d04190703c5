// The characters a key name or resource type may hold, and the form an edited
// one is stored in. The pool window's editors and kovanc follow the same rules.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kovan {

// Characters that make up a key name or type: 0-9, A-Z, a-z and '_'.
bool IsKeyCharacter(char32_t c);
// What the editors let through as typed: the key characters and backspace.
bool KeyPasses(char32_t c);

// An edited value as it is stored: spaces removed, ASCII letters upper-cased,
// and `emptyMarker` for what is left empty.
std::string NormalizeEditedValue(std::string_view value, std::string_view emptyMarker = "?");

// The first character (its UTF-8 bytes) of `value` that is neither a key
// character nor a space; nothing when every character is one.
std::optional<std::string> FirstRefusedCharacter(std::string_view value);

}  // namespace kovan
