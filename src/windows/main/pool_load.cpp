#include "windows/main/pool_load.hpp"

#include "base/errors.hpp"
#include "base/file_system.hpp"
#include "lang/lang_manager.hpp"
#include "pool/pool_file.hpp"

namespace kovan {

PoolLoadOutcome ReadPoolAtStart(ResourcePool& pool, const std::string& poolFile, Prompter& prompter) {
  PoolLoadOutcome outcome;

  if (!FileExists(poolFile)) {
    pool.Clear();
    WritePoolFile(pool, poolFile);
    outcome.created = true;
    prompter.ShowInfo(Text(msg::kaynakyok));
    return outcome;
  }

  const PoolReadResult read = ReadPoolFile(pool, poolFile);
  if (!read.opened) {
    outcome.unreadable = true;
    prompter.Message({kAppTitle,
                      Text(msg::listeokunamadi) + '\r' + poolFile + '\r' + SystemErrorText(read.openError) + '\r' +
                          Text(msg::listeokunamadi2),
                      MessageButtons::Ok, MessageIcon::Warning});
  }
  return outcome;
}

size_t PrunePoolAtStart(ResourcePool& pool, Prompter& prompter) {
  std::string report = Text(msg::eksik) + '\r' + Text(msg::eksik2) + '\r';
  size_t dropped = 0;
  std::vector<std::string> paths;
  paths.reserve(pool.Count());
  for (size_t i = 0; i < pool.Count(); ++i) paths.push_back(pool.Field(i, kFilePath));
  const std::vector<bool> exists = FilesExist(paths);
  for (size_t i = 0; i < pool.Count(); ++i) {
    const std::string& path = paths[i];
    if (!exists[i]) {
      report += path;
      report += '\r';
      ++dropped;
      pool.SetField(i, kFilePath, "");
    }
  }
  pool.DeleteEmptyPaths();
  if (dropped > 0) prompter.ShowInfo(report);
  return dropped;
}

}  // namespace kovan
