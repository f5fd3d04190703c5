// One HTTP/1.1 GET straight to a server (never through a proxy), bounded in
// time from the name lookup to the last byte of the answer.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "online/http_response.hpp"

namespace kovan {

struct ServerAddress {
  std::string host;  // a name or a numeric address; IPv6 without brackets
  uint16_t port = 80;
  bool operator==(const ServerAddress&) const = default;
};

// "host" or "host:port"; an IPv6 address goes in brackets ("[::1]:8080").
// nullopt when the host is empty or the port is not a number from 1 to 65535.
std::optional<ServerAddress> ParseServerAddress(std::string_view text);

// The server as it appears in a Host header and in web addresses: the port
// only when it is not 80.
std::string Authority(const ServerAddress& server);

// The request, byte for byte: the request line and the Host, Accept,
// Accept-Encoding and User-Agent headers, nothing else.
std::string BuildGetRequest(const ServerAddress& server, std::string_view path);

// Sends the request and reads the answer (see ReadHttpResponse); throws
// HttpError on every failure, including running out of `timeLimit`.
HttpResponse HttpGet(const ServerAddress& server, std::string_view path, std::chrono::milliseconds timeLimit);

}  // namespace kovan
