// The workbook export without a spreadsheet program: an .xlsx file written with
// libxlsxwriter.
#pragma once

#include <string>

#include "export/pool_export.hpp"

namespace kovan {

// Writes a workbook whose first sheet holds the table from cell A1: the header
// row, then one row per entry, five columns, every cell as text with its
// carriage returns removed. The file gets the name exactly as given; it is put
// in place only when complete. Throws ExportError: "Cannot Create file " +
// path when it cannot be written, "Excel OLE server not found" in a build
// without the library.
void WriteWorkbook(const ExportTable& table, const std::string& path);

}  // namespace kovan
