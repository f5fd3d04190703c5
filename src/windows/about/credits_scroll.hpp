// The credits panel's scrolling: the text climbs a few pixels on every timer
// tick and, once it has left the top, comes in again from the bottom edge.
// The window runs the timer while AutoScroll() is on and draws the text's top
// edge Position() pixels above the panel's top.
#pragma once

#include <chrono>

namespace kovan {

class CreditsScroll {
 public:
  static constexpr int kStartPosition = -25;  // the text starts just below the panel's top edge
  static constexpr int kStep = 4;
  static constexpr std::chrono::milliseconds kTickInterval{175};
  static constexpr int kPanelHeight = 218;

  explicit CreditsScroll(int panelHeight = kPanelHeight) : panelHeight_(panelHeight) {}

  int Position() const { return position_; }
  bool AutoScroll() const { return autoScroll_; }
  // Off while the mouse rests on the panel: the text stays where it is and
  // goes on from there when scrolling is switched on again.
  void SetAutoScroll(bool on) { autoScroll_ = on; }

  // One timer tick, with the height of the whole rendered text. False when
  // scrolling is off and nothing moved.
  bool Tick(int textHeight);

 private:
  int panelHeight_;
  int position_ = kStartPosition;
  bool autoScroll_ = true;
};

}  // namespace kovan
