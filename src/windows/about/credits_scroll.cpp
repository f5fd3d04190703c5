#include "windows/about/credits_scroll.hpp"

namespace kovan {

bool CreditsScroll::Tick(int textHeight) {
  if (!autoScroll_) return false;
  if (position_ < textHeight) {
    position_ += kStep;
  } else {
    position_ = -panelHeight_;  // the whole text is above the panel: start again below it
  }
  return true;
}

}  // namespace kovan
