#include "pool/resource_script.hpp"

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"

namespace kovan {

namespace {

void AppendUtf16Le(std::string& out, std::u16string_view text) {
  for (char16_t unit : text) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
}

}  // namespace

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
  const std::string bytes = utf8 ? ResourceScriptBytesUtf8(pool) : ResourceScriptBytes(pool);
  try {
    ReplaceFileAtomically(path, bytes);
  } catch (const IoError& e) {
    throw FileCreateError(path, IoErrorSystemText(e.code()));
  }
}

}  // namespace kovan
