#include "pool/dependency_file.hpp"

namespace kovan {

DependencyPathError::DependencyPathError(const std::string& path)
    : Error("the path " + path +
            " holds a line break, a tab or a NUL character, which a dependency file cannot carry") {}

std::string EscapeDependencyPath(const std::string& path) {
  std::string out;
  out.reserve(path.size() + 8);
  size_t backslashes = 0;  // the run of backslashes just written
  for (char c : path) {
    switch (c) {
      case '\n':
      case '\r':
      case '\t':
      case '\0': throw DependencyPathError(path);
      case '$': out += "$$"; break;
#ifndef _WIN32
      // On Windows a colon only follows a drive letter, which the readers
      // know; elsewhere it is part of a name and would end the target.
      case ':':
#endif
      case ' ':
      case '#':
        // Backslashes before an escaped character escape each other, so the
        // run is doubled to keep it.
        out.append(backslashes, '\\');
        out += '\\';
        out += c;
        break;
      default: out += c; break;
    }
    backslashes = c == '\\' ? backslashes + 1 : 0;
  }
  return out;
}

std::string DependencyFileText(const std::string& target, const std::vector<std::string>& prerequisites) {
  std::string text = EscapeDependencyPath(target) + ":";
  for (const std::string& path : prerequisites) text += " \\\n  " + EscapeDependencyPath(path);
  return text + "\n";
}

}  // namespace kovan
