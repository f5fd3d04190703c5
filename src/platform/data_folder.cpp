#include "platform/data_folder.hpp"

#include "base/errors.hpp"
#include "base/file_system.hpp"

namespace kovan {

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
  return ChooseDataFolder(exeFolder, false, PerUserDataFolder());
}

}  // namespace kovan
