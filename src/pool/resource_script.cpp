#include "pool/resource_script.hpp"

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "pool/key_filter.hpp"

namespace kovan {

namespace {

void AppendUtf16Le(std::string& out, std::u16string_view text) {
  for (char16_t unit : text) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
}

// The first byte of a key name or type outside the key characters.
std::optional<char> FirstNonKeyByte(std::string_view value) {
  for (char c : value) {
    if (!IsKeyCharacter(static_cast<unsigned char>(c))) return c;
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::string> ScriptEntryProblems(const ResourcePool& pool) {
  std::vector<std::string> problems;
  for (const PoolEntry& entry : pool.Entries()) {
    const std::string& path = entry.Field(kFilePath);
    const std::string shown = "\"" + ShowControlBytes(path) + "\": ";
    if (const std::optional<char> c = UnfitPathCharacter(path)) {
      problems.push_back(shown + "the path holds " + DescribeUnfitCharacter(*c) +
                         ", which a resource script cannot carry in a file name");
      continue;
    }
    for (const auto& [field, what] : {std::pair{kKeyName, "key name"}, std::pair{kResourceType, "type"}}) {
      const std::string& value = entry.Field(field);
      if (FirstNonKeyByte(value)) {
        problems.push_back(shown + "the " + what + " \"" + ShowControlBytes(value) +
                           "\" holds characters other than 0-9, A-Z, a-z and _");
        break;
      }
    }
  }
  return problems;
}

std::string ResourceScriptLine(const PoolEntry& entry) {
  std::string line = entry.Field(kKeyName);
  line += ' ';
  line += AsciiUpper(entry.Field(kResourceType));
  line += "  \"";
  line += entry.Field(kFilePath);
  line += '"';
  return line;
}

std::string ResourceScriptBytes(const ResourcePool& pool) {
  std::string bytes = "\xFF\xFE";
  for (const PoolEntry& entry : pool.Entries()) {
    AppendUtf16Le(bytes, Utf8ToUtf16(ResourceScriptLine(entry)));
    AppendUtf16Le(bytes, u"\r\n");
  }
  return bytes;
}

std::string ResourceScriptBytesUtf8(const ResourcePool& pool) {
  std::string bytes = "#pragma code_page(65001)\r\n";
  for (const PoolEntry& entry : pool.Entries()) {
    std::string path;
    for (char c : entry.Field(kFilePath)) {
      if (c == '\\') path += '\\';
      path += c;
    }
    bytes += entry.Field(kKeyName) + ' ' + AsciiUpper(entry.Field(kResourceType)) + "  \"" + path + "\"\r\n";
  }
  return bytes;
}

void WriteResourceScript(const ResourcePool& pool, const std::string& path, bool utf8) {
  const std::vector<std::string> problems = ScriptEntryProblems(pool);
  if (!problems.empty()) {
    std::string text;
    for (const std::string& problem : problems) text += (text.empty() ? "" : "\n") + problem;
    throw Error(text);
  }
  const std::string bytes = utf8 ? ResourceScriptBytesUtf8(pool) : ResourceScriptBytes(pool);
  try {
    ReplaceFileAtomically(path, bytes);
  } catch (const IoError& e) {
    throw FileCreateError(path, IoErrorSystemText(e.code()));
  }
}

}  // namespace kovan
