// The program's title, as its message boxes and its application window show it.
#pragma once

namespace kovan {

inline constexpr char kAppTitle[] = "Kovan 2.0 - ORSEL RIRUDIR";

}  // namespace kovan
