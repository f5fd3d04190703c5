#include <gtest/gtest.h>

#include <vector>

#include "base/error_report.hpp"
#include "base/errors.hpp"
#include "base/file_identity.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

TEST(Text, AnsiConversionsFollowTheCodePage) {
  bool lossless = true;
  EXPECT_EQ(Utf8ToAnsi("\xc5\x9f\xc4\xb1", 1254, &lossless), "\xFE\xFD");  // şı
  EXPECT_TRUE(lossless);
  EXPECT_EQ(AnsiToUtf8("\xFE\xFD", 1254), "\xc5\x9f\xc4\xb1");
  EXPECT_EQ(AnsiToUtf8("\xFE\xFD", 1252), "\xc3\xbe\xc3\xbd");
  EXPECT_EQ(Utf8ToAnsi("\xc4\xb1", 1252, &lossless), "?");  // ı has no place in 1252
  EXPECT_FALSE(lossless);
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("a\xf0\x9f\x90\x9d"
                                    "b")),
            "a\xf0\x9f\x90\x9d"
            "b");
  EXPECT_EQ(Utf8ToUtf16("\xff"), u"\ufffd");
#ifndef _WIN32
  // One bad byte in double-byte text costs that byte, not the field (the
  // system decoder of Windows sees to that there).
  EXPECT_EQ(AnsiToUtf8("\x93\xFA\x81\x20\x96\x7B\x93", 932),
            "\xe6\x97\xa5\xef\xbf\xbd \xe6\x9c\xac\xef\xbf\xbd");  // 日? 本?
#endif
}

TEST(Text, UpperCasingTouchesOnlyAsciiLetters) {
  EXPECT_EQ(AsciiUpper("bmp-\xc4\xb1\xc3\xa7z"), "BMP-\xc4\xb1\xc3\xa7Z");
  EXPECT_TRUE(AsciiIEquals("XMLad", "xmlAD"));
  EXPECT_TRUE(AsciiIEndsWith("app.RES", ".res"));
  EXPECT_FALSE(AsciiIEndsWith("s", ".res"));
}

TEST(Errors, IoErrorTextsByCode) {
  const std::pair<int, const char*> cases[] = {{2, "File not found"},
                                               {3, "Invalid filename"},
                                               {4, "Too many open files"},
                                               {5, "File access denied"},
                                               {100, "Read beyond end of file"},
                                               {101, "Disk full"},
                                               {106, "Invalid numeric input"},
                                               {32, "I/O error 32"},
                                               {0, "I/O error 0"}};
  for (const auto& [code, text] : cases) EXPECT_STREQ(IoError(code).what(), text);
}

TEST(Errors, ReportAddsAFullStopAfterLettersAndDigits) {
  EXPECT_EQ(ErrorReportText("I/O error 32"), "I/O error 32.");
  EXPECT_EQ(ErrorReportText("Disk full"), "Disk full.");
  EXPECT_EQ(ErrorReportText("Done."), "Done.");
  EXPECT_EQ(ErrorReportText("Wait..."), "Wait...");
  EXPECT_EQ(ErrorReportText("Oops!"), "Oops!");
  EXPECT_EQ(ErrorReportText("(x)"), "(x)");
  EXPECT_EQ(ErrorReportText("a/"), "a/.");
  EXPECT_EQ(ErrorReportText(""), "");
}

