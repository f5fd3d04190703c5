#include "app/data_folder.hpp"

#include "base/errors.hpp"
#include "base/file_system.hpp"

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>

#include "base/handles.win32.hpp"
#include "base/text.hpp"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace kovan {

bool FolderIsWritable(const std::string& folder) {
#ifdef _WIN32
  const std::wstring probe = ToWide(folder) + L"kovan-write-test-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  UniqueHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.valid();
#else
  const std::string probe = folder + "kovan-write-test-" + std::to_string(getpid()) + ".tmp";
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  close(fd);
  unlink(probe.c_str());
  return true;
#endif
}

namespace {

std::string PerUserFolder() {
#ifdef _WIN32
  PWSTR roaming = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &roaming))) return {};
  std::wstring path = roaming;
  CoTaskMemFree(roaming);
  path += L"\\ORSEL RIRUDIR\\Kovan\\";
  SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
  return ToUtf8(path);
#else
  const char* home = std::getenv("HOME");
  if (!home) return {};
  const std::string path = std::string(home) + "/.local/share/ORSEL RIRUDIR/Kovan/";
  std::string partial;
  for (char c : path) {
    partial += c;
    if (c == '/') mkdir(partial.c_str(), 0755);
  }
  return path;
#endif
}

}  // namespace

std::string ChooseDataFolder(const std::string& exeFolder, bool exeFolderWritable, const std::string& perUser) {
  if (exeFolderWritable || perUser.empty() || !FolderExists(perUser)) return exeFolder;
  // A list that was kept beside the executable before moves along once, so
  // the pool is not lost when the folder became read-only.
  const std::string list = "Liste.kvl";
  if (!FileExists(perUser + list) && FileExists(exeFolder + list)) {
    try {
      if (const auto bytes = ReadWholeFile(exeFolder + list)) ReplaceFileAtomically(perUser + list, *bytes);
    } catch (const IoError&) {
      // The start then finds no list and reports that in its usual way.
    }
  }
  return perUser;
}

std::string DataFolder(const std::string& exeFolder) {
  if (FolderIsWritable(exeFolder)) return exeFolder;
  return ChooseDataFolder(exeFolder, false, PerUserFolder());
}

}  // namespace kovan
