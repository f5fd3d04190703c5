#pragma once

#include <string>

namespace kovan {

// Where Liste.kvl and liste.rc live: the executable's own folder when the
// program may write there, otherwise the per-user folder
// %APPDATA%\ORSEL RIRUDIR\Kovan\ (created when needed), so that a copy
// installed under Program Files can still save its pool. Always ends in a
// separator. The language files and the help stay beside the executable.
std::string DataFolder(const std::string& exeFolder);

// Whether a new file can be made in `folder` (tried with a scratch file that
// is removed at once).
bool FolderIsWritable(const std::string& folder);

}  // namespace kovan
