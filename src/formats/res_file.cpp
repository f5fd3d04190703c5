#include "formats/res_file.hpp"

#include "formats/format_error.hpp"

namespace kovan {

namespace {

constexpr uint32_t kFixedTail = 16;  // data version, flags, language, version, characteristics
constexpr uint32_t kMinimumHeader = 8 + 4 + 4 + kFixedTail;

void AppendId(std::string& out, const ResourceId& id) {
  if (id.numbered) {
    AppendLe16(out, 0xFFFF);
    AppendLe16(out, id.number);
    return;
  }
  for (char16_t unit : id.name) AppendLe16(out, unit);
  AppendLe16(out, 0);
}

// A type or name field starting at `at` within the header bytes; moves `at`
// past it.
ResourceId ReadId(std::string_view header, size_t& at, size_t entry) {
  auto fail = [&] {
    return FormatError("the .RES entry at byte " + std::to_string(entry) + " has a type or name that does not fit its header");
  };
  if (at + 2 > header.size()) throw fail();
  if (ReadLe16(header, at) == 0xFFFF) {
    if (at + 4 > header.size()) throw fail();
    const uint16_t number = ReadLe16(header, at + 2);
    at += 4;
    return ResourceId::Number(number);
  }
  std::u16string name;
  for (;;) {
    if (at + 2 > header.size()) throw fail();
    const char16_t unit = ReadLe16(header, at);
    at += 2;
    if (unit == 0) break;
    name.push_back(unit);
  }
  return ResourceId::Name(std::move(name));
}

}  // namespace

void MemorySource::ReadAt(uint64_t offset, char* out, size_t count) {
  if (offset > bytes_.size() || count > bytes_.size() - offset) throw FormatError("the file ends too early");
  bytes_.copy(out, count, offset);
}

std::string ResFileStart() {
  ResourceHeader empty;
  empty.memoryFlags = 0;
  empty.language = 0;
  return ResEntryHeader(empty);
}

std::string ResEntryHeader(const ResourceHeader& header) {
  std::string out;
  AppendLe32(out, header.dataSize);
  AppendLe32(out, 0);  // the header's size, filled in below
  AppendId(out, header.type);
  AppendId(out, header.name);
  out.resize((out.size() + 3) & ~size_t{3}, '\0');
  AppendLe32(out, header.dataVersion);
  AppendLe16(out, header.memoryFlags);
  AppendLe16(out, header.language);
  AppendLe32(out, header.version);
  AppendLe32(out, header.characteristics);
  PutLe32(out, 4, static_cast<uint32_t>(out.size()));
  return out;
}

std::vector<ResEntry> ReadResEntries(ByteSource& file) {
  const uint64_t size = file.Size();
  std::string first(kMinimumHeader, '\0');
  if (size < kMinimumHeader) throw FormatError("not a .RES file");
  file.ReadAt(0, first.data(), first.size());
  if (first != ResFileStart()) throw FormatError("not a 32-bit .RES file");
  std::vector<ResEntry> entries;
  uint64_t at = kMinimumHeader;
  while (at < size) {
    if (size - at < 8) throw FormatError("the .RES file ends inside the entry at byte " + std::to_string(at));
    char sizes[8];
    file.ReadAt(at, sizes, sizeof sizes);
    const uint32_t dataSize = ReadLe32(std::string_view(sizes, 8), 0);
    const uint32_t headerSize = ReadLe32(std::string_view(sizes, 8), 4);
    if (headerSize < kMinimumHeader || headerSize % 4 != 0 || headerSize > size - at ||
        dataSize > size - at - headerSize) {
      throw FormatError("the .RES entry at byte " + std::to_string(at) + " does not fit the file");
    }
    std::string header(headerSize, '\0');
    file.ReadAt(at, header.data(), header.size());
    ResEntry entry;
    size_t field = 8;
    entry.header.type = ReadId(header, field, at);
    entry.header.name = ReadId(header, field, at);
    field = (field + 3) & ~size_t{3};
    if (field + kFixedTail > header.size()) {
      throw FormatError("the .RES entry at byte " + std::to_string(at) + " has a header too short for its names");
    }
    entry.header.dataSize = dataSize;
    entry.header.dataVersion = ReadLe32(header, field);
    entry.header.memoryFlags = ReadLe16(header, field + 4);
    entry.header.language = ReadLe16(header, field + 6);
    entry.header.version = ReadLe32(header, field + 8);
    entry.header.characteristics = ReadLe32(header, field + 12);
    entry.dataOffset = at + headerSize;
    entries.push_back(std::move(entry));
    at += uint64_t{headerSize} + dataSize;
    at += ResPadding(at);
  }
  return entries;
}

}  // namespace kovan
