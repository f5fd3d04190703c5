#include "export/pool_export.hpp"

#include <cstdio>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "lang/lang_manager.hpp"

namespace kovan {

namespace {

// The length of the well-formed UTF-8 sequence that starts at text[i] with a
// byte of 0x80 or above; 0 when the bytes there are no such sequence.
size_t Utf8SequenceLength(std::string_view text, size_t i) {
  auto at = [&](size_t k) { return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u; };
  auto follows = [&](size_t k, unsigned low = 0x80, unsigned high = 0xBF) { return at(k) >= low && at(k) <= high; };
  const unsigned b = at(0);
  if (b >= 0xC2 && b <= 0xDF) return follows(1) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    const bool second = b == 0xE0 ? follows(1, 0xA0) : b == 0xED ? follows(1, 0x80, 0x9F) : follows(1);
    return second && follows(2) ? 3 : 0;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    const bool second = b == 0xF0 ? follows(1, 0x90) : b == 0xF4 ? follows(1, 0x80, 0x8F) : follows(1);
    return second && follows(2) && follows(3) ? 4 : 0;
  }
  return 0;
}

// Appends what XML 1.0 can carry of a text, escaped for element content when
// `escape` is set: the C0 controls other than TAB, CR and LF and the
// non-characters U+FFFE and U+FFFF are left out, and bytes that are not UTF-8
// (a hand-edited list file may hold anything, a name on Linux need not be
// UTF-8, and an encoded surrogate is none) become U+FFFD.
void AppendCarriable(std::string& out, std::string_view text, bool escape) {
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      switch (escape ? c : '\0') {
        case '&': out += "&amp;"; break;
        case '>': out += "&gt;"; break;
        case '<': out += "&lt;"; break;
        case '"': out += "&quot;"; break;
        default:
          if (b >= 0x20 || c == '\t' || c == '\r' || c == '\n') out += c;
      }
      ++i;
      continue;
    }
    const size_t length = Utf8SequenceLength(text, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
      continue;
    }
    const std::string_view sequence = text.substr(i, length);
    if (sequence != "\xEF\xBF\xBE" && sequence != "\xEF\xBF\xBF") out += sequence;
    i += length;
  }
}

void AppendXmlText(std::string& out, std::string_view text) { AppendCarriable(out, text, true); }

// Decodes the well-formed sequence of `length` bytes at text[i].
char32_t CodePointAt(std::string_view text, size_t i, size_t length) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  if (length == 1) return b0;
  char32_t cp = b0 & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
  for (size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  return cp;
}

bool IsNameStart(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0xC0 && c <= 0xD6) ||
         (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
         (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
         (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameCharacter(char32_t c) {
  return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 || (c >= 0x300 && c <= 0x36F) ||
         (c >= 0x203F && c <= 0x2040);
}

// An empty cell is written as two quotation marks, so that every element
// carries some content.
void AppendXmlCell(std::string& out, std::string_view cell) {
  const size_t before = out.size();
  AppendXmlText(out, cell);
  if (out.size() == before) out += "&quot;&quot;";
}

std::string XmlTag(std::string_view open, std::string_view name, std::string_view close) {
  std::string tag(open);
  tag += XmlElementName(name);
  tag += close;
  return tag;
}

// Cell text as HTML: markup characters escaped, line breaks as <br>.
void AppendHtmlText(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\r': out += "<br>"; break;
      default: out += c;
    }
  }
}

// A cell with nothing visible gets a line break, so the browser still draws
// its border.
void AppendHtmlCell(std::string& out, std::string_view cell) {
  if (cell.find_first_not_of(' ') == std::string_view::npos) {
    out += "<br>";
  } else {
    AppendHtmlText(out, cell);
  }
}

std::string HexColour(uint32_t rgb) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
  return digits;
}

std::string StyleText(const HtmlStyle& style) {
  return "background-color: #" + HexColour(style.background) + ";color: #" + HexColour(style.text) +
         ";font-size:" + std::to_string(style.fontPoints) + "pt;font-family: " + style.fontFamily +
         ";vertical-align: top";
}

void WriteExportFile(const std::string& path, std::string_view bytes) {
  try {
    ReplaceFileAtomically(path, bytes);
  } catch (const IoError&) {
    throw ExportError(CannotCreateText(path));
  }
}

}  // namespace

std::string XmlCarriableText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendCarriable(out, text, false);
  return out;
}

