// Files read and written piece by piece, for files too large to hold in
// memory at once. Paths are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kovan {

// A file opened for reading at any offset.
class FileReader {
 public:
  // Throws IoError with the system's code when the file cannot be opened.
  explicit FileReader(const std::string& path);
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  uint64_t Size() const { return size_; }
  // Fills `out` with `count` bytes from `offset`; throws IoError when the
  // system fails or the file ends before (kReadBeyondEnd).
  void ReadAt(uint64_t offset, char* out, size_t count);

 private:
#ifdef _WIN32
  void* handle_;
#else
  int fd_;
#endif
  uint64_t size_ = 0;
};

// A new file written through a temporary file beside its final name. Nothing
// appears under the final name until Commit(); a writer destroyed without
// it removes the temporary file, so a failed or stopped run leaves nothing.
class FileReplacer {
 public:
  // Throws IoError when the temporary file cannot be created.
  explicit FileReplacer(std::string path);
  ~FileReplacer();
  FileReplacer(const FileReplacer&) = delete;
  FileReplacer& operator=(const FileReplacer&) = delete;

  void Write(std::string_view bytes);
  // Flushes the file to disk and puts it in place of any file of that name.
  void Commit();

 private:
  void Flush();
  void WriteThrough(std::string_view bytes);
  void Discard();

  std::string path_;
  std::string tempPath_;
#ifdef _WIN32
  void* handle_;
#else
  int fd_;
#endif
  std::string buffer_;
  bool committed_ = false;
};

}  // namespace kovan
