// kovanc lang check / lang list: language files as the program reads them.
#include <nlohmann/json.hpp>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "base/text.hpp"
#include "cli/commands.hpp"
#include "export/pool_export.hpp"
#include "lang/constants_table.hpp"
#include "lang/lang_error.hpp"
#include "lang/lang_file.hpp"
#include "lang/lang_manager.hpp"
#include "lang/language_info.hpp"
#include "windows/translatable_windows.hpp"

namespace kovan::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string Dump(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n"; }

// Would a folder scan list the file as a language of its own?
bool Listed(int32_t languageId) {
  const auto id = static_cast<uint16_t>(languageId);
  return id != 0 && id != kBaseLanguage;
}

Json CheckJson(const LangFile& file, int32_t languageId) {
  Json params = Json::object();
  for (const auto& [name, value] : file.params) params[name] = Utf16ToUtf8(value);
  Json constants = Json::object();
  for (const LangConstant& constant : file.constants.Items()) constants[constant.name] = Utf16ToUtf8(constant.value);
  Json sections = Json::object();
  for (const LangSection& section : file.sections) {
    Json texts = Json::object();
    for (const auto& [id, text] : section.texts) texts[std::to_string(id)] = Utf16ToUtf8(text);
    sections[section.name] = std::move(texts);
  }
  return Json{{"langid", languageId},
              {"listed", Listed(languageId)},
              {"params", std::move(params)},
              {"constants", std::move(constants)},
              {"sections", std::move(sections)}};
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// The report for translators: what the program will take from the file and
// what it leaves in the built-in language.
std::string CheckReport(const std::string& path, const LangFile& file, const LangFile& scanned) {
  std::string out = "File: " + path + "\n";
  const int32_t languageId = scanned.LanguageId();
  const auto id = static_cast<uint16_t>(languageId);
  if (scanned.Param("LANGID") == nullptr) {
    out += "LANGID: missing before the first section line - the file is not listed as a language\n";
  } else if (id == 0) {
    out += "LANGID: " + Utf16ToUtf8(*scanned.Param("LANGID")) + " - not a language ID, the file is not listed\n";
  } else if (id == kBaseLanguage) {
    out +=
        "LANGID: " + std::to_string(languageId) + " - the built-in language, whose texts are never taken from a file\n";
  } else {
    out += "LANGID: " + std::to_string(languageId) + " (" + LanguageName(id) + ")\n";
  }

  ConstantsTable program;
  LoadProgramConstants(program, BuiltinConstantsResource(), AnsiCodePage());
  std::string missing;
  size_t translated = 0;
  for (const LangConstant& constant : program.Items()) {
    if (file.constants.Find(constant.name)) {
      ++translated;
    } else {
      missing += "  " + constant.name + " = " + Quoted(Utf16ToUtf8(constant.builtin)) + "\n";
    }
  }
  out +=
      "\nConstants: " + std::to_string(translated) + " of " + std::to_string(program.Items().size()) + " translated\n";
  if (!missing.empty()) out += " Left in the built-in language:\n" + missing;
  for (const LangConstant& constant : file.constants.Items()) {
    if (!program.Find(constant.name)) out += " Unknown to the program (ignored): " + constant.name + "\n";
  }
  // The XML export names its elements after these texts.
  for (const char* name : {"xmlhvz", "xmlbil", "xmldos", "xmlad", "xmltur", "xmlboy", "xmlana"}) {
    const LangConstant* constant = file.constants.Find(name);
    if (!constant) continue;
    const std::string text = Utf16ToUtf8(constant->value);
    const std::string element = XmlElementName(text);
    if (element != text) {
      out += " Warning: " + std::string(name) + " = " + Quoted(text) +
             " is no valid XML element name; the XML export writes " + Quoted(element) + "\n";
    }
  }

  for (const WindowTextTable* window : TranslatableWindows()) {
    const LangSection* section = file.FindSection(window->windowName);
    std::string left;
    size_t done = 0;
    for (const WindowText& text : window->texts) {
      if (section && section->Find(text.id)) {
        ++done;
      } else {
        left += "  " + std::to_string(text.id) + " (" + (*text.component ? text.component : window->windowName) + "." +
                text.property + ") = " + Quoted(text.builtin) + "\n";
      }
    }
    out += "\n[" + std::string(window->windowName) + "]: " + std::to_string(done) + " of " +
           std::to_string(window->texts.size()) + " texts translated" + (section ? "" : " (no section)") + "\n";
    if (!left.empty()) out += " Left in the built-in language:\n" + left;
    if (section) {
      for (const auto& [textId, text] : section->texts) {
        if (!FindWindowText(*window, textId)) out += " Unknown ID (ignored): " + std::to_string(textId) + "\n";
      }
    }
  }
  for (const LangSection& section : file.sections) {
    bool known = false;
    for (const WindowTextTable* window : TranslatableWindows())
      known = known || AsciiIEquals(section.name, window->windowName);
    if (!known) out += "\nSection [" + section.name + "] belongs to no window (ignored)\n";
  }
  return out;
}

void CheckFile(const std::string& path, bool json) {
  LangFile file;
  LangFile scanned;  // what a folder scan reads: the parameters up to the first "[" line
  try {
    file = ReadLanguageFile(path, false);
    scanned = ReadLanguageFile(path, true);
  } catch (const LanguageLineError& e) {
    // Lines are counted from 1 here, as editors count them.
    if (json) {
      Print(Dump(Json{{"error", e.reason()}, {"file", path}, {"line", e.line() + 1}}));
    } else {
      PrintError("kovanc: " + path + ":" + std::to_string(e.line() + 1) + ": " + e.reason() + "\n");
    }
    Exit(1);
  } catch (const std::exception& e) {
    if (json) {
      Print(Dump(Json{{"error", e.what()}, {"file", path}}));
    } else {
      PrintError("kovanc: " + path + ": " + e.what() + "\n");
    }
    Exit(1);
  }
  Print(json ? Dump(CheckJson(file, scanned.LanguageId())) : CheckReport(path, file, scanned));
}

void ListLanguages(const std::string& folder, bool json) {
  LanguageManager manager;
  manager.SetBaseLanguage(kBaseLanguage);
  try {
    if (!FolderExists(folder)) throw IoError(io_code::kPathNotFound);
    manager.ScanLanguageFolder(folder, "*.lng", false);
  } catch (const std::exception& e) {
    if (json) {
      Print(Dump(Json{{"error", e.what()}, {"folder", folder}}));
    } else {
      PrintError("kovanc: " + folder + ": " + e.what() + "\n");
    }
    Exit(1);
  }
  for (const LanguageManager::SkippedFile& skipped : manager.SkippedFiles()) {
    PrintError("kovanc: " + skipped.path + ": skipped: " + skipped.reason + "\n");
  }
  Json list = Json::array();
  std::string text;
  for (int index = 0; index < manager.LanguageTotal(); ++index) {
    const std::string file = manager.LanguageFileAt(index);
    const uint16_t id = manager.LanguageIdAt(index);
    const std::string name = manager.LanguageNameAt(index);
    list.push_back(Json{{"index", index}, {"id", id}, {"name", name}, {"file", index == 0 ? Json() : Json(file)}});
    text += std::to_string(index) + "\t" + std::to_string(id) + "\t" + name + "\t" +
            (index == 0 ? std::string("(built in)") : file) + "\n";
  }
  Print(json ? Dump(list) : text);
}

}  // namespace

void InstallLanguageCommands(CLI::App& app) {
  CLI::App* lang = app.add_subcommand("lang", "Check language files and list the languages of a folder");
  lang->require_subcommand(1);

  struct Args {
    bool json = false;
    std::string path;
  };
  auto check = std::make_shared<Args>();
  CLI::App* checkCmd = lang->add_subcommand("check", "Read a language file completely, as a switch to it would");
  checkCmd->add_flag("--json", check->json, "Print what was read (or the error) as JSON");
  AddCodePageOption(checkCmd);
  checkCmd->add_option("FILE", check->path, "Language file (.lng)")->required();
  checkCmd->callback([check] { CheckFile(check->path, check->json); });

  auto list = std::make_shared<Args>();
  CLI::App* listCmd =
      lang->add_subcommand("list", "List the languages a scan of a folder finds (\"*.lng\", no subfolders)");
  listCmd->add_flag("--json", list->json, "Print the languages as a JSON array");
  AddCodePageOption(listCmd);
  listCmd->add_option("DIR", list->path, "Language folder")->required();
  listCmd->callback([list] { ListLanguages(list->path, list->json); });
}

}  // namespace kovan::cli
