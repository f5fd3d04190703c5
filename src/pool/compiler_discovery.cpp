#include "pool/compiler_discovery.hpp"

#include <algorithm>
#include <cstdlib>

#include "base/file_system.hpp"
#include "base/text.hpp"
#include "platform/command_line.hpp"

namespace kovan {

namespace {

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty() || IsPathSeparator(folder.back())) return folder + name;
  return folder + kPathSeparator + name;
}

std::string Exe(const CompilerSearch& search, const std::string& name) { return search.windows ? name + ".exe" : name; }

// Whether `file` can be run. Off Windows a file without the right to run it
// (a stray copy or a note named like a compiler) is passed over, so that it
// does not hide a working program later on PATH.
bool IsProgram(const CompilerSearch& search, const std::string& file) {
  return search.windows ? FileExists(file) : IsExecutableFile(file);
}

// The first folder of `folders` that holds the program `name`, joined with it.
std::string FirstIn(const CompilerSearch& search, const std::vector<std::string>& folders, const std::string& name) {
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    const std::string candidate = Join(folder, name);
    if (IsProgram(search, candidate)) return candidate;
  }
  return {};
}

std::string OnPath(const CompilerSearch& search, const std::string& name) {
  return FirstIn(search, search.path, Exe(search, name));
}

bool AllDigits(const std::string& text) { return text.find_first_not_of("0123456789") == std::string::npos; }

// Dotted version numbers compared part by part as numbers ("10.0.9" comes
// before "10.0.22621.0"); text that is not a number compares as text.
bool VersionLess(const std::string& a, const std::string& b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const size_t ai = a.find('.', i);
    const size_t bj = b.find('.', j);
    const std::string pa = a.substr(i, ai == std::string::npos ? std::string::npos : ai - i);
    const std::string pb = b.substr(j, bj == std::string::npos ? std::string::npos : bj - j);
    const bool numbers = !pa.empty() && !pb.empty() && AllDigits(pa) && AllDigits(pb);
    if (numbers && pa.size() != pb.size()) return pa.size() < pb.size();
    if (pa != pb) return pa < pb;
    if (ai == std::string::npos || bj == std::string::npos) return ai == std::string::npos && bj != std::string::npos;
    i = ai + 1;
    j = bj + 1;
  }
  return a.size() < b.size();
}

// The sub-folders of `folder`, newest version first.
std::vector<std::string> VersionFolders(const std::string& folder) {
  std::vector<std::string> names;
  for (const FolderItem& item : ListFolder(folder)) {
    if (item.isFolder && item.name != "." && item.name != "..") names.push_back(item.name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return VersionLess(b, a); });
  return names;
}

// A text value under HKLM, in the 64-bit view or the 32-bit one that 32-bit
// installers write to.
std::string MachineText(const CompilerSearch& search, const std::string& key, const std::string& name) {
  if (!search.registry) return {};
  for (const char* software : {"SOFTWARE\\", "SOFTWARE\\WOW6432Node\\"}) {
    RegistryValue value;
    if (search.registry->ReadValue(RegistryRoot::LocalMachine, software + key, name, value) == RegistryStatus::Ok &&
        (value.type == kRegSz || value.type == kRegExpandSz)) {
      std::string text = value.AsText();
      if (!text.empty()) return text;
    }
  }
  return {};
}

std::string FindGoRC(const CompilerSearch& search) {
  // The system folders keep the name GoRC is installed under on Windows.
  const std::string inSystem = FirstIn(search, {search.systemDirectory, search.system32BitDirectory}, "Gorc.exe");
  if (!inSystem.empty()) return inSystem;
  const std::string name = search.windows ? "Gorc.exe" : "GoRC";
  const std::string beside = FirstIn(search, {search.exeFolder}, name);
  return beside.empty() ? FirstIn(search, search.path, name) : beside;
}

