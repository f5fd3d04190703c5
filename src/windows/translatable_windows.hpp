// The windows whose texts language files translate.
#pragma once

#include <span>

#include "lang/window_texts.hpp"

namespace kovan {

std::span<const WindowTextTable* const> TranslatableWindows();

}  // namespace kovan
