// The compiled resource file (.RES): a run of entries, each a header that
// names the resource's type, name and language, then its data, every header
// and every data block starting on a 4-byte boundary. The file opens with an
// empty entry that marks it as the 32-bit kind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/byte_io.hpp"
#include "formats/resource_id.hpp"

namespace kovan {

// Memory flags a resource compiler gives: movable and pure for most data,
// movable and discardable for icon and cursor images, all three for their groups.
namespace memory_flags {
inline constexpr uint16_t kData = 0x0030;
inline constexpr uint16_t kImage = 0x1010;
inline constexpr uint16_t kGroup = 0x1030;
}  // namespace memory_flags

// English (United States), the language a resource gets when none is stated.
inline constexpr uint16_t kDefaultLanguage = 0x0409;

struct ResourceHeader {
  ResourceId type;
  ResourceId name;
  uint32_t dataSize = 0;
  uint32_t dataVersion = 0;
  uint16_t memoryFlags = memory_flags::kData;
  uint16_t language = kDefaultLanguage;
  uint32_t version = 0;
  uint32_t characteristics = 0;
};

// The empty entry every file starts with.
std::string ResFileStart();
// An entry's header; its data and then ResPadding(dataSize) zero bytes follow.
std::string ResEntryHeader(const ResourceHeader& header);
inline uint32_t ResPadding(uint64_t dataSize) { return static_cast<uint32_t>((4 - dataSize % 4) % 4); }

struct ResEntry {
  ResourceHeader header;
  uint64_t dataOffset = 0;  // where the data starts in the file
};

// The resources of a .RES file in file order, without the opening empty
// entry. Reads only the headers. Throws FormatError when the file is not a
// 32-bit .RES file or an entry does not fit it.
std::vector<ResEntry> ReadResEntries(ByteSource& file);

}  // namespace kovan
