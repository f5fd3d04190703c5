// Move-only owners of Win32 handles.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace kovan {

template <typename Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;
  UniqueResource() = default;
  explicit UniqueResource(Type value) : value_(value) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : value_(std::exchange(other.value_, Traits::Invalid())) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(std::exchange(other.value_, Traits::Invalid()));
    return *this;
  }
  ~UniqueResource() { reset(); }

  [[nodiscard]] bool valid() const { return value_ != Traits::Invalid(); }
  [[nodiscard]] Type get() const { return value_; }
  [[nodiscard]] Type release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(Type value = Traits::Invalid()) {
    if (valid()) Traits::Close(value_);
    value_ = value;
  }

 private:
  Type value_ = Traits::Invalid();
};

struct FileHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { CloseHandle(h); }
};
struct KernelHandleTraits {  // events, mutexes, processes: NULL when absent
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { CloseHandle(h); }
};
struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) { FindClose(h); }
};
struct RegKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { RegCloseKey(h); }
};
struct GdiObjectTraits {
  using Type = HGDIOBJ;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { DeleteObject(h); }
};

template <typename Interface>
struct ComPtrTraits {
  using Type = Interface*;
  static Type Invalid() { return nullptr; }
  static void Close(Type p) { p->Release(); }
};
struct CoTaskMemTraits {  // memory the shell hands out, such as known folder paths
  using Type = wchar_t*;
  static Type Invalid() { return nullptr; }
  static void Close(Type p) { CoTaskMemFree(p); }
};

using UniqueHandle = UniqueResource<FileHandleTraits>;
using UniqueKernelHandle = UniqueResource<KernelHandleTraits>;
using UniqueFindHandle = UniqueResource<FindHandleTraits>;
using UniqueHKey = UniqueResource<RegKeyTraits>;
using UniqueGdiObject = UniqueResource<GdiObjectTraits>;
template <typename Interface>
using UniqueCom = UniqueResource<ComPtrTraits<Interface>>;
using UniqueCoTaskMem = UniqueResource<CoTaskMemTraits>;

}  // namespace kovan
