#include "online/version_check.hpp"

#include "base/errors.hpp"
#include "lang/lang_manager.hpp"
#include "online/strict_integer.hpp"

namespace kovan {

namespace {

// The number as an editor or a server leaves it: after a UTF-8 byte-order
// mark, between spaces and line ends. The number itself stays strict.
std::string_view VersionText(std::string_view body) {
  if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!body.empty() && blank(body.front())) body.remove_prefix(1);
  while (!body.empty() && blank(body.back())) body.remove_suffix(1);
  return body;
}

}  // namespace

int32_t FetchPublishedVersion(const ServerAddress& server) {
  const HttpResponse response = HttpGet(server, kVersionFilePath, kVersionCheckTimeLimit);
  const std::optional<int32_t> version = StrictToInt(VersionText(response.body));
  if (!version) throw Error("the version file does not hold a number");
  return *version;
}

void VersionCheck::CheckForNewVersion(bool ask) noexcept {
  // Whatever goes wrong, the program starts as if there were no newer release.
  int32_t published = 0;
  try {
    published = FetchPublishedVersion(server_);
  } catch (...) {
    return;  // an unreachable server or a bad answer is not the user's concern
  }
  Announce(published, ask);
}

void VersionCheck::Announce(int32_t published, bool ask) noexcept {
  // What was done before a failure stays done; the failure itself is silent.
  try {
    if (published <= kOwnVersion) return;
    view_.EnableNewVersionCommand();
    if (!ask) return;
    MessageRequest question;
    question.caption = Text(msg::yeni2);
    question.text = Text(msg::yeni1);
    question.buttons = MessageButtons::YesNo;
    question.icon = MessageIcon::Information;
    if (prompter_.Message(question) == MessageAnswer::Yes) browser_.OpenInBrowser(ProductPageAddress(server_));
  } catch (...) {
    // The offer is a courtesy: a browser that cannot start must not stop the start.
  }
}

void VersionCheck::OpenNewVersionPage() { browser_.OpenInBrowser(ProductPageAddress(server_)); }

}  // namespace kovan
