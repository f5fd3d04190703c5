// The resource script reader on arbitrary bytes: every line is either taken
// or named with its number, and nothing crashes, hangs or reads outside the
// input. Names resolve against a folder that does not exist, so no file is
// ever found and nothing is touched.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "pool/script_import.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kovan;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ScriptReadResult read = ParseResourceScript(bytes, "/nonexistent-kovan-fuzz-folder/", 1254);
  for (const ScriptLineProblem& p : read.problems) {
    if (p.line == 0 || p.text.empty()) std::abort();
  }
  return 0;
}
