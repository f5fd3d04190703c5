#include "kod/ana_pencere.hpp"

#include <exception>

#include "pool/pool_file.hpp"
#include "pool/pool_load.hpp"

namespace kovan {

TAnaPencere::TAnaPencere(AnaPencereView& view, Prompter& prompter, std::string dataFolder)
    : view_(view), prompter_(prompter), dataFolder_(std::move(dataFolder)), poolFile_(dataFolder_ + "Liste.kvl") {}

void TAnaPencere::UpdatePoolCount() { view_.SetPoolCountCaption(std::to_string(pool_.Count())); }

void TAnaPencere::FormCreate() {
  const PoolLoadOutcome outcome = LoadPoolAtStart(pool_, poolFile_, prompter_);
  poolFileUnreadable_ = outcome.unreadable;
  if (!outcome.created) UpdatePoolCount();
}

bool TAnaPencere::FormClose() {
  try {
    if (!(poolFileUnreadable_ && pool_.Count() == 0)) WritePoolFile(pool_, poolFile_);
    return true;
  } catch (const std::exception& e) {
    prompter_.ReportError(e.what());
    return false;
  }
}

}  // namespace kovan
