#include "pool/compiler_command.hpp"

#include "base/text.hpp"

namespace kovan {

namespace {

std::string Quoted(const std::string& text) { return '"' + text + '"'; }

}  // namespace

const char* CompileExtension(CompileKind kind) { return kind == CompileKind::Res ? "res" : "obj"; }

std::string CompileOutputFile(const std::string& chosenName, CompileKind kind) {
  const std::string suffix = std::string(".") + CompileExtension(kind);
  // The save dialog adds no extension, so a typed "app.res" already has it.
  if (AsciiIEndsWith(chosenName, suffix)) return chosenName;
  return chosenName + suffix;
}

std::string CompilerParameters(CompileKind kind, const std::string& outputFile, const std::string& input) {
  const char* switches = kind == CompileKind::Res ? "/no/r/fo" : kind == CompileKind::Obj ? "/no/o/fo" : "/no/fo";
  return std::string(switches) + " " + Quoted(outputFile) + " " + Quoted(input);
}

}  // namespace kovan
