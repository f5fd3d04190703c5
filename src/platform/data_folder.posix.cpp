#include "platform/data_folder.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace kovan {

bool FolderIsWritable(const std::string& folder) {
  const std::string probe = folder + "kovan-write-test-" + std::to_string(getpid()) + ".tmp";
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
}

std::string PerUserDataFolder() {
  const char* home = std::getenv("HOME");
  if (!home) return {};
  const std::string path = std::string(home) + "/.local/share/ORSEL RIRUDIR/Kovan/";
  std::string partial;
  for (char c : path) {
    partial += c;
    if (c == '/') mkdir(partial.c_str(), 0755);
  }
  return path;
}

}  // namespace kovan
