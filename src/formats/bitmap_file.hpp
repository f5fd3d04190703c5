// Bitmap (.bmp) files. A bitmap resource is the file without its 14-byte
// file header.
#pragma once

#include <cstdint>
#include <string_view>

namespace kovan {

inline constexpr uint32_t kBitmapFileHeaderSize = 14;
// The file header and the shortest bitmap header that can follow it.
inline constexpr uint32_t kBitmapCheckSize = kBitmapFileHeaderSize + 4;

// Throws FormatError unless `start` (the first kBitmapCheckSize bytes of a file
// of `fileSize` bytes, or all of a shorter one) begins a bitmap file.
void CheckBitmapFile(std::string_view start, uint64_t fileSize);

}  // namespace kovan
