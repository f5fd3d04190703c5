#include "platform/win32_prompter.win32.hpp"

#include "app/error_report.hpp"
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

}  // namespace

void Win32Prompter::ShowInfo(const std::string& text) {
  Show(owner_, kAppTitle, text, MB_OK | MB_ICONINFORMATION);
}

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

}  // namespace kovan
