#pragma once

#include <string>

#include "base/errors.hpp"

namespace kovan {

// Errors of the localization layer: constants, language files, switching.
class LanguageError : public Error {
 public:
  explicit LanguageError(const std::string& message) : Error(message) {}
};

}  // namespace kovan
