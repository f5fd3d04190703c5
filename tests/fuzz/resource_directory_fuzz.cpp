// The reader of .RES files, object files and programs on arbitrary bytes: it
// must refuse what does not fit with a FormatError, never read outside the
// input and never loop, and every resource it lists must lie inside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/format_error.hpp"
#include "formats/resource_directory.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kovan;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    MemorySource source(bytes);
    const ResourceFileContents contents = ReadResourceFile(source);
    for (const FoundResource& r : contents.resources) {
      if (r.dataOffset > size || r.size > size - r.dataOffset) std::abort();
    }
  } catch (const FormatError&) {
  }
  return 0;
}
