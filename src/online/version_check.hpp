// The check for a newer release at start-up and the "Yeni Sürüm" command.
#pragma once

#include <chrono>
#include <cstdint>
#include <utility>

#include "online/browser_launch.hpp"
#include "online/http_client.hpp"
#include "online/update_server.hpp"
#include "platform/prompter.hpp"

namespace kovan {

inline constexpr int32_t kOwnVersion = 20;  // release 2.0
// The check holds up the start of the program, so it never takes longer.
inline constexpr std::chrono::milliseconds kVersionCheckTimeLimit{3000};

// The release number the server publishes. Throws HttpError, or
// std::runtime_error when the version file is not a number.
int32_t FetchPublishedVersion(const ServerAddress& server);

// What the check changes in the main window.
class VersionView {
 public:
  virtual ~VersionView() = default;
  // Gives the "Yeni Sürüm" command (GncelSrm1) image 8 ("update2") and enables it.
  virtual void EnableNewVersionCommand() = 0;
};

class VersionCheck {
 public:
  VersionCheck(VersionView& view, Prompter& prompter, BrowserOpener& browser, ServerAddress server = UpdateServer())
      : view_(view), prompter_(prompter), browser_(browser), server_(std::move(server)) {}

  // Asks the server for the newest release; when it is newer, enables the
  // command and, if `ask`, offers the product page. Every failure is silent.
  void CheckForNewVersion(bool ask) noexcept;
  // The second half of CheckForNewVersion, for a number fetched elsewhere (the
  // window fetches it on a worker thread so that start-up never waits).
  void Announce(int32_t published, bool ask) noexcept;
  // The "Yeni Sürüm" command: opens the product page. BrowserStartError reaches the caller.
  void OpenNewVersionPage();

  const ServerAddress& Server() const { return server_; }

 private:
  VersionView& view_;
  Prompter& prompter_;
  BrowserOpener& browser_;
  ServerAddress server_;
};

}  // namespace kovan
