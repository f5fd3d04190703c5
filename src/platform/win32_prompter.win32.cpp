#include "platform/win32_prompter.win32.hpp"

#include <commdlg.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "base/error_report.hpp"
#include "base/errors.hpp"
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

}  // namespace kovan
