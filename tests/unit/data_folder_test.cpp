#include "platform/data_folder.hpp"

#include <gtest/gtest.h>

#include "base/file_system.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

TEST(DataFolder, AWritableExecutableFolderKeepsTheFilesAndAnUnwritableOneSendsThemToTheUser) {
  test::TempDir dir;
  EXPECT_TRUE(FolderIsWritable(dir.str()));
  EXPECT_EQ(DataFolder(dir.str()), dir.str());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::FsPath(dir.str())), {}), 0)
      << "the write test leaves nothing behind";

  // A folder that cannot take a new file (here: one that does not exist).
  const std::string locked = dir / "gone" + std::string(1, kPathSeparator);
  EXPECT_FALSE(FolderIsWritable(locked));
  const std::string perUser = DataFolder(locked);
  EXPECT_NE(perUser, locked);
  EXPECT_TRUE(FolderExists(perUser));
  EXPECT_NE(perUser.find("ORSEL RIRUDIR"), std::string::npos);
  EXPECT_EQ(perUser.back(), kPathSeparator);
}

TEST(DataFolder, AListBesideAReadOnlyExecutableMovesToTheUserOnce) {
  test::TempDir exe;
  test::TempDir user;
  test::WriteBytes(exe / "Liste.kvl", "K,ico,a.ico\r\n");
  EXPECT_EQ(ChooseDataFolder(exe.str(), true, user.str()), exe.str());
  EXPECT_FALSE(FileExists(user / "Liste.kvl"));

  EXPECT_EQ(ChooseDataFolder(exe.str(), false, user.str()), user.str());
  EXPECT_EQ(test::ReadBytes(user / "Liste.kvl"), "K,ico,a.ico\r\n");
  test::WriteBytes(user / "Liste.kvl", "newer\r\n");
  ChooseDataFolder(exe.str(), false, user.str());
  EXPECT_EQ(test::ReadBytes(user / "Liste.kvl"), "newer\r\n") << "the user's own list is never replaced";

  EXPECT_EQ(ChooseDataFolder(exe.str(), false, ""), exe.str()) << "no per-user folder: stay beside the program";
}

}  // namespace
}  // namespace kovan
