#include "windows/pool/pool_window_logic.hpp"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "base/file_system.hpp"
#include "base/text.hpp"
#include "lang/lang_manager.hpp"
#include "pool/drop_import.hpp"
#include "pool/key_filter.hpp"
#include "export/file_size_text.hpp"
#include "pool/script_import.hpp"
#include "windows/pool/pool_window_names.hpp"

namespace kovan {

namespace {

// Rows own the nodes 5i to 5i+4: the file name, its folder, the type, the
// size and the key.
constexpr size_t kGroupSize = 5;
constexpr size_t kTypeNode = 2;
constexpr size_t kSizeNode = 3;
constexpr size_t kKeyNode = 4;

// A row's parameters are named by these and its position.
constexpr std::string_view kTypeParam = "dosya";
constexpr std::string_view kKeyParam = "ad";

std::string TypeParamName(size_t row) { return std::string(kTypeParam) + std::to_string(row); }
std::string KeyParamName(size_t row) { return std::string(kKeyParam) + std::to_string(row); }

// One text from its pieces, in one allocation: the groups of a large pool
// are built from many pieces each.
std::string Joined(std::initializer_list<std::string_view> pieces) {
  size_t size = 0;
  for (std::string_view piece : pieces) size += piece.size();
  std::string text;
  text.reserve(size);
  for (std::string_view piece : pieces) text += piece;
  return text;
}

// The extension with its dot, for the shell's icon of the file type.
std::string DottedExtension(const std::string& path) {
  const std::string extension = ExtensionOf(path);
  if (extension.empty() && (path.empty() || path.back() != '.')) return {};
  return "." + extension;
}

}  // namespace

// Captions arrive through the window's translation, built-in texts first.
MenuModel MakePoolMenu() {
  using enum PoolCommand;
  return MenuModel({
      SubmenuItem("YeniKaytekle1", "ekle",
                  {CommandItem("DosyaEkle1", "yenidos", AddFile), CommandItem("KlasrEkle1", "yeniklas", AddFolder),
                   CommandItem("BetikAl1", "aktar", ImportScript)}),
      CommandItem("AktifkaydSil1", "sil", Delete),
      CommandItem("mKaytlarAKapat1", "ackapa", ToggleAll),
      MenuSeparator(),
      SubmenuItem("Kaydet1", "kaydet",
                  {CommandItem("XLS1", "Excel", ExportXls), CommandItem("XML1", "xml", ExportXml),
                   CommandItem("XT1", "html", ExportHtml)}),
      MenuSeparator(),
      CommandItem("ptaletvek1", "iptal", Cancel),
      MenuSeparator(),
      CommandItem("Onaylavek1", "tamam", Confirm),
  });
}

// The group labels in the active language, looked up once per command.
struct PoolWindowLogic::GroupLabels {
  std::string file = Text(msg::dos2);
  std::string type = Text(msg::dosytr);
  std::string size = Text(msg::dosyby);
  std::string key = Text(msg::dosyana);
};

PoolWindowLogic::PoolWindowLogic(PoolWindowView& view, PoolWindowServices services)
    : view_(view),
      prompter_(services.prompter),
      shell_(services.shell),
      main_(std::move(services.main)),
      language_(PoolWindowTexts(), *this) {
  tree_.OnParamEditDone = [](ParamTreeModel& tree, size_t, const std::string&, std::string& value) {
    value = NormalizeEditedValue(value, tree.EmptyParam());
  };
  // Reading a file's size is a question to the file system per entry, which
  // on a large pool costs more than building all of its groups: it is asked
  // when the entry first opens.
  tree_.OnChildrenFirstShown = [this](ParamTreeModel& tree, size_t node) {
    if (node % kGroupSize != 0 || node / kGroupSize >= rows_.Count()) return;
    const size_t sizeNode = node + kSizeNode;
    tree.SetNodeText(sizeNode, tree.NodeText(sizeNode) + FileSizeText(rows_.Field(node / kGroupSize, kFilePath)));
  };
}

void PoolWindowLogic::Loaded() {
  language_.Loaded();
  baseTitle_ = panelCaption_;
}

void PoolWindowLogic::ApplyText(std::string_view component, std::string_view property, const std::string& text) {
  if (menu_.ApplyText(component, property, text)) return;
  if (AsciiIEquals(component, "kaynakhavuzu")) panelCaption_ = text;
}

void PoolWindowLogic::RunCommand(PoolCommand command) {
  switch (command) {
    case PoolCommand::None: break;
    case PoolCommand::AddFile: AddFile(); break;
    case PoolCommand::AddFolder: AddFolder(); break;
    case PoolCommand::ImportScript: ImportScript(); break;
    case PoolCommand::Delete: DeleteSelectedFromMenu(); break;
    case PoolCommand::ToggleAll: ToggleExpandAll(); break;
    case PoolCommand::ExportXls: Export(ExportFormat::Workbook); break;
    case PoolCommand::ExportXml: Export(ExportFormat::Xml); break;
    case PoolCommand::ExportHtml: Export(ExportFormat::Html); break;
    case PoolCommand::Cancel: Cancel(); break;
    case PoolCommand::Confirm: Confirm(); break;
  }
}

void PoolWindowLogic::ShowTitle() {
  view_.SetTitle(baseTitle_ + " (" + std::to_string(rows_.Count()) + " " + Text(msg::dosy) + ") ");
}

void PoolWindowLogic::AddGroup(const GroupLabels& labels, size_t row, std::string_view typeValue,
                               std::string_view keyValue) {
  const std::string& path = rows_.Field(row, kFilePath);
  const std::string name = FileNameOf(path);
  const std::string number = std::to_string(row);
  const size_t root = tree_.AddRoot(Joined({"<B>", name, "</B>"}));
  tree_.AddChild(root,
                 Joined({"<I>", labels.file, " </I>: <B><FONT color=\"#004080\">", FolderOf(path), "</FONT></B>", name}));
  tree_.AddChild(root, Joined({"<img src=\"ssys:", DottedExtension(path), "\"> <I>", labels.type,
                               " </I>: <a href=\"", kTypeParam, number, "\" class=\"EDIT\">", EscapeParamValue(typeValue),
                               "</a>"}));
  tree_.AddChild(root, Joined({"<I>", labels.size, " </I>: "}));  // the size follows when the entry first opens
  tree_.AddChild(root, Joined({"<I>", labels.key, " </I>: <a href=\"", kKeyParam, number, "\" class=\"EDIT\">",
                               EscapeParamValue(keyValue), "</a>"}));
}

void PoolWindowLogic::Open(bool mainStaysOnTop) {
  view_.SetStayOnTop(mainStaysOnTop);
  tree_.Clear();
  rows_.ReplaceAll(main_.pool.Entries());
  tree_.Reserve(rows_.Count() * kGroupSize);
  const GroupLabels labels;
  for (size_t i = 0; i < rows_.Count(); ++i) {
    AddGroup(labels, i, AsciiUpper(rows_.Field(i, kResourceType)), rows_.Field(i, kKeyName));
  }
  allExpanded_ = false;
  ShowTitle();
}

void PoolWindowLogic::Closed() {
  tree_.Clear();
  rows_.Clear();
  allExpanded_ = false;
}

void PoolWindowLogic::AppendRow(const GroupLabels& labels, const std::string& path) {
  const std::string extension = ExtensionOf(path);
  rows_.Append("", extension, path);
  AddGroup(labels, rows_.Count() - 1, AsciiUpper(extension), tree_.EmptyParam());
}

void PoolWindowLogic::AddFile() {
  const std::optional<std::string> chosen = prompter_.OpenDialog(openDialog_);
  if (!chosen) return;
  openDialog_.fileName = *chosen;
  HeldFiles held(rows_);
  if (!held.AppendIfNew(*chosen, [&] { AppendRow(GroupLabels(), *chosen); })) prompter_.ShowInfo(Text(msg::var));
}

const MenuModel& PoolWindowLogic::Menu() {
  if (MenuItem* item = menu_.Find(PoolCommand::ImportScript)) item->caption = Text(msg::betikal);
  return menu_;
}

void PoolWindowLogic::ImportScript() {
  scriptDialog_.title = Text(msg::betikal);
  scriptDialog_.filter = "RC|*.rc|*.*|*.*";
  const std::optional<std::string> chosen = prompter_.OpenDialog(scriptDialog_);
  if (!chosen) return;
  scriptDialog_.fileName = *chosen;
  const ScriptReadResult read = ReadResourceScriptFile(*chosen, AnsiCodePage());
  const GroupLabels labels;
  for (const ScriptStatement& statement : read.statements) {
    rows_.Append(statement.key, statement.type, statement.path);
    AddGroup(labels, rows_.Count() - 1, AsciiUpper(statement.type), statement.key);
  }
  if (read.problems.empty()) return;
  // A long script could make a box taller than the screen.
  constexpr size_t kShownLines = 25;
  std::string text = Text(msg::betikatlandi) + "\r";
  for (size_t i = 0; i < read.problems.size() && i < kShownLines; ++i) {
    text += "\r" + std::to_string(read.problems[i].line) + ": " + read.problems[i].text;
  }
  if (read.problems.size() > kShownLines) text += "\r...";
  prompter_.ShowInfo(text);
}

bool PoolWindowLogic::StopRequested(bool& terminating) {
  terminating = view_.DispatchPendingMessages();
  return terminating || stopRequested_;
}

void PoolWindowLogic::AddFolder() {
  stopRequested_ = false;
  view_.SetBusyCursor(true);
  const std::optional<std::string> chosen = prompter_.FolderDialog(folderDialog_);
  // A choice that is no folder of the file system (a printer, say) has no files.
  if (!chosen || !FolderExists(*chosen)) {
    view_.SetBusyCursor(false);
    return;
  }
  folderDialog_.folder = *chosen;
  std::string folder = *chosen;
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  const MessageAnswer answer = prompter_.Message({Text(msg::altonay1), Text(msg::altonay) + "\r(" + folder + ")",
                                                  MessageButtons::YesNo, MessageIcon::Question, true});
  // Unlike a drop, the pool window enters hidden and system subfolders too.
  const std::vector<std::string> files =
      ScanFolder(folder, answer == MessageAnswer::Yes ? Subfolders::All : Subfolders::None);

  const GroupLabels labels;
  HeldFiles held(rows_);
  bool terminating = false;
  for (const std::string& file : files) {
    if (!FileExists(file) || rows_.ContainsPath(file)) continue;
    if (StopRequested(terminating)) break;
    held.AppendIfNew(file, [&] { AppendRow(labels, file); });
  }
  view_.SetBusyCursor(false);
  if (!terminating) view_.DispatchPendingMessages();
}

void PoolWindowLogic::DeleteSelectedFromMenu() {
  if (rows_.Count() == 0) {
    prompter_.ShowInfo(Text(msg::silyok));
    return;
  }
  DeleteSelected();
}

void PoolWindowLogic::DeleteKeyPressed() { DeleteSelected(); }

void PoolWindowLogic::DeleteSelected() {
  const std::optional<size_t> selected = tree_.Selected();
  if (!selected) return;  // nothing to delete, so nothing to ask
  const MessageAnswer answer =
      prompter_.Message({Text(msg::sil22), Text(msg::sil21), MessageButtons::YesNo, MessageIcon::Question, true});
  if (answer == MessageAnswer::Yes) {
    const size_t start = *selected - *selected % kGroupSize;
    const size_t row = start / kGroupSize;
    tree_.DeleteNode(start);
    rows_.Delete(row);
    // Parameter names follow the rows' positions; the groups behind move up.
    for (size_t j = row; j < rows_.Count(); ++j) {
      tree_.RenameParam(kGroupSize * j + kTypeNode, TypeParamName(j + 1), TypeParamName(j));
      tree_.RenameParam(kGroupSize * j + kKeyNode, KeyParamName(j + 1), KeyParamName(j));
    }
    // The selection moves to the entry that took the deleted one's place (or
    // the one before it, at the end), so the next Delete needs no click.
    if (rows_.Count() > 0) tree_.SelectNode(kGroupSize * std::min(row, rows_.Count() - 1));
  }
  ShowTitle();
}

void PoolWindowLogic::ToggleExpandAll() {
  if (rows_.Count() == 0) return;
  allExpanded_ = !allExpanded_;
  tree_.SetAllExpanded(allExpanded_);
}

void PoolWindowLogic::Confirm() {
  // Two parameters per row; a name that happens to hold "href=" cannot make
  // the count reach past the rows.
  const size_t edited = std::min(tree_.ParamCount() / 2, rows_.Count());
  for (size_t i = 0; i < edited; ++i) {
    rows_.SetField(i, kKeyName, tree_.GetParamValue(KeyParamName(i)));
    rows_.SetField(i, kResourceType, tree_.GetParamValue(TypeParamName(i)));
  }
  main_.pool.ReplaceAll(rows_.Entries());
  if (main_.setPoolCountCaption) main_.setPoolCountCaption(std::to_string(rows_.Count()));
  view_.Close();
}

void PoolWindowLogic::Cancel() { view_.Close(); }

void PoolWindowLogic::Export(ExportFormat format) {
  if (rows_.Count() == 0) {
    prompter_.ShowInfo(Text(msg::kaybos));
    return;
  }
  const char* word = format == ExportFormat::Workbook ? "xls" : format == ExportFormat::Xml ? "xml" : "html";
  exportDialog_.title = Text(msg::dosyakt);
  exportDialog_.filter = std::string(word) + "|" + word;
  exportDialog_.fileName.clear();  // the dialog opens empty every time
  const std::optional<std::string> chosen = prompter_.SaveDialog(exportDialog_);
  if (!chosen) return;
  const std::string path = ExportFileName(*chosen, format);

  struct BusyWhileWriting {
    PoolWindowView& view;
    explicit BusyWhileWriting(PoolWindowView& v) : view(v) { view.SetBusyCursor(true); }
    ~BusyWhileWriting() { view.SetBusyCursor(false); }
  } busy(view_);
  const ExportTable table = BuildExportTable(rows_, [](const std::string& file) { return FileSizeText(file); });
  switch (format) {
    case ExportFormat::Workbook: view_.WriteWorkbook(table, path); break;
    case ExportFormat::Xml: WriteXmlExport(table, XmlNamesInActiveLanguage(), path); break;
    case ExportFormat::Html:
      WriteHtmlExport(table, view_.HtmlLook(), path);
      (void)shell_.Execute(ShellVerb::Open, path, ShowState::ShowNormal, true);
      break;
  }
}

}  // namespace kovan
