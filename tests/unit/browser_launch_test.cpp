// Opening web pages: the command line built from the ".htm" association, and
// what happens when the association or the start fails.
#include "online/browser_launch.hpp"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "lang/lang_manager.hpp"

namespace kovan {
namespace {

TEST(BrowserCommandLine, CutsAtThePlaceholderAndAppendsTheAddress) {
  const char* address = "http://h/p#K";
  const std::pair<const char*, const char*> cases[] = {
      {"\"C:\\B\\b.exe\" -url \"%1\"", "\"C:\\B\\b.exe\" -url  http://h/p#K"},
      {"\"C:\\B\\b.exe\" %1", "\"C:\\B\\b.exe\"  http://h/p#K"},
      {"C:\\B\\b.exe", "C:\\B\\b.exe http://h/p#K"},
      {"b.exe \"%1\" -new %1", "b.exe  http://h/p#K"},
      {"b.exe -a %1 \"%1\"", "b.exe -a %1  http://h/p#K"},  // the quoted form is looked for first
      {"b.exe \"%L\"", "b.exe \"%L\" http://h/p#K"},
      {"b.exe %10", "b.exe  http://h/p#K"},
      {"", " http://h/p#K"},
  };
  for (const auto& [registered, expected] : cases) EXPECT_EQ(BrowserCommandLine(registered, address), expected);
}

class FakeClassesRoot : public ClassesRoot {
 public:
  std::optional<std::string> ReadDefaultValue(const std::string& subkey) override {
    const auto it = values.find(subkey);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, std::string> values;
};

class FakeStarter : public BrowserStarter {
 public:
  bool StartMaximized(const std::string& commandLine) override {
    started.push_back(commandLine);
    return startWorks;
  }
  bool ShellOpen(const std::string& address) override {
    shellOpened.push_back(address);
    return shellWorks;
  }
  std::vector<std::string> started;
  std::vector<std::string> shellOpened;
  bool startWorks = true;
  bool shellWorks = true;
};

TEST(OpenInBrowser, StartsTheRegisteredBrowserMaximized) {
  FakeClassesRoot classes;
  classes.values = {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", "\"C:\\B\\b.exe\" -url \"%1\""}};
  FakeStarter starter;
  RegisteredBrowser browser(classes, starter);
  browser.OpenInBrowser("http://h/p");
  EXPECT_EQ(starter.started, std::vector<std::string>{"\"C:\\B\\b.exe\" -url  http://h/p"});
  EXPECT_TRUE(starter.shellOpened.empty());

  starter.startWorks = false;
  try {
    browser.OpenInBrowser("http://h/p");
    ADD_FAILURE() << "a failed start must be raised";
  } catch (const BrowserStartError& e) {
    EXPECT_EQ(std::string(e.what()), Text(msg::gezginyok));
    EXPECT_EQ(std::string(e.what()), "Seçili Internet Gezgini Bulunamadı...");
  }
  EXPECT_TRUE(starter.shellOpened.empty());
}

TEST(OpenInBrowser, WithoutAUsableAssociationTheShellOpensTheAddressSilently) {
  const std::map<std::string, std::string> associations[] = {
      {},
      {{".htm", ""}},
      {{".htm", "htmlfile"}},
      {{".htm", "htmlfile"}, {"htmlfile\\shell\\open\\command", ""}},
  };
  for (const auto& values : associations) {
    FakeClassesRoot classes;
    classes.values = values;
    FakeStarter starter;
    starter.shellWorks = false;
    RegisteredBrowser browser(classes, starter);
    EXPECT_NO_THROW(browser.OpenInBrowser("http://h/p"));
    EXPECT_TRUE(starter.started.empty());
    EXPECT_EQ(starter.shellOpened, std::vector<std::string>{"http://h/p"});
  }
}

}  // namespace
}  // namespace kovan
