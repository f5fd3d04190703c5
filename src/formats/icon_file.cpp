#include "formats/icon_file.hpp"

#include <string>

#include "formats/byte_io.hpp"
#include "formats/format_error.hpp"

namespace kovan {

namespace {

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);
constexpr size_t kDirectoryHeader = 6;
constexpr size_t kDirectoryEntry = 16;
constexpr uint32_t kBitmapInfoHeaderSize = 40;

bool IsPng(std::string_view image) { return image.substr(0, kPngSignature.size()) == kPngSignature; }

// Planes and bits per pixel as the group entry states them. They come from
// the image's own header rather than from the directory, which tools often
// leave at zero; a PNG image, or one with a header of another size, counts as
// one plane of 32 bits.
void ImageDepth(std::string_view image, uint16_t& planes, uint16_t& bitCount) {
  planes = 1;
  bitCount = 32;
  if (IsPng(image) || ReadLe32(image, 0) != kBitmapInfoHeaderSize) return;
  planes = ReadLe16(image, 12);
  bitCount = ReadLe16(image, 14);
}

}  // namespace

std::vector<IconImage> ParseIconFile(std::string_view file, IconKind kind) {
  const std::string what = kind == IconKind::Icon ? "icon" : "cursor";
  if (file.size() < kDirectoryHeader || ReadLe16(file, 0) != 0 || ReadLe16(file, 2) > 2 || ReadLe16(file, 2) == 0) {
    throw FormatError("not " + std::string(kind == IconKind::Icon ? "an " : "a ") + what + " file");
  }
  if (ReadLe16(file, 2) != static_cast<uint16_t>(kind)) {
    throw FormatError(kind == IconKind::Icon ? "a cursor file, not an icon file" : "an icon file, not a cursor file");
  }
  const size_t count = ReadLe16(file, 4);
  if (kDirectoryHeader + count * kDirectoryEntry > file.size()) {
    throw FormatError("the " + what + " file lists " + std::to_string(count) +
                      " images but ends inside its directory");
  }
  std::vector<IconImage> images;
  images.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const size_t at = kDirectoryHeader + i * kDirectoryEntry;
    IconImage image;
    image.width = static_cast<uint8_t>(file[at]);
    image.height = static_cast<uint8_t>(file[at + 1]);
    image.colorCount = static_cast<uint8_t>(file[at + 2]);
    image.planes = ReadLe16(file, at + 4);
    image.bitCount = ReadLe16(file, at + 6);
    const uint64_t size = ReadLe32(file, at + 8);
    const uint64_t offset = ReadLe32(file, at + 12);
    const std::string number = "image " + std::to_string(i + 1) + " of the " + what + " file";
    if (offset + size > file.size()) throw FormatError(number + " lies past the end of the file");
    image.bytes = file.substr(offset, size);
    if (!IsPng(image.bytes) && (image.bytes.size() < 4 || (ReadLe32(image.bytes, 0) == kBitmapInfoHeaderSize &&
                                                           image.bytes.size() < kBitmapInfoHeaderSize))) {
      throw FormatError(number + " is too short for a picture");
    }
    images.push_back(image);
  }
  return images;
}

std::string IconImagePrefix(const IconImage& image, IconKind kind) {
  std::string prefix;
  if (kind == IconKind::Cursor) {
    AppendLe16(prefix, image.planes);
    AppendLe16(prefix, image.bitCount);
  }
  return prefix;
}

std::string IconGroupResource(const std::vector<IconImage>& images, IconKind kind, uint16_t firstId) {
  std::string data;
  AppendLe16(data, 0);
  AppendLe16(data, static_cast<uint16_t>(kind));
  AppendLe16(data, static_cast<uint32_t>(images.size()));
  uint16_t id = firstId;
  for (const IconImage& image : images) {
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    ImageDepth(image.bytes, planes, bitCount);
    if (kind == IconKind::Icon) {
      data.push_back(static_cast<char>(image.width));
      data.push_back(static_cast<char>(image.height));
      data.push_back(static_cast<char>(image.colorCount));
      data.push_back('\0');
    } else {
      // A cursor states its height as that of the colour and mask bitmaps together.
      AppendLe16(data, image.width);
      AppendLe16(data, image.height * 2u);
    }
    AppendLe16(data, planes);
    AppendLe16(data, bitCount);
    AppendLe32(data, static_cast<uint32_t>(image.bytes.size() + (kind == IconKind::Cursor ? 4 : 0)));
    AppendLe16(data, id++);
  }
  return data;
}

}  // namespace kovan
