#include "pool/script_import.hpp"

#include <algorithm>
#include <map>
#include <optional>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "pool/pool_file.hpp"

namespace kovan {

namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

// Resource types written as statements between BEGIN and END, never taken
// from a file.
constexpr std::string_view kBlockTypes[] = {"ACCELERATORS", "DESIGNINFO", "DIALOG",    "DIALOGEX", "DLGINIT",
                                            "MENU",         "MENUEX",     "STRINGTABLE", "TEXTINCLUDE", "TOOLBAR",
                                            "VERSIONINFO"};
// Statements that stand alone and say something no pool entry can hold.
constexpr std::string_view kSettingStatements[] = {"LANGUAGE", "VERSION", "CHARACTERISTICS"};
// Words a script may put between the type and the file; the loader of today
// ignores them and so does a pool.
constexpr std::string_view kMemoryOptions[] = {"PRELOAD", "LOADONCALL", "FIXED", "MOVEABLE",
                                               "DISCARDABLE", "PURE", "IMPURE", "SHARED", "NONSHARED"};

template <size_t N>
bool OneOf(std::string_view word, const std::string_view (&list)[N]) {
  return std::find(std::begin(list), std::end(list), AsciiUpper(word)) != std::end(list);
}

bool Opens(const Token& t) { return !t.quoted && (t.text == "{" || AsciiIEquals(t.text, "BEGIN")); }
bool Closes(const Token& t) { return !t.quoted && (t.text == "}" || AsciiIEquals(t.text, "END")); }

// The script's text as lines of UTF-8, each with the problem of its decoding
// when it has one.
struct DecodedLine {
  std::string text;
  std::string problem;
};

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

std::optional<unsigned> PragmaCodePage(std::string_view line, unsigned ansiCodePage) {
  std::string compact;
  for (char c : line) {
    if (c != ' ' && c != '\t') compact += AsciiLower(c);
  }
  constexpr std::string_view kStart = "#pragmacode_page(";
  if (compact.compare(0, kStart.size(), kStart) != 0) return std::nullopt;
  const size_t close = compact.find(')', kStart.size());
  if (close == std::string::npos) return std::nullopt;
  const std::string value = compact.substr(kStart.size(), close - kStart.size());
  if (value == "default") return ansiCodePage;
  if (value.empty() || value.size() > 5 || !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return static_cast<unsigned>(std::stoul(value));
}

std::vector<DecodedLine> DecodeScript(std::string_view bytes, unsigned ansiCodePage) {
  std::vector<DecodedLine> out;
  const bool le = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
  const bool be = bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF';
  // A script without a mark whose first character is ASCII with a zero byte
  // after it is UTF-16 little-endian all the same.
  const bool bareLe = !le && !be && bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0';
  if (le || be || bareLe) {
    std::u16string units;
    for (size_t at = (bareLe ? 0 : 2); at + 1 < bytes.size(); at += 2) {
      const auto a = static_cast<unsigned char>(bytes[at]);
      const auto b = static_cast<unsigned char>(bytes[at + 1]);
      units += static_cast<char16_t>(be ? (a << 8 | b) : (b << 8 | a));
    }
    const std::string text = Utf16ToUtf8(units);
    for (std::string_view line : SplitLines(text)) out.push_back({std::string(line), {}});
    return out;
  }
  bool utf8 = false;
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    bytes.remove_prefix(kUtf8Bom.size());
    utf8 = true;
  }
  unsigned codePage = utf8 || (IsValidUtf8(bytes) && HasMultiByteUtf8(bytes)) ? kCodePageUtf8 : ansiCodePage;
  for (std::string_view line : SplitLines(bytes)) {
    DecodedLine decoded;
    if (codePage == kCodePageUtf8 && !IsValidUtf8(line)) {
      decoded.problem = "the line is not valid UTF-8";
    } else {
      decoded.text = AnsiToUtf8(line, codePage);
    }
    // A marked file is UTF-8 whatever its lines say.
    if (!utf8) {
      if (const auto named = PragmaCodePage(line, ansiCodePage)) codePage = *named;
    }
    out.push_back(std::move(decoded));
  }
  return out;
}

// Splits a line into words and quoted strings, leaving out comments; a
// comment opened by /* and not closed carries over to the next line.
std::vector<Token> Tokenize(const std::string& line, bool& inComment, std::string& problem) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < line.size()) {
    if (inComment) {
      const size_t end = line.find("*/", i);
      if (end == std::string::npos) return tokens;
      inComment = false;
      i = end + 2;
      continue;
    }
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\f' || c == '\v') {
      ++i;
    } else if (line.compare(i, 2, "//") == 0) {
      return tokens;
    } else if (line.compare(i, 2, "/*") == 0) {
      inComment = true;
      i += 2;
    } else if (c == '"') {
      Token t{{}, true};
      ++i;
      for (;;) {
        if (i >= line.size()) {
          problem = "a double quote is not closed";
          return tokens;
        }
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            t.text += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        t.text += line[i++];
      }
      tokens.push_back(std::move(t));
    } else {
      const size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '"' && line.compare(i, 2, "//") != 0 &&
             line.compare(i, 2, "/*") != 0) {
        ++i;
      }
      tokens.push_back({line.substr(start, i - start), false});
    }
  }
  return tokens;
}

