// kovanc list (the resources of a .RES, object or program file, and
// --extract) and kovanc import (a resource script, or a folder --extract
// wrote, into a pool list file).
#include <nlohmann/json.hpp>

#include <filesystem>
#include <memory>
#include <system_error>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/streamed_file.hpp"
#include "base/text.hpp"
#include "cli/commands.hpp"
#include "cli/pool_file_access.hpp"
#include "formats/format_error.hpp"
#include "formats/res_file.hpp"
#include "formats/resource_directory.hpp"
#include "pool/resource_extract.hpp"
#include "pool/script_import.hpp"

namespace kovan::cli {

namespace {

class ReaderSource : public ByteSource {
 public:
  explicit ReaderSource(FileReader& file) : file_(file) {}
  uint64_t Size() const override { return file_.Size(); }
  void ReadAt(uint64_t offset, char* out, size_t count) override {
    try {
      file_.ReadAt(offset, out, count);
    } catch (const IoError& e) {
      if (e.code() != io_code::kReadBeyondEnd) throw;
      throw FormatError("the file ends before byte " + std::to_string(offset + count));
    }
  }

 private:
  FileReader& file_;
};

[[noreturn]] void Fail(const std::string& file, const std::string& what) {
  fflush(stdout);
  PrintError("kovanc: " + file + ": " + what + "\n");
  Exit(1);
}

std::string TypeText(const ResourceId& type) {
  if (type.numbered) {
    if (const char* name = StandardTypeName(type.number)) return name;
  }
  return ResourceIdText(type);
}

nlohmann::json IdJson(const ResourceId& id) {
  if (id.numbered) return id.number;
  return Utf16ToUtf8(id.name);
}

void PrintListing(const std::string& file, const ResourceFileContents& contents, bool json) {
  if (json) {
    nlohmann::json out;
    out["file"] = file;
    out["kind"] = contents.kind == ResourceFileKind::Res ? "res"
                  : contents.kind == ResourceFileKind::Object ? "object"
                                                               : "program";
    if (contents.kind != ResourceFileKind::Res) out["machine"] = CoffMachineName(contents.machine);
    nlohmann::json list = nlohmann::json::array();
    for (const FoundResource& r : contents.resources) {
      nlohmann::json item;
      item["type"] = IdJson(r.type);
      if (r.type.numbered && StandardTypeName(r.type.number)) item["typeName"] = StandardTypeName(r.type.number);
      item["name"] = IdJson(r.name);
      item["language"] = r.language;
      item["size"] = r.size;
      list.push_back(std::move(item));
    }
    out["resources"] = std::move(list);
    Print(out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
    return;
  }
  std::string text;
  for (const FoundResource& r : contents.resources) {
    text += TypeText(r.type) + "\t" + ResourceIdText(r.name) + "\t" + std::to_string(r.language) + "\t" +
            std::to_string(r.size) + "\n";
  }
  Print(text);
}

void MakeFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(std::u8string(folder.begin(), folder.end())), error);
  if (!FolderExists(folder)) Fail(folder, "the folder cannot be made" + (error ? ": " + error.message() : ""));
}

void ListResources(const std::string& file, bool json, const std::string& extractFolder) {
  std::unique_ptr<FileReader> reader;
  try {
    reader = std::make_unique<FileReader>(file);
  } catch (const IoError& e) {
    Fail(file, e.what());
  }
  ReaderSource source(*reader);
  ResourceFileContents contents;
  try {
    contents = ReadResourceFile(source);
  } catch (const FormatError& e) {
    Fail(file, e.what());
  } catch (const IoError& e) {
    Fail(file, e.what());
  }
  if (extractFolder.empty()) {
    PrintListing(file, contents, json);
    return;
  }
  std::string folder = FullPathOf(extractFolder);
  MakeFolder(folder);
  if (!IsPathSeparator(folder.back())) folder += kPathSeparator;
  ExtractReport report;
  try {
    report = ExtractResources(source, contents, folder);
  } catch (const FormatError& e) {
    Fail(file, e.what());
  } catch (const IoError& e) {
    Fail(folder, e.what());
  }
  std::string notes;
  for (const std::string& note : report.notes) notes += "kovanc: " + file + ": " + note + "\n";
  PrintError(notes);
  PrintListing(file, contents, json);
  if (report.leftOut > 0) Exit(1);
}

void ImportIntoPool(const std::string& source, const std::string& listFile) {
  std::string script = FullPathOf(source);
  if (FolderExists(script)) {
    if (!IsPathSeparator(script.back())) script += kPathSeparator;
    script += kExtractIndexName;
    if (!FileExists(script)) {
      Fail(source, std::string("the folder holds no ") + kExtractIndexName + " (the script that list --extract writes)");
    }
  }
  ScriptReadResult read;
  try {
    read = ReadResourceScriptFile(script, AnsiCodePage());
  } catch (const IoError& e) {
    Fail(source, e.what());
  }
  std::string problems;
  for (const ScriptLineProblem& p : read.problems) {
    problems += script + ":" + std::to_string(p.line) + ": skipped: " + p.text + "\n";
  }
  PrintError(problems);
  if (!read.statements.empty()) {
    const PoolFileLock lock(listFile, true);
    ResourcePool pool = FileExists(listFile) ? ReadPoolOrExit(listFile) : ResourcePool();
    AppendStatements(pool, read.statements);
    WritePoolOrExit(pool, listFile);
  }
  Print(std::to_string(read.statements.size()) + " imported, " + std::to_string(read.problems.size()) + " skipped\n");
  if (!read.problems.empty()) Exit(1);
}

}  // namespace

void InstallResourceCommands(CLI::App& app) {
  struct ListArgs {
    bool json = false;
    std::string file;
    std::string extract;
  };
  auto list = std::make_shared<ListArgs>();
  CLI::App* listCmd = app.add_subcommand(
      "list", "Print the resources of a .RES file, an object file or a program (.exe/.dll): type, name, language, size");
  listCmd->add_flag("--json", list->json, "One JSON object with the file's kind, machine and resources");
  listCmd->add_option("--extract", list->extract,
                      "Write each resource to a file in this folder (icons and cursors as .ico/.cur, bitmaps as "
                      ".bmp) with the script " + std::string(kExtractIndexName) +
                          " that names them; import takes the folder");
  listCmd->add_option("FILE", list->file, "A .RES, .OBJ, .EXE or .DLL file")->required();
  listCmd->callback([list] { ListResources(list->file, list->json, list->extract); });

  struct ImportArgs {
    std::string source;
    std::string into;
  };
  auto import = std::make_shared<ImportArgs>();
  CLI::App* importCmd = app.add_subcommand(
      "import",
      "Add the file statements of a resource script (or of a folder list --extract wrote) to a pool list file; "
      "every line that is not taken is named, and the exit code is 1 then");
  AddCodePageOption(importCmd);
  importCmd->add_option("SOURCE", import->source, "A resource script (.rc), or a folder list --extract wrote")
      ->required();
  importCmd->add_option("--into", import->into, "Pool list file (created when missing)")->required();
  importCmd->callback([import] { ImportIntoPool(import->source, import->into); });
}

}  // namespace kovan::cli
