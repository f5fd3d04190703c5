#include "pool/resource_extract.hpp"

#include <algorithm>
#include <map>
#include <set>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "formats/bitmap_file.hpp"
#include "formats/format_error.hpp"
#include "formats/res_file.hpp"

namespace kovan {

namespace {

constexpr size_t kGroupHeaderSize = 6;
constexpr size_t kGroupEntrySize = 14;
constexpr size_t kFileEntrySize = 16;

// The numbered types a pool can name by word; the built-in compiler and the
// outside compilers read these words as the same numbers.
constexpr std::pair<uint16_t, const char*> kTypeWords[] = {
    {8, "FONT"}, {10, "RCDATA"}, {11, "MESSAGETABLE"}, {17, "DLGINCLUDE"}, {19, "PLUGPLAY"}, {20, "VXD"},
    {21, "ANICURSOR"}, {22, "ANIICON"}, {23, "HTML"}, {24, "MANIFEST"},
};

bool IsGroup(const ResourceId& type) {
  return type.numbered && (type.number == resource_type::kGroupIcon || type.number == resource_type::kGroupCursor);
}

std::string ReadData(ByteSource& file, const FoundResource& r) {
  std::string bytes(r.size, '\0');
  file.ReadAt(r.dataOffset, bytes.data(), bytes.size());
  return bytes;
}

std::string IdText(const ResourceId& id) { return id.numbered ? std::to_string(id.number) : Utf16ToUtf8(id.name); }

std::string Describe(const FoundResource& r) {
  const char* standard = r.type.numbered ? StandardTypeName(r.type.number) : nullptr;
  std::string type = standard ? std::string(standard) : ResourceIdText(r.type);
  std::transform(type.begin(), type.end(), type.begin(), [](char c) { return c == '_' ? ' ' : AsciiLower(c); });
  return type + " " + IdText(r.name) + (r.language == kDefaultLanguage ? "" : " (language " + std::to_string(r.language) + ")");
}

// The bytes of a .ico or .cur file made of a group resource and its images,
// or a sentence saying why it cannot be made.
struct RebuiltIcon {
  std::string file;
  std::string problem;
  uint16_t firstImage = 0xFFFF;
};

// The icon and cursor images by type and number.
using ImageIndex = std::map<std::pair<uint16_t, uint16_t>, std::vector<size_t>>;

RebuiltIcon RebuildIconFile(ByteSource& file, const std::vector<FoundResource>& all, const ImageIndex& images,
                            size_t groupIndex, std::vector<bool>& used) {
  const FoundResource& group = all[groupIndex];
  const bool cursor = group.type.number == resource_type::kGroupCursor;
  const uint16_t imageType = cursor ? resource_type::kCursor : resource_type::kIcon;
  RebuiltIcon out;
  const std::string data = ReadData(file, group);
  if (data.size() < kGroupHeaderSize || ReadLe16(data, 0) != 0 || ReadLe16(data, 2) != (cursor ? 2 : 1)) {
    out.problem = "its group data is not a list of images";
    return out;
  }
  const size_t count = ReadLe16(data, 4);
  if (kGroupHeaderSize + count * kGroupEntrySize > data.size()) {
    out.problem = "its group data lists " + std::to_string(count) + " images but is too short for them";
    return out;
  }
  std::string directory;
  AppendLe16(directory, 0);
  AppendLe16(directory, cursor ? 2 : 1);
  AppendLe16(directory, static_cast<uint32_t>(count));
  std::string imageBytes;
  uint64_t offset = kGroupHeaderSize + count * kFileEntrySize;
  std::vector<size_t> taken;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = kGroupHeaderSize + i * kGroupEntrySize;
    const uint16_t id = ReadLe16(data, at + 12);
    // The image in the group's language, or else in any language.
    std::optional<size_t> image;
    if (const auto found = images.find({imageType, id}); found != images.end()) {
      for (size_t r : found->second) {
        if (!image || all[r].language == group.language) image = r;
      }
    }
    if (!image) {
      out.problem = "its image " + std::to_string(id) + " is missing";
      return out;
    }
    std::string bytes = ReadData(file, all[*image]);
    uint16_t hotX = 0;
    uint16_t hotY = 0;
    if (cursor) {
      if (bytes.size() < 4) {
        out.problem = "its image " + std::to_string(id) + " is too short for a cursor";
        return out;
      }
      hotX = ReadLe16(bytes, 0);
      hotY = ReadLe16(bytes, 2);
      bytes.erase(0, 4);
    }
    if (cursor) {
      // A cursor's group states the height of the colour and mask bitmaps together.
      directory.push_back(static_cast<char>(ReadLe16(data, at) & 0xFF));
      directory.push_back(static_cast<char>((ReadLe16(data, at + 2) / 2) & 0xFF));
      directory.append(2, '\0');
      AppendLe16(directory, hotX);
      AppendLe16(directory, hotY);
    } else {
      directory.append(data, at, 3);
      directory.push_back('\0');
      AppendLe16(directory, ReadLe16(data, at + 4));
      AppendLe16(directory, ReadLe16(data, at + 6));
    }
    AppendLe32(directory, static_cast<uint32_t>(bytes.size()));
    AppendLe32(directory, static_cast<uint32_t>(offset));
    offset += bytes.size();
    if (offset > 0xFFFFFFFFu) {
      out.problem = "its images are too large for one file";
      return out;
    }
    imageBytes += bytes;
    taken.push_back(*image);
    out.firstImage = std::min(out.firstImage, id);
  }
  for (size_t t : taken) used[t] = true;
  out.file = directory + imageBytes;
  return out;
}

// A bitmap resource with the file header in front: "BM", the file's size,
// two reserved words and where the pixels start, after the bitmap header and
// its colour table.
std::string BitmapFile(const std::string& resource) {
  uint64_t pixelsAt = kBitmapFileHeaderSize;
  if (resource.size() >= 4) {
    const uint32_t headerSize = ReadLe32(resource, 0);
    uint64_t colours = 0;
    uint64_t colourSize = 4;
    if (headerSize == 12 && resource.size() >= 12) {
      const uint16_t bits = ReadLe16(resource, 10);
      colours = bits <= 8 ? uint64_t{1} << bits : 0;
      colourSize = 3;
    } else if (headerSize >= 40 && resource.size() >= 36) {
      const uint16_t bits = ReadLe16(resource, 14);
      const uint32_t compression = ReadLe32(resource, 16);
      const uint32_t used = ReadLe32(resource, 32);
      colours = used != 0 ? used : bits <= 8 ? uint64_t{1} << bits : 0;
      // A plain bitmap header is followed by the three colour masks of a
      // bit-field bitmap (four with alpha); longer headers hold them inside.
      if (headerSize == 40 && compression == 3) pixelsAt += 12;
      if (headerSize == 40 && compression == 6) pixelsAt += 16;
    }
    pixelsAt += headerSize + colours * colourSize;
  }
  pixelsAt = std::min<uint64_t>(pixelsAt, kBitmapFileHeaderSize + resource.size());
  std::string out = "BM";
  AppendLe32(out, static_cast<uint32_t>(kBitmapFileHeaderSize + resource.size()));
  AppendLe32(out, 0);
  AppendLe32(out, static_cast<uint32_t>(pixelsAt));
  return out + resource;
}

std::string SafeFilePart(const std::string& text) {
  std::string out;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    const bool unsafe = b < 0x20 || b == 0x7F || std::string_view("\\/:*?\"<>| .").find(c) != std::string_view::npos;
    out += unsafe ? '_' : c;
  }
  return out.empty() ? "_" : out;
}

