// The one way Win32 failures become errors.
#pragma once

#include <windows.h>

#include "base/errors.hpp"

namespace kovan {

// Throws SystemError for the calling thread's last error, naming the call.
[[noreturn]] inline void ThrowLastError(const char* call) { throw SystemError(call, static_cast<int>(GetLastError())); }

// Throws SystemError with the last error when `ok` is false.
inline void CheckWin32(bool ok, const char* call) {
  if (!ok) ThrowLastError(call);
}

// Throws SystemError for a failed HRESULT.
inline void ThrowIfFailed(HRESULT hr, const char* call) {
  if (FAILED(hr)) throw SystemError(call, static_cast<int>(hr));
}

}  // namespace kovan
