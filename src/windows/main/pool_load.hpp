#pragma once

#include <string>

#include "platform/prompter.hpp"
#include "pool/resource_pool.hpp"

namespace kovan {

struct PoolLoadOutcome {
  bool created = false;     // no list file was there; an empty one was made
  bool unreadable = false;  // a list file is there but could not be opened
};

// The start-up load, in two halves. The read: the list file into the pool. A
// missing file is created empty ("kaynakyok"); an unreadable one is reported
// and left alone. Errors of reading or writing the file propagate as IoError.
PoolLoadOutcome ReadPoolAtStart(ResourcePool& pool, const std::string& poolFile, Prompter& prompter);
// The prune: drops the entries whose files are gone and tells the user which;
// the number dropped. Asking for thousands of files takes a while, so the
// start does it once the panel shows.
size_t PrunePoolAtStart(ResourcePool& pool, Prompter& prompter);

}  // namespace kovan
