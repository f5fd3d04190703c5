// Language files (dil\*.lng): decoding, parsing and the escapes of their texts.
//
// A file holds parameters (NAME=value lines before the first section), a
// [$CONSTANTS] section that overrides message constants by name, and one
// section per translatable window whose lines are ID=text.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/errors.hpp"
#include "lang/constants_table.hpp"

namespace kovan {

// A language file that could not be opened: "Cannot open file "PATH". REASON".
class FileOpenError : public Error {
 public:
  FileOpenError(const std::string& path, int systemError);
};

// One window's section of a language file: texts by ID.
struct LangSection {
  std::string name;  // spelled as first met in the file
  std::map<int32_t, std::u16string> texts;

  const std::u16string* Find(int32_t id) const;
};

// A parsed language file. Names are UTF-8; texts stay UTF-16 as read.
struct LangFile {
  std::vector<std::pair<std::string, std::u16string>> params;  // in file order, values as written
  ConstantsTable constants;                                    // unescaped texts
  std::vector<LangSection> sections;                           // in file order

  const std::u16string* Param(std::string_view name) const;
  const LangSection* FindSection(std::string_view name) const;
  // The LANGID parameter as a number; 0 when it is missing or malformed.
  int32_t LanguageId() const;
};

// The decimal integer a text spells (optional sign, digits, 32-bit range).
std::optional<int32_t> ParseDecimal(std::u16string_view text);

// Turns the file's bytes into text. A UTF-16 file (FF FE or FE FF) is read as
// such and a UTF-8 file with its mark (EF BB BF) as UTF-8. Any other file is
// 8-bit text in the ANSI code page of its language: a first decoding with
// `systemCodePage` finds the LANGID line, then the whole file is decoded with
// that language's code page (1033's when there is none).
std::u16string DecodeLanguageFile(std::string_view bytes, unsigned systemCodePage);

// Splits at CR LF, LF or CR; a final line break ends the last line.
std::vector<std::u16string> SplitLines(std::u16string_view text);

// \\ \n (CR LF) \t (TAB) and \NN (two decimal digits: that character code);
// any other backslash stays as it is.
std::u16string Unescape(std::u16string_view value);

// Parses decoded text. With `paramsOnly` reading stops at the first section
// line. Throws LanguageError "Loading translations failed.\r\nLine N: ..." with
// the line's index counted from 0.
LangFile ParseLanguageText(std::u16string_view text, bool paramsOnly);

// Reads and parses a file. Throws FileOpenError when it cannot be opened,
// IoError when reading fails, LanguageError on a bad line.
LangFile ReadLanguageFile(const std::string& path, bool paramsOnly);

}  // namespace kovan
