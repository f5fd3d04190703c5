// The up-to-date record of a compile: a small file beside the output that
// says what went into it (the compiler, the machine, the list file and every
// pool file by path, size and last write) and which output and header that
// compile left. A later compile whose inputs read the same, and whose output
// is still the one recorded, leaves everything as it is.
#pragma once

#include <cstdint>
#include <string>

#include "pool/resource_pool.hpp"

namespace kovan {

// Everything besides the pool's files that changes the bytes written.
struct BuildInputs {
  std::string tool;      // the program and its version: its compiler may differ between versions
  std::string compiler;  // the compiler's name and the programs it runs
  std::string machine;
  std::string kind;        // "res" or "obj"
  uint32_t timestamp = 0;  // of an object file
  std::string listFile;
  std::string headerFile;  // empty when no header is written
  std::string folder;      // the current folder, against which relative paths are read
};

// The record's name for an output: "OUTPUT.kovan-stamp".
std::string BuildRecordFile(const std::string& outputFile);

// The inputs as they are on disk now, as the record holds them. Read before
// a compile, so that a file changed while it runs is seen as changed by the
// next one.
std::string DescribeBuildInputs(const BuildInputs& inputs, const ResourcePool& pool);

// Whether the record beside `outputFile` holds `inputs` (from
// DescribeBuildInputs) and the output and header are the files it recorded.
bool BuildIsUpToDate(const std::string& outputFile, const std::string& headerFile, const std::string& inputs);

// Records a successful compile of `inputs`, after the output and the header
// are in place. Written through a temporary file; throws IoError.
void WriteBuildRecord(const std::string& outputFile, const std::string& headerFile, const std::string& inputs);

}  // namespace kovan
