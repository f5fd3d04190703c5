#include "pool/builtin_compiler.hpp"

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "base/streamed_file.hpp"
#include "base/text.hpp"
#include "formats/bitmap_file.hpp"
#include "formats/format_error.hpp"
#include "formats/icon_file.hpp"

namespace kovan {

namespace {

constexpr size_t kCopyChunk = size_t{1} << 20;
constexpr uint64_t kLargestResource = 0xFFFFFFFFu;

struct NamedType {
  const char* name;
  uint16_t number;
};

// The standard types that a script line can take from a file.
constexpr NamedType kFileTypes[] = {
    {"CURSOR", 1},        {"BITMAP", 2},   {"ICON", 3},      {"FONT", 8},      {"RCDATA", 10},
    {"MESSAGETABLE", 11}, {"DLGINCLUDE", 17}, {"PLUGPLAY", 19}, {"VXD", 20},      {"ANICURSOR", 21},
    {"ANIICON", 22},      {"HTML", 23},    {"MANIFEST", 24},
};

// The types whose resource is written as a block of statements in a script,
// which a file cannot stand in for.
constexpr const char* kBlockTypes[] = {"ACCELERATORS", "DIALOG", "DIALOGEX", "MENU",
                                       "MENUEX",       "STRINGTABLE", "VERSIONINFO"};

// One resource of the output: its header and where its data comes from. The
// data is `prefix` followed by `fileBytes` bytes of the entry's file from
// `fileOffset` (an icon group is all prefix, a cursor image has its hot spot
// as the prefix).
struct PlannedResource {
  ResourceHeader header;
  size_t entry = 0;
  std::string prefix;
  uint64_t fileOffset = 0;
  uint32_t fileBytes = 0;
};

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A text of digits as a 16-bit number; nothing when it is larger.
std::optional<uint16_t> SmallNumber(std::string_view digits) {
  uint32_t value = 0;
  for (char c : digits) {
    value = value * 10 + static_cast<uint32_t>(c - '0');
    if (value > 0xFFFF) return std::nullopt;
  }
  return static_cast<uint16_t>(value);
}

class EntryFault : public Error {
 public:
  using Error::Error;
};

ResourceId KeyId(const std::string& key) {
  if (key.empty()) throw EntryFault("it has no key name");
  if (AllDigits(key)) {
    const auto number = SmallNumber(key);
    if (!number) throw EntryFault("the key name " + key + " is a number larger than 65535");
    return ResourceId::Number(*number);
  }
  return ResourceId::Name(Utf8ToUtf16(AsciiUpper(key)));
}

ResourceId TypeId(const std::string& type) {
  const std::string upper = AsciiUpper(type);
  if (upper.empty()) throw EntryFault("it has no resource type");
  for (const NamedType& named : kFileTypes) {
    if (upper == named.name) return ResourceId::Number(named.number);
  }
  for (const char* block : kBlockTypes) {
    if (upper == block) throw EntryFault("a " + upper + " resource is written as statements and cannot come from a file");
  }
  if (AllDigits(upper)) {
    const auto number = SmallNumber(upper);
    if (!number) throw EntryFault("the type " + type + " is a number larger than 65535");
    return ResourceId::Number(*number);
  }
  return ResourceId::Name(Utf8ToUtf16(upper));
}

std::string EntryLabel(const ResourcePool& pool, size_t i) {
  return "entry " + std::to_string(i + 1) + " (" + pool.Field(i, kKeyName) + ", " + pool.Field(i, kResourceType) +
         ", " + pool.Field(i, kFilePath) + ")";
}

std::string ReadFault(const std::string& path, const IoError& error) {
  return "its file " + path + " cannot be read: " + error.what();
}

// The resources one entry makes, appended to `plan`. `nextImageId` numbers
// icon and cursor images across the whole output.
void PlanEntry(const ResourcePool& pool, size_t i, uint16_t& nextImageId, std::vector<PlannedResource>& plan) {
  const ResourceId name = KeyId(pool.Field(i, kKeyName));
  const ResourceId type = TypeId(pool.Field(i, kResourceType));
  const std::string& path = pool.Field(i, kFilePath);
  std::optional<FileReader> file;
  try {
    file.emplace(path);
  } catch (const IoError& error) {
    throw EntryFault(ReadFault(path, error));
  }
  const uint64_t size = file->Size();
  if (size > kLargestResource) throw EntryFault("its file is 4 GiB or larger, more than a resource can hold");

  auto add = [&](ResourceId resType, ResourceId resName, uint16_t flags) -> PlannedResource& {
    PlannedResource& r = plan.emplace_back();
    r.header.type = std::move(resType);
    r.header.name = std::move(resName);
    r.header.memoryFlags = flags;
    r.entry = i;
    return r;
  };

  try {
    if (type.numbered && (type.number == resource_type::kIcon || type.number == resource_type::kCursor) &&
        !AllDigits(pool.Field(i, kResourceType))) {
      const IconKind kind = type.number == resource_type::kIcon ? IconKind::Icon : IconKind::Cursor;
      std::string bytes(size, '\0');
      file->ReadAt(0, bytes.data(), bytes.size());
      const std::vector<IconImage> images = ParseIconFile(bytes, kind);
      if (nextImageId - 1u + images.size() > 0xFFFFu) throw EntryFault("the pool holds more than 65535 images");
      const uint16_t firstId = nextImageId;
      for (const IconImage& image : images) {
        PlannedResource& r = add(type, ResourceId::Number(nextImageId++), memory_flags::kImage);
        r.prefix = IconImagePrefix(image, kind);
        r.fileOffset = static_cast<uint64_t>(image.bytes.data() - bytes.data());
        r.fileBytes = static_cast<uint32_t>(image.bytes.size());
        r.header.dataSize = static_cast<uint32_t>(r.prefix.size() + r.fileBytes);
      }
      PlannedResource& group = add(ResourceId::Number(kind == IconKind::Icon ? resource_type::kGroupIcon
                                                                               : resource_type::kGroupCursor),
                                   name, memory_flags::kGroup);
      group.prefix = IconGroupResource(images, kind, firstId);
      group.header.dataSize = static_cast<uint32_t>(group.prefix.size());
      return;
    }
    PlannedResource& r = add(type, name, memory_flags::kData);
    if (type.numbered && type.number == resource_type::kBitmap && !AllDigits(pool.Field(i, kResourceType))) {
      std::string start(size < kBitmapCheckSize ? size : kBitmapCheckSize, '\0');
      file->ReadAt(0, start.data(), start.size());
      CheckBitmapFile(start, size);
      r.fileOffset = kBitmapFileHeaderSize;
    }
    r.fileBytes = static_cast<uint32_t>(size - r.fileOffset);
    r.header.dataSize = r.fileBytes;
  } catch (const FormatError& error) {
    throw EntryFault(error.what());
  } catch (const IoError& error) {
    throw EntryFault(ReadFault(path, error));
  }
}

struct Plan {
  std::vector<PlannedResource> resources;
  std::vector<EntryProblem> problems;
};

Plan MakePlan(const ResourcePool& pool) {
  Plan plan;
  uint16_t nextImageId = 1;
  // Which entry made each type and name first.
  std::map<std::pair<std::u16string, std::u16string>, size_t> made;
  auto key = [](const ResourceId& id) {
    return id.numbered ? std::u16string{u'#', static_cast<char16_t>(id.number)} : u"$" + id.name;
  };
  for (size_t i = 0; i < pool.Count(); ++i) {
    const size_t first = plan.resources.size();
    try {
      PlanEntry(pool, i, nextImageId, plan.resources);
    } catch (const EntryFault& fault) {
      plan.resources.resize(first);
      plan.problems.push_back({i, EntryLabel(pool, i) + ": " + fault.what()});
      continue;
    }
    for (size_t r = first; r < plan.resources.size(); ++r) {
      const ResourceHeader& h = plan.resources[r].header;
      auto [it, added] = made.try_emplace({key(h.type), key(h.name)}, i);
      if (!added) {
        plan.problems.push_back({i, EntryLabel(pool, i) + ": it makes the resource of type " + ResourceIdText(h.type) +
                                        " and name " + ResourceIdText(h.name) + " that " +
                                        EntryLabel(pool, it->second) + " makes too"});
        break;
      }
    }
  }
  return plan;
}

class FileSink : public ByteSink {
 public:
  explicit FileSink(FileReplacer& file) : file_(file) {}
  void Write(std::string_view bytes) override { file_.Write(bytes); }

