#include "export/file_size_text.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "lang/lang_manager.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

TEST(FileSizeText, StepsOf1024UpToGigabytes) {
  struct Case {
    uint64_t bytes;
    const char* text;
  };
  const Case cases[] = {
      {0, "0 Byte"},
      {1023, "1023 Byte"},
      {1024, "1 Kb"},
      {1536, "1 Kb"},
      {1048576, "1 Mb"},
      {5000000, "4 Mb"},
      // Sparse files: sizes beyond 32 bits must not wrap, and Gb is the last unit.
      {(uint64_t{1} << 31) + 1, "2 Gb"},
      {uint64_t{5} << 40, "5120 Gb"},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    const std::string path = dir / ("f" + std::to_string(c.bytes));
    test::WriteBytes(path, "");
    std::error_code error;
    std::filesystem::resize_file(test::FsPath(path), c.bytes, error);
    // Some file systems (Wine's view of the host's) refuse a 5 TiB file even sparse.
    if (error && c.bytes > (uint64_t{1} << 40)) continue;
    ASSERT_FALSE(error) << c.bytes << ": " << error.message();
    EXPECT_EQ(FileSizeText(path), c.text) << c.bytes;
  }
  EXPECT_EQ(FileSizeText(dir / "missing"), Text(msg::bildosboy));
  EXPECT_EQ(FileSizeText(dir.str()), Text(msg::bildosboy));
}

}  // namespace
}  // namespace kovan
