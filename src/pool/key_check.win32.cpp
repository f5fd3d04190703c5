#include <windows.h>

#include "pool/key_check.hpp"

namespace kovan {

int LocaleICompare(std::u16string_view a, std::u16string_view b) {
  const int result =
      CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, reinterpret_cast<LPCWSTR>(a.data()),
                     static_cast<int>(a.size()), reinterpret_cast<LPCWSTR>(b.data()), static_cast<int>(b.size()));
  // Only invalid arguments make the call fail; fall back to the plain order
  // rather than leave the sort without a consistent answer.
  if (result == 0) return a.compare(b);
  return result - CSTR_EQUAL;
}

}  // namespace kovan
