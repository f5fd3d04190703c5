// Text conversion at the edges of the program. Inside, text is UTF-8; UTF-16
// appears only at Win32 calls and in UTF-16 file formats, 8-bit "ANSI" text only
// in the ANSI file formats (pool list file, exports) and 8-bit message boxes.
#pragma once

#include <string>
#include <string_view>

namespace kovan {

inline constexpr unsigned kCodePageUtf8 = 65001;

std::u16string Utf8ToUtf16(std::string_view utf8);

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or values
// beyond U+10FFFF), and whether it holds any character beyond ASCII.
bool IsValidUtf8(std::string_view text);
bool HasMultiByteUtf8(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view utf16);

#ifdef _WIN32
std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view wide);
#endif

// The code page of ANSI file formats: GetACP() on Windows, 1252 elsewhere,
// unless overridden for the whole process (kovanc --codepage).
unsigned AnsiCodePage();
void SetAnsiCodePage(unsigned codePage);

// Bytes in `codePage` to UTF-8. Bytes the code page does not define map to the
// character with the same number, as the Windows conversion does for the holes
// of the single-byte code pages, so such files survive a read and a write.
std::string AnsiToUtf8(std::string_view bytes, unsigned codePage);
std::u16string AnsiToUtf16(std::string_view bytes, unsigned codePage);

// UTF-8 to bytes in `codePage`. Characters the code page cannot hold become '?'
// and clear *lossless (when given); nothing is approximated by a look-alike.
std::string Utf8ToAnsi(std::string_view utf8, unsigned codePage, bool* lossless = nullptr);
std::string Utf16ToAnsi(std::u16string_view utf16, unsigned codePage, bool* lossless = nullptr);

// Upper-casing of the ASCII letters a to z only; every other byte unchanged.
std::string AsciiUpper(std::string_view text);
char AsciiLower(char c);
bool AsciiIEquals(std::string_view a, std::string_view b);
// Case-insensitive (ASCII) three-way comparison, byte order otherwise.
int AsciiICompare(std::string_view a, std::string_view b);
bool AsciiIEndsWith(std::string_view text, std::string_view suffix);

// The text with every control byte below 0x20 (and 0x7F) written as \xNN, so
// that a name holding a line break shows on one line of a message.
std::string ShowControlBytes(std::string_view text);

}  // namespace kovan
