// The resources held by a compiled resource file (.RES), a COFF object file
// that carries a resource directory, or a program or library (PE image): one
// list of type, name, language and where each resource's data lies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/byte_io.hpp"
#include "formats/resource_id.hpp"

namespace kovan {

enum class ResourceFileKind { Res, Object, Program };

struct FoundResource {
  ResourceId type;
  ResourceId name;
  uint16_t language = 0;
  uint32_t size = 0;
  uint64_t dataOffset = 0;  // where the data starts in the file
};

struct ResourceFileContents {
  ResourceFileKind kind = ResourceFileKind::Res;
  uint16_t machine = 0;  // the COFF machine number of an object or program; 0 for .RES
  // In file order for a .RES file, in directory order otherwise.
  std::vector<FoundResource> resources;
};

// Reads the resource list of `file`, whichever of the three kinds it is.
// Reads the headers and the directory only, never the resources' data.
// Throws FormatError saying where the file broke (a byte offset and what was
// expected there) when it is none of the kinds or does not hold together:
// every offset is checked against the file, and a directory reached twice
// (a loop) is refused, so damaged input ends in an error, not a hang.
ResourceFileContents ReadResourceFile(ByteSource& file);

// ".RES file", "object file" or "program".
const char* ResourceFileKindName(ResourceFileKind kind);
// "x86", "x64", "arm64", or the number in hex for another machine.
std::string CoffMachineName(uint16_t machine);

// The name of a standard resource type ("RCDATA" for 10), or nullptr.
const char* StandardTypeName(uint16_t number);

}  // namespace kovan
