// COM for the calling thread, as long as this lives.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

namespace kovan {

class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  // False when the thread cannot use COM at all. A thread that already runs
  // COM in another apartment model is left as it is and still counts as ok.
  bool ok() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

// A VARIANT holding a 32-bit integer (nothing to clear).
inline VARIANT IntVariant(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

}  // namespace kovan
