// Reads back what a resource compiler wrote: the resources of a .RES file
// (type, name, data bytes) and the machine and section names of a COFF
// object file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kovan::test {

struct ResResource {
  std::string type;  // a name, or "#" and the number of a numbered type
  std::string name;
  std::string data;
};

namespace detail {

inline uint32_t Le(const std::string& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = 0; i < size && at + i < bytes.size(); ++i) {
    value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
  }
  return value;
}

// A type or name field: 0xFFFF and a number, or a UTF-16 text ending in zero
// (ASCII is all these tests use, other units are kept as '?').
inline std::string NameOrNumber(const std::string& bytes, size_t& at) {
  if (Le(bytes, at, 2) == 0xFFFF) {
    const uint32_t number = Le(bytes, at + 2, 2);
    at += 4;
    return "#" + std::to_string(number);
  }
  std::string text;
  for (uint32_t unit; at + 1 < bytes.size() && (unit = Le(bytes, at, 2)) != 0; at += 2) {
    text += unit < 0x80 ? static_cast<char>(unit) : '?';
  }
  at += 2;
  return text;
}

}  // namespace detail

// The resources in file order, without the empty entry that opens the file.
// Stops at the first entry that does not fit.
inline std::vector<ResResource> ReadResFile(const std::string& bytes) {
  std::vector<ResResource> resources;
  size_t at = 0;
  while (at + 8 <= bytes.size()) {
    const uint32_t dataSize = detail::Le(bytes, at, 4);
    const uint32_t headerSize = detail::Le(bytes, at + 4, 4);
    if (headerSize < 16 || at + headerSize + dataSize > bytes.size()) break;
    size_t field = at + 8;
    ResResource resource;
    resource.type = detail::NameOrNumber(bytes, field);
    resource.name = detail::NameOrNumber(bytes, field);
    resource.data = bytes.substr(at + headerSize, dataSize);
    if (resource.type != "#0") resources.push_back(std::move(resource));
    at += headerSize + dataSize;
    at = (at + 3) & ~size_t{3};
  }
  return resources;
}

struct CoffObject {
  uint16_t machine = 0;
  std::vector<std::string> sections;
};

inline CoffObject ReadCoffObject(const std::string& bytes) {
  CoffObject object;
  if (bytes.size() < 20) return object;
  object.machine = static_cast<uint16_t>(detail::Le(bytes, 0, 2));
  const uint32_t count = detail::Le(bytes, 2, 2);
  const size_t table = 20 + detail::Le(bytes, 16, 2);
  for (uint32_t i = 0; i < count && table + 40 * (i + 1) <= bytes.size(); ++i) {
    const std::string name = bytes.substr(table + 40 * i, 8);
    object.sections.push_back(name.substr(0, name.find('\0')));
  }
  return object;
}

}  // namespace kovan::test
