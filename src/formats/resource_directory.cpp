#include "formats/resource_directory.hpp"

#include <cstdio>
#include <functional>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "formats/coff_layout.hpp"
#include "formats/format_error.hpp"
#include "formats/res_file.hpp"

namespace kovan {

namespace {

using namespace coff;
constexpr uint32_t kHighBit = 0x80000000;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kResourceDataDirectory = 2;

std::string At(uint64_t offset) { return "at byte " + std::to_string(offset); }

std::string ReadBytes(ByteSource& file, uint64_t offset, uint64_t count, const char* what) {
  if (offset > file.Size() || count > file.Size() - offset) {
    throw FormatError("the " + std::string(what) + " " + At(offset) + " runs past the end of the file");
  }
  std::string bytes(static_cast<size_t>(count), '\0');
  file.ReadAt(offset, bytes.data(), bytes.size());
  return bytes;
}

struct Section {
  std::string name;
  uint32_t virtualSize = 0;
  uint32_t virtualAddress = 0;
  uint32_t rawSize = 0;
  uint32_t rawOffset = 0;
  uint32_t relocationsOffset = 0;
  uint16_t relocationCount = 0;
};

std::vector<Section> ReadSections(ByteSource& file, uint64_t tableAt, uint16_t count) {
  const std::string table = ReadBytes(file, tableAt, uint64_t{count} * kSectionHeaderSize, "section table");
  std::vector<Section> sections(count);
  for (uint16_t i = 0; i < count; ++i) {
    const size_t at = size_t{i} * kSectionHeaderSize;
    Section& s = sections[i];
    s.name = table.substr(at, 8);
    s.name.resize(s.name.find('\0') == std::string::npos ? 8 : s.name.find('\0'));
    s.virtualSize = ReadLe32(table, at + 8);
    s.virtualAddress = ReadLe32(table, at + 12);
    s.rawSize = ReadLe32(table, at + 16);
    s.rawOffset = ReadLe32(table, at + 20);
    s.relocationsOffset = ReadLe32(table, at + 24);
    s.relocationCount = ReadLe16(table, at + 32);
  }
  return sections;
}

// Walks a resource directory held in `dir`, whose offsets count from its
// first byte; `dirAt` is where that byte lies in the file, for messages.
// `dataEntry(offset)` turns the data entry at `offset` of `dir` into the
// file offset of the resource's data, checking that `size` bytes fit.
class DirectoryWalker {
 public:
  using DataLocator = std::function<uint64_t(uint32_t entryOffset, uint32_t size)>;

  DirectoryWalker(std::string_view dir, uint64_t dirAt, DataLocator locate)
      : dir_(dir), dirAt_(dirAt), locate_(std::move(locate)) {}

  std::vector<FoundResource> Walk() {
    std::vector<FoundResource> out;
    FoundResource current;
    WalkTable(0, 0, current, out);
    return out;
  }

 private:
  FormatError Broken(uint32_t offset, const std::string& what) const {
    return FormatError("the resource directory is damaged " + At(dirAt_ + offset) + ": " + what);
  }

  void Need(uint32_t offset, uint64_t count, const char* what) const {
    if (offset > dir_.size() || count > dir_.size() - offset) {
      throw Broken(offset, std::string(what) + " lies outside the resource directory");
    }
  }

  ResourceId ReadId(uint32_t field, uint32_t entryAt, bool numberOnly) const {
    if (field & kHighBit) {
      if (numberOnly) throw Broken(entryAt, "a language is given by name");
      const uint32_t at = field & ~kHighBit;
      Need(at, 2, "a name");
      const uint32_t length = ReadLe16(dir_, at);
      Need(at + 2, uint64_t{length} * 2, "a name");
      std::u16string name(length, u'\0');
      for (uint32_t i = 0; i < length; ++i) name[i] = ReadLe16(dir_, at + 2 + 2 * i);
      return ResourceId::Name(std::move(name));
    }
    if (field > 0xFFFF) throw Broken(entryAt, "the number " + std::to_string(field) + " is larger than 65535");
    return ResourceId::Number(static_cast<uint16_t>(field));
  }

