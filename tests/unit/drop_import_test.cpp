#include "pool/drop_import.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "base/file_system.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

TEST(DropImport, ExtensionIsTheTextAfterTheLastDotOfTheName) {
  const std::pair<const char*, const char*> cases[] = {
#ifdef _WIN32
      {"C:\\Data\\logo.PNG", "PNG"},
      {"C:\\Icons\\app.ico", "ico"},
      {"C:\\Data\\README", ""},
      {"C:\\v1.2\\README", ""},
      {"C:\\a.b\\c.tar.gz", "gz"},
      {"C:x.", ""},
      {"C:.ico", "ico"},
      {"D:", ""},
#else
      {"/data/logo.PNG", "PNG"},
      {"/data/README", ""},
      {"/v1.2/README", ""},
      {"/a.b/c.tar.gz", "gz"},
      {"/data/x.", ""},
      {"/data/.ico", "ico"},
      {"/v1.2\\README", "2\\README"},
#endif
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

// One file reached by two paths is added once: through a linked folder, or a
// link beside it (a hard link on Windows, where making symbolic links needs
// rights a test run may not have).
class DropImportLinks : public DropImportFiles {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    Make("data" + Sep() + "a.ico");
    Make("data" + Sep() + "b.png");
    const std::string target = Make("pair" + Sep() + "a.ico");
    std::error_code ec;
#ifdef _WIN32
    fs::create_hard_link(test::FsPath(target), test::FsPath(dir / ("pair" + Sep() + "alias.ico")), ec);
#else
    fs::create_symlink(test::FsPath(target), test::FsPath(dir / ("pair" + Sep() + "alias.ico")), ec);
#endif
    ASSERT_FALSE(ec) << ec.message();
    fs::create_directory_symlink(test::FsPath(dir / "data"), test::FsPath(dir / "dataLink"), ec);
    folderLinks = !ec && FolderExists(dir / "dataLink");
  }

  bool folderLinks = false;
};

TEST_F(DropImportLinks, AFileReachedTwiceIsAddedOnce) {
  struct Case {
    const char* what;
    std::vector<std::vector<std::string>> drops;  // relative paths, '/' for the separator
    std::vector<size_t> addedPerDrop;
  };
  const Case cases[] = {
      {"a folder and a link to it in one drop", {{"data", "dataLink"}}, {2}},
      {"the link in a later drop", {{"data"}, {"dataLink"}}, {2, 0}},
      {"the link first, then the folder", {{"dataLink"}, {"data"}}, {2, 0}},
      {"a file through the link after its folder", {{"data"}, {"dataLink/a.ico"}}, {2, 0}},
      {"a file link beside its target, both dropped", {{"pair/a.ico", "pair/alias.ico"}}, {1}},
      {"the folder holding a file and its link", {{"pair"}}, {1}},
      {"distinct files with equal names", {{"data"}, {"pair"}}, {2, 1}},
  };
  auto full = [&](std::string relative) {
    std::replace(relative.begin(), relative.end(), '/', kPathSeparator);
    return dir / relative;
  };
  DropImportHooks hooks;
  hooks.acceptFolders = true;
  for (const Case& c : cases) {
    bool needsFolderLink = false;
    for (const auto& drop : c.drops) {
      for (const std::string& p : drop) needsFolderLink = needsFolderLink || p.starts_with("dataLink");
    }
    if (needsFolderLink && !folderLinks) continue;  // no linked folders here (Wine)
    pool.Clear();
    std::vector<size_t> added;
    for (const auto& drop : c.drops) {
      std::vector<std::string> paths;
      for (const std::string& p : drop) paths.push_back(full(p));
      added.push_back(ImportDroppedPaths(pool, paths, hooks));
    }
    EXPECT_EQ(added, c.addedPerDrop) << c.what;
  }
}

TEST_F(DropImportLinks, APoolClearedDuringTheImportTakesTheFileAgain) {
  DropImportHooks hooks;
  bool cleared = false;
  hooks.pump = [&] {
    if (!cleared) pool.Clear();  // the menu's "clear" while the import dispatches messages
    cleared = true;
    return false;
  };
  const std::string a = dir / ("pair" + Sep() + "a.ico");
  EXPECT_EQ(ImportDroppedPaths(pool, {a, dir / ("pair" + Sep() + "alias.ico")}, hooks), 2u);
  ASSERT_EQ(pool.Count(), 1u);
  EXPECT_EQ(pool.Field(0, kFilePath), dir / ("pair" + Sep() + "alias.ico"));
}

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
