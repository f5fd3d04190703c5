// The pool list file and the constants resource against the real Windows APIs.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/handles.win32.hpp"
#include "base/text.hpp"
#include "lang/constants_table.hpp"
#include "pool/pool_file.hpp"

namespace kovan {
namespace {

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PoolFileWin, AFileHeldOpenWithoutSharingGivesIoError32AndStaysWhole) {
  const auto folder = std::filesystem::temp_directory_path() / L"kovan-win-share";
  std::filesystem::create_directories(folder);
  const auto file = folder / L"Liste.kvl";
  { std::ofstream(file, std::ios::binary) << "old,line,kept\r\n"; }

  ResourcePool pool;
  pool.Append("?", "ico", "C:\\a.ico");
  {
    UniqueHandle holder(CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.valid());
    try {
      WritePoolFile(pool, ToUtf8(file.wstring()));
      FAIL() << "the write should fail while the file is held";
    } catch (const IoError& e) {
      EXPECT_EQ(e.code(), 32);
      EXPECT_STREQ(e.what(), "I/O error 32");
    }
  }
  EXPECT_EQ(ReadAll(file), "old,line,kept\r\n");
  WritePoolFile(pool, ToUtf8(file.wstring()));  // once released, the write goes through
  EXPECT_EQ(ReadAll(file), "?,ico,C:\\a.ico\r\n");
  std::filesystem::remove_all(folder);
}

TEST(PoolFileWin, AFileNameWithoutAFolderIsReplacedInTheCurrentFolder) {
  const auto folder = std::filesystem::temp_directory_path() / L"kovan-win-bare";
  std::filesystem::create_directories(folder);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  ReplaceFileAtomically("g.kvl", "one");
  ReplaceFileAtomically("g.kvl", "two");  // the second goes through the replace call
  std::filesystem::current_path(previous);
  EXPECT_EQ(ReadAll(folder / L"g.kvl"), "two");
  std::filesystem::remove_all(folder);
}

TEST(PoolFileWin, PathsBeyondTheOldLimitAreMarkedForTheSystem) {
  const std::string longName(300, 'x');
  EXPECT_EQ(ToSystemPath("C:\\a\\b.ico"), L"C:\\a\\b.ico");
  EXPECT_EQ(ToSystemPath("C:\\" + longName), L"\\\\?\\C:\\" + ToWide(longName));
  EXPECT_EQ(ToSystemPath("\\\\server\\share\\" + longName), L"\\\\?\\UNC\\server\\share\\" + ToWide(longName));
  EXPECT_EQ(ToSystemPath("\\\\?\\C:\\" + longName), L"\\\\?\\C:\\" + ToWide(longName));

  // A file deep in folders: found, listed, read and replaced by its plain full path.
  const auto base = std::filesystem::temp_directory_path() / L"kovan-win-long";
  std::wstring deep = L"\\\\?\\" + base.wstring();
  CreateDirectoryW(deep.c_str(), nullptr);
  for (int i = 0; i < 6; ++i) {
    deep += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
    CreateDirectoryW(deep.c_str(), nullptr);
  }
  const std::string folder = ToUtf8(deep.substr(4));
  const std::string file = folder + "\\Liste.kvl";
  ASSERT_GT(file.size(), 300u);
  ReplaceFileAtomically(file, "one");
  ReplaceFileAtomically(file, "two");
  EXPECT_TRUE(FileExists(file));
  EXPECT_TRUE(FolderExists(folder));
  EXPECT_EQ(FileSizeOf(file), 3u);
  EXPECT_EQ(ReadWholeFile(file), "two");
  DeleteFileW((deep + L"\\Liste.kvl").c_str());
  while (deep.size() > 4 + base.wstring().size()) {
    RemoveDirectoryW(deep.c_str());
    deep.erase(deep.rfind(L'\\'));
  }
  RemoveDirectoryW(deep.c_str());
}

TEST(PoolFileWin, AFullDiskIsDescribedAsSuch) {
  EXPECT_EQ(IoErrorSystemText(io_code::kDiskFull), SystemErrorText(ERROR_DISK_FULL));
  EXPECT_EQ(IoErrorSystemText(32), SystemErrorText(32));
}

TEST(PoolFileWin, KovanCarriesTheConstantsResourceByteForByte) {
  const auto exe = std::filesystem::path(ToWide(ExeFolder())) / L"Kovan.exe";
  HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  HRSRC info = FindResourceW(module, L"LANG_CONSTS", MAKEINTRESOURCEW(10));
  ASSERT_NE(info, nullptr);
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, info)));
  const DWORD size = SizeofResource(module, info);
  ASSERT_EQ(size, 3112u);
  const auto ours = BuiltinConstantsResource();
  ASSERT_EQ(ours.size(), size);
  EXPECT_TRUE(std::equal(ours.begin(), ours.end(), data));
  FreeLibrary(module);
}

TEST(PoolFileWin, SystemCodePageRoundTrip) {
  // Whatever the system's ANSI code page, a pool that fits it is written in it.
  ResourcePool pool;
  pool.Append("K", "ico", "C:\\plain\\a.ico");
  EXPECT_EQ(SerializePool(pool, GetACP()), "K,ico,C:\\plain\\a.ico\r\n");
  EXPECT_EQ(AnsiToUtf8("\xFE", 1254), "\xc5\x9f");
  bool lossless = true;
  EXPECT_EQ(Utf8ToAnsi("\xe6\x97\xa5", 1252, &lossless), "?");
  EXPECT_FALSE(lossless);
}

}  // namespace
}  // namespace kovan
