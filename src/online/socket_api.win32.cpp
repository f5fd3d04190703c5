#include "online/socket_api.hpp"

#include "base/errors.hpp"

namespace kovan::sockets {

int LastError() { return WSAGetLastError(); }
bool WouldBlock(int error) { return error == WSAEWOULDBLOCK; }
bool ConnectPending(int error) { return error == WSAEWOULDBLOCK; }
bool Interrupted(int error) { return error == WSAEINTR; }
bool Refused(int error) { return error == WSAECONNREFUSED; }
bool Reset(int error) { return error == WSAECONNRESET; }
std::string ErrorText(int error) { return SystemErrorText(error); }

int WaitReady(Native socket, bool forRead, int ms) {
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(socket, &ready);
  // A refused non-blocking connect is reported in the exception set only.
  FD_SET(socket, &failed);
  timeval timeout{ms / 1000, (ms % 1000) * 1000};
  return select(0, forRead ? &ready : nullptr, forRead ? nullptr : &ready, &failed, &timeout);
}

int MakeNonBlocking(Native socket) {
  u_long on = 1;
  return ioctlsocket(socket, FIONBIO, &on) == 0 ? 0 : WSAGetLastError();
}

void Close(Native socket) { closesocket(socket); }

int StartNetwork() {
  WSADATA data;
  return WSAStartup(MAKEWORD(2, 2), &data);
}

void StopNetwork() { WSACleanup(); }

int SendFlags() { return 0; }

}  // namespace kovan::sockets
