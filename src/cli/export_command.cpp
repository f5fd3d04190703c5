// kovanc export: the pool window's exports (workbook, XML, HTML) of a pool list file.
#include <memory>

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "cli/commands.hpp"
#include "cli/pool_file_access.hpp"
#include "lang/lang_manager.hpp"
#include "export/pool_export.hpp"
#include "export/xlsx_workbook.hpp"
#include "export/file_size_text.hpp"

namespace kovan::cli {

namespace {

struct ExportArgs {
  bool workbook = false;
  bool xml = false;
  bool html = false;
  std::string file;
  std::string out;
};

void Export(const ExportArgs& args) {
  const ResourcePool pool = ReadPoolOrExit(args.file);
  if (pool.Count() == 0) {
    PrintError("kovanc: " + args.file + ": " + Text(msg::kaybos) + "\n");
    Exit(1);
  }
  const ExportFormat format = args.workbook ? ExportFormat::Workbook
                              : args.xml    ? ExportFormat::Xml
                                            : ExportFormat::Html;
  const std::string target = ExportFileName(args.out, format);
  const ExportTable table = BuildExportTable(pool, FileSizeText);
  try {
    switch (format) {
      case ExportFormat::Workbook: WriteWorkbook(table, target); break;
      case ExportFormat::Xml: WriteXmlExport(table, XmlNamesInActiveLanguage(), target); break;
      case ExportFormat::Html: WriteHtmlExport(table, HtmlStyle{}, target); break;
    }
  } catch (const ExportError& e) {
    const std::string message = e.what();
    PrintError("kovanc: " + (message == CannotCreateText(target) ? message : target + ": " + message) + "\n");
    Exit(1);
  }
  Print(target + "\n");
}

}  // namespace

void InstallExportCommand(CLI::App& app) {
  auto args = std::make_shared<ExportArgs>();
  CLI::App* command =
      app.add_subcommand("export", "Export a pool list file as the pool window does (built-in language)");
  CLI::Option_group* formats = command->add_option_group("format", "What to write");
  formats->add_flag("--xls", args->workbook, "An .xlsx workbook, under OUT exactly");
  formats->add_flag("--xml", args->xml, "An XML document (UTF-8); .xml is added unless OUT ends with it");
  formats->add_flag("--html", args->html, "An HTML page (UTF-8); .html is added unless OUT ends with it");
  formats->require_option(1);
  AddCodePageOption(command);
  command->add_option("FILE", args->file, "Pool list file")->required();
  command->add_option("OUT", args->out, "File to write")->required();
  command->callback([args] { Export(*args); });
}

}  // namespace kovan::cli
