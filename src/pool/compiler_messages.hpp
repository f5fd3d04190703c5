// Which pool entry an outside compiler's message is about. The script has
// one line per entry (after the code-page line of the UTF-8 script), so a
// line number of the script names an entry; some compilers name the
// resource's key or its file instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pool/resource_pool.hpp"

namespace kovan {

// The index of the entry `line` names, if any: "liste.rc(N)", "liste.rc:N:"
// or "line N" beside the script's name for a line of the script, "(ID KEY)"
// for a key, or an entry's path.
std::optional<size_t> EntryNamedByCompilerLine(const ResourcePool& pool, std::string_view line, bool utf8Script);

struct CompilerLine {
  std::string text;
  std::optional<size_t> entry;
};

// The compiler's output split into lines (CR, LF or both), each with the
// entry it names.
std::vector<CompilerLine> AttributeCompilerOutput(const ResourcePool& pool, std::string_view output, bool utf8Script);

}  // namespace kovan
