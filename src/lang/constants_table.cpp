#include "lang/constants_table.hpp"

#include <algorithm>
#include <utility>

#include "base/text.hpp"
#include "lang/lang_error.hpp"
#include "lang_consts_data.inc"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kovan {

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

bool NameLess(const LangConstant& item, std::string_view name) { return AsciiICompare(item.name, name) < 0; }

// Reads little-endian values from the resource stream; running past its end is
// an error rather than a read of whatever follows.
class StreamReader {
 public:
  explicit StreamReader(std::span<const uint8_t> data) : data_(data) {}
  uint8_t U8() { return Take(1)[0]; }
  uint16_t U16() {
    const auto b = Take(2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
  }
  int32_t I32() {
    const auto b = Take(4);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
  }
  std::span<const uint8_t> Take(size_t n) {
    if (data_.size() - pos_ < n) throw LanguageError("Stream read error");
    const auto out = data_.subspan(pos_, n);
    pos_ += n;
    return out;
  }

 private:
  std::span<const uint8_t> data_;
  size_t pos_ = 0;
};

}  // namespace

bool IsValidIdentifier(std::string_view name) {
  if (name.empty() || !IsIdentStart(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(), IsIdentChar);
}

void ConstantsTable::Clear() {
  items_.clear();
  index_.clear();
  sorted_ = true;
}

void ConstantsTable::Add(std::string name, std::u16string text) {
  if (!IsValidIdentifier(name)) throw LanguageError("Invalid constant name (\"" + name + "\")");
  if (!index_.try_emplace(AsciiUpper(name), items_.size()).second) {
    throw LanguageError("Duplicate constant name (\"" + name + "\")");
  }
  if (sorted_ && !items_.empty() && !NameLess(items_.back(), name)) sorted_ = false;
  items_.push_back(LangConstant{std::move(name), text, text});
}

void ConstantsTable::Sort() const {
  if (sorted_) return;
  std::sort(items_.begin(), items_.end(),
            [](const LangConstant& a, const LangConstant& b) { return AsciiICompare(a.name, b.name) < 0; });
  for (size_t i = 0; i < items_.size(); ++i) index_[AsciiUpper(items_[i].name)] = i;
  sorted_ = true;
}

const std::vector<LangConstant>& ConstantsTable::Items() const {
  Sort();
  return items_;
}

std::vector<LangConstant>& ConstantsTable::Items() {
  Sort();
  return items_;
}

const LangConstant* ConstantsTable::Find(std::string_view name) const {
  const auto it = index_.find(AsciiUpper(name));
  return it != index_.end() ? &items_[it->second] : nullptr;
}

LangConstant* ConstantsTable::Find(std::string_view name) {
  return const_cast<LangConstant*>(std::as_const(*this).Find(name));
}

void LoadConstantsResource(ConstantsTable& table, std::span<const uint8_t> data, unsigned ansiCodePage) {
  table.Clear();
  StreamReader in(data);
  const uint8_t version = in.U8();
  if (version > 2) {
    throw LanguageError("Stream version (" + std::to_string(version) + ") is greater than the current one (2)");
  }
  table.flag = version == 2 ? in.U8() : version;
  const int32_t count = in.I32();
  for (int32_t i = 0; i < count; ++i) {
    const auto nameBytes = in.Take(in.U16());
    std::string name(nameBytes.begin(), nameBytes.end());
    const uint16_t length = in.U16();
    std::u16string text;
    if (version == 2) {
      const auto raw = in.Take(size_t{length} * 2);
      text.resize(length);
      for (size_t k = 0; k < length; ++k) text[k] = static_cast<char16_t>(raw[2 * k] | (raw[2 * k + 1] << 8));
    } else {
      const auto raw = in.Take(length);
      text = AnsiToUtf16(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()), ansiCodePage);
    }
    table.Add(std::move(name), std::move(text));
  }
}

#ifdef _WIN32
std::span<const uint8_t> BuiltinConstantsResource() {
  HRSRC info = FindResourceW(nullptr, L"LANG_CONSTS", MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!info) return {};
  HGLOBAL handle = LoadResource(nullptr, info);
  const void* data = handle ? LockResource(handle) : nullptr;
  if (!data) return {};
  return {static_cast<const uint8_t*>(data), SizeofResource(nullptr, info)};
}
#else
std::span<const uint8_t> BuiltinConstantsResource() {
  static constexpr uint8_t kImage[] = {KOVAN_LANG_CONSTS_BYTES};
  return kImage;
}
#endif

std::span<const AddedConstant> AddedConstants() {
  static constexpr AddedConstant kAdded[] = {KOVAN_ADDED_CONSTANTS};
  return kAdded;
}

void LoadProgramConstants(ConstantsTable& table, std::span<const uint8_t> image, unsigned ansiCodePage) {
  if (image.empty()) {
    table.Clear();
  } else {
    LoadConstantsResource(table, image, ansiCodePage);
  }
  for (const AddedConstant& added : AddedConstants()) {
    if (!table.Find(added.name)) table.Add(added.name, added.text);
  }
}

}  // namespace kovan
