// The .RES, icon, cursor and bitmap readers on arbitrary bytes: they must
// refuse what does not fit with a FormatError and never read outside the
// input; what the .RES reader accepts must make an object file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/bitmap_file.hpp"
#include "formats/coff_resource_object.hpp"
#include "formats/format_error.hpp"
#include "formats/icon_file.hpp"
#include "formats/res_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kovan;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    MemorySource source(bytes);
    const auto entries = ReadResEntries(source);
    std::vector<ObjectResource> resources;
    for (const ResEntry& e : entries) {
      resources.push_back({e.header.type, e.header.name, e.header.language, e.header.dataSize});
    }
    StringSink sink;
    WriteResourceObject(sink, CoffMachine::X64, 0, resources, [&](size_t i, ByteSink& out) {
      out.Write(bytes.substr(entries[i].dataOffset, entries[i].header.dataSize));
    });
  } catch (const FormatError&) {
  }
  for (IconKind kind : {IconKind::Icon, IconKind::Cursor}) {
    try {
      const auto images = ParseIconFile(bytes, kind);
      for (const IconImage& image : images) (void)IconImagePrefix(image, kind);
      (void)IconGroupResource(images, kind, 1);
    } catch (const FormatError&) {
    }
  }
  try {
    CheckBitmapFile(bytes.substr(0, kBitmapCheckSize), size);
  } catch (const FormatError&) {
  }
  return 0;
}
