// What the about window shows: the scrolling credits, the slogan, the heading
// and the line of links, as formatted text the window draws. The about window
// speaks both languages at once and is never translated.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kovan {

// Colours as 0xRRGGBB.
inline constexpr uint32_t kCreditsText = 0x000000;
inline constexpr uint32_t kCreditsDarkBlue = 0x000080;
inline constexpr uint32_t kCreditsDarkRed = 0x800000;
inline constexpr uint32_t kCreditsRed = 0xFF0000;
inline constexpr uint32_t kHeadingBlue = 0x004080;
inline constexpr uint32_t kLinkBlue = 0x0000FF;

// The pictures of the about window's image list, 80 by 54 pixels each.
enum class AboutPicture { MakerLogo = 0, Languages = 1, CompilerLogo = 2 };

// A piece of text in one format, or a picture.
struct TextRun {
  std::string text;  // UTF-8; empty for a picture
  int picture = -1;  // an AboutPicture, or -1 for text
  bool bold = false;
  bool italic = false;
  bool shadow = false;
  uint32_t colour = kCreditsText;
  int size = 0;      // points; 0 keeps the panel's own size
  std::string link;  // opened when clicked; empty for plain text
};

// One centred line; an empty one is an empty line.
using TextLine = std::vector<TextRun>;

std::vector<TextLine> CreditsText();
std::string Slogan();
// The maker's name, drawn large with its reflection.
TextLine Heading();
// The links along the bottom edge: the maker's pages in Turkish and English,
// the resource compiler's site and the page about language files.
std::vector<TextLine> LinkLine();

// A link target that the shell opens with its "open" verb; other targets do
// nothing when clicked.
bool OpensWithShell(std::string_view target);

}  // namespace kovan