 private:
  FileReplacer& file_;
};

class FileSource : public ByteSource {
 public:
  explicit FileSource(FileReader& file) : file_(file) {}
  uint64_t Size() const override { return file_.Size(); }
  void ReadAt(uint64_t offset, char* out, size_t count) override { file_.ReadAt(offset, out, count); }

 private:
  FileReader& file_;
};

// Copies `count` bytes of `file` from `offset` into `sink`.
void CopyRange(FileReader& file, uint64_t offset, uint64_t count, std::string& buffer, ByteSink& sink) {
  buffer.resize(kCopyChunk);
  while (count > 0) {
    const size_t n = count < kCopyChunk ? static_cast<size_t>(count) : kCopyChunk;
    file.ReadAt(offset, buffer.data(), n);
    sink.Write(std::string_view(buffer.data(), n));
    offset += n;
    count -= n;
  }
}

// Writes the planned resources' data in order, keeping the last file open,
// since an icon's resources come from one file.
class PlanDataWriter {
 public:
  PlanDataWriter(const ResourcePool& pool, const std::vector<PlannedResource>& plan,
                 const std::function<bool()>& stopRequested)
      : pool_(pool), plan_(plan), stopRequested_(stopRequested) {}

  void Write(size_t index, ByteSink& sink) {
    const PlannedResource& r = plan_[index];
    if (r.entry != entry_ || !file_) {
      if (stopRequested_ && stopRequested_()) throw CompileStopped();
      entry_ = r.entry;
      file_.reset();
      const std::string& path = pool_.Field(r.entry, kFilePath);
      try {
        file_ = std::make_unique<FileReader>(path);
      } catch (const IoError& error) {
        throw PoolCompileError({{r.entry, EntryLabel(pool_, r.entry) + ": " + ReadFault(path, error)}});
      }
    }
    sink.Write(r.prefix);
    try {
      CopyRange(*file_, r.fileOffset, r.fileBytes, buffer_, sink);
    } catch (const IoError& error) {
      if (error.code() != io_code::kReadBeyondEnd) throw;
      throw PoolCompileError(
          {{r.entry, EntryLabel(pool_, r.entry) + ": its file became shorter while it was being compiled"}});
    }
  }

