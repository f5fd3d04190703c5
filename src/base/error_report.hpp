#pragma once

#include <string>
#include <string_view>

namespace kovan {

// The text of the general error report: the error's text, with a full stop
// added when its last character sorts above the full stop (a letter or digit).
std::string ErrorReportText(std::string_view errorText);

}  // namespace kovan
