// A one-connection HTTP server on the loopback interface, run on its own
// thread by the test that needs it. It records the request and answers by a
// script, which may also stall, trickle or hold the connection open.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace kovan::test {

class HttpTestServer {
 public:
#ifdef _WIN32
  using Socket = SOCKET;
  static constexpr Socket kNoSocket = INVALID_SOCKET;
#else
  using Socket = int;
  static constexpr Socket kNoSocket = -1;
#endif

  // The accepted connection, as the script sees it.
  class Connection {
   public:
    Connection(HttpTestServer& server, Socket socket) : server_(server), socket_(socket) {}
    void Send(std::string_view bytes) {
      while (!bytes.empty()) {
        const auto n = send(socket_, bytes.data(), static_cast<int>(bytes.size()), 0);
        if (n <= 0) return;  // the client went away
        bytes.remove_prefix(static_cast<size_t>(n));
      }
    }
    // Sleeps, but wakes early when the server stops; false then.
    bool Pause(std::chrono::milliseconds time) {
      const auto end = std::chrono::steady_clock::now() + time;
      while (std::chrono::steady_clock::now() < end) {
        if (server_.stopping_) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      return !server_.stopping_;
    }
    // Keeps the connection open without a word until the server stops.
    void Hold() {
      while (Pause(std::chrono::milliseconds(100))) {
      }
    }

   private:
    HttpTestServer& server_;
    Socket socket_;
  };

  using Script = std::function<void(Connection&)>;

  // A server that sends `answer` after the request and closes the connection.
  static Script Answer(std::string answer) {
    return [answer](Connection& c) { c.Send(answer); };
  }

  explicit HttpTestServer(Script script) : script_(std::move(script)) {
#ifdef _WIN32
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
#endif
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (listener_ == kNoSocket || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 4) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      throw std::runtime_error("cannot listen on the loopback interface");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }

  ~HttpTestServer() {
    stopping_ = true;
    thread_.join();
    CloseSocket(listener_);
#ifdef _WIN32
    WSACleanup();
#endif
  }

  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  uint16_t Port() const { return port_; }
  std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
  // The bytes received up to and including the empty line after the headers.
  std::string Request() {
    const std::lock_guard<std::mutex> guard(lock_);
    return request_;
  }

  // A loopback port on which nobody listens.
  static uint16_t ClosedPort() {
    uint16_t port;
    {
      HttpTestServer probe([](Connection&) {});
      port = probe.Port();
    }
    return port;
  }

 private:
  static void CloseSocket(Socket s) {
#ifdef _WIN32
    closesocket(s);
#else
    close(s);
#endif
  }

  // Waits up to 50 ms for `s` to become readable.
  static bool Readable(Socket s) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval timeout{0, 50000};
    return select(static_cast<int>(s) + 1, &set, nullptr, nullptr, &timeout) > 0;
  }

  void Serve() {
    Socket client = kNoSocket;
    while (!stopping_ && client == kNoSocket) {
      if (Readable(listener_)) client = accept(listener_, nullptr, nullptr);
    }
    if (client == kNoSocket) return;
    std::string received;
    while (!stopping_ && received.find("\r\n\r\n") == std::string::npos) {
      if (!Readable(client)) continue;
      char buffer[1024];
      const auto n = recv(client, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      received.append(buffer, static_cast<size_t>(n));
    }
    {
      const std::lock_guard<std::mutex> guard(lock_);
      request_ = received;
    }
    Connection connection(*this, client);
    script_(connection);
    CloseSocket(client);
  }

  Script script_;
  Socket listener_ = kNoSocket;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::mutex lock_;
  std::string request_;
  std::thread thread_;
};

}  // namespace kovan::test
