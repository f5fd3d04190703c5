#include "formats/bitmap_file.hpp"

#include "formats/byte_io.hpp"
#include "formats/format_error.hpp"

namespace kovan {

void CheckBitmapFile(std::string_view start, uint64_t fileSize) {
  if (start.size() < 2 || start.substr(0, 2) != "BM") throw FormatError("not a bitmap file");
  if (start.size() < kBitmapCheckSize) throw FormatError("the bitmap file ends inside its header");
  const uint32_t infoSize = ReadLe32(start, kBitmapFileHeaderSize);
  // The oldest bitmap header has 12 bytes; newer ones are longer.
  if (infoSize < 12 || kBitmapFileHeaderSize + uint64_t{infoSize} > fileSize) {
    throw FormatError("the bitmap file's header does not fit the file");
  }
}

}  // namespace kovan
