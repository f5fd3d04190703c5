// Splitting a Windows command line into its arguments, as programs there do.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kovan {

// The arguments of a Windows command line's parameter text: white space
// separates arguments outside double quotes; 2n backslashes before a quote
// give n backslashes and the quote opens or closes quoting, 2n+1 give n and a
// literal quote; other backslashes are literal; inside quotes, "" gives a
// literal quote.
std::vector<std::string> SplitCommandLine(std::string_view parameters);


}  // namespace kovan
