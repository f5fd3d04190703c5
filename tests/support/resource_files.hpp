// Small icon, cursor, bitmap and PNG files built in memory for the tests of
// the resource formats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kovan::test {

inline std::string Le16(uint32_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }
inline std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

// A device-independent bitmap as an icon holds it: the 40-byte header, the
// colour rows and the mask rows.
inline std::string DibImage(int width, int height, int bitCount) {
  std::string out = Le32(40) + Le32(static_cast<uint32_t>(width)) + Le32(static_cast<uint32_t>(height * 2)) + Le16(1) +
                    Le16(static_cast<uint32_t>(bitCount)) + std::string(24, '\0');
  const size_t colourRow = static_cast<size_t>((width * bitCount + 31) / 32 * 4);
  const size_t maskRow = static_cast<size_t>((width + 31) / 32 * 4);
  for (size_t i = 0; i < colourRow * static_cast<size_t>(height); ++i) out += static_cast<char>(i * 13 + 5);
  out.append(maskRow * static_cast<size_t>(height), '\0');
  return out;
}

// Enough of a PNG for a resource compiler, which keeps it as it is.
inline std::string PngImage(int size) {
  std::string out("\x89PNG\r\n\x1a\n", 8);
  out += std::string("\0\0\0\x0dIHDR", 8) + Le32(static_cast<uint32_t>(size)) + Le32(static_cast<uint32_t>(size));
  for (int i = 0; i < 60; ++i) out += static_cast<char>(i * 31);
  return out;
}

struct IconPart {
  uint8_t width, height, colorCount;
  uint16_t planes, bitCount;  // a cursor's hot spot
  std::string image;
};

// An .ico (kind 1) or .cur (kind 2) file.
inline std::string IconFileBytes(int kind, const std::vector<IconPart>& parts) {
  std::string out = Le16(0) + Le16(static_cast<uint32_t>(kind)) + Le16(static_cast<uint32_t>(parts.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * parts.size());
  std::string images;
  for (const IconPart& p : parts) {
    out += std::string{static_cast<char>(p.width), static_cast<char>(p.height), static_cast<char>(p.colorCount), 0};
    out += Le16(p.planes) + Le16(p.bitCount) + Le32(static_cast<uint32_t>(p.image.size())) + Le32(offset);
    offset += static_cast<uint32_t>(p.image.size());
    images += p.image;
  }
  return out + images;
}

inline std::string BmpFileBytes(int width, int height) {
  std::string info = Le32(40) + Le32(static_cast<uint32_t>(width)) + Le32(static_cast<uint32_t>(height)) + Le16(1) +
                     Le16(24) + std::string(24, '\0');
  const size_t row = static_cast<size_t>((width * 3 + 3) / 4 * 4);
  for (size_t i = 0; i < row * static_cast<size_t>(height); ++i) info += static_cast<char>(i * 7);
  return "BM" + Le32(static_cast<uint32_t>(14 + info.size())) + Le32(0) + Le32(54) + info;
}

}  // namespace kovan::test
