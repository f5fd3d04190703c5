// Dependency files in Make syntax ("TARGET: PREREQUISITE ..."), as GNU make,
// Ninja's depfile reader and CMake's DEPFILE take them, so a build system
// learns which files a compile read.
#pragma once

#include <string>
#include <vector>

#include "base/errors.hpp"

namespace kovan {

// A path that Make syntax cannot carry (one holding a line break, a tab or NUL).
class DependencyPathError : public Error {
 public:
  explicit DependencyPathError(const std::string& path);
};

// One path as a word of a dependency file: space and '#' escaped with a
// backslash (backslashes right before them doubled), '$' as "$$", and off
// Windows ':' as "\:". Throws DependencyPathError.
std::string EscapeDependencyPath(const std::string& path);

// "TARGET: \" and one prerequisite per line after it, each but the last
// continued with a backslash; LF line ends. Throws DependencyPathError.
std::string DependencyFileText(const std::string& target, const std::vector<std::string>& prerequisites);

}  // namespace kovan