  // level 0 lists types, 1 names, 2 languages.
  void WalkTable(uint32_t at, int level, FoundResource& current, std::vector<FoundResource>& out) {
    if (!seen_.insert(at).second) throw Broken(at, "a directory is reached twice");
    Need(at, kDirectorySize, "a directory");
    const uint32_t count = uint32_t{ReadLe16(dir_, at + 12)} + ReadLe16(dir_, at + 14);
    Need(at + kDirectorySize, uint64_t{count} * kDirectoryEntrySize, "a directory's entries");
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t entryAt = at + kDirectorySize + i * kDirectoryEntrySize;
      const uint32_t nameField = ReadLe32(dir_, entryAt);
      const uint32_t target = ReadLe32(dir_, entryAt + 4);
      ResourceId id = ReadId(nameField, entryAt, level == 2);
      if (level < 2) {
        if (!(target & kHighBit)) throw Broken(entryAt, "a resource's data stands where a directory belongs");
        (level == 0 ? current.type : current.name) = std::move(id);
        WalkTable(target & ~kHighBit, level + 1, current, out);
        continue;
      }
      if (target & kHighBit) throw Broken(entryAt, "a directory stands where a resource's data belongs");
      if (!seen_.insert(target).second) throw Broken(target, "a resource's data entry is reached twice");
      Need(target, kDataEntrySize, "a data entry");
      current.language = id.number;
      current.size = ReadLe32(dir_, target + 4);
      current.dataOffset = locate_(target, current.size);
      out.push_back(current);
    }
  }

