#include "pool/compiler_messages.hpp"

#include "base/text.hpp"
#include "pool/resource_script.hpp"

namespace kovan {

namespace {

// The number that starts `text` at `at`, if digits stand there.
std::optional<size_t> NumberAt(std::string_view text, size_t at) {
  size_t value = 0;
  size_t digits = 0;
  while (at + digits < text.size() && text[at + digits] >= '0' && text[at + digits] <= '9' && digits < 9) {
    value = value * 10 + static_cast<size_t>(text[at + digits] - '0');
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return value;
}

// The script line a message names, 1-based.
std::optional<size_t> ScriptLine(std::string_view line) {
  const std::string lower = [&] {
    std::string text(line);
    for (char& c : text) c = AsciiLower(c);
    return text;
  }();
  const std::string script = kScriptFileName;
  for (size_t at = lower.find(script); at != std::string::npos; at = lower.find(script, at + 1)) {
    const size_t after = at + script.size();
    if (after < lower.size() && (lower[after] == '(' || lower[after] == ':')) {
      if (auto number = NumberAt(lower, after + 1)) return number;
    }
  }
  // "line N" alone is too common in other words to be taken for the script's.
  if (lower.find(script) == std::string::npos) return std::nullopt;
  for (size_t at = lower.find("line "); at != std::string::npos; at = lower.find("line ", at + 1)) {
    if (auto number = NumberAt(lower, at + 5)) return number;
  }
  return std::nullopt;
}

}  // namespace

std::optional<size_t> EntryNamedByCompilerLine(const ResourcePool& pool, std::string_view line, bool utf8Script) {
  if (const auto number = ScriptLine(line)) {
    const size_t first = utf8Script ? 2 : 1;  // the UTF-8 script opens with its code page
    if (*number >= first && *number - first < pool.Count()) return *number - first;
  }
  const size_t id = line.find("(ID ");
  if (id != std::string_view::npos) {
    const size_t end = line.find(')', id);
    if (end != std::string_view::npos) {
      const std::string key = AsciiUpper(line.substr(id + 4, end - id - 4));
      for (size_t i = 0; i < pool.Count(); ++i) {
        if (AsciiUpper(pool.Field(i, kKeyName)) == key) return i;
      }
    }
  }
  for (size_t i = 0; i < pool.Count(); ++i) {
    const std::string& path = pool.Field(i, kFilePath);
    if (!path.empty() && line.find(path) != std::string_view::npos) return i;
  }
  return std::nullopt;
}

std::vector<CompilerLine> AttributeCompilerOutput(const ResourcePool& pool, std::string_view output, bool utf8Script) {
  std::vector<CompilerLine> lines;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = output.size();
    const std::string_view text = output.substr(start, end - start);
    if (!text.empty()) lines.push_back({std::string(text), EntryNamedByCompilerLine(pool, text, utf8Script)});
    start = end + 1;
  }
  return lines;
}

}  // namespace kovan
