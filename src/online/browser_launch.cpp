#include "online/browser_launch.hpp"

#include "lang/lang_manager.hpp"

namespace kovan {

std::string BrowserCommandLine(std::string_view registered, std::string_view address) {
  size_t cut = registered.find("\"%1\"");
  if (cut == std::string_view::npos) cut = registered.find("%1");
  std::string commandLine(registered.substr(0, cut));
  commandLine += ' ';
  commandLine += address;
  return commandLine;
}

BrowserStartError::BrowserStartError() : Error(Text(msg::gezginyok)) {}

void RegisteredBrowser::OpenInBrowser(const std::string& address) {
  std::optional<std::string> command;
  if (const std::optional<std::string> fileClass = classes_.ReadDefaultValue(".htm"); fileClass && !fileClass->empty())
    command = classes_.ReadDefaultValue(*fileClass + "\\shell\\open\\command");
  if (!command || command->empty()) {
    // No usable association: the shell still knows the default browser.
    (void)starter_.ShellOpen(address);
    return;
  }
  if (!starter_.StartMaximized(BrowserCommandLine(*command, address))) throw BrowserStartError();
}

}  // namespace kovan
