// The resource script liste.rc handed to the resource compiler: one line per
// pool entry, "KEY TYPE  \"PATH\"", in UTF-16 little-endian with a byte-order
// mark and CR LF after every line.
#pragma once

#include <string>
#include <vector>

#include "pool/resource_pool.hpp"

namespace kovan {

inline constexpr char kScriptFileName[] = "liste.rc";

// One entry's line (UTF-8, without its line end): the key name, a space, the
// type with a to z upper-cased, two spaces and the path in double quotes.
// Nothing is escaped: the compiler gets the fields exactly as the pool holds them.
std::string ResourceScriptLine(const PoolEntry& entry);

// One message for each entry the script cannot carry, naming its path: a path
// holding a double quote, CR, LF or NUL (it would close the quoted name and
// let the rest of the name be read as script of its own), or a key name or
// type holding anything but 0-9, A-Z, a-z and '_' (a space, say, would make
// another word of the line). Empty when every entry fits.
std::vector<std::string> ScriptEntryProblems(const ResourcePool& pool);

// The whole file.
std::string ResourceScriptBytes(const ResourcePool& pool);

// The script for compilers that read UTF-8 (llvm-rc, windres): a first line
// that names the code page, then the same lines without a byte-order mark,
// every backslash of a path doubled because these compilers read the quoted
// path as a string with escapes.
std::string ResourceScriptBytesUtf8(const ResourcePool& pool);

// Replaces the file at `path` with the pool's script (UTF-16, or UTF-8 when
// `utf8` is set), through a temporary file.
// Throws FileCreateError ("Cannot create file "PATH". REASON") when it cannot be
// written, and Error with the ScriptEntryProblems lines when an entry does not
// fit; any earlier script stays whole then.
void WriteResourceScript(const ResourcePool& pool, const std::string& path, bool utf8 = false);

}  // namespace kovan
