#include "lang/lang_file.hpp"

#include <algorithm>
#include <unordered_map>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "lang/lang_error.hpp"
#include "lang/language_info.hpp"

namespace kovan {

namespace {

constexpr uint16_t kFallbackLanguage = 1033;

bool IsBlank(char16_t c) { return c <= u' '; }

std::u16string_view Trim(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWith(std::string_view bytes, std::string_view mark) { return bytes.substr(0, mark.size()) == mark; }

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    out[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return out;
}

// The language named by the first LANGID line anywhere in the text.
uint16_t FindLanguage(std::u16string_view text) {
  for (const std::u16string& line : SplitLines(text)) {
    const size_t eq = line.find(u'=');
    if (eq == std::u16string::npos) continue;
    if (!AsciiIEquals(Utf16ToUtf8(Trim(std::u16string_view(line).substr(0, eq))), "LANGID")) continue;
    const auto id = ParseDecimal(Trim(std::u16string_view(line).substr(eq + 1)));
    return id ? static_cast<uint16_t>(*id) : kFallbackLanguage;
  }
  return kFallbackLanguage;
}

// Constant and section names are 8-bit text in the system's code page, so
// characters it cannot hold are lost exactly as they would be there.
std::string AnsiName(std::u16string_view name) {
  const unsigned codePage = AnsiCodePage();
  return AnsiToUtf8(Utf16ToAnsi(name, codePage), codePage);
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

FileOpenError::FileOpenError(const std::string& path, int systemError)
    : Error("Cannot open file \"" + path + "\". " + SystemErrorText(systemError)) {}

const std::u16string* LangSection::Find(int32_t id) const {
  const auto it = texts.find(id);
  return it != texts.end() ? &it->second : nullptr;
}

const std::u16string* LangFile::Param(std::string_view name) const {
  for (const auto& [key, value] : params) {
    if (AsciiIEquals(key, name)) return &value;
  }
  return nullptr;
}

const LangSection* LangFile::FindSection(std::string_view name) const {
  for (const LangSection& section : sections) {
    if (AsciiIEquals(section.name, name)) return &section;
  }
  return nullptr;
}

int32_t LangFile::LanguageId() const {
  const std::u16string* value = Param("LANGID");
  return value ? ParseDecimal(*value).value_or(0) : 0;
}

std::optional<int32_t> ParseDecimal(std::u16string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  for (char16_t c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - u'0');
    if (value > int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::u16string DecodeLanguageFile(std::string_view bytes, unsigned systemCodePage) {
  if (StartsWith(bytes, "\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  // A UTF-8 file keeps the mark that names it; reading it as 8-bit text would
  // glue the mark to the first parameter's name and lose the file's LANGID.
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return Utf8ToUtf16(bytes.substr(3));
  if (StartsWith(bytes, "\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
  const std::u16string first = AnsiToUtf16(bytes, systemCodePage);
  return AnsiToUtf16(bytes, LanguageCodePage(FindLanguage(first)));
}

std::vector<std::u16string> SplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == u'\r' && start < text.size() && text[start] == u'\n') ++start;
  }
  return lines;
}

std::u16string Unescape(std::u16string_view value) {
  std::u16string out;
  out.reserve(value.size());
  for (size_t i = 0; i < value.size(); ++i) {
    const char16_t c = value[i];
    if (c != u'\\' || i + 1 >= value.size()) {
      out += c;
      continue;
    }
    const char16_t next = value[i + 1];
    if (next == u'\\') {
      out += u'\\';
      ++i;
    } else if (next == u'n') {
      out += u"\r\n";
      ++i;
    } else if (next == u't') {
      out += u'\t';
      ++i;
    } else if (IsDigit(next) && i + 2 < value.size() && IsDigit(value[i + 2])) {
      out += static_cast<char16_t>((next - u'0') * 10 + (value[i + 2] - u'0'));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

LangFile ParseLanguageText(std::u16string_view text, bool paramsOnly) {
  enum class Part { Params, Constants, Section };
  LangFile file;
  Part part = Part::Params;
  size_t section = 0;
  // Positions by upper-cased name, so that a long file is read in linear time.
  std::unordered_map<std::string, size_t> paramIndex;
  std::unordered_map<std::string, size_t> sectionIndex;
  const std::vector<std::u16string> lines = SplitLines(text);
  for (size_t index = 0; index < lines.size(); ++index) {
    const std::u16string_view line = Trim(lines[index]);
    if (line.empty() || line.front() == u';') continue;
    if (line.front() == u'[') {
      if (paramsOnly) break;
      if (line.size() <= 2 || line.back() != u']') continue;
      const std::string name = AnsiName(Trim(line.substr(1, line.size() - 2)));
      if (AsciiIEquals(name, "$CONSTANTS")) {
        part = Part::Constants;
        continue;
      }
      part = Part::Section;
      const auto [it, added] = sectionIndex.try_emplace(AsciiUpper(name), file.sections.size());
      section = it->second;
      if (added) file.sections.push_back(LangSection{name, {}});
      continue;
    }
    const size_t eq = line.find(u'=');
    if (eq == std::u16string_view::npos) continue;
    const std::u16string_view name = Trim(line.substr(0, eq));
    const std::u16string_view value = Trim(line.substr(eq + 1));
    if (name.empty()) continue;
    try {
      switch (part) {
        case Part::Params: {
          std::string key = Utf16ToUtf8(name);
          const auto [it, added] = paramIndex.try_emplace(AsciiUpper(key), file.params.size());
          if (added) {
            file.params.emplace_back(std::move(key), value);
          } else {
            file.params[it->second].second = value;
          }
          break;
        }
        case Part::Constants: file.constants.Add(AnsiName(name), Unescape(value)); break;
        case Part::Section: {
          const auto id = ParseDecimal(name);
          if (!id || *id <= 0) break;
          if (!file.sections[section].texts.emplace(*id, Unescape(value)).second) {
            throw LanguageError("Duplicate property value translation ID (" + std::to_string(*id) + ")");
          }
          break;
        }
      }
    } catch (const LanguageError& inner) {
      throw LanguageLineError(index, inner.what());
    }
  }
  return file;
}

LangFile ReadLanguageFile(const std::string& path, bool paramsOnly) {
  int openError = 0;
  const std::optional<std::string> bytes = ReadWholeFile(path, &openError);
  if (!bytes) throw FileOpenError(path, openError);
  return ParseLanguageText(DecodeLanguageFile(*bytes, AnsiCodePage()), paramsOnly);
}

}  // namespace kovan
