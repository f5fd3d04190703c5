#include "pool/resource_header.hpp"

#include <map>
#include <optional>

#include "base/file_system.hpp"
#include "base/text.hpp"
#include "pool/builtin_compiler.hpp"

namespace kovan {

namespace {

bool IsIdentifierCharacter(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::string IdentifierOf(const ResourceId& key) {
  if (key.numbered) return std::to_string(key.number);
  std::string out;
  for (size_t i = 0; i < key.name.size(); ++i) {
    const char16_t c = key.name[i];
    // A surrogate pair is one character.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < key.name.size() && key.name[i + 1] >= 0xDC00 &&
        key.name[i + 1] <= 0xDFFF) {
      ++i;
    }
    out += IsIdentifierCharacter(c) ? static_cast<char>(c) : '_';
  }
  return out;
}

// The standard types' names, for the reader of the header.
const char* StandardTypeName(uint16_t number) {
  switch (number) {
    case 1: return "RT_CURSOR";
    case 2: return "RT_BITMAP";
    case 3: return "RT_ICON";
    case 8: return "RT_FONT";
    case 10: return "RT_RCDATA";
    case 11: return "RT_MESSAGETABLE";
    case 12: return "RT_GROUP_CURSOR";
    case 14: return "RT_GROUP_ICON";
    case 17: return "RT_DLGINCLUDE";
    case 19: return "RT_PLUGPLAY";
    case 20: return "RT_VXD";
    case 21: return "RT_ANICURSOR";
    case 22: return "RT_ANIICON";
    case 23: return "RT_HTML";
    case 24: return "RT_MANIFEST";
    default: return nullptr;
  }
}

// A wide string literal. Anything but plain ASCII is a hex escape that ends
// its literal, since a hex escape would take the digits after it, and the
// pieces are joined by the compiler. '?' is escaped too: with trigraphs (as
// C89 has them) "??/" would be a backslash.
std::string WideLiteral(const std::u16string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "L\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
      out += static_cast<char>(c);
      continue;
    }
    out += "\\x";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
    if (i + 1 < text.size()) out += "\" L\"";
  }
  return out + "\"";
}

std::string IdText(const ResourceId& id) {
  if (!id.numbered) return WideLiteral(id.name);
  return "MAKEINTRESOURCEW(" + std::to_string(id.number) + ")";
}

std::string GuardOf(const std::string& headerFile) {
  std::string guard = "KOVAN_";
  for (char c : AsciiUpper(FileNameOf(headerFile)))
    guard += IsIdentifierCharacter(static_cast<unsigned char>(c)) ? c : '_';
  return guard + "_INCLUDED";
}

}  // namespace

std::string ResourceHeaderText(const ResourcePool& pool, const std::string& headerFile) {
  const std::vector<KeyResource> keys = PoolKeyResources(pool);
  std::vector<EntryProblem> clashes;
  std::map<std::string, size_t> identifiers;  // -> the entry that gave it first
  for (const KeyResource& key : keys) {
    const auto [it, added] = identifiers.try_emplace(IdentifierOf(key.name), key.entry);
    if (!added) {
      clashes.push_back({key.entry, "the keys " + pool.Field(it->second, kKeyName) + " (line " +
                                        std::to_string(it->second + 1) + ") and " + pool.Field(key.entry, kKeyName) +
                                        " (line " + std::to_string(key.entry + 1) + ") both give the C name " +
                                        it->first});
    }
  }
  if (!clashes.empty()) throw PoolCompileError(std::move(clashes));

  const std::string guard = GuardOf(headerFile);
  std::string out =
      "/* Made by kovanc from the resource pool; changes are lost when it is made again.\n"
      "   Each key's resource is found with FindResourceW(module, RES_key_NAME, RES_key_TYPE);\n"
      "   RES_key_SIZE is what SizeofResource gives for it. An icon or cursor file is found\n"
      "   as its group, whose size is that of the group directory. The macros take\n"
      "   MAKEINTRESOURCEW from <windows.h>. */\n"
      "#ifndef " +
      guard + "\n#define " + guard + "\n";
  for (const KeyResource& key : keys) {
    const std::string macro = "RES_" + IdentifierOf(key.name);
    out += "\n#define " + macro + "_NAME " + IdText(key.name) + "\n";
    out += "#define " + macro + "_TYPE " + IdText(key.type);
    if (key.type.numbered) {
      if (const char* standard = StandardTypeName(key.type.number)) out += std::string(" /* ") + standard + " */";
    }
    out += "\n#define " + macro + "_SIZE " + std::to_string(key.size) + "UL\n";
  }
  return out + "\n#endif\n";
}

bool WriteResourceHeader(const std::string& headerFile, const std::string& text) {
  const std::optional<std::string> existing = ReadWholeFile(headerFile);
  if (existing && *existing == text) return false;
  ReplaceFileAtomically(headerFile, text);
  return true;
}

}  // namespace kovan
