#pragma once

#include <cstddef>
#include <string>

#include "base/errors.hpp"

namespace kovan {

// Errors of the localization layer: constants, language files, switching.
class LanguageError : public Error {
 public:
  explicit LanguageError(const std::string& message) : Error(message) {}
};

// A bad line of a language file. what() counts lines from 0, as the program
// always has; line() gives the same count for tools that number from 1.
class LanguageLineError : public LanguageError {
 public:
  LanguageLineError(size_t line, const std::string& reason)
      : LanguageError("Loading translations failed.\r\nLine " + std::to_string(line) + ": " + reason),
        line_(line),
        reason_(reason) {}
  size_t line() const noexcept { return line_; }
  const std::string& reason() const noexcept { return reason_; }

 private:
  size_t line_;
  std::string reason_;
};

}  // namespace kovan
