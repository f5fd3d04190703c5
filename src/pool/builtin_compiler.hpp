// Kovan's own resource compiler: writes the pool as a .RES file or a COFF
// object without an outside program, reading each entry's file as the
// resource compilers read the script line "KEY TYPE "file"". Every problem
// is found before anything is written and names the entry it belongs to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/errors.hpp"
#include "formats/coff_resource_object.hpp"
#include "formats/res_file.hpp"
#include "pool/compiler_command.hpp"
#include "pool/resource_pool.hpp"

namespace kovan {

struct EntryProblem {
  size_t entry = 0;  // index in the pool
  std::string text;  // "entry 3 (KEY, TYPE, FILE): what is wrong"
};

// The pool cannot be compiled; what() lists every problem, one per line.
class PoolCompileError : public Error {
 public:
  explicit PoolCompileError(std::vector<EntryProblem> problems);
  const std::vector<EntryProblem>& problems() const { return problems_; }

 private:
  std::vector<EntryProblem> problems_;
};

// The user stopped the compile; no output file was left behind.
class CompileStopped : public Error {
 public:
  CompileStopped() : Error("The compile was stopped") {}
};

// Everything that would keep the pool from compiling, in pool order; empty
// when it compiles. Reads the headers of the entries' files.
std::vector<EntryProblem> CheckPoolResources(const ResourcePool& pool);

// The resource a program finds an entry by: the type and name it passes to
// FindResource for the entry's key, and the size SizeofResource gives. An
// icon or cursor file is found as its group (RT_GROUP_ICON, RT_GROUP_CURSOR),
// whose size is that of the group directory, not of the images.
struct KeyResource {
  size_t entry = 0;
  ResourceId type;
  ResourceId name;
  uint32_t size = 0;
};

// One per entry, in pool order, as the built-in compiler writes them. Reads
// the entries' files; throws PoolCompileError when the pool cannot compile.
std::vector<KeyResource> PoolKeyResources(const ResourcePool& pool);

// What the built-in compiler is told besides the pool.
struct BuiltinCompileOptions {
  CoffMachine machine = CoffMachine::X64;
  uint32_t timestamp = 0;  // of an object file
  // Asked between entries; true ends the compile with CompileStopped.
  std::function<bool()> stopRequested;
};

// Writes the pool as a .RES file (Res) or an object file (Obj) to
// `outputFile`, streaming the entries' files. Throws PoolCompileError, with
// no file written, when an entry cannot be compiled; IoError when the output
// cannot be written.
void CompilePoolBuiltin(const ResourcePool& pool, CompileKind kind, const std::string& outputFile,
                        const BuiltinCompileOptions& options);

// Turns a .RES file into an object file. Throws FormatError naming the
// damage when the .RES file is not sound; nothing is written then.
void ConvertResToObject(const std::string& resFile, const std::string& outputFile,
                        const BuiltinCompileOptions& options);

// The time stamp for object files: SOURCE_DATE_EPOCH when it is set to a
// number that fits, otherwise 0, so that builds of one pool are the same.
uint32_t ReproducibleTimestamp();

}  // namespace kovan
