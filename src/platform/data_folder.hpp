#pragma once

#include <string>

namespace kovan {

// Where Liste.kvl and liste.rc live: the executable's own folder when the
// program may write there, otherwise the per-user folder
// %APPDATA%\ORSEL RIRUDIR\Kovan\ (created when needed), so that a copy
// installed under Program Files can still save its pool. Always ends in a
// separator. A Liste.kvl found beside the executable is copied to the
// per-user folder the first time it is used. The language files and the help
// stay beside the executable.
std::string DataFolder(const std::string& exeFolder);

// The choice behind DataFolder, with the folder test and the per-user folder
// given (empty when there is none).
std::string ChooseDataFolder(const std::string& exeFolder, bool exeFolderWritable, const std::string& perUser);

// The per-user folder for the program's data, created when needed and ending
// in a separator; empty when the system names none.
std::string PerUserDataFolder();

// Whether a new file can be made in `folder` (tried with a scratch file that
// is removed at once).
bool FolderIsWritable(const std::string& folder);

}  // namespace kovan
