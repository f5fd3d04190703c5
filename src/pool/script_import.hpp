// Reading an existing resource script into pool entries: the single-line
// file statements ("NAME TYPE "file"", or the file name unquoted) are taken;
// every other line that holds something (a block such as a dialog, an
// #include, a name given by #define, a file that is not there) is named with
// its line number and why, and left out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "pool/resource_pool.hpp"

namespace kovan {

struct ScriptStatement {
  size_t line = 0;  // from 1
  std::string key;
  std::string type;  // as written
  std::string path;  // full: a relative name is taken against the script's folder
};

struct ScriptLineProblem {
  size_t line = 0;
  std::string text;  // "a DIALOG resource is written as statements, not read from a file"
};

struct ScriptReadResult {
  std::vector<ScriptStatement> statements;
  std::vector<ScriptLineProblem> problems;  // in line order
};

// The statements of a script held in `bytes`. The text is UTF-16 (little- or
// big-endian, by its byte-order mark), UTF-8 (by its mark, or when every byte
// reads as UTF-8 and some character is beyond ASCII), or else 8-bit text in
// `ansiCodePage` until a "#pragma code_page(N)" line names another. Relative
// file names are taken against `folder` (which ends in a separator). A file
// name whose backslashes all come in pairs is read as an escaped string
// ("C:\\a.ico" is C:\a.ico), any other as written, so that both the scripts
// written for GoRC and those for the UTF-8 compilers read back.
ScriptReadResult ParseResourceScript(std::string_view bytes, const std::string& folder, unsigned ansiCodePage);

// Reads the script file at `path`. Throws IoError, its text naming the file,
// when it cannot be read.
ScriptReadResult ReadResourceScriptFile(const std::string& path, unsigned ansiCodePage);

// Appends the statements to `pool` as entries (key, type, path) in order.
void AppendStatements(ResourcePool& pool, const std::vector<ScriptStatement>& statements);

}  // namespace kovan
