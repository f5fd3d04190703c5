#include <gtest/gtest.h>

#include <string>

#include "windows/about/about_content.hpp"
#include "windows/about/credits_scroll.hpp"

namespace kovan {
namespace {

TEST(CreditsScroll, ClimbsLoopsFromTheBottomAndFreezesInPlace) {
  // A text 40 pixels high: it climbs from -25 by 4 until its position reaches
  // the height, then comes in again from below the 218-pixel panel.
  CreditsScroll scroll;
  EXPECT_EQ(scroll.Position(), -25);
  EXPECT_TRUE(scroll.AutoScroll());
  EXPECT_EQ(CreditsScroll::kTickInterval.count(), 175);

  struct Step {
    int ticks;
    bool autoScroll;
    int position;
  };
  const Step steps[] = {
      {1, true, -21},   {16, true, 43},  // 39 < 40 still moves, 43 is past the text
      {1, true, -218},                   // the loop point
      {3, false, -218},                  // frozen: ticks move nothing
      {2, true, -210},                   // resumed from where it stood
  };
  for (const Step& step : steps) {
    scroll.SetAutoScroll(step.autoScroll);
    for (int i = 0; i < step.ticks; ++i) EXPECT_EQ(scroll.Tick(40), step.autoScroll);
    EXPECT_EQ(scroll.Position(), step.position) << step.ticks << " ticks";
  }
}

TEST(AboutContent, LinksOpenWithTheShell) {
  const struct {
    const char* target;
    bool opens;
  } cases[] = {
      {"http://www.rirudir.com/", true},
      {"ftp://host/file", true},
      {"mailto:someone@example.com", true},
      {"www.rirudir.com", false},
      {"", false},
      {"Kovan", false},
  };
  for (const auto& c : cases) EXPECT_EQ(OpensWithShell(c.target), c.opens) << c.target;

  int links = 0;
  for (const TextLine& line : LinkLine()) {
    for (const TextRun& run : line) {
      if (run.link.empty()) continue;
      ++links;
      EXPECT_TRUE(OpensWithShell(run.link)) << run.link;
    }
  }
  EXPECT_EQ(links, 6);
}

}  // namespace
}  // namespace kovan
