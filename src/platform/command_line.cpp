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

std::string JoinCommandLine(const std::vector<std::string>& arguments) {
  std::string text;
  for (const std::string& arg : arguments) {
    if (!text.empty()) text += ' ';
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
      text += arg;
      continue;
    }
    text += '"';
    size_t backslashes = 0;
    for (char c : arg) {
      if (c == '\\') {
        ++backslashes;
        continue;
      }
      // Backslashes count only before a quote: double them there.
      text.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
      backslashes = 0;
      text += c;
    }
    text.append(backslashes * 2, '\\');  // the closing quote follows
    text += '"';
  }
  return text;
}

std::string LastLines(std::string_view output, size_t count) {
  std::vector<std::string_view> lines;
  while (!output.empty()) {
    const size_t end = output.find_first_of("\r\n");
    const std::string_view line = output.substr(0, end);
    if (line.find_first_not_of(" \t") != std::string_view::npos) lines.push_back(line);
    if (end == std::string_view::npos) break;
    output.remove_prefix(end + 1);
  }
  std::string text;
  for (size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i) {
    if (!text.empty()) text += '\r';
    text += lines[i];
  }
  return text;
}

}  // namespace kovan
