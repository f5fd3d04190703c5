// kovanc --version: the release and build number of this copy.
#include "cli/commands.hpp"
#include "kovan_version.h"

namespace kovan::cli {

void InstallVersionFlag(CLI::App& app) {
  app.set_version_flag("--version", "kovanc " KOVAN_VERSION_TEXT, "Show the version and exit");
}

}  // namespace kovan::cli
