#include "formats/coff_resource_object.hpp"

#include <algorithm>
#include <cstdio>
#include <string>
#include <unordered_map>

#include "formats/coff_layout.hpp"
#include "formats/format_error.hpp"

namespace kovan {

namespace {

using namespace coff;
constexpr uint32_t kFixedSymbols = 5;  // @feat.00, and each section with its auxiliary record
constexpr uint32_t kSubdirectoryBit = 0x80000000;
constexpr uint16_t kMachine32Bit = 0x0100;
constexpr uint32_t kReadableData = 0x40000040;  // initialised data, readable
constexpr uint8_t kStaticSymbol = 3;
constexpr uint16_t kAbsoluteSection = 0xFFFF;
// Marks the object safe for /SAFESEH (bit 0) and built for guarded calls (bit 4).
constexpr uint32_t kFeatures = 0x11;

uint16_t RelocationType(CoffMachine machine) {
  switch (machine) {
    case CoffMachine::X86: return 7;    // 32-bit address relative to the image base
    case CoffMachine::X64: return 3;    // the same on x64
    case CoffMachine::Arm64: return 2;  // and on ARM64
  }
  return 0;
}

struct LanguageNode {
  uint16_t language;
  size_t resource;
};

// A named node keeps the index of its string: the strings are stored in the
// order their nodes first appear, not in the sorted order.
struct NameNode {
  ResourceId id;
  size_t string = 0;
  std::vector<LanguageNode> languages;
};

struct TypeNode {
  ResourceId id;
  size_t string = 0;
  std::vector<NameNode> names;
  std::unordered_map<std::u16string, size_t> nameIndex;  // by IdKey
};

std::u16string IdKey(const ResourceId& id) {
  return id.numbered ? std::u16string{u'#', static_cast<char16_t>(id.number)} : u"$" + id.name;
}

template <typename Node>
void SortById(std::vector<Node>& nodes) {
  std::sort(nodes.begin(), nodes.end(), [](const Node& a, const Node& b) { return CompareResourceIds(a.id, b.id) < 0; });
}

TypeNode& FindOrAddType(std::vector<TypeNode>& types, const ResourceId& id, std::vector<std::u16string>& strings) {
  for (TypeNode& type : types) {
    if (type.id == id) return type;
  }
  types.push_back(TypeNode{id, strings.size(), {}, {}});
  if (!id.numbered) strings.push_back(id.name);
  return types.back();
}

NameNode& FindOrAddName(TypeNode& type, const ResourceId& id, std::vector<std::u16string>& strings) {
  auto [it, added] = type.nameIndex.try_emplace(IdKey(id), type.names.size());
  if (added) {
    type.names.push_back(NameNode{id, strings.size(), {}});
    if (!id.numbered) strings.push_back(id.name);
  }
  return type.names[it->second];
}

std::string SectionHeader(std::string_view name, uint32_t size, uint32_t dataAt, uint32_t relocationsAt,
                          uint16_t relocations) {
  std::string out(name);
  out.resize(8, '\0');
  AppendLe32(out, 0);  // virtual size
  AppendLe32(out, 0);  // virtual address
  AppendLe32(out, size);
  AppendLe32(out, dataAt);
  AppendLe32(out, relocationsAt);
  AppendLe32(out, 0);  // line numbers
  AppendLe16(out, relocations);
  AppendLe16(out, 0);
  AppendLe32(out, kReadableData);
  return out;
}

void AppendSymbol(std::string& out, std::string_view name, uint32_t value, uint16_t section, uint8_t auxCount) {
  std::string field(name);
  field.resize(8, '\0');
  out += field;
  AppendLe32(out, value);
  AppendLe16(out, section);
  AppendLe16(out, 0);  // type
  out.push_back(static_cast<char>(kStaticSymbol));
  out.push_back(static_cast<char>(auxCount));
}

void AppendSectionAux(std::string& out, uint32_t length, uint16_t relocations) {
  AppendLe32(out, length);
  AppendLe16(out, relocations);
  out.append(kSymbolSize - 6, '\0');
}

std::string DirectoryHeader(uint16_t named, uint16_t numbered) {
  std::string out(12, '\0');  // characteristics, time stamp, version
  AppendLe16(out, named);
  AppendLe16(out, numbered);
  return out;
}

template <typename Node>
std::pair<uint16_t, uint16_t> CountKinds(const std::vector<Node>& nodes) {
  const auto named = std::count_if(nodes.begin(), nodes.end(), [](const Node& n) { return !n.id.numbered; });
  return {static_cast<uint16_t>(named), static_cast<uint16_t>(nodes.size() - static_cast<size_t>(named))};
}

uint64_t Align(uint64_t value, uint64_t to) { return (value + to - 1) / to * to; }

std::string Describe(const ObjectResource& r) {
  return "type " + ResourceIdText(r.type) + ", name " + ResourceIdText(r.name) + ", language " +
         std::to_string(r.language);
}

}  // namespace

void WriteResourceObject(ByteSink& sink, CoffMachine machine, uint32_t timestamp,
                         const std::vector<ObjectResource>& resources,
                         const std::function<void(size_t index, ByteSink& sink)>& writeData) {
  if (resources.size() > 0xFFFF) {
    throw FormatError("an object file holds at most 65535 resources, not " + std::to_string(resources.size()));
  }
  // Types are few and found by a plain search; names can be many thousands.
  std::vector<TypeNode> types;
  std::vector<std::u16string> strings;
  for (size_t i = 0; i < resources.size(); ++i) {
    TypeNode& type = FindOrAddType(types, resources[i].type, strings);
    NameNode& name = FindOrAddName(type, resources[i].name, strings);
    for (const LanguageNode& language : name.languages) {
      if (language.language == resources[i].language) {
        throw FormatError("two resources of " + Describe(resources[i]));
      }
    }
    name.languages.push_back({resources[i].language, i});
  }
  SortById(types);
  for (TypeNode& type : types) {
    SortById(type.names);
    for (NameNode& name : type.names) {
      std::sort(name.languages.begin(), name.languages.end(),
                [](const LanguageNode& a, const LanguageNode& b) { return a.language < b.language; });
    }
  }

  // Where everything goes in .rsrc$01: the directories level by level, the
  // data entries in the same order, then the strings.
  uint64_t at = kDirectorySize + kDirectoryEntrySize * uint64_t{types.size()};
  std::vector<uint32_t> typeDirAt;
  for (const TypeNode& type : types) {
    typeDirAt.push_back(static_cast<uint32_t>(at));
    at += kDirectorySize + kDirectoryEntrySize * uint64_t{type.names.size()};
  }
  std::vector<uint32_t> nameDirAt;
  for (const TypeNode& type : types) {
    for (const NameNode& name : type.names) {
      nameDirAt.push_back(static_cast<uint32_t>(at));
      at += kDirectorySize + kDirectoryEntrySize * uint64_t{name.languages.size()};
    }
  }
  std::vector<uint32_t> dataEntryAt(resources.size());
  for (const TypeNode& type : types) {
    for (const NameNode& name : type.names) {
      for (const LanguageNode& language : name.languages) {
        dataEntryAt[language.resource] = static_cast<uint32_t>(at);
        at += kDataEntrySize;
      }
    }
  }
  std::vector<uint32_t> stringAt;
  for (const std::u16string& text : strings) {
    stringAt.push_back(static_cast<uint32_t>(at));
    at += 2 + 2 * uint64_t{text.size()};
  }
  const uint64_t directorySize = Align(at, 4);

  std::vector<uint32_t> dataAt(resources.size());
  uint64_t dataSize = 0;
  for (size_t i = 0; i < resources.size(); ++i) {
    dataAt[i] = static_cast<uint32_t>(dataSize);
    dataSize = Align(dataSize + resources[i].size, 8);
  }
  const uint32_t count = static_cast<uint32_t>(resources.size());
  const uint64_t directoryAt = kFileHeaderSize + 2 * kSectionHeaderSize;
  const uint64_t relocationsAt = directoryAt + directorySize;
  // The data starts on an 8-byte boundary, as the data of every resource does.
  const uint64_t resourceDataAt = Align(relocationsAt + uint64_t{kRelocationSize} * count, 8);
  const uint64_t symbolsAt = resourceDataAt + dataSize;
  if (symbolsAt > 0xFFFFFFFFu) throw FormatError("the resources are too large for one object file (4 GiB at most)");

  std::string out;
  AppendLe16(out, static_cast<uint16_t>(machine));
  AppendLe16(out, 2);
  AppendLe32(out, timestamp);
  AppendLe32(out, static_cast<uint32_t>(symbolsAt));
  AppendLe32(out, kFixedSymbols + count);
  AppendLe16(out, 0);  // no optional header
  AppendLe16(out, kMachine32Bit);
  out += SectionHeader(".rsrc$01", static_cast<uint32_t>(directorySize), static_cast<uint32_t>(directoryAt),
                       static_cast<uint32_t>(relocationsAt), static_cast<uint16_t>(count));
  out += SectionHeader(".rsrc$02", static_cast<uint32_t>(dataSize), static_cast<uint32_t>(resourceDataAt), 0, 0);

  auto entry = [&](const ResourceId& id, size_t string, uint32_t target) {
    AppendLe32(out, id.numbered ? id.number : (stringAt[string] | kSubdirectoryBit));
    AppendLe32(out, target);
  };
  auto [namedTypes, numberedTypes] = CountKinds(types);
  out += DirectoryHeader(namedTypes, numberedTypes);
  for (size_t t = 0; t < types.size(); ++t) entry(types[t].id, types[t].string, typeDirAt[t] | kSubdirectoryBit);
  size_t nameIndex = 0;
  for (const TypeNode& type : types) {
    auto [named, numbered] = CountKinds(type.names);
    out += DirectoryHeader(named, numbered);
    for (const NameNode& name : type.names) entry(name.id, name.string, nameDirAt[nameIndex++] | kSubdirectoryBit);
  }
  for (const TypeNode& type : types) {
    for (const NameNode& name : type.names) {
      out += DirectoryHeader(0, static_cast<uint16_t>(name.languages.size()));
      for (const LanguageNode& language : name.languages) {
        AppendLe32(out, language.language);
        AppendLe32(out, dataEntryAt[language.resource]);
      }
    }
  }
  for (const TypeNode& type : types) {
    for (const NameNode& name : type.names) {
      for (const LanguageNode& language : name.languages) {
        AppendLe32(out, 0);  // the relocation adds the data's place
        AppendLe32(out, resources[language.resource].size);
        AppendLe32(out, 0);  // code page
        AppendLe32(out, 0);
      }
    }
  }
  for (const std::u16string& text : strings) {
    AppendLe16(out, static_cast<uint32_t>(text.size()));
    for (char16_t unit : text) AppendLe16(out, unit);
  }
  out.resize(directoryAt + directorySize, '\0');
  for (uint32_t i = 0; i < count; ++i) {
    AppendLe32(out, dataEntryAt[i]);
    AppendLe32(out, kFixedSymbols + i);
    AppendLe16(out, RelocationType(machine));
  }
  out.resize(resourceDataAt, '\0');
  sink.Write(out);

  for (size_t i = 0; i < resources.size(); ++i) {
    writeData(i, sink);
    sink.WriteZeros(Align(resources[i].size, 8) - resources[i].size);
  }

  out.clear();
  AppendSymbol(out, "@feat.00", kFeatures, kAbsoluteSection, 0);
  AppendSymbol(out, ".rsrc$01", 0, 1, 1);
  AppendSectionAux(out, static_cast<uint32_t>(directorySize), static_cast<uint16_t>(count));
  AppendSymbol(out, ".rsrc$02", 0, 2, 1);
  AppendSectionAux(out, static_cast<uint32_t>(dataSize), 0);
  for (uint32_t i = 0; i < count; ++i) {
    char name[12];
    std::snprintf(name, sizeof name, "$R%06X", i & 0xFFFFFFu);
    AppendSymbol(out, name, dataAt[i], 2, 0);
  }
  AppendLe32(out, 0);  // an empty string table
  sink.Write(out);
}

}  // namespace kovan
