// The checks that every pool entry has a key name of its own before the pool
// is compiled, and the lists that name the entries at fault.
#pragma once

#include <string>
#include <string_view>

#include "pool/resource_pool.hpp"

namespace kovan {

// Mode 1: the file names of the entries whose key name is still the "?"
// marker, in pool order. Mode 2: "KEY->file name" for every entry whose key
// name (letter case significant, "?" excepted) another entry carries too,
// ordered by the user's locale with letter case ignored and without lines that
// compare equal to an earlier one. Every line ends in a CR; the text is empty
// when nothing is at fault or the mode is neither 1 nor 2.
std::string KeyProblemList(const ResourcePool& pool, int mode);

#ifdef _WIN32
// The order of the mode-2 lines on Windows: the user's locale, letter case
// ignored (<0, 0 or >0).
int LocaleICompare(std::u16string_view a, std::u16string_view b);
#endif

// The order of the mode-2 lines elsewhere: a locale-free comparison that orders ASCII text as the Windows word sort
// does with letter case ignored: punctuation before digits before letters,
// the hyphen and the apostrophe counted only when all else is equal. Bytes
// above ASCII sort after the letters, by value.
int KeyLineCompareAscii(std::string_view a, std::string_view b);

}  // namespace kovan
