#include "platform/win32_prompter.win32.hpp"

#include <commdlg.h>
#include <shobjidl.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "base/error_report.hpp"
#include "base/errors.hpp"
#include "base/errors.win32.hpp"
#include "base/handles.win32.hpp"
#include "base/program_title.hpp"
#include "base/text.hpp"

namespace kovan {

namespace {

// Message texts break lines with a single CR, which the message box shows as
// a line break as it stands.
int Show(HWND owner, const std::string& caption, const std::string& text, UINT flags) {
  return MessageBoxW(owner, ToWide(text).c_str(), ToWide(caption).c_str(), flags);
}

UINT IconFlags(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return MB_ICONINFORMATION;
    case MessageIcon::Question: return MB_ICONQUESTION;
    case MessageIcon::Warning: return MB_ICONWARNING;
    case MessageIcon::Error: return MB_ICONERROR;
    case MessageIcon::None: break;
  }
  return 0;
}

// "Text|*.txt|All|*.*" as the dialog wants it: zero-separated, two zeros at the end.
std::wstring DialogFilter(const std::string& filter) {
  std::wstring wide = ToWide(filter);
  for (wchar_t& c : wide) {
    if (c == L'|') c = L'\0';
  }
  wide.push_back(L'\0');
  return wide;
}

std::optional<std::string> ShowFileDialog(HWND owner, const FileDialogRequest& request, bool save) {
  // Room for the longest path the file system allows.
  std::vector<wchar_t> name(32768, L'\0');
  const std::wstring initial = ToWide(request.fileName);
  initial.copy(name.data(), std::min(initial.size(), name.size() - 1));
  const std::wstring filter = DialogFilter(request.filter);
  const std::wstring title = ToWide(request.title);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrTitle = request.title.empty() ? nullptr : title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!chosen) {
    const DWORD err = CommDlgExtendedError();
    if (err == 0) return std::nullopt;  // cancelled
    throw Error("The file dialog cannot be shown (error " + std::to_string(err) + ")");
  }
  return ToUtf8(name.data());
}

}  // namespace

void Win32Prompter::ShowInfo(const std::string& text) { Show(owner_, kAppTitle, text, MB_OK | MB_ICONINFORMATION); }

MessageAnswer Win32Prompter::Message(const MessageRequest& request) {
  UINT flags = IconFlags(request.icon);
  if (request.buttons == MessageButtons::YesNo) {
    flags |= MB_YESNO;
    if (request.defaultNo) flags |= MB_DEFBUTTON2;
  } else {
    flags |= MB_OK;
  }
  const int result = Show(owner_, request.caption, request.text, flags);
  if (request.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  return result == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
}

void Win32Prompter::ReportError(const std::string& errorText) {
  HWND owner = GetActiveWindow();
  if (!owner) owner = owner_;
  Show(owner, kAppTitle, ErrorReportText(errorText), MB_OK | MB_ICONERROR);
}

std::optional<std::string> Win32Prompter::SaveDialog(const FileDialogRequest& request) {
  return ShowFileDialog(owner_, request, true);
}

std::optional<std::string> Win32Prompter::OpenDialog(const FileDialogRequest& request) {
  return ShowFileDialog(owner_, request, false);
}

std::optional<std::string> Win32Prompter::FolderDialog(const FolderDialogRequest& request) {
  UniqueCom<IFileOpenDialog> dialog;
  {
    IFileOpenDialog* raw = nullptr;
    ThrowIfFailed(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&raw)),
                  "CoCreateInstance(FileOpenDialog)");
    dialog.reset(raw);
  }
  FILEOPENDIALOGOPTIONS options = 0;
  ThrowIfFailed(dialog.get()->GetOptions(&options), "IFileOpenDialog::GetOptions");
  ThrowIfFailed(dialog.get()->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR),
                "IFileOpenDialog::SetOptions");
  if (!request.title.empty()) dialog.get()->SetTitle(ToWide(request.title).c_str());
  if (!request.folder.empty()) {
    IShellItem* start = nullptr;
    if (SUCCEEDED(SHCreateItemFromParsingName(ToWide(request.folder).c_str(), nullptr, IID_PPV_ARGS(&start)))) {
      const UniqueCom<IShellItem> owned(start);
      dialog.get()->SetFolder(owned.get());
    }
  }
  const HRESULT shown = dialog.get()->Show(owner_);
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::nullopt;
  ThrowIfFailed(shown, "IFileOpenDialog::Show");
  IShellItem* rawItem = nullptr;
  ThrowIfFailed(dialog.get()->GetResult(&rawItem), "IFileOpenDialog::GetResult");
  const UniqueCom<IShellItem> item(rawItem);
  wchar_t* rawPath = nullptr;
  ThrowIfFailed(item.get()->GetDisplayName(SIGDN_FILESYSPATH, &rawPath), "IShellItem::GetDisplayName");
  const UniqueCoTaskMem path(rawPath);
  return ToUtf8(path.get());
}

}  // namespace kovan
