#pragma once

#include <string>

#include "platform/prompter.hpp"
#include "pool/resource_pool.hpp"

namespace kovan {

struct PoolLoadOutcome {
  bool created = false;     // no list file was there; an empty one was made
  bool unreadable = false;  // a list file is there but could not be opened
  size_t dropped = 0;       // entries whose files are gone
};

// The start-up load: reads the list file, drops entries whose files are gone
// and tells the user which. A missing file is created empty ("kaynakyok"); an
// unreadable one is reported and left alone. Errors of reading or writing the
// file propagate as IoError.
PoolLoadOutcome LoadPoolAtStart(ResourcePool& pool, const std::string& poolFile, Prompter& prompter);

}  // namespace kovan
