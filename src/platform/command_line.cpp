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

namespace {

// A compiler may write one endless line (a whole file echoed back); what is
// shown of it stays readable in a message box.
constexpr size_t kMaxLineBytes = 400;
constexpr size_t kMaxLinesBytes = 4000;

// The line cut to kMaxLineBytes at a character boundary, marked with "...".
std::string_view CutLine(std::string_view line, bool& cut) {
  cut = line.size() > kMaxLineBytes;
  if (!cut) return line;
  size_t end = kMaxLineBytes;
  while (end > 0 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) --end;
  return line.substr(0, end);
}

}  // namespace

std::string LastLines(std::string_view output, size_t count) {
  std::vector<std::string_view> lines;
  while (!output.empty()) {
    const size_t end = output.find_first_of("\r\n");
    const std::string_view line = output.substr(0, end);
    if (line.find_first_not_of(" \t") != std::string_view::npos) lines.push_back(line);
    if (end == std::string_view::npos) break;
    output.remove_prefix(end + 1);
  }
  // The last lines, each cut to its limit, as many as the whole limit holds.
  std::vector<std::string> kept;
  size_t total = 0;
  for (size_t i = lines.size(); i > 0 && kept.size() < count; --i) {
    bool cut = false;
    std::string line(CutLine(lines[i - 1], cut));
    if (cut) line += "...";
    if (total + line.size() + 1 > kMaxLinesBytes) break;
    total += line.size() + 1;
    kept.push_back(std::move(line));
  }
  std::string text;
  for (size_t i = kept.size(); i > 0; --i) {
    if (!text.empty()) text += '\r';
    text += kept[i - 1];
  }
  return text;
}

}  // namespace kovan