  std::string_view dir_;
  uint64_t dirAt_;
  DataLocator locate_;
  std::unordered_set<uint32_t> seen_;
};

ResourceFileContents ReadProgram(ByteSource& file) {
  const std::string dos = ReadBytes(file, 0, 64, "DOS header");
  const uint32_t peAt = ReadLe32(dos, 0x3C);
  const std::string head = ReadBytes(file, peAt, 4 + kFileHeaderSize, "PE header");
  if (head.compare(0, 4, std::string("PE\0\0", 4)) != 0) {
    throw FormatError("no PE signature " + At(peAt) + " (an MS-DOS program, or damaged)");
  }
  ResourceFileContents contents;
  contents.kind = ResourceFileKind::Program;
  contents.machine = ReadLe16(head, 4);
  const uint16_t sectionCount = ReadLe16(head, 6);
  const uint16_t optionalSize = ReadLe16(head, 20);
  const uint64_t optionalAt = uint64_t{peAt} + 4 + kFileHeaderSize;
  const std::string optional = ReadBytes(file, optionalAt, optionalSize, "optional header");
  if (optional.size() < 2) throw FormatError("the optional header " + At(optionalAt) + " is missing");
  const uint16_t magic = ReadLe16(optional, 0);
  if (magic != kPe32Magic && magic != kPe32PlusMagic) {
    throw FormatError("the optional header " + At(optionalAt) + " is of an unknown kind");
  }
  const size_t countAt = magic == kPe32Magic ? 92 : 108;
  const size_t directoriesAt = countAt + 4;
  if (optional.size() < directoriesAt) {
    throw FormatError("the optional header " + At(optionalAt) + " is too short for its data directories");
  }
  const uint32_t directoryCount = ReadLe32(optional, countAt);
  const size_t resourceAt = directoriesAt + kResourceDataDirectory * 8;
  if (directoryCount <= kResourceDataDirectory || resourceAt + 8 > optional.size()) return contents;
  const uint32_t rootRva = ReadLe32(optional, resourceAt);
  if (rootRva == 0) return contents;

  const std::vector<Section> sections = ReadSections(file, optionalAt + optionalSize, sectionCount);
  // The section holding `rva`, with `size` bytes from there in its file data.
  auto sectionOf = [&](uint32_t rva, uint64_t size) -> const Section* {
    for (const Section& s : sections) {
      if (rva >= s.virtualAddress && uint64_t{rva} - s.virtualAddress + size <= s.rawSize) return &s;
    }
    return nullptr;
  };
  const Section* home = sectionOf(rootRva, kDirectorySize);
  if (home == nullptr) {
    throw FormatError("the resource directory's address " + std::to_string(rootRva) + " lies in no section's data");
  }
  if (uint64_t{home->rawOffset} + home->rawSize > file.Size()) {
    throw FormatError("the section " + home->name + " (its data " + At(home->rawOffset) +
                      ") runs past the end of the file");
  }
  const uint32_t rootInSection = rootRva - home->virtualAddress;
  const uint64_t rootAt = uint64_t{home->rawOffset} + rootInSection;
  const std::string dir = ReadBytes(file, rootAt, home->rawSize - rootInSection, "resource directory");
  DirectoryWalker walker(dir, rootAt, [&](uint32_t entry, uint32_t size) -> uint64_t {
    const uint32_t rva = ReadLe32(dir, entry);
    const Section* s = sectionOf(rva, size);
    if (s == nullptr || uint64_t{s->rawOffset} + s->rawSize > file.Size()) {
      throw FormatError("the resource data entry " + At(rootAt + entry) + " points at " + std::to_string(size) +
                        " bytes from address " + std::to_string(rva) + ", which lie outside the file's sections");
    }
    return uint64_t{s->rawOffset} + (rva - s->virtualAddress);
  });
  contents.resources = walker.Walk();
  return contents;
}

// The relocation type that writes a 32-bit image-relative address, which is
// how an object's data entries point at the resources' data.
std::optional<uint16_t> ImageRelativeRelocation(uint16_t machine) {
  switch (machine) {
    case 0x014C: return 7;  // x86
    case 0x8664: return 3;  // x64
    case 0xAA64: return 2;  // ARM64
    case 0x01C4: return 2;  // ARM Thumb-2
    default: return std::nullopt;
  }
}

bool IsKnownObjectMachine(uint16_t machine) { return ImageRelativeRelocation(machine).has_value(); }

ResourceFileContents ReadObject(ByteSource& file) {
  const std::string head = ReadBytes(file, 0, kFileHeaderSize, "COFF header");
  ResourceFileContents contents;
  contents.kind = ResourceFileKind::Object;
  contents.machine = ReadLe16(head, 0);
  const uint16_t sectionCount = ReadLe16(head, 2);
  const uint32_t symbolsAt = ReadLe32(head, 8);
  const uint32_t symbolCount = ReadLe32(head, 12);
  const std::vector<Section> sections =
      ReadSections(file, kFileHeaderSize + uint64_t{ReadLe16(head, 16)}, sectionCount);
  // Compilers put the directory in .rsrc$01 and the data in .rsrc$02; some
  // write one section .rsrc with both.
  const Section* home = nullptr;
  for (const std::string_view wanted : {".rsrc$01", ".rsrc"}) {
    for (const Section& s : sections) {
      if (home == nullptr && s.name == wanted) home = &s;
    }
  }
  if (home == nullptr) throw FormatError("the object file has no resource section (.rsrc$01 or .rsrc)");
  const std::string dir = ReadBytes(file, home->rawOffset, home->rawSize, "resource section");
  const std::string relocationBytes = ReadBytes(file, home->relocationsOffset,
                                                uint64_t{home->relocationCount} * kRelocationSize,
                                                "resource section's relocations");
  std::unordered_map<uint32_t, uint32_t> symbolAt;  // offset in the section -> symbol index
  const uint16_t wantedType = *ImageRelativeRelocation(contents.machine);
  for (uint32_t i = 0; i < home->relocationCount; ++i) {
    const size_t at = size_t{i} * kRelocationSize;
    const uint16_t type = ReadLe16(relocationBytes, at + 8);
    if (type != wantedType) {
      throw FormatError("the relocation " + At(home->relocationsOffset + at) + " is of type " + std::to_string(type) +
                        ", not the image-relative address a resource's data entry takes");
    }
    symbolAt[ReadLe32(relocationBytes, at)] = ReadLe32(relocationBytes, at + 4);
  }
  DirectoryWalker walker(dir, home->rawOffset, [&](uint32_t entry, uint32_t size) -> uint64_t {
    const auto found = symbolAt.find(entry);
    if (found == symbolAt.end()) {
      throw FormatError("the resource data entry " + At(home->rawOffset + entry) + " has no relocation");
    }
    if (found->second >= symbolCount) {
      throw FormatError("the relocation of the data entry " + At(home->rawOffset + entry) + " names symbol " +
                        std::to_string(found->second) + " of " + std::to_string(symbolCount));
    }
    const uint64_t symbolOffset = symbolsAt + uint64_t{found->second} * kSymbolSize;
    const std::string symbol = ReadBytes(file, symbolOffset, kSymbolSize, "symbol");
    const uint16_t section = ReadLe16(symbol, 12);
    if (section == 0 || section > sections.size()) {
      throw FormatError("the symbol " + At(symbolOffset) + " is in no section of the file");
    }
    const Section& data = sections[section - 1u];
    const uint64_t inSection = uint64_t{ReadLe32(symbol, 8)} + ReadLe32(dir, entry);
    if (inSection + size > data.rawSize || uint64_t{data.rawOffset} + data.rawSize > file.Size()) {
      throw FormatError("the resource of the data entry " + At(home->rawOffset + entry) +
                        " lies outside its section " + data.name);
    }
    return data.rawOffset + inSection;
  });
  contents.resources = walker.Walk();
  return contents;
}

ResourceFileContents ReadRes(ByteSource& file) {
  ResourceFileContents contents;
  contents.kind = ResourceFileKind::Res;
  for (ResEntry& entry : ReadResEntries(file)) {
    FoundResource& r = contents.resources.emplace_back();
    r.type = std::move(entry.header.type);
    r.name = std::move(entry.header.name);
    r.language = entry.header.language;
    r.size = entry.header.dataSize;
    r.dataOffset = entry.dataOffset;
  }
  return contents;
}

}  // namespace

