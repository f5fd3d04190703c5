// The resource compiler's command line: what a run makes, the output file's
// name and the parameters GoRC is started with. Shared by Kovan and kovanc.
#pragma once

#include <string>

namespace kovan {

// What kind of file a run makes, and from what: a .RES or an .OBJ file from
// the pool's script, or an .OBJ file from a .RES file.
enum class CompileKind { Res, Obj, ResObj };

// "res" or "obj": the output file's extension.
const char* CompileExtension(CompileKind kind);

// The output file for the name chosen in the save dialog: the kind's extension
// is added unless the name already ends in it (ASCII letter case ignored).
std::string CompileOutputFile(const std::string& chosenName, CompileKind kind);

// GoRC's parameter text: the switches, the quoted output file and the quoted
// input (the script, or the .RES file for ResObj). Nothing is escaped.
std::string CompilerParameters(CompileKind kind, const std::string& outputFile, const std::string& input);

}  // namespace kovan
