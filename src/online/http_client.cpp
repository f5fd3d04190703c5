#include "online/http_client.hpp"

#include "online/tcp_connection.hpp"

namespace kovan {

std::optional<ServerAddress> ParseServerAddress(std::string_view text) {
  ServerAddress server;
  std::string_view rest;
  if (!text.empty() && text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    server.host = std::string(text.substr(1, close - 1));
    rest = text.substr(close + 1);
    if (!rest.empty() && rest.front() != ':') return std::nullopt;
  } else {
    const size_t colon = text.find(':');
    server.host = std::string(text.substr(0, colon));
    if (colon != std::string_view::npos) rest = text.substr(colon);
  }
  if (server.host.empty()) return std::nullopt;
  for (const char c : server.host)
    if (static_cast<unsigned char>(c) <= ' ' || c == '/' || c == '[' || c == ']') return std::nullopt;
  if (!rest.empty()) {
    const std::string_view digits = rest.substr(1);
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned port = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      port = port * 10 + static_cast<unsigned>(c - '0');
    }
    if (port == 0 || port > 65535) return std::nullopt;
    server.port = static_cast<uint16_t>(port);
  }
  return server;
}

std::string Authority(const ServerAddress& server) {
  std::string text = server.host.find(':') != std::string::npos ? "[" + server.host + "]" : server.host;
  if (server.port != 80) text += ":" + std::to_string(server.port);
  return text;
}

std::string BuildGetRequest(const ServerAddress& server, std::string_view path) {
  std::string request = "GET ";
  request += path;
  request += " HTTP/1.1\r\n";
  request += "Host: " + Authority(server) + "\r\n";
  request += "Accept: text/html, */*\r\n";
  request += "Accept-Encoding: identity\r\n";
  request += "User-Agent: Mozilla/3.0 (compatible; Kovan 2.0)\r\n";
  request += "\r\n";
  return request;
}

HttpResponse HttpGet(const ServerAddress& server, std::string_view path, std::chrono::milliseconds timeLimit) {
  const Deadline deadline(timeLimit);
  TcpConnection connection(server.host, server.port, deadline);
  // One block, so the request leaves in as few packets as the system allows.
  connection.Send(BuildGetRequest(server, path));
  return ReadHttpResponse(connection);
}

}  // namespace kovan