std::string FindRc(const CompilerSearch& search) {
  const std::string root = MachineText(search, "Microsoft\\Windows Kits\\Installed Roots", "KitsRoot10");
  if (!root.empty()) {
    const std::string bin = Join(root, "bin");
    for (const std::string& version : VersionFolders(bin)) {
      const std::string rc = Join(Join(Join(bin, version), search.hostArch), "rc.exe");
      if (FileExists(rc)) return rc;
    }
  }
  return OnPath(search, "rc");
}

std::string FindCvtres(const CompilerSearch& search) {
  if (search.run && !search.programFilesX86.empty()) {
    const std::string vswhere =
        Join(Join(Join(search.programFilesX86, "Microsoft Visual Studio"), "Installer"), "vswhere.exe");
    if (FileExists(vswhere)) {
      const std::optional<std::string> out =
          search.run(vswhere, {"-latest", "-products", "*", "-requires",
                               "Microsoft.VisualStudio.Component.VC.Tools.x86.x64", "-property", "installationPath"});
      std::string install = out ? out->substr(0, out->find_first_of("\r\n")) : std::string();
      while (!install.empty() && install.back() == ' ') install.pop_back();
      if (!install.empty()) {
        const std::string tools = Join(Join(Join(install, "VC"), "Tools"), "MSVC");
        const std::string host = "Host" + search.hostArch;
        for (const std::string& version : VersionFolders(tools)) {
          const std::string cvtres =
              Join(Join(Join(Join(Join(tools, version), "bin"), host), search.hostArch), "cvtres.exe");
          if (FileExists(cvtres)) return cvtres;
        }
      }
    }
  }
  return OnPath(search, "cvtres");
}

// Debian installs LLVM's tools under versioned names too ("llvm-rc-14"); the
// newest one on PATH, with its version suffix, when the plain name is absent.
std::string NewestVersionedOnPath(const CompilerSearch& search, const std::string& name, std::string& suffix) {
  std::string best;
  std::string bestVersion;
  const std::string prefix = name + "-";
  for (const std::string& folder : search.path) {
    if (folder.empty()) continue;
    for (const FolderItem& item : ListFolder(folder)) {
      if (item.isFolder || item.name.size() <= prefix.size() || item.name.compare(0, prefix.size(), prefix) != 0) {
        continue;
      }
      const std::string version = item.name.substr(prefix.size());
      if (version.find_first_not_of("0123456789.") != std::string::npos ||
          !IsProgram(search, Join(folder, item.name))) {
        continue;
      }
      if (best.empty() || VersionLess(bestVersion, version)) {
        best = Join(folder, item.name);
        bestVersion = version;
      }
    }
  }
  suffix = best.empty() ? "" : "-" + bestVersion;
  return best;
}

CompilerPrograms FindLlvm(const CompilerSearch& search) {
  CompilerPrograms found{CompilerId::Llvm, OnPath(search, "llvm-rc"), {}};
  if (!found.compiler.empty()) {
    // The converter that came with it, else any.
    found.converter = FirstIn(search, {FolderOf(found.compiler)}, Exe(search, "llvm-cvtres"));
    if (found.converter.empty()) found.converter = OnPath(search, "llvm-cvtres");
    return found;
  }
  if (search.windows) {
    const std::string install = MachineText(search, "LLVM\\LLVM", "");
    if (!install.empty()) {
      const std::string bin = Join(install, "bin");
      found.compiler = FirstIn(search, {bin}, "llvm-rc.exe");
      found.converter = FirstIn(search, {bin}, "llvm-cvtres.exe");
    }
    return found;
  }
  std::string suffix;
  found.compiler = NewestVersionedOnPath(search, "llvm-rc", suffix);
  if (!found.compiler.empty()) {
    found.converter = FirstIn(search, {FolderOf(found.compiler)}, "llvm-cvtres" + suffix);
    if (found.converter.empty()) found.converter = OnPath(search, "llvm-cvtres");
  }
  return found;
}