// A quoted file name as the compilers read it (see ParseResourceScript).
std::string FileNameText(const Token& t) {
  if (!t.quoted) return t.text;
  std::string out;
  for (size_t i = 0; i < t.text.size();) {
    size_t run = 0;
    while (i + run < t.text.size() && t.text[i + run] == '\\') ++run;
    if (run % 2 != 0) return t.text;
    out.append(run / 2, '\\');
    i += run;
    if (i < t.text.size()) out += t.text[i++];
  }
  return out;
}

bool IsAbsolute(const std::string& path) {
#ifdef _WIN32
  return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
#else
  return !path.empty() && path[0] == '/';
#endif
}

std::string FullPath(std::string name, const std::string& folder) {
  if (IsAbsolute(name)) return name;
#ifndef _WIN32
  // A script is a Windows file: its relative names are written with backslashes.
  std::replace(name.begin(), name.end(), '\\', '/');
  if (name.compare(0, 2, "./") == 0) name.erase(0, 2);
#endif
  return folder + name;
}

// A name or type as a pool holds it: a hexadecimal number ("0x10") becomes
// decimal, since a pool reads only decimal digits as a number.
std::optional<std::string> PoolWord(const Token& t, std::string& problem) {
  if (t.quoted || t.text.size() < 3 || t.text[0] != '0' || (t.text[1] != 'x' && t.text[1] != 'X')) return t.text;
  uint32_t value = 0;
  for (size_t i = 2; i < t.text.size(); ++i) {
    const char c = AsciiLower(t.text[i]);
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return t.text;
    value = value * 16 + static_cast<uint32_t>(digit);
    if (value > 0xFFFF) {
      problem = "the number " + t.text + " is larger than 65535";
      return std::nullopt;
    }
  }
  return std::to_string(value);
}

class ScriptReader {
 public:
  ScriptReader(const std::string& folder, ScriptReadResult& result) : folder_(folder), result_(result) {}

  void Line(size_t number, const std::string& text, const std::string& decodeProblem) {
    if (!decodeProblem.empty()) {
      Problem(number, decodeProblem);
      return;
    }
    std::string problem;
    std::vector<Token> tokens = Tokenize(text, inComment_, problem);
    if (!problem.empty()) {
      Problem(number, problem);
      return;
    }
    if (tokens.empty()) return;
    if (depth_ > 0) {
      SkipBlock(tokens, 0);
      return;
    }
    if (awaiting_) {
      const Awaiting awaited = *awaiting_;
      awaiting_.reset();
      if (Opens(tokens[0])) {
        if (awaited.noFile) {
          Problem(awaited.line, "the " + awaited.type + " resource's data is written in the script, not read from a file");
        }
        blockLine_ = awaited.line;
        SkipBlock(tokens, 0);
        return;
      }
      if (awaited.noFile) {
        Problem(awaited.line, "there is no file name after the type");
      } else {
        awaiting_ = awaited;  // a dialog's header runs over several lines
        return;
      }
    }
    Statement(number, tokens);
  }

