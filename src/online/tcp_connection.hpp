// One TCP connection under an overall deadline: name lookup, connect, send and
// every read give up when the deadline has passed, whatever the peer does.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "online/http_response.hpp"

namespace kovan {

class Deadline {
 public:
  using Clock = std::chrono::steady_clock;
  explicit Deadline(Clock::duration budget) : end_(Clock::now() + budget) {}
  Clock::time_point End() const { return end_; }
  bool Passed() const { return Clock::now() >= end_; }
  // Whole milliseconds left, rounded up so that a wait never ends early.
  int RemainingMs() const;

 private:
  Clock::time_point end_;
};

// Keeps the system's socket library started while it lives (Winsock needs
// that; elsewhere it is empty).
class NetworkSession {
 public:
  NetworkSession();  // throws HttpError
  ~NetworkSession();
  NetworkSession(const NetworkSession&) = delete;
  NetworkSession& operator=(const NetworkSession&) = delete;
};

// Owns one socket: a SOCKET on Windows, a descriptor elsewhere.
class SocketHandle {
 public:
  static constexpr uintptr_t kInvalid = ~uintptr_t{0};
  SocketHandle() = default;
  explicit SocketHandle(uintptr_t value) : value_(value) {}
  SocketHandle(SocketHandle&& other) noexcept : value_(other.value_) { other.value_ = kInvalid; }
  SocketHandle& operator=(SocketHandle&& other) noexcept;
  ~SocketHandle();
  uintptr_t get() const { return value_; }
  bool valid() const { return value_ != kInvalid; }

 private:
  uintptr_t value_ = kInvalid;
};

class TcpConnection : public ByteSource {
 public:
  // Looks the host up (numeric addresses need no lookup) and connects to the
  // first address that accepts. Throws HttpError.
  TcpConnection(const std::string& host, uint16_t port, const Deadline& deadline);
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  void Send(std::string_view bytes);
  size_t Read(char* buffer, size_t capacity) override;

 private:
  NetworkSession session_;
  const Deadline& deadline_;
  SocketHandle socket_;
};

}  // namespace kovan
