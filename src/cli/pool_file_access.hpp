// Reading and writing pool list files for kovanc's commands: a failure ends
// the command with a message that names the file.
#pragma once

#include <string>

#include "pool/resource_pool.hpp"

namespace kovan::cli {

// Keeps other kovanc runs from changing a list file between this run's read
// and its replacement of the file, so that runs at the same time each build
// on what the others wrote. Taken before the read, held to the end of the
// command. With `create`, a missing list file is made (empty) to lock it.
class PoolFileLock {
 public:
  PoolFileLock(const std::string& file, bool create);
  ~PoolFileLock();
  PoolFileLock(const PoolFileLock&) = delete;
  PoolFileLock& operator=(const PoolFileLock&) = delete;

 private:
#ifdef _WIN32
  void* mutex_ = nullptr;
#else
  int fd_ = -1;
#endif
};

// Reads an existing list file; one that cannot be read ends the command (exit 1).
ResourcePool ReadPoolOrExit(const std::string& file);

// Writes the list file through a temporary file; a failure ends the command
// (exit 1) and leaves any earlier file whole.
void WritePoolOrExit(const ResourcePool& pool, const std::string& file);

}  // namespace kovan::cli
