// The C header a program includes to find the pool's resources: for each
// entry's key, the name and type as FindResourceW takes them and the size
// SizeofResource gives, so names are typed once, in the pool. It compiles
// as C89 and as C++ without warnings.
//
// For the key APP:
//   RES_APP_NAME  L"APP"                 (a numbered key: MAKEINTRESOURCEW(5))
//   RES_APP_TYPE  MAKEINTRESOURCEW(14)   (a custom type: L"WAVE")
//   RES_APP_SIZE  1234UL
// An icon or cursor file is found as its group, and its size is the group's.
#pragma once

#include <string>

#include "pool/resource_pool.hpp"

namespace kovan {

// The header's text for the pool. `headerFile` names its include guard.
// A key's part of the macro names is the key as the compiler stores it (ASCII
// letters upper-cased, a number without leading zeros) with every character
// but letters, digits and '_' made '_'. Throws PoolCompileError when the pool does not compile, or when two keys
// give one identifier (naming both).
std::string ResourceHeaderText(const ResourcePool& pool, const std::string& headerFile);

// Writes the header unless the file holds these bytes already, so that what
// includes it is not rebuilt for nothing; returns whether it wrote. Through a
// temporary file; throws IoError.
bool WriteResourceHeader(const std::string& headerFile, const std::string& text);

}  // namespace kovan
