#include "base/file_identity.hpp"

#include <sys/stat.h>

namespace kovan {

std::optional<FileIdentity> IdentityOfFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;  // stat, not lstat: a link is its target
  return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

// stat() asks nothing more of the system than a listing would.
struct FileIdentityReader::Listings {};

FileIdentityReader::FileIdentityReader() = default;
FileIdentityReader::~FileIdentityReader() = default;

std::optional<FileIdentity> FileIdentityReader::Read(const std::string& path) { return IdentityOfFile(path); }

}  // namespace kovan
