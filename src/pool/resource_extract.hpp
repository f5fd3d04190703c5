// Writing the resources of a .RES, object or program file out as files a
// pool can take again: icon and cursor groups put back together as .ico and
// .cur files, bitmaps with their file header, everything else as it is. Beside
// them goes a resource script, resources.rc, with one line per file naming
// its key, its type and the file (relative to the folder), which is what
// "import" reads to make a pool of the folder.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "formats/byte_io.hpp"
#include "formats/resource_directory.hpp"

namespace kovan {

// The script that --extract writes beside the files.
inline constexpr char kExtractIndexName[] = "resources.rc";

struct ExtractedFile {
  std::string key;
  std::string type;
  std::string fileName;  // in the folder
};

struct ExtractReport {
  std::vector<ExtractedFile> files;  // in the order of the index script
  // Resources left out or that a pool cannot give back exactly, one sentence
  // each ("group icon APP: its image 7 is missing, so it is left out").
  std::vector<std::string> notes;
  size_t leftOut = 0;  // resources not written at all
};

// The type word a pool entry needs to make resources of `type` again (ICON
// for a group icon, RCDATA for 10, the number for a type with no file form).
std::string PoolTypeWord(const ResourceId& type);

// Writes every resource of `contents` (read from `file`) into `folder`
// (which ends in a separator and exists), then the index script. A file of
// the same name is replaced. Throws IoError (naming the path) when a file
// cannot be written, FormatError when the file's data cannot be read.
ExtractReport ExtractResources(ByteSource& file, const ResourceFileContents& contents, const std::string& folder);

}  // namespace kovan