TEST(FileSystem, FilesAndFolders) {
  test::TempDir dir;
  test::WriteBytes(dir / "f.txt", "x");
  EXPECT_TRUE(FileExists(dir / "f.txt"));
  EXPECT_FALSE(FolderExists(dir / "f.txt"));
  EXPECT_FALSE(FileExists(dir.str()));
  EXPECT_TRUE(FolderExists(dir.str()));
  EXPECT_FALSE(FileExists(dir / "missing"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(dir / "missing" + std::string(1, kPathSeparator) + "x"));
}

// The batched check must say what asking for each file says, whatever the
// folder holds: gaps, a folder under a file's name, links, other letter case,
// names given twice, and a folder far larger than the part asked for.
TEST(FileSystem, FilesExistAgreesWithAskingForEachFile) {
  test::TempDir dir;
  std::filesystem::create_directory(test::FsPath(dir / "big"));
  std::filesystem::create_directory(test::FsPath(dir / "small"));
  std::vector<std::string> paths;
  for (int i = 0; i < 40; ++i) {
    const std::string name = dir / "f" + std::to_string(i) + ".bin";
    if (i % 3 != 0) test::WriteBytes(name, "x");
    paths.push_back(name);
  }
  std::filesystem::create_directory(test::FsPath(dir / "f3.bin"));  // a folder where a file was
  paths.push_back(dir / "f1.bin");                                   // twice
  paths.push_back(dir / "F2.BIN");                                   // another case
  for (int i = 0; i < 700; ++i) test::WriteBytes(dir / "big" + std::string(1, kPathSeparator) + std::to_string(i), "");
  for (int i = 690; i < 710; ++i) paths.push_back(dir / "big" + std::string(1, kPathSeparator) + std::to_string(i));
  test::WriteBytes(dir / "small" + std::string(1, kPathSeparator) + "one", "x");
  paths.push_back(dir / "small" + std::string(1, kPathSeparator) + "one");
  paths.push_back(dir / "small" + std::string(1, kPathSeparator) + "two");
  paths.push_back("");
#ifndef _WIN32
  std::filesystem::create_symlink(test::FsPath(dir / "f1.bin"), test::FsPath(dir / "to-file"));
  std::filesystem::create_symlink(test::FsPath(dir / "small"), test::FsPath(dir / "to-folder"));
  paths.push_back(dir / "to-file");
  paths.push_back(dir / "to-folder");
#endif
  const std::vector<bool> exists = FilesExist(paths);
  ASSERT_EQ(exists.size(), paths.size());
  int found = 0;
  for (size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(exists[i], FileExists(paths[i])) << paths[i];
    found += exists[i];
  }
  EXPECT_GT(found, 30);
}

TEST(FileSystem, FolderAndFileNameSplitAtTheSystemsSeparators) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
  };
  const Case cases[] = {
      {"plain", "", "plain"},
#ifdef _WIN32
      {"C:\\a\\b.ico", "C:\\a\\", "b.ico"},
      {"C:b.ico", "C:", "b.ico"},
#else
      // A backslash or a colon is part of a name here: a list reached through
      // "v1:list.kvl" is that file, and its script goes beside it.
      {"/a/b.ico", "/a/", "b.ico"},
      {"/data/v1:list.kvl", "/data/", "v1:list.kvl"},
      {"/data/C:\\x\\b.ico", "/data/", "C:\\x\\b.ico"},
#endif
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
  }
}

TEST(FileSystem, IdentityIsSharedByTheNamesOfOneFileOnly) {
  test::TempDir dir;
  test::WriteBytes(dir / "f.txt", "x");
  test::WriteBytes(dir / "other.txt", "x");
  std::filesystem::create_hard_link(test::FsPath(dir / "f.txt"), test::FsPath(dir / "same.txt"));
  const std::optional<FileIdentity> f = IdentityOfFile(dir / "f.txt");
  ASSERT_TRUE(f);
  const std::pair<std::string, std::optional<FileIdentity>> cases[] = {
      {dir / "f.txt", f},
      {dir / "same.txt", f},
#ifdef _WIN32
      {dir / "F.TXT", f},
#endif
      {dir / "missing.txt", std::nullopt},
  };
  // The reader answers from the folder's listing where it can, and must give
  // what opening the file gives.
  FileIdentityReader reader;
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(IdentityOfFile(path), expected) << path;
    EXPECT_EQ(reader.Read(path), expected) << path;
  }
  EXPECT_NE(reader.Read(dir / "other.txt"), f);
  EXPECT_TRUE(reader.Read(dir / "other.txt"));
}

