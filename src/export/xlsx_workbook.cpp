#include "export/xlsx_workbook.hpp"

#ifdef KOVAN_HAVE_XLSXWRITER

#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "export/pool_export.hpp"

#ifdef _WIN32
#include <windows.h>

#include <random>
#endif

#endif  // KOVAN_HAVE_XLSXWRITER

namespace kovan {

#ifndef KOVAN_HAVE_XLSXWRITER

void WriteWorkbook(const ExportTable&, const std::string&) { throw ExportError("Excel OLE server not found"); }

#else

namespace {

// Where the library works: the folder for its own temporary files and the
// workbook it writes, both named the way the library opens files, and the
// workbook again as program text.
struct LibraryPlace {
  std::string folder;
  std::string file;
  std::string fileUtf8;
  std::string folderUtf8;  // the private folder, removed with all it holds
};

constexpr char kWorkbookName[] = "export.xlsx";

#ifdef _WIN32

// A random name nobody can guess, for the private folder the library works in.
std::string RandomFolderName() {
  static std::mt19937_64 generator{std::random_device{}()};
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(generator()));
  return std::string("kovan-") + digits;
}

// The library opens its files through the C runtime's narrow calls, which take
// names in the ANSI code page. A folder whose name that code page cannot hold
// (a user name in another script) is given by its short name.
std::string NarrowFolderName(const std::wstring& folder) {
  bool lossless = true;
  std::string narrow = Utf16ToAnsi(std::u16string(folder.begin(), folder.end()), GetACP(), &lossless);
  if (lossless) return narrow;
  std::wstring shortName(MAX_PATH + 1, L'\0');
  const DWORD n = GetShortPathNameW(folder.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
  if (n == 0 || n >= shortName.size()) return {};
  shortName.resize(n);
  lossless = true;
  narrow = Utf16ToAnsi(std::u16string(shortName.begin(), shortName.end()), GetACP(), &lossless);
  return lossless ? narrow : std::string();
}

// A new folder of our own in the user's temporary folder. Left to itself the
// library would look for one through narrow environment reads, which lose
// such names.
std::optional<LibraryPlace> PlaceForLibrary() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH) return std::nullopt;
  std::wstring temp(buffer, n);
  while (temp.size() > 3 && temp.back() == L'\\') temp.pop_back();
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::wstring folder = temp + L"\\" + ToWide(RandomFolderName());
    if (!CreateDirectoryW(folder.c_str(), nullptr)) {
      if (GetLastError() == ERROR_ALREADY_EXISTS) continue;
      return std::nullopt;
    }
    const std::string narrow = NarrowFolderName(folder);
    if (narrow.empty()) {
      RemoveDirectoryW(folder.c_str());
      return std::nullopt;
    }
    const std::string folderUtf8 = ToUtf8(folder);
    return LibraryPlace{narrow, narrow + "\\" + kWorkbookName, folderUtf8 + "\\" + kWorkbookName, folderUtf8};
  }
  return std::nullopt;
}

#else

// A new folder that only this user may enter, so nobody else can plant a
// file or link under the names the library writes.
std::optional<LibraryPlace> PlaceForLibrary() {
  std::error_code error;
  std::string temp = std::filesystem::temp_directory_path(error).string();
  if (error || temp.empty()) temp = "/tmp";
  while (temp.size() > 1 && temp.back() == '/') temp.pop_back();
  std::string pattern = temp + "/kovan-XXXXXX";
  if (!mkdtemp(pattern.data())) return std::nullopt;  // made with mode 0700
  const std::string file = pattern + "/" + kWorkbookName;
  return LibraryPlace{pattern, file, file, pattern};
}

#endif

void RemovePlace(const LibraryPlace& place) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(std::u8string(place.folderUtf8.begin(), place.folderUtf8.end())),
                              ignored);
}

std::string WithoutCarriageReturns(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

void WriteRow(lxw_worksheet* sheet, lxw_row_t row, const ExportRow& cells) {
  for (size_t c = 0; c < kExportColumns; ++c) {
    // Cell text goes into the sheet's XML: what XML cannot carry is left out
    // as in the XML export.
    const std::string text = XmlCarriableText(WithoutCarriageReturns(cells[c]));
    const lxw_error error = worksheet_write_string(sheet, row, static_cast<lxw_col_t>(c), text.c_str(), nullptr);
    if (error != LXW_NO_ERROR) throw ExportError(lxw_strerror(error));
  }
}

// Lets the library write the workbook in the temporary folder and returns its
// bytes; nothing when the library could not write it.
std::optional<std::string> WorkbookBytes(const ExportTable& table, LibraryPlace& place) {
  lxw_workbook_options options{};
  options.tmpdir = place.folder.data();
  std::unique_ptr<lxw_workbook, decltype(&lxw_workbook_free)> workbook(workbook_new_opt(place.file.c_str(), &options),
                                                                       lxw_workbook_free);
  if (!workbook) return std::nullopt;
  lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), nullptr);
  if (!sheet) return std::nullopt;
  WriteRow(sheet, 0, table.header);
  for (size_t i = 0; i < table.rows.size(); ++i) WriteRow(sheet, static_cast<lxw_row_t>(i + 1), table.rows[i]);
  // Closing writes the file and frees the workbook, whatever the outcome.
  if (workbook_close(workbook.release()) != LXW_NO_ERROR) return std::nullopt;
  try {
    return ReadWholeFile(place.fileUtf8);
  } catch (const IoError&) {
    return std::nullopt;
  }
}

}  // namespace

void WriteWorkbook(const ExportTable& table, const std::string& path) {
  std::optional<LibraryPlace> place = PlaceForLibrary();
  if (!place) throw ExportError(CannotCreateText(path));
  std::optional<std::string> bytes;
  try {
    bytes = WorkbookBytes(table, *place);
  } catch (...) {
    RemovePlace(*place);
    throw;
  }
  RemovePlace(*place);
  if (!bytes) throw ExportError(CannotCreateText(path));
  try {
    ReplaceFileAtomically(path, *bytes);
  } catch (const IoError&) {
    throw ExportError(CannotCreateText(path));
  }
}

#endif  // KOVAN_HAVE_XLSXWRITER

}  // namespace kovan