std::string Extension(const ResourceId& type) {
  if (type.numbered) {
    switch (type.number) {
      case resource_type::kGroupIcon: return "ico";
      case resource_type::kGroupCursor: return "cur";
      case resource_type::kBitmap: return "bmp";
      case 23: return "html";
      case 24: return "manifest";
      default: return "bin";
    }
  }
  std::string word = Utf16ToUtf8(type.name);
  if (word.empty() || word.size() > 8) return "bin";
  for (char& c : word) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return "bin";
    c = AsciiLower(c);
  }
  return word;
}

bool IsAllDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Why a pool entry cannot give this type or name back exactly; empty when it can.
std::string PoolLimit(const ResourceId& id, const char* what) {
  if (id.numbered) return {};
  const std::string text = Utf16ToUtf8(id.name);
  if (text.empty()) return std::string("its ") + what + " is empty";
  if (IsAllDigits(text)) return std::string("its ") + what + " is a text of digits, which a pool reads as a number";
  if (AsciiUpper(text) != text) return std::string("its ") + what + " has small letters, which a pool upper-cases";
  return {};
}

// A key or type word as a script line holds it: in double quotes (a quote
// doubled) when it is not one plain word.
std::string ScriptWord(const std::string& word) {
  const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
  if (plain) return word;
  std::string out = "\"";
  for (char c : word) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

void WriteFileNamed(const std::string& path, std::string_view bytes) {
  try {
    ReplaceFileAtomically(path, bytes);
  } catch (const IoError& e) {
    throw IoError(e.code(), "Cannot write " + path + ": " + e.what());
  }
}

}  // namespace

