#include "base/text.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace kovan {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence starting at text[i]; malformed input yields U+FFFD
// and consumes one byte, so any byte string decodes without throwing.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int extra = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + extra >= text.size()) {
    ++i;
    return kReplacement;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += extra + 1;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

std::atomic<unsigned> g_ansiOverride{0};

#ifndef _WIN32

// Off Windows the code pages come from iconv. Single-byte code pages are turned
// into a 256-entry table once; multi-byte ones go through iconv for each call.
struct SingleByteTable {
  std::array<char32_t, 256> decode{};
  std::unordered_map<char32_t, unsigned char> encode;
};

bool IsMultiByteCodePage(unsigned cp) {
  return cp == 932 || cp == 936 || cp == 949 || cp == 950 || cp == 1361 || cp == 54936;
}

std::string IconvName(unsigned cp) {
  switch (cp) {
    case 54936: return "GB18030";
    case 20127: return "ASCII";
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    case 28599: return "ISO-8859-9";
    default: return "CP" + std::to_string(cp);
  }
}

struct IconvHandle {
  iconv_t handle;
  explicit IconvHandle(iconv_t h) : handle(h) {}
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  ~IconvHandle() {
    if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
  }
  bool valid() const { return handle != reinterpret_cast<iconv_t>(-1); }
};

// Converts one whole buffer; returns false when iconv rejects it.
bool IconvConvert(const std::string& from, const std::string& to, std::string_view in, std::string& out) {
  IconvHandle cd(iconv_open(to.c_str(), from.c_str()));
  if (!cd.valid()) return false;
  out.assign(in.size() * 4 + 16, '\0');
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  if (iconv(cd.handle, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return false;
  if (iconv(cd.handle, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) return false;
  out.resize(out.size() - outLeft);
  return true;
}

const SingleByteTable& TableFor(unsigned cp) {
  static std::mutex mutex;
  static std::map<unsigned, std::unique_ptr<SingleByteTable>> tables;
  std::lock_guard lock(mutex);
  auto& slot = tables[cp];
  if (!slot) {
    slot = std::make_unique<SingleByteTable>();
    const std::string name = IconvName(cp);
    for (unsigned b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      std::string utf8;
      char32_t ch = b;
      if (IconvConvert(name, "UTF-8", std::string_view(&byte, 1), utf8) && !utf8.empty()) {
        size_t i = 0;
        ch = DecodeUtf8(utf8, i);
      }
      slot->decode[b] = ch;
      slot->encode.emplace(ch, static_cast<unsigned char>(b));
    }
  }
  return *slot;
}

#endif  // !_WIN32

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) AppendUtf16(out, DecodeUtf8(utf8, i));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

#ifdef _WIN32
std::wstring ToWide(std::string_view utf8) {
  const std::u16string u16 = Utf8ToUtf16(utf8);
  return std::wstring(u16.begin(), u16.end());
}

std::string ToUtf8(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}
#endif

unsigned AnsiCodePage() {
  if (const unsigned cp = g_ansiOverride.load()) return cp;
#ifdef _WIN32
  return GetACP();
#else
  return 1252;
#endif
}

void SetAnsiCodePage(unsigned codePage) { g_ansiOverride.store(codePage); }

std::u16string AnsiToUtf16(std::string_view bytes, unsigned codePage) {
  if (codePage == kCodePageUtf8) return Utf8ToUtf16(bytes);
#ifdef _WIN32
  if (bytes.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) {
    std::u16string out;
    for (unsigned char b : bytes) out += static_cast<char16_t>(b);
    return out;
  }
  std::u16string out(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), reinterpret_cast<wchar_t*>(out.data()),
                      n);
  return out;
#else
  return Utf8ToUtf16(AnsiToUtf8(bytes, codePage));
#endif
}

std::string AnsiToUtf8(std::string_view bytes, unsigned codePage) {
  if (codePage == kCodePageUtf8) return std::string(bytes);
#ifdef _WIN32
  return Utf16ToUtf8(AnsiToUtf16(bytes, codePage));
#else
  std::string out;
  if (!IsMultiByteCodePage(codePage)) {
    const SingleByteTable& table = TableFor(codePage);
    out.reserve(bytes.size());
    for (unsigned char b : bytes) {
      if (b < 0x80) {
        out += static_cast<char>(b);
      } else {
        AppendUtf8(out, table.decode[b]);
      }
    }
    return out;
  }
  if (IconvConvert(IconvName(codePage), "UTF-8", bytes, out)) return out;
  // Malformed multi-byte text: everything around a bad byte still decodes;
  // the bad byte alone becomes one replacement character.
  out.clear();
  IconvHandle cd(iconv_open("UTF-8", IconvName(codePage).c_str()));
  char* inPtr = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  std::string buffer(bytes.size() * 4 + 16, '\0');
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    size_t outLeft = buffer.size();
    const size_t done = cd.valid() ? iconv(cd.handle, &inPtr, &inLeft, &outPtr, &outLeft) : static_cast<size_t>(-1);
    out.append(buffer.data(), buffer.size() - outLeft);
    if (done != static_cast<size_t>(-1)) break;
    if (cd.valid()) iconv(cd.handle, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    const auto bad = static_cast<unsigned char>(*inPtr);
    if (bad < 0x80) {
      out += static_cast<char>(bad);
    } else {
      AppendUtf8(out, kReplacement);
    }
    ++inPtr;
    --inLeft;
  }
  return out;
#endif
}

std::string Utf16ToAnsi(std::u16string_view utf16, unsigned codePage, bool* lossless) {
#ifdef _WIN32
  if (codePage == kCodePageUtf8) return Utf16ToUtf8(utf16);
  if (utf16.empty()) return {};
  BOOL usedDefault = FALSE;
  const auto* wide = reinterpret_cast<const wchar_t*>(utf16.data());
  const int len = static_cast<int>(utf16.size());
  int n = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, len, nullptr, 0, nullptr, &usedDefault);
  if (n <= 0) {
    if (lossless) *lossless = false;
    return std::string(utf16.size(), '?');
  }
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, len, out.data(), n, nullptr, &usedDefault);
  if (usedDefault && lossless) *lossless = false;
  return out;
