// Icon (.ico) and cursor (.cur) files, and the resources a resource
// compiler makes of them: one image resource per image and a group resource
// that lists the images by number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kovan {

enum class IconKind : uint16_t { Icon = 1, Cursor = 2 };

// One entry of the file's directory and the bytes it points at.
struct IconImage {
  uint8_t width = 0;  // 0 stands for 256
  uint8_t height = 0;
  uint8_t colorCount = 0;
  uint16_t planes = 0;    // a cursor's hot spot x
  uint16_t bitCount = 0;  // a cursor's hot spot y
  std::string_view bytes;
};

// The images of an icon or cursor file held in `file`. Throws FormatError
// when the file is not of that kind or its directory does not fit the file.
std::vector<IconImage> ParseIconFile(std::string_view file, IconKind kind);

// What goes in front of the image's bytes in its resource: a cursor's hot
// spot; nothing for an icon.
std::string IconImagePrefix(const IconImage& image, IconKind kind);

// The data of the group resource listing `images`, numbered from `firstId`.
std::string IconGroupResource(const std::vector<IconImage>& images, IconKind kind, uint16_t firstId);

}  // namespace kovan
