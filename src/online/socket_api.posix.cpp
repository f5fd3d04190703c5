#include "online/socket_api.hpp"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kovan::sockets {

int LastError() { return errno; }
bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }
bool ConnectPending(int error) { return error == EINPROGRESS; }
bool Interrupted(int error) { return error == EINTR; }
bool Refused(int error) { return error == ECONNREFUSED; }
bool Reset(int error) { return error == ECONNRESET; }
std::string ErrorText(int error) { return std::strerror(error); }

int WaitReady(Native socket, bool forRead, int ms) {
  pollfd entry{socket, static_cast<short>(forRead ? POLLIN : POLLOUT), 0};
  return poll(&entry, 1, ms);
}

int MakeNonBlocking(Native socket) {
  const int flags = fcntl(socket, F_GETFL, 0);
  if (flags < 0 || fcntl(socket, F_SETFL, flags | O_NONBLOCK) < 0) return errno;
  return 0;
}

void Close(Native socket) { close(socket); }

int StartNetwork() { return 0; }
void StopNetwork() {}

int SendFlags() { return MSG_NOSIGNAL; }

}  // namespace kovan::sockets
