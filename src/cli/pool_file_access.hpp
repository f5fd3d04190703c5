// Reading and writing pool list files for kovanc's commands: a failure ends
// the command with a message that names the file.
#pragma once

#include <string>

#include "pool/resource_pool.hpp"

namespace kovan::cli {

// Reads an existing list file; one that cannot be read ends the command (exit 1).
ResourcePool ReadPoolOrExit(const std::string& file);

// Writes the list file through a temporary file; a failure ends the command
// (exit 1) and leaves any earlier file whole.
void WritePoolOrExit(const ResourcePool& pool, const std::string& file);

}  // namespace kovan::cli
