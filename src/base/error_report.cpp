#include "base/error_report.hpp"

namespace kovan {

std::string ErrorReportText(std::string_view errorText) {
  std::string text(errorText);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) text += '.';
  return text;
}

}  // namespace kovan
