#include "online/update_server.hpp"

#include <cstdlib>

#include "lang/lang_manager.hpp"

namespace kovan {

ServerAddress UpdateServer() {
  if (const char* value = std::getenv(kUpdateServerVariable)) {
    if (std::optional<ServerAddress> server = ParseServerAddress(value)) return *server;
  }
  return ServerAddress{kMakerHost, 80};
}

std::string WebAddress(const ServerAddress& server, std::string_view path) {
  return "http://" + Authority(server) + std::string(path);
}

std::string ProductPageAddress(const ServerAddress& server) { return WebAddress(server, kProductPagePath); }

std::string SupportPageAddress(const ServerAddress& server, uint16_t languageId) {
  return WebAddress(server, languageId == kBaseLanguage ? kSupportPagePathTurkish : kSupportPagePathOther);
}

}  // namespace kovan
