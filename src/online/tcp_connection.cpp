#include "online/tcp_connection.hpp"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/errors.hpp"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace kovan {

namespace {

#ifdef _WIN32
using NativeSocket = SOCKET;
int LastSocketError() { return WSAGetLastError(); }
bool WouldBlock(int error) { return error == WSAEWOULDBLOCK; }
bool ConnectPending(int error) { return error == WSAEWOULDBLOCK; }
bool Interrupted(int error) { return error == WSAEINTR; }
constexpr int kRefused = WSAECONNREFUSED;
constexpr int kReset = WSAECONNRESET;
std::string SocketErrorText(int error) { return SystemErrorText(error); }
#else
using NativeSocket = int;
int LastSocketError() { return errno; }
bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }
bool ConnectPending(int error) { return error == EINPROGRESS; }
bool Interrupted(int error) { return error == EINTR; }
constexpr int kRefused = ECONNREFUSED;
constexpr int kReset = ECONNRESET;
std::string SocketErrorText(int error) { return std::strerror(error); }
#endif

NativeSocket Native(const SocketHandle& socket) { return static_cast<NativeSocket>(socket.get()); }

[[noreturn]] void ThrowSocketError(const char* what, int error) {
  if (error == kRefused) throw HttpError("connection refused");
  if (error == kReset) throw HttpError("connection reset");
  throw HttpError(std::string(what) + ": " + SocketErrorText(error));
}

[[noreturn]] void TimedOut() { throw HttpError("timed out"); }

enum class Wait { Read, Write };

// Waits until the socket can be read or written, or has failed. False when
// the deadline passed first.
bool WaitFor(const SocketHandle& socket, Wait what, const Deadline& deadline) {
  for (;;) {
    if (deadline.Passed()) return false;
    const int ms = deadline.RemainingMs();
#ifdef _WIN32
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(Native(socket), &ready);
    // A refused non-blocking connect is reported in the exception set only.
    FD_SET(Native(socket), &failed);
    timeval timeout{ms / 1000, (ms % 1000) * 1000};
    const int n =
        select(0, what == Wait::Read ? &ready : nullptr, what == Wait::Write ? &ready : nullptr, &failed, &timeout);
#else
    pollfd entry{Native(socket), static_cast<short>(what == Wait::Read ? POLLIN : POLLOUT), 0};
    const int n = poll(&entry, 1, ms);
#endif
    if (n > 0) return true;
    if (n < 0 && !Interrupted(LastSocketError())) ThrowSocketError("wait", LastSocketError());
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
#ifdef _WIN32
  u_long on = 1;
  if (ioctlsocket(Native(socket), FIONBIO, &on) != 0) ThrowSocketError("socket", LastSocketError());
#else
  const int flags = fcntl(Native(socket), F_GETFL, 0);
  if (flags < 0 || fcntl(Native(socket), F_SETFL, flags | O_NONBLOCK) < 0) ThrowSocketError("socket", errno);
#endif
}

// Connects to one endpoint; the socket on success, the system's error code otherwise.
SocketHandle ConnectTo(const Endpoint& endpoint, const Deadline& deadline, int& error) {
  SocketHandle socket(static_cast<uintptr_t>(::socket(endpoint.family, SOCK_STREAM, IPPROTO_TCP)));
  if (!socket.valid()) {
    error = LastSocketError();
    return {};
  }
  MakeNonBlocking(socket);
  if (connect(Native(socket), reinterpret_cast<const sockaddr*>(&endpoint.address), endpoint.length) == 0)
    return socket;
  error = LastSocketError();
  if (!ConnectPending(error)) return {};
  if (!WaitFor(socket, Wait::Write, deadline)) TimedOut();
  int result = 0;
  socklen_t length = sizeof result;
  if (getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result), &length) != 0)
    result = LastSocketError();
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
#ifdef _WIN32
  WSADATA data;
  const int error = WSAStartup(MAKEWORD(2, 2), &data);
  if (error != 0) ThrowSocketError("network start", error);
#endif
}

NetworkSession::~NetworkSession() {
#ifdef _WIN32
  WSACleanup();
#endif
}

SocketHandle& SocketHandle::operator=(SocketHandle&& other) noexcept {
  if (this != &other) {
    SocketHandle old(value_);
    value_ = other.value_;
    other.value_ = kInvalid;
  }
  return *this;
}

SocketHandle::~SocketHandle() {
  if (!valid()) return;
#ifdef _WIN32
  closesocket(static_cast<SOCKET>(value_));
#else
  close(static_cast<int>(value_));
#endif
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
#ifdef MSG_NOSIGNAL
  constexpr int kFlags = MSG_NOSIGNAL;  // a peer that went away is an error, not a signal
#else
  constexpr int kFlags = 0;
#endif
  while (!bytes.empty()) {
    if (!WaitFor(socket_, Wait::Write, deadline_)) TimedOut();
    const auto chunk = static_cast<int>(std::min<size_t>(bytes.size(), 1 << 20));
    const auto n = send(Native(socket_), bytes.data(), chunk, kFlags);
    if (n < 0) {
      const int error = LastSocketError();
      if (WouldBlock(error) || Interrupted(error)) continue;
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
    const int error = LastSocketError();
    if (!WouldBlock(error) && !Interrupted(error)) ThrowSocketError("receive", error);
  }
}

}  // namespace kovan
