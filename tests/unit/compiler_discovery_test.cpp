// Finding the resource compilers against a scripted registry and a folder
// tree: the places each one is looked for, in their order.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/file_system.hpp"
#include "pool/compiler_discovery.hpp"
#include "support/memory_registry.hpp"
#include "support/test_util.hpp"

namespace kovan {
namespace {

std::string Sep() { return std::string(1, kPathSeparator); }

class Discovery : public ::testing::Test {
 protected:
  Discovery() {
    search.windows = true;
    search.systemDirectory = Folder("system32");
    search.system32BitDirectory = Folder("syswow64");
    search.exeFolder = Folder("kovan") + Sep();
    search.path = {Folder("path1"), Folder("path2")};
    search.programFilesX86 = Folder("pf86");
    search.registry = &registry;
  }

  // A folder under the tree, made with its parents; the name may hold
  // several levels separated by '/'.
  std::string Folder(const std::string& name) {
    std::string path = root.str();
    path.pop_back();
    size_t start = 0;
    for (size_t slash; (slash = name.find('/', start)) != std::string::npos; start = slash + 1) {
      path += Sep() + name.substr(start, slash - start);
    }
    path += Sep() + name.substr(start);
    std::filesystem::create_directories(test::FsPath(path));
    return path;
  }
  // A program (which may be run); `runnable` false gives a plain file.
  std::string File(const std::string& folder, const std::string& name, bool runnable = true) {
    const std::string path = Folder(folder) + Sep() + name;
    test::WriteBytes(path, "MZ");
    if (runnable) {
      std::filesystem::permissions(test::FsPath(path), std::filesystem::perms::owner_exec,
                                   std::filesystem::perm_options::add);
    }
    return path;
  }
  void SetMachineText(const std::string& key, const std::string& name, const std::string& value) {
    ASSERT_EQ(registry.CreateKey(RegistryRoot::LocalMachine, key), RegistryStatus::Ok);
    ASSERT_EQ(registry.WriteValue(RegistryRoot::LocalMachine, key, name, RegistryValue::Text(value)),
              RegistryStatus::Ok);
  }

