#pragma once

#include <stdexcept>
#include <string>

namespace kovan {

// Errors of the localization layer: constants, language files, switching.
class ELangError : public std::runtime_error {
 public:
  explicit ELangError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace kovan
