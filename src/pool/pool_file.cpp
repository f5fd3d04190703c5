#include "pool/pool_file.hpp"

#include "base/file_system.hpp"
#include "base/text.hpp"

namespace kovan {

namespace {

bool IsBlank(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x01 && b <= 0x20;
}

bool NeedsQuotes(std::string_view field) {
  for (char c : field) {
    if (IsBlank(c) || c == '"' || c == ',') return true;
  }
  return false;
}

void AppendField(std::string& line, std::string_view field) {
  if (!NeedsQuotes(field)) {
    line += field;
    return;
  }
  line += '"';
  for (char c : field) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

void SkipBlanks(std::string_view s, size_t& i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
}

std::string DecodeField(std::string_view bytes, unsigned codePage) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return AnsiToUtf8(bytes, codePage);
  }
  return std::string(bytes);
}

bool CanBeWritten(const PoolEntry& entry) {
  for (const std::string& field : entry.fields) {
    if (field.find_first_of(std::string_view("\r\n\x1A", 3)) != std::string::npos) return false;
  }
  return true;
}

}  // namespace

std::string EncodePoolLine(const std::vector<std::string>& fields) {
  if (fields.size() == 1 && fields[0].empty()) return "\"\"";
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    AppendField(line, fields[i]);
  }
  return line;
}

std::vector<std::string> SplitPoolLine(std::string_view s) {
  std::vector<std::string> fields;
  size_t i = 0;
  SkipBlanks(s, i);
  while (i < s.size()) {
    std::string field;
    if (s[i] == '"') {
      ++i;
      while (i < s.size()) {
        if (s[i] == '"') {
          if (i + 1 < s.size() && s[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += s[i++];
      }
    } else {
      const size_t start = i;
      while (i < s.size() && !IsBlank(s[i]) && s[i] != ',') ++i;
      field.assign(s.substr(start, i - start));
    }
    fields.push_back(std::move(field));
    SkipBlanks(s, i);
    if (i < s.size() && s[i] == ',') {
      if (i == s.size() - 1) fields.emplace_back();
      ++i;
      SkipBlanks(s, i);
    }
  }
  return fields;
}

std::vector<std::vector<std::string>> ParsePoolFile(std::string_view bytes, unsigned codePage) {
  // A text editor's "Unicode" saves UTF-16 with its byte-order mark; such a
  // file is read through UTF-8, and written back in the usual way.
  if (bytes.size() >= 2) {
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
      const bool bigEndian = b0 == 0xFE;
      std::u16string units;
      units.reserve(bytes.size() / 2);
      for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
        const auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
        units += static_cast<char16_t>((hi << 8) | lo);
      }
      return ParsePoolFile(Utf16ToUtf8(units), kCodePageUtf8);
    }
  }
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    bytes.remove_prefix(kUtf8Bom.size());
    codePage = kCodePageUtf8;
  } else if (codePage != kCodePageUtf8 && HasMultiByteUtf8(bytes) && IsValidUtf8(bytes)) {
    // Text editors save UTF-8 without a mark by default. ANSI text beyond
    // ASCII almost never forms valid UTF-8 by chance, so such a file is
    // taken for UTF-8 rather than read as ANSI into paths that lead nowhere.
    codePage = kCodePageUtf8;
  }
  std::vector<std::vector<std::string>> entries;
  std::string line;
  size_t pos = 0;
  while (pos < bytes.size()) {
    if (bytes[pos] == '\x1A') break;  // end-of-file mark at the start of a line
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    line.clear();
    for (size_t i = pos; i < end; ++i) {
      const char c = bytes[i];
      if (c == '\x1A') break;    // ends this line's text; the rest of the line is skipped
      if (c != '\r') line += c;  // a CR is never part of a line's text
    }
    pos = end + 1;
    std::vector<std::string> fields = SplitPoolLine(line);
    for (std::string& field : fields) field = DecodeField(field, codePage);
    entries.push_back(std::move(fields));
  }
  return entries;
}

std::string SerializePool(const ResourcePool& pool, unsigned codePage) {
  std::string text;
  for (const PoolEntry& entry : pool.Entries()) {
    // A field holding a line end or the end mark cannot be one line of the
    // file: it would come back as entries nobody added. The ways in refuse
    // such paths; an entry that holds one anyway is left out.
    if (!CanBeWritten(entry)) continue;
    text += EncodePoolLine(entry.fields);
    text += "\r\n";
  }
  bool lossless = true;
  std::string bytes = Utf8ToAnsi(text, codePage, &lossless);
  // ANSI text that happens to begin with the bytes of a byte-order mark (the
  // first key "ï»¿..." or "þÿ..." in 1252) would be taken for UTF-8 or UTF-16
  // when read back.
  const bool looksMarked = bytes.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0 || bytes.compare(0, 2, "\xFF\xFE") == 0 ||
                           bytes.compare(0, 2, "\xFE\xFF") == 0;
  // Likewise ANSI text that happens to form UTF-8 ("Ã©" in 1252) would be
  // read back as UTF-8.
  const bool looksUtf8 = codePage != kCodePageUtf8 && HasMultiByteUtf8(bytes) && IsValidUtf8(bytes);
  if (lossless && !looksMarked && !looksUtf8) return bytes;
  return std::string(kUtf8Bom) + text;
}

PoolReadResult ReadPoolFile(ResourcePool& pool, const std::string& fileName) {
  pool.Clear();
  PoolReadResult result;
  const std::optional<std::string> bytes = ReadWholeFile(fileName, &result.openError);
  if (!bytes) return result;
  result.opened = true;
  std::vector<PoolEntry> entries;
  for (auto& fields : ParsePoolFile(*bytes, AnsiCodePage())) entries.push_back(PoolEntry{std::move(fields)});
  pool.ReplaceAll(std::move(entries));
  return result;
}

void WritePoolFile(const ResourcePool& pool, const std::string& fileName) {
  ReplaceFileAtomically(fileName, SerializePool(pool, AnsiCodePage()));
}

}  // namespace kovan
