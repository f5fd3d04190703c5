#include "windows/main/hover_summary.hpp"

#include <algorithm>
#include <thread>

#include "lang/lang_manager.hpp"

namespace kovan {

namespace {

constexpr char kBullet[] = "\xE2\x80\xA2 ";  // • and one space

// The total asks the file system about every entry; on a large pool that is
// spread over the processors so that the hover stays within a frame or two.
uint64_t TotalSize(const ResourcePool& pool, const FileSizeReader& sizeOf) {
  const size_t count = pool.Count();
  auto sum = [&](size_t from, size_t to) {
    uint64_t total = 0;
    for (size_t i = from; i < to; ++i) total += sizeOf(pool.Field(i, kFilePath)).value_or(0);
    return total;
  };
  constexpr size_t kPerThread = 2048;
  const size_t threads = std::min<size_t>({std::max(1u, std::thread::hardware_concurrency()), 8, count / kPerThread});
  if (threads < 2) return sum(0, count);
  std::vector<uint64_t> partial(threads, 0);
  std::vector<std::thread> workers;
  const size_t step = (count + threads - 1) / threads;
  for (size_t t = 1; t < threads; ++t) {
    workers.emplace_back([&, t] { partial[t] = sum(t * step, std::min(count, (t + 1) * step)); });
  }
  partial[0] = sum(0, std::min(count, step));
  for (std::thread& worker : workers) worker.join();
  uint64_t total = 0;
  for (uint64_t p : partial) total += p;
  return total;
}

}  // namespace

std::string GroupThousands(uint64_t value, std::string_view separator) {
  std::string digits = std::to_string(value);
  std::string out;
  const size_t n = digits.size();
  for (size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

HoverSummary BuildHoverSummary(const ResourcePool& pool, const FileSizeReader& sizeOf,
                               std::string_view thousandsSeparator) {
  HoverSummary summary;
  const size_t count = pool.Count();
  const size_t listed = std::min(count, kHoverListedPaths);
  summary.notes.reserve(listed + 1);
  for (size_t i = 0; i < listed; ++i) summary.notes.push_back(kBullet + pool.Field(i, kFilePath));
  if (count > kHoverListedPaths) summary.notes.push_back(std::string(kBullet) + "............");

  const uint64_t total = TotalSize(pool, sizeOf);

  summary.title = Text(msg::dos1) + (count > kHoverListedPaths ? " - 20/" : " - ") + std::to_string(count) + " " +
                  Text(msg::dos2) + " - " + GroupThousands(total, thousandsSeparator) + " Byte";
  return summary;
}

}  // namespace kovan