TEST(FileSystem, AtomicReplaceWritesAndReplaces) {
  test::TempDir dir;
  ReplaceFileAtomically(dir / "x.bin", std::string("one\0two", 7));
  EXPECT_EQ(test::ReadBytes(dir / "x.bin"), std::string("one\0two", 7));
  ReplaceFileAtomically(dir / "x.bin", "");
  EXPECT_EQ(test::ReadBytes(dir / "x.bin"), "");
  size_t count = 0;
  for (const auto& item : std::filesystem::directory_iterator(test::FsPath(dir.str()))) {
    (void)item;
    ++count;
  }
  EXPECT_EQ(count, 1u) << "no temporary file is left behind";
}

#ifdef _WIN32
// Failures after which the system's replace has already renamed the target
// away: the new contents must be put in place, or kept and named, never lost.
unsigned long RenameTargetAwayThenFail(const wchar_t* target, const wchar_t*) {
  std::filesystem::rename(target, std::wstring(target) + L".old");
  return 1176;  // the replacement could not be moved in
}

unsigned long BlockTargetThenFail(const wchar_t* target, const wchar_t*) {
  std::filesystem::rename(target, std::wstring(target) + L".old");
  std::filesystem::create_directory(target);  // nothing can be moved there now
  return 1177;
}

TEST(FileSystem, AtomicReplaceKeepsTheNewContentsWhenTheSystemReplaceFailsHalfway) {
  test::TempDir dir;
  const std::string list = dir / "Liste.kvl";

  test::WriteBytes(list, "old");
  ReplaceFileAtomically(list, "new", RenameTargetAwayThenFail);
  EXPECT_EQ(test::ReadBytes(list), "new") << "moved into place after the failure";
  EXPECT_EQ(test::ReadBytes(list + ".old"), "old");

  std::filesystem::remove(test::FsPath(list));
  std::filesystem::remove(test::FsPath(list + ".old"));
  test::WriteBytes(list, "old");
  std::string message;
  try {
    ReplaceFileAtomically(list, "new", BlockTargetThenFail);
  } catch (const IoError& e) {
    message = e.what();
  }
  const std::string kept = list + "." + std::to_string(test::ProcessId()) + ".tmp";
  EXPECT_NE(message.find("\"" + kept + "\""), std::string::npos) << message;
  EXPECT_NE(message.find("\"" + list + "\""), std::string::npos) << message;
  EXPECT_EQ(test::ReadBytes(kept), "new") << "the only copy of the new contents is kept";
}
#else
TEST(FileSystem, AtomicReplaceKeepsModeAndLinksAndNeverFollowsAPlantedName) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  const std::string real = dir / "real.kvl";
  const std::string link = dir / "Liste.kvl";
  const std::string victim = dir / "victim";
  test::WriteBytes(real, "old");
  test::WriteBytes(victim, "untouched");
  fs::permissions(test::FsPath(real), fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real.kvl", test::FsPath(link));
  // The names a predictable writer would have used point elsewhere.
  for (const std::string& name : {link, real}) {
    fs::create_symlink(test::FsPath(victim), test::FsPath(name + "." + std::to_string(test::ProcessId()) + ".tmp"));
  }

  ReplaceFileAtomically(link, "new");

  EXPECT_TRUE(fs::is_symlink(test::FsPath(link))) << "the link stays a link";
  EXPECT_EQ(test::ReadBytes(real), "new");
  EXPECT_EQ(fs::status(test::FsPath(real)).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(test::ReadBytes(victim), "untouched");
  size_t count = 0;
  for (const auto& item : fs::directory_iterator(test::FsPath(dir.str()))) {
    (void)item;
    ++count;
  }
  EXPECT_EQ(count, 5u) << "no temporary file is left behind";
}
#endif

// Test builds check the standard containers' indexes: an index past the end
// stops the program where it happens instead of corrupting memory. (Natively:
// a death test runs a second copy of the test program.)
#ifndef _WIN32
TEST(BuildChecks, AnIndexPastTheEndStopsTheProgramAtOnce) {
  std::vector<int> values(2);
  volatile size_t pastTheEnd = values.size();
  EXPECT_DEATH(values[pastTheEnd] = 1, "");
}
#endif

}  // namespace
}  // namespace kovan