std::string PoolTypeWord(const ResourceId& type) {
  if (!type.numbered) return Utf16ToUtf8(type.name);
  switch (type.number) {
    case resource_type::kGroupIcon: return "ICON";
    case resource_type::kGroupCursor: return "CURSOR";
    case resource_type::kBitmap: return "BITMAP";
    default: break;
  }
  for (const auto& [number, word] : kTypeWords) {
    if (number == type.number) return word;
  }
  return std::to_string(type.number);
}

ExtractReport ExtractResources(ByteSource& file, const ResourceFileContents& contents, const std::string& folder) {
  const std::vector<FoundResource>& all = contents.resources;
  ExtractReport report;
  std::vector<bool> used(all.size(), false);
  struct Planned {
    size_t resource;
    std::string bytes;
    uint16_t order;  // the first image's number for groups, so that a compile numbers them as before
  };
  std::vector<Planned> planned;
  ImageIndex images;
  for (size_t i = 0; i < all.size(); ++i) {
    const ResourceId& t = all[i].type;
    if (t.numbered && (t.number == resource_type::kIcon || t.number == resource_type::kCursor) && all[i].name.numbered) {
      images[{t.number, all[i].name.number}].push_back(i);
    }
  }
  for (size_t i = 0; i < all.size(); ++i) {
    if (!IsGroup(all[i].type)) continue;
    RebuiltIcon icon = RebuildIconFile(file, all, images, i, used);
    if (!icon.problem.empty()) {
      report.notes.push_back(Describe(all[i]) + ": " + icon.problem + ", so it is left out");
      ++report.leftOut;
      continue;
    }
    planned.push_back({i, std::move(icon.file), icon.firstImage});
  }
  std::stable_sort(planned.begin(), planned.end(), [](const Planned& a, const Planned& b) { return a.order < b.order; });
  for (size_t i = 0; i < all.size(); ++i) {
    if (IsGroup(all[i].type) || used[i]) continue;
    std::string bytes = ReadData(file, all[i]);
    if (all[i].type == ResourceId::Number(resource_type::kBitmap)) bytes = BitmapFile(bytes);
    planned.push_back({i, std::move(bytes), 0});
  }

  std::set<std::string> taken;  // file names, upper-cased: Windows sees no case
  std::set<std::pair<std::string, std::string>> firstLanguage;  // type and key
  size_t otherLanguage = 0;
  size_t otherTranslation = 0;
  std::map<std::string, size_t> keyUses;
  std::string index = "#pragma code_page(65001)\r\n";
  for (const Planned& p : planned) {
    const FoundResource& r = all[p.resource];
    ExtractedFile out;
    out.key = IdText(r.name);
    out.type = PoolTypeWord(r.type);
    const std::string typePart = IsAllDigits(out.type) ? "type" + out.type : out.type;
    std::string stem = SafeFilePart(typePart) + "-" + SafeFilePart(out.key);
    if (r.language != kDefaultLanguage) stem += "-" + std::to_string(r.language);
    std::string name = stem + "." + Extension(r.type);
    for (int n = 2; !taken.insert(AsciiUpper(name)).second; ++n) name = stem + "~" + std::to_string(n) + "." + Extension(r.type);
    out.fileName = name;
    WriteFileNamed(folder + name, p.bytes);

    for (const std::string& limit : {PoolLimit(r.type, "type"), PoolLimit(r.name, "name")}) {
      if (!limit.empty()) report.notes.push_back(Describe(r) + ": " + limit + "; a pool cannot give it back exactly");
    }
    if (r.language != kDefaultLanguage) ++otherLanguage;
    if (!firstLanguage.insert({out.type, AsciiUpper(out.key)}).second) {
      ++otherTranslation;
      continue;
    }
    ++keyUses[out.key];
    index += ScriptWord(out.key) + " " + ScriptWord(out.type) + " \"" + name + "\"\r\n";
    report.files.push_back(std::move(out));
  }
  if (otherLanguage > 0) {
    report.notes.push_back(std::to_string(otherLanguage) + " resources are in another language than " +
                           std::to_string(kDefaultLanguage) + " (their file names end in it); a pool keeps no " +
                           "language, so they compile back as " + std::to_string(kDefaultLanguage));
  }
  if (otherTranslation > 0) {
    report.notes.push_back(std::to_string(otherTranslation) + " resources share type and name with one in another " +
                           "language: their files are written, but only the first language is in " + kExtractIndexName);
  }
  std::string shared;
  for (const auto& [key, uses] : keyUses) {
    if (uses > 1) shared += (shared.empty() ? "" : ", ") + key;
  }
  if (!shared.empty()) {
    report.notes.push_back("resources of different types share the names " + shared +
                           "; the pool's key check refuses shared key names, so only a compile that skips it "
                           "gives them back");
  }
  WriteFileNamed(folder + kExtractIndexName, index);
  return report;
}

}  // namespace kovan