  test::TempDir root;
  MemoryRegistry registry;
  CompilerSearch search;
};

TEST_F(Discovery, GoRCIsLookedForInTheSystemFoldersThenBesideKovanThenOnPath) {
  EXPECT_FALSE(FindCompiler(search, CompilerId::GoRC).Found());
  // Each step adds a copy in an earlier place, which then wins.
  const char* places[] = {"path2", "path1", "kovan", "syswow64", "system32"};
  for (const char* place : places) {
    SCOPED_TRACE(place);
    const std::string gorc = File(place, "Gorc.exe");
    const CompilerPrograms found = FindCompiler(search, CompilerId::GoRC);
    EXPECT_EQ(found.compiler, gorc);
    EXPECT_TRUE(found.CanMakeObj());
  }
  // A folder of that name is not a program.
  std::filesystem::remove_all(test::FsPath(search.systemDirectory));
  Folder("system32/Gorc.exe");
  EXPECT_EQ(FindCompiler(search, CompilerId::GoRC).compiler, search.system32BitDirectory + Sep() + "Gorc.exe");
}

TEST_F(Discovery, WithNoCompilerChosenGoRCComesFirstAndKovansOwnStandsIn) {
  EXPECT_EQ(FindChosenCompiler(search, std::nullopt).id, CompilerId::Builtin);
  EXPECT_FALSE(FindChosenCompiler(search, CompilerId::GoRC).Found());  // a chosen one is never swapped
  File("system32", "Gorc.exe");
  EXPECT_EQ(FindChosenCompiler(search, std::nullopt).id, CompilerId::GoRC);
  EXPECT_EQ(FindChosenCompiler(search, CompilerId::Builtin).id, CompilerId::Builtin);
}

TEST_F(Discovery, RcComesFromTheNewestKitAndCvtresFromTheVisualStudioInstaller) {
  File("path2", "rc.exe");
  EXPECT_EQ(FindCompiler(search, CompilerId::Rc).compiler, search.path[1] + Sep() + "rc.exe");

  const std::string kits = Folder("Windows Kits/10");
  SetMachineText("SOFTWARE\\WOW6432Node\\Microsoft\\Windows Kits\\Installed Roots", "KitsRoot10", kits + Sep());
  File("Windows Kits/10/bin/10.0.9.0/x64", "rc.exe");
  const std::string newest = File("Windows Kits/10/bin/10.0.22621.0/x64", "rc.exe");
  File("Windows Kits/10/bin/10.0.22621.0/x86", "rc.exe");
  Folder("Windows Kits/10/bin/10.0.30000.0/x64");  // a newer kit without rc
  CompilerPrograms rc = FindCompiler(search, CompilerId::Rc);
  EXPECT_EQ(rc.compiler, newest);
  EXPECT_FALSE(rc.CanMakeObj());  // no cvtres anywhere: .OBJ files are out of reach

  const std::string vs = Folder("VS/2022");
  File("pf86/Microsoft Visual Studio/Installer", "vswhere.exe");
  std::vector<std::string> asked;
  search.run = [&](const std::string& program, const std::vector<std::string>& arguments) {
    asked = arguments;
    EXPECT_EQ(program,
              search.programFilesX86 + Sep() + "Microsoft Visual Studio" + Sep() + "Installer" + Sep() + "vswhere.exe");
    return std::optional<std::string>(vs + "\r\n");
  };
  File("VS/2022/VC/Tools/MSVC/14.29.30133/bin/Hostx64/x64", "cvtres.exe");
  const std::string cvtres = File("VS/2022/VC/Tools/MSVC/14.38.33130/bin/Hostx64/x64", "cvtres.exe");
  rc = FindCompiler(search, CompilerId::Rc);
  EXPECT_EQ(rc.converter, cvtres);
  EXPECT_TRUE(rc.CanMakeObj());
  EXPECT_EQ(asked.back(), "installationPath");
}

TEST_F(Discovery, LlvmOnPathComesFirstThenTheRegisteredInstallation) {
  const std::string install = Folder("LLVM");
  SetMachineText("SOFTWARE\\LLVM\\LLVM", "", install);
  const std::string rc = File("LLVM/bin", "llvm-rc.exe");
  const std::string cvtres = File("LLVM/bin", "llvm-cvtres.exe");
  CompilerPrograms llvm = FindCompiler(search, CompilerId::Llvm);
  EXPECT_EQ(llvm.compiler, rc);
  EXPECT_EQ(llvm.converter, cvtres);

  const std::string onPath = File("path2", "llvm-rc.exe");
  llvm = FindCompiler(search, CompilerId::Llvm);
  EXPECT_EQ(llvm.compiler, onPath);
  EXPECT_EQ(llvm.converter, "");  // not beside it, not on PATH; the registered one is not mixed in
}

TEST_F(Discovery, OffWindowsTheDebianNamesAreFound) {
  search.windows = false;
  search.registry = nullptr;
  File("path1", "llvm-rc-13");
  File("path2", "llvm-rc-14");
  File("path2", "llvm-cvtres-14");
  File("path1", "llvm-cvtres-13");
  File("path1", "llvm-rc-tool");  // not a version
  const CompilerPrograms llvm = FindCompiler(search, CompilerId::Llvm);
  EXPECT_EQ(llvm.compiler, search.path[1] + Sep() + "llvm-rc-14");
  EXPECT_EQ(llvm.converter, search.path[1] + Sep() + "llvm-cvtres-14");

  const std::string i686 = File("path1", "i686-w64-mingw32-windres");
  EXPECT_EQ(FindCompiler(search, CompilerId::Windres).compiler, i686);
  const std::string x64 = File("path2", "x86_64-w64-mingw32-windres");
  EXPECT_EQ(FindCompiler(search, CompilerId::Windres).compiler, x64);  // the names in order, before the folders
  const std::string plain = File("path2", "windres");
  EXPECT_EQ(FindCompiler(search, CompilerId::Windres).compiler, plain);
#ifndef _WIN32
  // A file named like a compiler that may not be run hides nothing behind it.
  File("path1", "windres", false);
  File("path1", "llvm-rc-15", false);
  EXPECT_EQ(FindCompiler(search, CompilerId::Windres).compiler, plain);
  EXPECT_EQ(FindCompiler(search, CompilerId::Llvm).compiler, search.path[1] + Sep() + "llvm-rc-14");
#endif

  const std::vector<CompilerPrograms> all = AvailableCompilers(search);
  ASSERT_EQ(all.size(), 5u);
  EXPECT_FALSE(all[0].Found());
  EXPECT_FALSE(all[1].Found());
  EXPECT_TRUE(all[2].CanMakeObj());
  EXPECT_TRUE(all[3].CanMakeObj());
  EXPECT_TRUE(all[4].CanMakeObj());  // Kovan's own is always there
}

}  // namespace
}  // namespace kovan
