// The system side of opening a web page: the registry's classes root, process
// start and the shell's "open".
#pragma once

#include "online/browser_launch.hpp"

namespace kovan {

class Win32ClassesRoot : public ClassesRoot {
 public:
  // REG_SZ as it stands; REG_EXPAND_SZ with its environment references
  // expanded, since the command line is started as it is. Any other type,
  // or a key opened without query access, is unreadable.
  std::optional<std::string> ReadDefaultValue(const std::string& subkey) override;
};

class Win32BrowserStarter : public BrowserStarter {
 public:
  bool StartMaximized(const std::string& commandLine) override;
  bool ShellOpen(const std::string& address) override;
};

}  // namespace kovan
