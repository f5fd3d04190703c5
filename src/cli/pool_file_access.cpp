#include "cli/pool_file_access.hpp"

#include "base/errors.hpp"
#include "cli/commands.hpp"
#include "pool/pool_file.hpp"

namespace kovan::cli {

ResourcePool ReadPoolOrExit(const std::string& file) {
  ResourcePool pool;
  std::string reason;
  try {
    const PoolReadResult read = ReadPoolFile(pool, file);
    if (read.opened) return pool;
    reason = SystemErrorText(read.openError);
  } catch (const IoError& e) {
    reason = e.what();  // opened, but a read failed
  }
  PrintError("kovanc: cannot read " + file + ": " + reason + "\n");
  Exit(1);
}

void WritePoolOrExit(const ResourcePool& pool, const std::string& file) {
  try {
    WritePoolFile(pool, file);
  } catch (const IoError& e) {
    PrintError("kovanc: cannot write " + file + ": " + e.what() + "\n");
    Exit(1);
  }
}

}  // namespace kovan::cli
