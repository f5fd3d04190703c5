// kovanc version-check: the start-up check of a newer release, with its outcome.
#include <exception>
#include <memory>

#include "cli/commands.hpp"
#include "online/version_check.hpp"

namespace kovan::cli {

namespace {

void CheckVersion(const std::string& serverText) {
  ServerAddress server = UpdateServer();
  if (!serverText.empty()) {
    const std::optional<ServerAddress> parsed = ParseServerAddress(serverText);
    if (!parsed) {
      PrintError("failed: not a server address: " + serverText + "\n");
      Exit(1);
    }
    server = *parsed;
  }
  int32_t version = 0;
  try {
    version = FetchPublishedVersion(server);
  } catch (const std::exception& e) {
    PrintError(std::string("failed: ") + e.what() + "\n");
    Exit(1);
  }
  Print((version > kOwnVersion ? "newer " : "current ") + std::to_string(version) + "\n");
}

}  // namespace

void InstallVersionCommand(CLI::App& app) {
  auto server = std::make_shared<std::string>();
  CLI::App* command =
      app.add_subcommand("version-check", "Ask the update server for the newest release, as the program does at start");
  command->add_option(
      "--server", *server,
      "HOST[:PORT] to ask instead of the maker's server (default: $KOVAN_UPDATE_SERVER or the maker's)");
  command->callback([server] { CheckVersion(*server); });
}

}  // namespace kovan::cli
