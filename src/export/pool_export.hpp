// Exports of the pool: the export table of its entries and the XML and HTML
// documents written from it. The workbook writer lives in xlsx_workbook.hpp.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.hpp"
#include "pool/resource_pool.hpp"

namespace kovan {

// A failed export; what() is the text the user sees ("Cannot Create file ...").
class ExportError : public Error {
 public:
  using Error::Error;
};

enum class ExportFormat { Workbook, Xml, Html };

inline constexpr size_t kExportColumns = 5;
using ExportRow = std::array<std::string, kExportColumns>;

// Every entry of a pool as five text cells (UTF-8): the file path, the file
// name, the resource type, the size text and the key name. The header holds the
// column titles in the active language; each writer decides whether and how to
// show it.
struct ExportTable {
  ExportRow header;
  std::vector<ExportRow> rows;  // one per entry, in pool order
};

// The size text of a file ("12 Kb", or the unknown-size text); supplied by the
// caller so that the pool window and kovanc can share the table.
using SizeTextFunction = std::function<std::string(const std::string& path)>;

ExportTable BuildExportTable(const ResourcePool& pool, const SizeTextFunction& sizeText);

// The name a document is written under: ".xml" or ".html" is added unless the
// chosen name already ends with it (letter case aside); a workbook keeps the
// name exactly as chosen.
std::string ExportFileName(std::string_view chosenName, ExportFormat format);

// Element names of the XML document, from the message constants.
struct XmlNames {
  std::string root;
  std::string entry;
  ExportRow columns;
};
XmlNames XmlNamesInActiveLanguage();

// The look of the HTML table's cells. Colours are 0xRRGGBB. These defaults are
// what a default Windows system gives; the pool window passes the system's own.
struct HtmlStyle {
  uint32_t background = 0xFFFFFF;  // the window colour
  uint32_t text = 0x000000;        // the window-text colour
  int fontPoints = 8;              // the dialog font's size
  std::string fontFamily = "Tahoma";
};

// A text as XML 1.0 can carry it, unescaped: the C0 controls other than TAB,
// CR and LF and U+FFFE/U+FFFF left out, bytes that are not UTF-8 (encoded
// surrogates included) as U+FFFD. Every cell of the XML document and of the
// workbook goes through it.
std::string XmlCarriableText(std::string_view text);
// A translated element name made a valid XML name: each character a name
// cannot hold (a blank, say) becomes '_', and one that may not begin a name
// ("1st") gets a '_' in front. "_" for an empty name.
std::string XmlElementName(std::string_view name);

// The XML document: UTF-8 without a byte-order mark, lines ended by CR LF, one
// element per entry and no header. Characters XML cannot carry are left out.
std::string XmlExportText(const ExportTable& table, const XmlNames& names);
// The HTML page: UTF-8 with a byte-order mark, a style block and one table
// whose first row holds the header in bold.
std::string HtmlExportText(const ExportTable& table, const HtmlStyle& style);

// Write the documents through a temporary file, so a failure leaves any earlier
// file whole; throw ExportError("Cannot Create file " + path) on failure.
void WriteXmlExport(const ExportTable& table, const XmlNames& names, const std::string& path);
void WriteHtmlExport(const ExportTable& table, const HtmlStyle& style, const std::string& path);

// The failure text for a file an export could not write.
std::string CannotCreateText(const std::string& path);

}  // namespace kovan