std::string FindWindres(const CompilerSearch& search) {
  for (const char* name : {"windres", "x86_64-w64-mingw32-windres", "i686-w64-mingw32-windres"}) {
    const std::string found = OnPath(search, name);
    if (!found.empty()) return found;
  }
  return {};
}

}  // namespace

CompilerPrograms FindGoRCPrograms(const CompilerSearch& search) {
  const std::string gorc = FindGoRC(search);
  return {CompilerId::GoRC, gorc, gorc};
}

CompilerPrograms FindRcPrograms(const CompilerSearch& search) {
  const std::string rc = FindRc(search);
  return {CompilerId::Rc, rc, rc.empty() ? std::string() : FindCvtres(search)};
}

CompilerPrograms FindLlvmPrograms(const CompilerSearch& search) { return FindLlvm(search); }

CompilerPrograms FindWindresPrograms(const CompilerSearch& search) {
  const std::string windres = FindWindres(search);
  return {CompilerId::Windres, windres, windres};
}

CompilerPrograms FindBuiltinPrograms(const CompilerSearch&) { return {CompilerId::Builtin, {}, {}}; }

CompilerPrograms FindCompiler(const CompilerSearch& search, CompilerId id) { return Backend(id).find(search); }

CompilerPrograms FindChosenCompiler(const CompilerSearch& search, std::optional<CompilerId> chosen) {
  if (chosen) return FindCompiler(search, *chosen);
  CompilerPrograms gorc = FindCompiler(search, CompilerId::GoRC);
  return gorc.Found() ? gorc : FindCompiler(search, CompilerId::Builtin);
}

std::vector<CompilerPrograms> AvailableCompilers(const CompilerSearch& search) {
  std::vector<CompilerPrograms> all;
  for (CompilerId id : kAllCompilers) all.push_back(FindCompiler(search, id));
  return all;
}

namespace {

std::string Environment(const char* name) {
#ifdef _WIN32
  // The wide call: a folder name outside the ANSI code page must survive.
  const wchar_t* value = _wgetenv(ToWide(name).c_str());
  return value ? ToUtf8(value) : std::string();
#else
  const char* value = std::getenv(name);
  return value ? value : "";
#endif
}

std::vector<std::string> PathFolders() {
#ifdef _WIN32
  constexpr char kListSeparator = ';';
#else
  constexpr char kListSeparator = ':';
#endif
  std::vector<std::string> folders;
  const std::string path = Environment("PATH");
  size_t start = 0;
  for (;;) {
    const size_t end = path.find(kListSeparator, start);
    std::string folder = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // A folder written in quotes on Windows, for the semicolons it may hold.
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
      folder = folder.substr(1, folder.size() - 2);
    if (!folder.empty()) folders.push_back(folder);
    if (end == std::string::npos) return folders;
    start = end + 1;
  }
}

}  // namespace

CompilerSearch SystemCompilerSearch(Shell& shell, Registry* registry) {
  CompilerSearch search;
#ifdef _WIN32
  search.windows = true;
#else
  search.windows = false;
#endif
  search.systemDirectory = shell.SystemDirectory();
  search.system32BitDirectory = shell.System32BitDirectory();
  search.exeFolder = ExeFolder();
  search.path = PathFolders();
  search.hostArch = sizeof(void*) == 8 ? "x64" : "x86";
  search.programFilesX86 = Environment("ProgramFiles(x86)");
  if (search.programFilesX86.empty()) search.programFilesX86 = Environment("ProgramFiles");
  search.registry = registry;
  search.run = [&shell](const std::string& program, const std::vector<std::string>& arguments) {
    const ProcessRun run =
        shell.RunProgram({program, arguments, JoinCommandLine(arguments), std::chrono::seconds(30), {}});
    return run.outcome == ProcessRun::Outcome::Exited && run.exitCode == 0 ? std::optional<std::string>(run.output)
                                                                           : std::nullopt;
  };
  return search;
}

}  // namespace kovan
