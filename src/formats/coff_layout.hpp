// The sizes of the records of a COFF object file and of the resource
// directory inside it, shared by the object writer and the resource reader.
#pragma once

#include <cstdint>

namespace kovan::coff {

constexpr uint32_t kFileHeaderSize = 20;
constexpr uint32_t kSectionHeaderSize = 40;
constexpr uint32_t kSymbolSize = 18;
constexpr uint32_t kRelocationSize = 10;
constexpr uint32_t kDirectorySize = 16;  // a resource directory's header
constexpr uint32_t kDirectoryEntrySize = 8;
constexpr uint32_t kDataEntrySize = 16;

}  // namespace kovan::coff