#else
  return Utf8ToAnsi(Utf16ToUtf8(utf16), codePage, lossless);
#endif
}

std::string Utf8ToAnsi(std::string_view utf8, unsigned codePage, bool* lossless) {
  if (codePage == kCodePageUtf8) return std::string(utf8);
#ifdef _WIN32
  return Utf16ToAnsi(Utf8ToUtf16(utf8), codePage, lossless);
#else
  std::string out;
  out.reserve(utf8.size());
  if (!IsMultiByteCodePage(codePage)) {
    const SingleByteTable& table = TableFor(codePage);
    for (size_t i = 0; i < utf8.size();) {
      const auto b = static_cast<unsigned char>(utf8[i]);
      if (b < 0x80) {
        out += static_cast<char>(b);
        ++i;
        continue;
      }
      const char32_t cp = DecodeUtf8(utf8, i);
      const auto it = table.encode.find(cp);
      if (it != table.encode.end()) {
        out += static_cast<char>(it->second);
      } else {
        out += '?';
        if (lossless) *lossless = false;
      }
    }
    return out;
  }
  // Multi-byte code pages: convert character by character so that one
  // unrepresentable character costs only itself.
  const std::string name = IconvName(codePage);
  for (size_t i = 0; i < utf8.size();) {
    const size_t start = i;
    const char32_t cp = DecodeUtf8(utf8, i);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    std::string piece;
    if (cp != kReplacement && IconvConvert("UTF-8", name, utf8.substr(start, i - start), piece)) {
      out += piece;
    } else {
      out += '?';
      if (lossless) *lossless = false;
    }
  }
  return out;
#endif
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

int AsciiICompare(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(AsciiLower(a[i]));
    const auto cb = static_cast<unsigned char>(AsciiLower(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool AsciiIEquals(std::string_view a, std::string_view b) { return a.size() == b.size() && AsciiICompare(a, b) == 0; }

bool AsciiIEndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && AsciiIEquals(text.substr(text.size() - suffix.size()), suffix);
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const size_t start = i;
    DecodeUtf8(text, i);
    // A malformed sequence is consumed one byte at a time; a well-formed one
    // beyond ASCII is always longer.
    if (i - start == 1 && static_cast<unsigned char>(text[start]) >= 0x80) return false;
  }
  return true;
}

bool HasMultiByteUtf8(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string ShowControlBytes(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b != 0x7F) {
      out += c;
      continue;
    }
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

}  // namespace kovan
