// The few socket calls that differ between Windows and POSIX systems, so the
// connection code itself is written once.
#pragma once

#include <cstdint>
#include <string>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

namespace kovan::sockets {

#ifdef _WIN32
using Native = SOCKET;
#else
using Native = int;
#endif

int LastError();
bool WouldBlock(int error);
bool ConnectPending(int error);  // a non-blocking connect still under way
bool Interrupted(int error);
bool Refused(int error);
bool Reset(int error);
std::string ErrorText(int error);

// Waits up to `ms` until the socket can be read (or written); a failed
// connect counts as ready. Returns what select/poll return: > 0 ready, 0 the
// time passed, < 0 an error (see LastError).
int WaitReady(Native socket, bool forRead, int ms);
// 0 on success, else the error code.
int MakeNonBlocking(Native socket);
void Close(Native socket);
// Starts and stops the system's network layer (a no-op where there is none);
// StartNetwork returns 0 or the error code.
int StartNetwork();
void StopNetwork();
// Flags for send: a peer that went away is an error, not a signal.
int SendFlags();

}  // namespace kovan::sockets