std::string XmlElementName(std::string_view name) {
  std::string out;
  for (size_t i = 0; i < name.size();) {
    const auto b = static_cast<unsigned char>(name[i]);
    const size_t length = b < 0x80 ? 1 : Utf8SequenceLength(name, i);
    const char32_t c = length == 0 ? 0 : CodePointAt(name, i, length);
    if (out.empty() && c != 0 && !IsNameStart(c) && IsNameCharacter(c)) out += '_';  // "1st" -> "_1st"
    if (c != 0 && IsNameCharacter(c)) {
      out += name.substr(i, length);
    } else {
      out += '_';
    }
    i += length == 0 ? 1 : length;
  }
  return out.empty() ? "_" : out;
}

std::string CannotCreateText(const std::string& path) { return "Cannot Create file " + path; }

ExportTable BuildExportTable(const ResourcePool& pool, const SizeTextFunction& sizeText) {
  ExportTable table;
  table.header = {Text(msg::dos2), Text(msg::dosyad), Text(msg::dosytr), Text(msg::dosyby), Text(msg::dosyana)};
  table.rows.reserve(pool.Count());
  for (const PoolEntry& entry : pool.Entries()) {
    const std::string& path = entry.Field(kFilePath);
    table.rows.push_back({path, FileNameOf(path), entry.Field(kResourceType), sizeText(path), entry.Field(kKeyName)});
  }
  return table;
}

std::string ExportFileName(std::string_view chosenName, ExportFormat format) {
  std::string_view extension;
  switch (format) {
    case ExportFormat::Workbook: return std::string(chosenName);
    case ExportFormat::Xml: extension = ".xml"; break;
    case ExportFormat::Html: extension = ".html"; break;
  }
  std::string name(chosenName);
  if (!AsciiIEndsWith(name, extension)) name += extension;
  return name;
}

XmlNames XmlNamesInActiveLanguage() {
  return {
      Text(msg::xmlhvz), Text(msg::xmlbil), {Text(msg::xmldos), Text(msg::xmlad), Text(msg::xmltur), Text(msg::xmlboy), Text(msg::xmlana)}};
}

std::string XmlExportText(const ExportTable& table, const XmlNames& names) {
  std::array<std::string, kExportColumns> opens;
  std::array<std::string, kExportColumns> closes;
  for (size_t c = 0; c < kExportColumns; ++c) {
    opens[c] = XmlTag("<", names.columns[c], ">");
    closes[c] = XmlTag("</", names.columns[c], ">\r\n");
  }
  const std::string entryOpen = XmlTag("<", names.entry, ">\r\n");
  const std::string entryClose = XmlTag("</", names.entry, ">\r\n");

  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n" + XmlTag("<", names.root, ">\r\n");
  for (const ExportRow& row : table.rows) {
    out += entryOpen;
    for (size_t c = 0; c < kExportColumns; ++c) {
      out += opens[c];
      AppendXmlCell(out, row[c]);
      out += closes[c];
    }
    out += entryClose;
  }
  out += XmlTag("</", names.root, ">\r\n");
  return out;
}

std::string HtmlExportText(const ExportTable& table, const HtmlStyle& style) {
  constexpr std::string_view kCellStart = "<td class=\"c0\" nowrap>";
  std::string out = "\xEF\xBB\xBF<style>\r\n.c0 {" + StyleText(style) + "}\r\n</style>\r\n";
  out += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"0\"  width=\"100%\">\r\n";
  out += "<tr>\r\n";
  for (const std::string& title : table.header) {
    out += kCellStart;
    out += "<strong>";
    AppendHtmlText(out, title);
    out += "</strong></td>\r\n";
  }
  out += "</tr>\r\n";
  for (const ExportRow& row : table.rows) {
    out += "<tr>\r\n";
    for (const std::string& cell : row) {
      out += kCellStart;
      AppendHtmlCell(out, cell);
      out += "</td>\r\n";
    }
    out += "</tr>\r\n";
  }
  out += "</table>\r\n\r\n";
  return out;
}

void WriteXmlExport(const ExportTable& table, const XmlNames& names, const std::string& path) {
  WriteExportFile(path, XmlExportText(table, names));
}

void WriteHtmlExport(const ExportTable& table, const HtmlStyle& style, const std::string& path) {
  WriteExportFile(path, HtmlExportText(table, style));
}

}  // namespace kovan
