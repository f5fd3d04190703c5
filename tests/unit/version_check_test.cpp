// The start-up version check as the main window runs it, the server it asks,
// and kovanc version-check.
#include "online/version_check.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "support/http_test_server.hpp"
#include "lang/lang_manager.hpp"
#include "support/recording_prompter.hpp"

namespace kovan {
namespace {

using test::HttpTestServer;

class RecordingVersionView : public VersionView {
 public:
  void EnableNewVersionCommand() override { ++enabled; }
  int enabled = 0;
};

class RecordingBrowser : public BrowserOpener {
 public:
  void OpenInBrowser(const std::string& address) override {
    opened.push_back(address);
    if (fail) throw BrowserStartError();
  }
  std::vector<std::string> opened;
  bool fail = false;
};

std::string VersionAnswer(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

struct Outcome {
  int enabled;
  size_t questions;
  size_t pagesOpened;
};

Outcome RunCheck(const std::string& answer, bool ask, MessageAnswer reply, bool browserFails = false) {
  HttpTestServer server(HttpTestServer::Answer(answer));
  RecordingVersionView view;
  RecordingPrompter prompter;
  prompter.answers.push_back(reply);
  RecordingBrowser browser;
  browser.fail = browserFails;
  VersionCheck check(view, prompter, browser, {"127.0.0.1", server.Port()});
  check.CheckForNewVersion(ask);
  for (const auto& call : prompter.calls) {
    EXPECT_EQ(call.kind, RecordingPrompter::Call::Message);
    EXPECT_EQ(call.request.caption, "Yeni Sürüm");
    EXPECT_EQ(call.request.text, "Yeni sürüm mevcut, ilgili sayfaya gitmek istermisiniz?");
    EXPECT_EQ(call.request.buttons, MessageButtons::YesNo);
    EXPECT_EQ(call.request.icon, MessageIcon::Information);
  }
  return {view.enabled, prompter.calls.size(), browser.opened.size()};
}

TEST(CheckForNewVersion, NewerReleaseEnablesTheCommandAndOffersTheProductPage) {
  HttpTestServer server(HttpTestServer::Answer(VersionAnswer("21")));
  const std::string page = "http://127.0.0.1:" + std::to_string(server.Port()) + "/rirudir/rirudirb.html#Kovan";
  RecordingVersionView view;
  RecordingPrompter prompter;
  prompter.answers.push_back(MessageAnswer::Yes);
  RecordingBrowser browser;
  VersionCheck check(view, prompter, browser, {"127.0.0.1", server.Port()});
  check.CheckForNewVersion(true);
  EXPECT_EQ(view.enabled, 1);
  ASSERT_EQ(prompter.calls.size(), 1u);
  EXPECT_EQ(browser.opened, std::vector<std::string>{page});

  check.OpenNewVersionPage();
  EXPECT_EQ(browser.opened, (std::vector<std::string>{page, page}));
  browser.fail = true;
  EXPECT_THROW(check.OpenNewVersionPage(), BrowserStartError);
}

TEST(CheckForNewVersion, OutcomesAreSilentExceptForANewerRelease) {
  const struct {
    const char* name;
    std::string answer;
    bool ask;
    MessageAnswer reply;
    bool browserFails;
    Outcome expected;
  } cases[] = {
      {"answer No", VersionAnswer("21"), true, MessageAnswer::No, false, {1, 1, 0}},
      {"not asked", VersionAnswer("$15"), false, MessageAnswer::Yes, false, {1, 0, 0}},
      {"browser fails after Yes", VersionAnswer("21"), true, MessageAnswer::Yes, true, {1, 1, 1}},
      {"same release", VersionAnswer("20"), true, MessageAnswer::Yes, false, {0, 0, 0}},
      {"older release", VersionAnswer("19"), true, MessageAnswer::Yes, false, {0, 0, 0}},
      {"line feed", VersionAnswer("21\n"), true, MessageAnswer::No, false, {1, 1, 0}},
      {"line end", VersionAnswer(" 21\r\n"), true, MessageAnswer::No, false, {1, 1, 0}},
      {"byte-order mark",
       VersionAnswer("\xEF\xBB\xBF"
                     "21"),
       true,
       MessageAnswer::No,
       false,
       {1, 1, 0}},
      {"early hints first",
       "HTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\n" + VersionAnswer("21"),
       true,
       MessageAnswer::No,
       false,
       {1, 1, 0}},
      {"text after the number", VersionAnswer("21\nx"), true, MessageAnswer::Yes, false, {0, 0, 0}},
      {"mark inside blanks",
       VersionAnswer(" \xEF\xBB\xBF"
                     "21"),
       true,
       MessageAnswer::Yes,
       false,
       {0, 0, 0}},
      {"not found", "HTTP/1.1 404 Not Found\r\n\r\n21", true, MessageAnswer::Yes, false, {0, 0, 0}},
      {"redirect", "HTTP/1.1 301 Moved\r\nLocation: /x\r\n\r\n", true, MessageAnswer::Yes, false, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunCheck(c.answer, c.ask, c.reply, c.browserFails);
    EXPECT_EQ(outcome.enabled, c.expected.enabled) << c.name;
    EXPECT_EQ(outcome.questions, c.expected.questions) << c.name;
    EXPECT_EQ(outcome.pagesOpened, c.expected.pagesOpened) << c.name;
  }
}

TEST(UpdateServer, AddressesAndOverride) {
  const std::pair<const char*, std::optional<ServerAddress>> cases[] = {
      {"example.org", ServerAddress{"example.org", 80}},
      {"127.0.0.1:8080", ServerAddress{"127.0.0.1", 8080}},
      {"[::1]:81", ServerAddress{"::1", 81}},
      {"[::1]", ServerAddress{"::1", 80}},
      {"host:65535", ServerAddress{"host", 65535}},
      {"", std::nullopt},
      {":80", std::nullopt},
      {"host:", std::nullopt},
      {"host:0", std::nullopt},
      {"host:65536", std::nullopt},
      {"host:8x", std::nullopt},
      {"a b", std::nullopt},
      {"[::1", std::nullopt},
      {"[::1]x", std::nullopt},
      {"host/path", std::nullopt},
  };
  for (const auto& [text, server] : cases) EXPECT_EQ(ParseServerAddress(text), server) << text;

  EXPECT_EQ(ProductPageAddress({kMakerHost, 80}), "http://www.rirudir.com/rirudir/rirudirb.html#Kovan");
  EXPECT_EQ(SupportPageAddress({"mirror", 8080}, 1055), "http://mirror:8080/destek/index.html#Kovan");
  EXPECT_EQ(SupportPageAddress({"::1", 81}, 1033), "http://[::1]:81/int/support/index.html#Kovan");

  const auto setVariable = [](const char* value) {
#ifdef _WIN32
    _putenv_s(kUpdateServerVariable, value);
#else
    if (*value)
      setenv(kUpdateServerVariable, value, 1);
    else
      unsetenv(kUpdateServerVariable);
#endif
  };
  setVariable("mirror.example:8080");
  EXPECT_EQ(UpdateServer(), (ServerAddress{"mirror.example", 8080}));
  setVariable("mirror.example:x");
  EXPECT_EQ(UpdateServer(), (ServerAddress{kMakerHost, 80}));
  setVariable("");
  EXPECT_EQ(UpdateServer(), (ServerAddress{kMakerHost, 80}));
}

#ifndef _WIN32
}  // namespace
}  // namespace kovan

#include <sys/wait.h>

namespace kovan {
namespace {

struct CommandResult {
  int exitCode;
  std::string out;
};

CommandResult VersionCheckCommand(const std::string& server) {
  const std::string command = std::string(KOVANC_PATH) + " version-check --server " + server + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  CommandResult result{-1, {}};
  if (!pipe) return result;
  char buffer[256];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TEST(KovancVersionCheck, PrintsTheOutcome) {
  const struct {
    std::string answer;
    int exitCode;
    std::string out;
  } cases[] = {
      {VersionAnswer("21"), 0, "newer 21\n"},
      {VersionAnswer(" 20"), 0, "current 20\n"},
      {"HTTP/1.1 404 Not Found\r\n\r\n", 1, "failed: status 404\n"},
      {VersionAnswer("2.1"), 1, "failed: the version file does not hold a number\n"},
  };
  for (const auto& c : cases) {
    HttpTestServer server(HttpTestServer::Answer(c.answer));
    const CommandResult result = VersionCheckCommand(server.Address());
    EXPECT_EQ(result.exitCode, c.exitCode) << c.out;
    EXPECT_EQ(result.out, c.out);
  }
  EXPECT_EQ(VersionCheckCommand("127.0.0.1:" + std::to_string(HttpTestServer::ClosedPort())).out,
            "failed: connection refused\n");
  EXPECT_EQ(VersionCheckCommand("nonsense:port").exitCode, 1);
  // Failures go to standard error only.
  HttpTestServer missing(HttpTestServer::Answer("HTTP/1.1 404 Not Found\r\n\r\n"));
  const std::string command =
      std::string(KOVANC_PATH) + " version-check --server " + missing.Address() + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char buffer[64];
  EXPECT_EQ(fread(buffer, 1, sizeof buffer, pipe), 0u);
  pclose(pipe);
}
#endif

}  // namespace
}  // namespace kovan