  void Finish() {
    if (awaiting_) {
      Problem(awaiting_->line, awaiting_->noFile ? "there is no file name after the type"
                                                 : "the " + awaiting_->type + " block that starts here has no BEGIN");
    }
    if (depth_ > 0) Problem(blockLine_, "the block that starts here has no END");
    if (inComment_) Problem(commentLine_, "a comment is not closed");
  }

  void NoteCommentStart(size_t number) {
    if (!inComment_) commentLine_ = number;
  }

 private:
  struct Awaiting {
    size_t line;
    std::string type;
    bool noFile;  // a "NAME TYPE" line, which is either data in a block or a mistake
  };

  void Problem(size_t line, std::string text) { result_.problems.push_back({line, std::move(text)}); }

  void SkipBlock(const std::vector<Token>& tokens, size_t from) {
    for (size_t i = from; i < tokens.size(); ++i) {
      if (Opens(tokens[i])) {
        ++depth_;
      } else if (Closes(tokens[i]) && depth_ > 0 && --depth_ == 0) {
        return;
      }
    }
  }

  void EnterBlock(size_t number, const std::vector<Token>& tokens, const std::string& type) {
    blockLine_ = number;
    for (size_t i = 0; i < tokens.size(); ++i) {
      if (Opens(tokens[i])) {
        SkipBlock(tokens, i);
        return;
      }
    }
    awaiting_ = Awaiting{number, type, false};
  }

  void Directive(size_t number, const std::vector<Token>& tokens) {
    std::string word = tokens[0].text.substr(1);
    size_t next = 1;
    if (word.empty() && tokens.size() > 1) word = tokens[next++].text;  // "# include"
    std::string argument;
    if (next < tokens.size()) argument = tokens[next].quoted ? "\"" + tokens[next].text + "\"" : tokens[next].text;
    if (AsciiIEquals(word, "pragma") && AsciiIEquals(argument.substr(0, 9), "code_page")) return;
    if (word == "define" && !argument.empty()) {
      const std::string name = argument.substr(0, argument.find('('));
      defines_.try_emplace(name, number);
      Problem(number, "#define " + name + " is not read: a pool knows no names given by #define");
    } else if (word == "include") {
      Problem(number, "#include " + argument + " is not followed: only the lines of this script are read");
    } else {
      Problem(number, "the preprocessor line #" + word + " is not read");
    }
  }

  bool Defined(size_t number, const Token& t, const char* what) {
    if (t.quoted) return false;
    const auto found = defines_.find(t.text);
    if (found == defines_.end()) return false;
    Problem(number, "the " + std::string(what) + " " + t.text + " is given by the #define on line " +
                        std::to_string(found->second) + ", which a pool cannot follow");
    return true;
  }

  // A statement that is not a file statement: reported, and a block entered
  // where one starts. False when the line may be a file statement.
  bool SkippedStatement(size_t number, const std::vector<Token>& tokens) {
    const std::string first = AsciiUpper(tokens[0].text);
    if (!tokens[0].quoted && first == "STRINGTABLE") {
      Problem(number, "a STRINGTABLE is written as statements, not read from a file");
      EnterBlock(number, tokens, first);
      return true;
    }
    if (!tokens[0].quoted && OneOf(first, kSettingStatements)) {
      Problem(number, "the " + first + " statement is not kept: a pool entry has no language, version or characteristics");
      return true;
    }
    if (tokens.size() >= 2 && !tokens[1].quoted && OneOf(tokens[1].text, kBlockTypes)) {
      Problem(number, "a " + AsciiUpper(tokens[1].text) + " resource is written as statements, not read from a file");
      EnterBlock(number, tokens, AsciiUpper(tokens[1].text));
      return true;
    }
    if (std::any_of(tokens.begin(), tokens.end(), Opens)) {
      Problem(number, "the resource's data is written in the script, not read from a file");
      EnterBlock(number, tokens, tokens.size() >= 2 ? tokens[1].text : std::string());
      return true;
    }
    return false;
  }

