// Helpers shared by the tests of language files and the language manager.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "lang/language_controller.hpp"

namespace kovan::test {

// A window that records the last text each of its properties received.
class RecordingLanguageView : public LanguageView {
 public:
  void ApplyText(std::string_view component, std::string_view property, const std::string& text) override {
    texts[std::string(component) + "." + std::string(property)] = text;
    ++applied;
  }
  std::map<std::string, std::string> texts;  // "Component.Property" -> text
  int applied = 0;
};

}  // namespace kovan::test
