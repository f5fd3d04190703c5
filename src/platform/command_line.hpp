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

// The parameter text that SplitCommandLine turns back into `arguments`: an
// argument is quoted when it is empty or holds blanks or quotes.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

// The last `count` lines of a program's output that hold more than blanks,
// without their line ends, joined by CR. A line longer than 400 bytes is cut
// there and ends in "..."; fewer lines are given when they would pass 4000
// bytes in all.
std::string LastLines(std::string_view output, size_t count);

}  // namespace kovan
