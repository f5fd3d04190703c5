#include "platform/command_line.hpp"

namespace kovan {

std::vector<std::string> SplitCommandLine(std::string_view parameters) {
  std::vector<std::string> args;
  size_t i = 0;
  const size_t n = parameters.size();
  for (;;) {
    while (i < n && (parameters[i] == ' ' || parameters[i] == '\t')) ++i;
    if (i == n) break;
    std::string arg;
    bool quoted = false;
    while (i < n) {
      const char c = parameters[i];
      if (!quoted && (c == ' ' || c == '\t')) break;
      if (c == '\\') {
        size_t slashes = 0;
        while (i < n && parameters[i] == '\\') {
          ++slashes;
          ++i;
        }
        if (i < n && parameters[i] == '"') {
          arg.append(slashes / 2, '\\');
          if (slashes % 2 == 1) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(slashes, '\\');
        }
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < n && parameters[i + 1] == '"') {
          arg += '"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      arg += c;
      ++i;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

}  // namespace kovan
