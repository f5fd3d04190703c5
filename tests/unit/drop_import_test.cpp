#include "pool/drop_import.hpp"

#include <gtest/gtest.h>

#include "base/file_system.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

TEST(DropImport, ExtensionIsTheTextAfterTheLastDotOfTheName) {
  const std::pair<const char*, const char*> cases[] = {{"C:\\Data\\logo.PNG", "PNG"},
                                                       {"C:\\Icons\\app.ico", "ico"},
                                                       {"C:\\Data\\README", ""},
                                                       {"C:\\v1.2\\README", ""},
                                                       {"C:\\a.b\\c.tar.gz", "gz"},
                                                       {"C:x.", ""},
                                                       {"C:.ico", "ico"},
                                                       {"D:", ""},
                                                       {"noext", ""}};
  for (const auto& [path, ext] : cases) EXPECT_EQ(ExtensionOf(path), ext) << path;
}

class DropImportFiles : public ::testing::Test {
 protected:
  std::string Make(const std::string& relative) {
    std::filesystem::create_directories(test::FsPath(FolderOf(dir / relative)));
    test::WriteBytes(dir / relative, "x");
    return dir / relative;
  }
  static std::string Sep() { return std::string(1, kPathSeparator); }

  test::TempDir dir;
  ResourcePool pool;
};

TEST_F(DropImportFiles, FilesBecomeEntriesOnceEach) {
  const std::string a = Make("a.ico");
  const std::string b = Make("README");
  pool.Append("K", "ico", a);
  const size_t added = ImportDroppedPaths(pool, {a, b, dir / "missing.png", a}, {});
  EXPECT_EQ(added, 1u);
  ASSERT_EQ(pool.Count(), 2u);
  EXPECT_EQ(pool.Entries()[1].fields, (std::vector<std::string>{"?", "", b}));
}

TEST_F(DropImportFiles, FoldersFollowTheSettingAndTheAnswer) {
  Make("top.png");
  Make("sub" + Sep() + "inner.bmp");
  Make("sub" + Sep() + "deeper" + Sep() + "deep.wav");
  Make(".hidden" + Sep() + "secret.ico");
  const std::string folder = dir.str().substr(0, dir.str().size() - 1);  // dropped without separator

  ImportDroppedPaths(pool, {folder}, {});
  EXPECT_EQ(pool.Count(), 0u) << "folders are ignored unless accepted";

  std::vector<std::string> asked;
  DropImportHooks hooks;
  hooks.acceptFolders = true;
  hooks.askSubfolders = [&](const std::string& f) {
    asked.push_back(f);
    return false;
  };
  ImportDroppedPaths(pool, {folder}, hooks);
  EXPECT_EQ(asked, std::vector<std::string>{dir.str()});
  ASSERT_EQ(pool.Count(), 1u);
  EXPECT_EQ(pool.Field(0, kFilePath), dir / "top.png");

  hooks.askSubfolders = [](const std::string&) { return true; };
  ImportDroppedPaths(pool, {folder}, hooks);
  std::vector<std::string> paths;
  for (const PoolEntry& e : pool.Entries()) paths.push_back(e.Field(kFilePath));
  const std::vector<std::string> expected = {dir / "top.png", dir / ("sub" + Sep() + "inner.bmp"),
                                             dir / ("sub" + Sep() + "deeper" + Sep() + "deep.wav")};
#ifdef _WIN32
  // Dot names are not hidden on Windows; the hidden attribute decides there.
  paths.erase(std::remove_if(paths.begin(), paths.end(),
                             [](const std::string& p) { return p.find(".hidden") != std::string::npos; }),
              paths.end());
#endif
  EXPECT_EQ(paths, expected);
}

#ifndef _WIN32
TEST_F(DropImportFiles, LinkedSubfoldersAreNotEnteredButALinkedFolderDroppedItselfIs) {
  namespace fs = std::filesystem;
  Make("a.ico");
  Make("sub" + Sep() + "b.ico");
  fs::create_directory_symlink(test::FsPath(dir.str()), test::FsPath(dir / "sub" + Sep() + "loop"));
  fs::create_directory_symlink(test::FsPath(dir / "sub"), test::FsPath(dir / "linked"));
  DropImportHooks hooks;
  hooks.acceptFolders = true;
  hooks.askSubfolders = [](const std::string&) { return true; };
  ImportDroppedPaths(pool, {dir.str()}, hooks);
  std::vector<std::string> paths;
  for (const PoolEntry& e : pool.Entries()) paths.push_back(e.Field(kFilePath));
  EXPECT_EQ(paths, (std::vector<std::string>{dir / "a.ico", dir / ("sub" + Sep() + "b.ico")}));

  pool.Clear();
  ImportDroppedPaths(pool, {dir / "linked"}, hooks);
  ASSERT_EQ(pool.Count(), 1u);
  EXPECT_EQ(pool.Field(0, kFilePath), dir / ("linked" + Sep() + "b.ico"));
}
#endif

TEST_F(DropImportFiles, StoppingKeepsWhatWasAppended) {
  for (int i = 0; i < 5; ++i) Make("f" + std::to_string(i) + ".txt");
  DropImportHooks hooks;
  hooks.acceptFolders = true;
  int pumps = 0;
  hooks.pump = [&] { return ++pumps >= 2; };  // Escape noticed after the second file
  ImportDroppedPaths(pool, {dir.str(), Make("other" + Sep() + "late.txt")}, hooks);
  EXPECT_EQ(pool.Count(), 2u);
}

}  // namespace
}  // namespace kovan
