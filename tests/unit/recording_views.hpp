// Views that record what window logic tells its window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "kod/ana_pencere.hpp"

namespace kovan::test {

class RecordingAnaPencereView : public AnaPencereView {
 public:
  void SetPoolCountCaption(const std::string& caption) override { captions.push_back(caption); }
  void SetHoverSummary(const HoverSummary& summary) override { hovers.push_back(summary); }
  void SetOpacity(uint8_t alpha) override { opacities.push_back(alpha); }
  void SetBusyCursor(bool busy) override { busyChanges.push_back(busy); }
  bool DispatchPendingMessages() override {
    ++dispatches;
    if (onDispatch) onDispatch();
    return terminating;
  }
  std::string ThousandsSeparator() const override { return "."; }

  std::vector<std::string> captions;
  std::vector<HoverSummary> hovers;
  std::vector<int> opacities;
  std::vector<bool> busyChanges;
  int dispatches = 0;
  bool terminating = false;
  std::function<void()> onDispatch;  // runs inside each dispatch (a key press, a second drop)
};

}  // namespace kovan::test
