// The COFF object file that carries resources to the linker: the resource
// directory in a section .rsrc$01 and the resources' data in .rsrc$02, tied
// together by one relocation per resource.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "formats/byte_io.hpp"
#include "formats/resource_id.hpp"

namespace kovan {

enum class CoffMachine : uint16_t { X86 = 0x014C, X64 = 0x8664, Arm64 = 0xAA64 };

struct ObjectResource {
  ResourceId type;
  ResourceId name;
  uint16_t language = 0;
  uint32_t size = 0;
};

// Writes the object for `resources` into `sink`. The directory lists them in
// the loader's order; their data follows in the order given, each written by
// `writeData(index, sink)`, which must write exactly the resource's size.
// `timestamp` goes into the file header (0 keeps builds reproducible).
// Throws FormatError when two resources share type, name and language, or
// when they are too many or too large for one object.
void WriteResourceObject(ByteSink& sink, CoffMachine machine, uint32_t timestamp,
                         const std::vector<ObjectResource>& resources,
                         const std::function<void(size_t index, ByteSink& sink)>& writeData);

}  // namespace kovan
