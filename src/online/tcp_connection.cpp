#include "online/tcp_connection.hpp"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/errors.hpp"

#include "online/socket_api.hpp"

namespace kovan {

namespace {

sockets::Native Native(const SocketHandle& socket) { return static_cast<sockets::Native>(socket.get()); }

[[noreturn]] void ThrowSocketError(const char* what, int error) {
  if (sockets::Refused(error)) throw HttpError("connection refused");
  if (sockets::Reset(error)) throw HttpError("connection reset");
  throw HttpError(std::string(what) + ": " + sockets::ErrorText(error));
}

[[noreturn]] void TimedOut() { throw HttpError("timed out"); }

enum class Wait { Read, Write };

// Waits until the socket can be read or written, or has failed. False when
// the deadline passed first.
bool WaitFor(const SocketHandle& socket, Wait what, const Deadline& deadline) {
  for (;;) {
    if (deadline.Passed()) return false;
    const int ms = deadline.RemainingMs();
    const int n = sockets::WaitReady(Native(socket), what == Wait::Read, ms);
    if (n > 0) return true;
    if (n < 0 && !sockets::Interrupted(sockets::LastError())) ThrowSocketError("wait", sockets::LastError());
  }
}

struct Endpoint {
  sockaddr_storage address{};
  socklen_t length = 0;
  int family = 0;
};

std::vector<Endpoint> ToEndpoints(const addrinfo* list) {
  std::vector<Endpoint> endpoints;
  for (const addrinfo* a = list; a != nullptr; a = a->ai_next) {
    if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
    Endpoint e;
    std::memcpy(&e.address, a->ai_addr, a->ai_addrlen);
    e.length = static_cast<socklen_t>(a->ai_addrlen);
    e.family = a->ai_family;
    endpoints.push_back(e);
  }
  return endpoints;
}

addrinfo LookupHints(bool numericOnly) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = AI_NUMERICSERV | (numericOnly ? AI_NUMERICHOST : 0);
  return hints;
}

// The result of a lookup that runs on its own thread. Shared with that
// thread, so a lookup we stopped waiting for can still finish safely.
struct Lookup {
  std::mutex lock;
  std::condition_variable finished;
  bool done = false;
  bool found = false;
  std::vector<Endpoint> endpoints;
};

std::vector<Endpoint> Resolve(const std::string& host, uint16_t port, const Deadline& deadline) {
  const std::string service = std::to_string(port);
  {
    // An address in numeric form needs no lookup and cannot block.
    const addrinfo hints = LookupHints(true);
    addrinfo* list = nullptr;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) == 0) {
      std::vector<Endpoint> endpoints = ToEndpoints(list);
      freeaddrinfo(list);
      return endpoints;
    }
  }
  // The system's lookup has no timeout of its own and may hang for a long
  // time without a network, so it runs on a worker we can walk away from.
  auto lookup = std::make_shared<Lookup>();
  std::thread([lookup, host, service] {
    std::vector<Endpoint> endpoints;
    bool found = false;
    try {
      const NetworkSession session;
      const addrinfo hints = LookupHints(false);
      addrinfo* list = nullptr;
      if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) == 0) {
        endpoints = ToEndpoints(list);
        freeaddrinfo(list);
        found = true;
      }
    } catch (const HttpError&) {
      // A network layer that will not start is a lookup that found nothing.
    }
    const std::lock_guard<std::mutex> guard(lookup->lock);
    lookup->endpoints = std::move(endpoints);
    lookup->found = found;
    lookup->done = true;
    lookup->finished.notify_all();
  }).detach();
  std::unique_lock<std::mutex> guard(lookup->lock);
  if (!lookup->finished.wait_until(guard, deadline.End(), [&] { return lookup->done; }))
    throw HttpError("name lookup timed out");
  if (!lookup->found || lookup->endpoints.empty()) throw HttpError("host name not found");
  return std::move(lookup->endpoints);
}

void MakeNonBlocking(const SocketHandle& socket) {
  if (const int error = sockets::MakeNonBlocking(Native(socket))) ThrowSocketError("socket", error);
}

// Connects to one endpoint; the socket on success, the system's error code otherwise.
SocketHandle ConnectTo(const Endpoint& endpoint, const Deadline& deadline, int& error) {
  SocketHandle socket(static_cast<uintptr_t>(::socket(endpoint.family, SOCK_STREAM, IPPROTO_TCP)));
  if (!socket.valid()) {
    error = sockets::LastError();
    return {};
  }
  MakeNonBlocking(socket);
  if (connect(Native(socket), reinterpret_cast<const sockaddr*>(&endpoint.address), endpoint.length) == 0)
    return socket;
  error = sockets::LastError();
  if (!sockets::ConnectPending(error)) return {};
  if (!WaitFor(socket, Wait::Write, deadline)) TimedOut();
  int result = 0;
  socklen_t length = sizeof result;
  if (getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result), &length) != 0)
    result = sockets::LastError();
  if (result == 0) return socket;
  error = result;
  return {};
}

}  // namespace

int Deadline::RemainingMs() const {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(left);
}

NetworkSession::NetworkSession() {
  if (const int error = sockets::StartNetwork()) ThrowSocketError("network start", error);
}

NetworkSession::~NetworkSession() { sockets::StopNetwork(); }

SocketHandle& SocketHandle::operator=(SocketHandle&& other) noexcept {
  if (this != &other) {
    SocketHandle old(value_);
    value_ = other.value_;
    other.value_ = kInvalid;
  }
  return *this;
}

SocketHandle::~SocketHandle() {
  if (valid()) sockets::Close(static_cast<sockets::Native>(value_));
}

TcpConnection::TcpConnection(const std::string& host, uint16_t port, const Deadline& deadline) : deadline_(deadline) {
  const std::vector<Endpoint> endpoints = Resolve(host, port, deadline);
  int error = 0;
  for (const Endpoint& endpoint : endpoints) {
    if (deadline.Passed()) TimedOut();
    socket_ = ConnectTo(endpoint, deadline, error);
    if (socket_.valid()) return;
  }
  ThrowSocketError("connect", error);
}

void TcpConnection::Send(std::string_view bytes) {
  const int flags = sockets::SendFlags();
  while (!bytes.empty()) {
    if (!WaitFor(socket_, Wait::Write, deadline_)) TimedOut();
    const auto chunk = static_cast<int>(std::min<size_t>(bytes.size(), 1 << 20));
    const auto n = send(Native(socket_), bytes.data(), chunk, flags);
    if (n < 0) {
      const int error = sockets::LastError();
      if (sockets::WouldBlock(error) || sockets::Interrupted(error)) continue;
      ThrowSocketError("send", error);
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

size_t TcpConnection::Read(char* buffer, size_t capacity) {
  const auto chunk = static_cast<int>(std::min<size_t>(capacity, 1 << 20));
  for (;;) {
    if (!WaitFor(socket_, Wait::Read, deadline_)) TimedOut();
    const auto n = recv(Native(socket_), buffer, chunk, 0);
    if (n >= 0) return static_cast<size_t>(n);
    const int error = sockets::LastError();
    if (!sockets::WouldBlock(error) && !sockets::Interrupted(error)) ThrowSocketError("receive", error);
  }
}

}  // namespace kovan
