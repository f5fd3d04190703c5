// Opening a web address in the browser registered for ".htm" files: its open
// command line from the classes root, with the address in place of "%1".
#pragma once

#include "base/errors.hpp"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kovan {

// The file associations of the system (the classes root of the registry).
class ClassesRoot {
 public:
  virtual ~ClassesRoot() = default;
  // The default value of `subkey`; nullopt when the key cannot be opened or
  // its default value is not readable text.
  virtual std::optional<std::string> ReadDefaultValue(const std::string& subkey) = 0;
};

// Starting the browser.
class BrowserStarter {
 public:
  virtual ~BrowserStarter() = default;
  // Starts `commandLine` as a new process whose main window is shown
  // maximized; false when the process could not be started.
  virtual bool StartMaximized(const std::string& commandLine) = 0;
  // The shell's "open" on `address`; false when it failed.
  virtual bool ShellOpen(const std::string& address) = 0;
};

// The registered command line cut before its first quoted "%1" (or, when
// there is none, its first bare %1), then one blank and the address, unquoted.
std::string BrowserCommandLine(std::string_view registered, std::string_view address);

// Raised when the registered browser could not be started; what() is the
// "gezginyok" message in the active language.
class BrowserStartError : public Error {
 public:
  BrowserStartError();
};

// How window logic opens a web page.
class BrowserOpener {
 public:
  virtual ~BrowserOpener() = default;
  virtual void OpenInBrowser(const std::string& address) = 0;
};

class RegisteredBrowser : public BrowserOpener {
 public:
  RegisteredBrowser(ClassesRoot& classes, BrowserStarter& starter) : classes_(classes), starter_(starter) {}
  // Runs the ".htm" class's open command with the address; throws
  // BrowserStartError when that start fails. Without a usable association the
  // shell opens the address instead, and a failure of that stays silent, as
  // there is then no browser we could name.
  void OpenInBrowser(const std::string& address) override;

 private:
  ClassesRoot& classes_;
  BrowserStarter& starter_;
};

}  // namespace kovan
