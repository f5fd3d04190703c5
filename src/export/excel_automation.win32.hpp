// The workbook export through Microsoft Excel's automation interface, and the
// export that falls back to the built-in workbook writer when Excel cannot be
// reached.
#pragma once

#include <string>

#include "export/pool_export.hpp"

namespace kovan {

// Fills the first sheet of a new workbook in Excel (a running instance, else
// one started here and quit afterwards; never shown) with the table from A1,
// header row first, and saves it under `path` exactly as given; a failed save
// is ignored. False when Excel cannot be reached; other failures of Excel throw.
bool WriteWorkbookThroughExcel(const ExportTable& table, const std::string& path);

// Excel when it is there, else WriteWorkbook. Throws ExportError("Excel OLE
// server not found") when neither can write.
void ExportWorkbook(const ExportTable& table, const std::string& path);

}  // namespace kovan
