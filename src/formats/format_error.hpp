// A file that does not hold what its format promises, or resources that no
// file of the format can hold.
#pragma once

#include "base/errors.hpp"

namespace kovan {

class FormatError : public Error {
 public:
  using Error::Error;
};

}  // namespace kovan