  void Statement(size_t number, std::vector<Token>& tokens) {
    if (!tokens[0].quoted && tokens[0].text[0] == '#') {
      Directive(number, tokens);
      return;
    }
    if (tokens.size() > 3) {
      tokens.erase(std::remove_if(tokens.begin() + 2, tokens.end() - 1,
                                  [](const Token& t) { return !t.quoted && OneOf(t.text, kMemoryOptions); }),
                   tokens.end() - 1);
    }
    // "WORD TYPE "file"" is a file statement whatever the words are, so that a
    // key such as LANGUAGE written by Kovan reads back.
    const bool fileStatement = tokens.size() == 3 && tokens[2].quoted && std::none_of(tokens.begin(), tokens.end(), Opens);
    if (!fileStatement && SkippedStatement(number, tokens)) return;
    if (tokens.size() == 2) {
      awaiting_ = Awaiting{number, tokens[1].text, true};
      return;
    }
    if (tokens.size() != 3) {
      Problem(number, tokens.size() == 1 ? "a name alone is not a file statement"
                                         : "there is more on the line than a name, a type and a file");
      return;
    }
    if (Defined(number, tokens[0], "name") || Defined(number, tokens[1], "type")) return;
    std::string problem;
    const auto key = PoolWord(tokens[0], problem);
    const auto type = key ? PoolWord(tokens[1], problem) : std::nullopt;
    if (!key || !type) {
      Problem(number, problem);
      return;
    }
    const std::string name = FileNameText(tokens[2]);
    const std::string path = FullPath(name, folder_);
    if (name.empty()) {
      Problem(number, "the file name is empty");
    } else if (const auto unfit = UnfitPathCharacter(path)) {
      Problem(number, "the file name " + name + " holds " + DescribeUnfitCharacter(*unfit));
    } else if (FolderExists(path)) {
      Problem(number, "the file " + path + " is a folder");
    } else if (!FileExists(path)) {
      Problem(number, "the file " + path + " is not there");
    } else {
      result_.statements.push_back({number, *key, *type, path});
    }
  }

  const std::string& folder_;
  ScriptReadResult& result_;
  std::map<std::string, size_t> defines_;
  std::optional<Awaiting> awaiting_;
  int depth_ = 0;
  size_t blockLine_ = 0;
  bool inComment_ = false;
  size_t commentLine_ = 0;
};

}  // namespace

ScriptReadResult ParseResourceScript(std::string_view bytes, const std::string& folder, unsigned ansiCodePage) {
  ScriptReadResult result;
  ScriptReader reader(folder, result);
  const std::vector<DecodedLine> lines = DecodeScript(bytes, ansiCodePage);
  for (size_t i = 0; i < lines.size(); ++i) {
    reader.NoteCommentStart(i + 1);
    reader.Line(i + 1, lines[i].text, lines[i].problem);
  }
  reader.Finish();
  std::stable_sort(result.problems.begin(), result.problems.end(),
                   [](const ScriptLineProblem& a, const ScriptLineProblem& b) { return a.line < b.line; });
  return result;
}

ScriptReadResult ReadResourceScriptFile(const std::string& path, unsigned ansiCodePage) {
  int openError = 0;
  std::optional<std::string> bytes;
  try {
    bytes = ReadWholeFile(path, &openError);
  } catch (const IoError& e) {
    throw IoError(e.code(), "Cannot read " + path + ": " + e.what());
  }
  if (!bytes) throw IoError(openError, "Cannot open " + path + ": " + IoErrorText(openError));
  return ParseResourceScript(*bytes, FolderOf(FullPathOf(path)), ansiCodePage);
}

void AppendStatements(ResourcePool& pool, const std::vector<ScriptStatement>& statements) {
  for (const ScriptStatement& s : statements) pool.Append(s.key, s.type, s.path);
}

}  // namespace kovan
