// File and folder tests, folder listings and whole-file reads and writes.
// Paths are UTF-8; on Windows they are converted at the call.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kovan {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// True when `c` ends a folder part of a path: '\\' and ':' on Windows, '/'
// on other systems.
bool IsPathSeparator(char c);

// A file exists when the system reports attributes that do not mark a folder.
// When the attributes cannot be read for another reason than absence or an
// invalid name (a locked file, say), a listing of the folder decides.
bool FileExists(const std::string& path);
// FileExists for each of `paths`, in their order; much faster than asking for
// each when many share a folder.
std::vector<bool> FilesExist(const std::vector<std::string>& paths);
bool FolderExists(const std::string& path);
// A file that may be run: on Windows any existing file, elsewhere a regular
// file (or a link to one) with the right to execute it.
bool IsExecutableFile(const std::string& path);

struct FolderItem {
  std::string name;  // the entry's name, without its folder
  bool isFolder = false;
  bool hidden = false;
  bool system = false;
  bool isLink = false;  // a symbolic link or other reparse point (a junction, say)
};

// The size of a file from its attributes, without opening it; nothing when the
// attributes cannot be read or name a folder.
std::optional<uint64_t> FileSizeOf(const std::string& path);

// The entries of `folder` in the order the file system lists them, "." and ".."
// included when the system lists them. Empty when the folder cannot be listed.
std::vector<FolderItem> ListFolder(const std::string& folder);
// The same entries handed to `visit` one by one, until it returns false.
void VisitFolder(const std::string& folder, const std::function<bool(const FolderItem&)>& visit);

// The folder of the running executable, with its trailing separator.
std::string ExeFolder();

// The path made full against the current folder, as a dropped path is;
// "" stays "".
std::string FullPathOf(const std::string& path);

// The folder part of a path, with its trailing separator ("" when it has none).
std::string FolderOf(std::string_view path);
// The text after the last separator (the whole text when there is none).
std::string FileNameOf(std::string_view path);

// Reads a whole file. std::nullopt and *openError set when it cannot be opened;
// a failure after opening throws IoError.
std::optional<std::string> ReadWholeFile(const std::string& path, int* openError = nullptr);

// Writes `bytes` to a temporary file beside `path`, flushes it and then puts it
// in place of `path`, so a failure leaves any earlier file whole. Throws
// IoError with the system's code on failure (32 when another program holds
// the file open without sharing).
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// A file that another program (a compiler) writes under a fresh name beside
// its target, so that a failed or stopped run never leaves a half-made file
// under the target's name and never touches an earlier one. The fresh name is
// created empty and exclusively, never through a file or link already there.
// Unless Commit() has put it in place, the file is removed at destruction.
class PendingOutput {
 public:
  // Throws IoError when no file can be created beside `target`.
  explicit PendingOutput(std::string target);
  ~PendingOutput();
  PendingOutput(const PendingOutput&) = delete;
  PendingOutput& operator=(const PendingOutput&) = delete;

  // The name the program is to write to: in the target's folder, ending in
  // the target's own file name so that its extension stays.
  const std::string& path() const { return path_; }
  // Moves the written file into place of the target; throws IoError.
  void Commit();
  // Removes the written file now (also done by the destructor).
  void Discard();

 private:
  std::string target_;
  std::string path_;
  bool done_ = false;
};

#ifdef _WIN32
// A path as the wide file calls take it: one of MAX_PATH characters or more
// gets the "\\?\" mark (or "\\?\UNC\" for a share), so that it is not cut
// short or refused.
std::wstring ToSystemPath(const std::string& path);

// The step that puts the written temporary file in place of an existing
// target: 0, or the system's error code. Tests stand in for it to play the
// failures that leave the target renamed or gone.
using ReplaceExistingFile = unsigned long (*)(const wchar_t* target, const wchar_t* replacement);
void ReplaceFileAtomically(const std::string& path, std::string_view bytes, ReplaceExistingFile replace);
#endif

}  // namespace kovan
