// The size of a file as the pool window and the exports show it.
#pragma once

#include <string>

namespace kovan {

// The size in steps of 1024 (" Byte", " Kb", " Mb", " Gb", integer division;
// " Gb" is the largest unit), read from the file's attributes without opening
// it. A size that cannot be read (a missing file, a folder) gives the text of
// "bildosboy".
std::string FileSizeText(const std::string& path);

}  // namespace kovan