 private:
  const ResourcePool& pool_;
  const std::vector<PlannedResource>& plan_;
  const std::function<bool()>& stopRequested_;
  size_t entry_ = 0;
  std::unique_ptr<FileReader> file_;
  std::string buffer_;
};

std::string JoinProblems(const std::vector<EntryProblem>& problems) {
  std::string text;
  for (const EntryProblem& p : problems) text += (text.empty() ? "" : "\n") + p.text;
  return text;
}

}  // namespace

PoolCompileError::PoolCompileError(std::vector<EntryProblem> problems)
    : Error(JoinProblems(problems)), problems_(std::move(problems)) {}

std::vector<EntryProblem> CheckPoolResources(const ResourcePool& pool) { return MakePlan(pool).problems; }

std::vector<KeyResource> PoolKeyResources(const ResourcePool& pool) {
  Plan plan = MakePlan(pool);
  if (!plan.problems.empty()) throw PoolCompileError(std::move(plan.problems));
  // An entry's own resource comes last in its part of the plan: after the
  // images, an icon's group.
  std::vector<KeyResource> keys;
  keys.reserve(pool.Count());
  for (size_t r = 0; r < plan.resources.size(); ++r) {
    const PlannedResource& planned = plan.resources[r];
    if (r + 1 < plan.resources.size() && plan.resources[r + 1].entry == planned.entry) continue;
    keys.push_back({planned.entry, planned.header.type, planned.header.name, planned.header.dataSize});
  }
  return keys;
}

void CompilePoolBuiltin(const ResourcePool& pool, CompileKind kind, const std::string& outputFile,
                        const BuiltinCompileOptions& options) {
  Plan plan = MakePlan(pool);
  if (!plan.problems.empty()) throw PoolCompileError(std::move(plan.problems));
  FileReplacer output(outputFile);
  FileSink sink(output);
  PlanDataWriter data(pool, plan.resources, options.stopRequested);
  if (kind == CompileKind::Res) {
    sink.Write(ResFileStart());
    for (size_t i = 0; i < plan.resources.size(); ++i) {
      sink.Write(ResEntryHeader(plan.resources[i].header));
      data.Write(i, sink);
      sink.WriteZeros(ResPadding(plan.resources[i].header.dataSize));
    }
  } else {
    std::vector<ObjectResource> resources;
    resources.reserve(plan.resources.size());
    for (const PlannedResource& r : plan.resources) {
      resources.push_back({r.header.type, r.header.name, r.header.language, r.header.dataSize});
    }
    WriteResourceObject(sink, options.machine, options.timestamp, resources,
                        [&](size_t index, ByteSink& out) { data.Write(index, out); });
  }
  if (options.stopRequested && options.stopRequested()) throw CompileStopped();
  output.Commit();
}

void ConvertResToObject(const std::string& resFile, const std::string& outputFile,
                        const BuiltinCompileOptions& options) {
  FileReader input(resFile);
  FileSource source(input);
  const std::vector<ResEntry> entries = ReadResEntries(source);
  std::vector<ObjectResource> resources;
  resources.reserve(entries.size());
  for (const ResEntry& e : entries) {
    resources.push_back({e.header.type, e.header.name, e.header.language, e.header.dataSize});
  }
  FileReplacer output(outputFile);
  FileSink sink(output);
  std::string buffer;
  WriteResourceObject(sink, options.machine, options.timestamp, resources, [&](size_t index, ByteSink& out) {
    if (options.stopRequested && options.stopRequested()) throw CompileStopped();
    CopyRange(input, entries[index].dataOffset, entries[index].header.dataSize, buffer, out);
  });
  output.Commit();
}

uint32_t ReproducibleTimestamp() {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch == nullptr || !AllDigits(epoch)) return 0;
  uint64_t value = 0;
  for (const char* c = epoch; *c != '\0'; ++c) {
    value = value * 10 + static_cast<uint64_t>(*c - '0');
    if (value > 0xFFFFFFFFu) return 0;
  }
  return static_cast<uint32_t>(value);
}

}  // namespace kovan