ResourceFileContents ReadResourceFile(ByteSource& file) {
  const std::string start = ResFileStart();
  const uint64_t size = file.Size();
  std::string head(size < start.size() ? static_cast<size_t>(size) : start.size(), '\0');
  file.ReadAt(0, head.data(), head.size());
  if (head.size() >= 2 && head.compare(0, 2, "MZ") == 0) return ReadProgram(file);
  if (head == start) return ReadRes(file);
  if (head.size() >= kFileHeaderSize && IsKnownObjectMachine(ReadLe16(head, 0))) return ReadObject(file);
  throw FormatError("not a .RES file, an object file or a program");
}

const char* ResourceFileKindName(ResourceFileKind kind) {
  switch (kind) {
    case ResourceFileKind::Res: return ".RES file";
    case ResourceFileKind::Object: return "object file";
    case ResourceFileKind::Program: return "program";
  }
  return "";
}

std::string CoffMachineName(uint16_t machine) {
  switch (machine) {
    case 0x014C: return "x86";
    case 0x8664: return "x64";
    case 0xAA64: return "arm64";
    case 0x01C4: return "arm";
    default: {
      char text[8];
      std::snprintf(text, sizeof text, "0x%04X", machine);
      return text;
    }
  }
}

const char* StandardTypeName(uint16_t number) {
  static constexpr const char* kNames[] = {
      nullptr,  "CURSOR",      "BITMAP",     "ICON",         "MENU",       "DIALOG",  "STRING",   "FONTDIR",
      "FONT",   "ACCELERATOR", "RCDATA",     "MESSAGETABLE", "GROUP_CURSOR", nullptr, "GROUP_ICON", nullptr,
      "VERSION", "DLGINCLUDE", nullptr,      "PLUGPLAY",     "VXD",        "ANICURSOR", "ANIICON", "HTML",
      "MANIFEST"};
  return number < std::size(kNames) ? kNames[number] : nullptr;
}

}  // namespace kovan
