#include "pool/pool_export.hpp"

#include <cstdio>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "lang/lang_manager.hpp"

namespace kovan {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool HasHighBytes(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// What XML 1.0 can carry of a text: broken UTF-8 (a hand-edited list file may
// hold anything) becomes U+FFFD; the C0 controls other than TAB, CR and LF and
// the non-characters U+FFFE and U+FFFF are left out.
std::string XmlCharacters(std::string_view text) {
  const std::string valid = HasHighBytes(text) ? Utf16ToUtf8(Utf8ToUtf16(text)) : std::string(text);
  std::string out;
  out.reserve(valid.size());
  for (size_t i = 0; i < valid.size(); ++i) {
    const auto c = static_cast<unsigned char>(valid[i]);
    if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') continue;
    if (c == 0xEF && i + 2 < valid.size() && static_cast<unsigned char>(valid[i + 1]) == 0xBF &&
        (static_cast<unsigned char>(valid[i + 2]) & 0xFE) == 0xBE) {
      i += 2;
      continue;
    }
    out += valid[i];
  }
  return out;
}

// An empty cell is written as two quotation marks, so that every element
// carries some content.
void AppendXmlCell(std::string& out, std::string_view cell) {
  std::string text = XmlCharacters(cell);
  if (text.empty()) text = "\"\"";
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '>': out += "&gt;"; break;
      case '<': out += "&lt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
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
  } catch (const EInOutError&) {
    throw EExportError(CannotCreateText(path));
  }
}

}  // namespace

std::string CannotCreateText(const std::string& path) { return "Cannot Create file " + path; }

ExportTable BuildExportTable(const ResourcePool& pool, const SizeTextFunction& sizeText) {
  ExportTable table;
  table.header = {Text("dos2"), Text("dosyad"), Text("dosytr"), Text("dosyby"), Text("dosyana")};
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
      Text("xmlhvz"), Text("xmlbil"), {Text("xmldos"), Text("xmlad"), Text("xmltur"), Text("xmlboy"), Text("xmlana")}};
}

std::string XmlExportText(const ExportTable& table, const XmlNames& names) {
  const std::string root = XmlCharacters(names.root);
  const std::string entry = XmlCharacters(names.entry);
  ExportRow columns;
  for (size_t c = 0; c < kExportColumns; ++c) columns[c] = XmlCharacters(names.columns[c]);

  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>";
  out += kLineEnd;
  out += "<" + root + ">";
  out += kLineEnd;
  for (const ExportRow& row : table.rows) {
    out += "<" + entry + ">";
    out += kLineEnd;
    for (size_t c = 0; c < kExportColumns; ++c) {
      out += "<" + columns[c] + ">";
      AppendXmlCell(out, row[c]);
      out += "</" + columns[c] + ">";
      out += kLineEnd;
    }
    out += "</" + entry + ">";
    out += kLineEnd;
  }
  out += "</" + root + ">";
  out += kLineEnd;
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
