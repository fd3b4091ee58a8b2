#include "core/work/progress.h"

#include <algorithm>

namespace fdk {

void ProgressCounters::add(bool countsAsDone, std::uint64_t bytes) {
  (countsAsDone ? done_ : total_) += bytes;
}

int ProgressCounters::barWidth() const {
  if (total_ == 0) return kBarFull;
  if (done_ >= total_) return kBarFull;
  // done × 350 needs more than 64 bits for counters beyond 2^55 bytes; the
  // quotient and remainder are exact, so the rounding is too.
  const unsigned __int128 scaled = static_cast<unsigned __int128>(done_) * kBarFull;
  auto width = static_cast<int>(scaled / total_);
  const unsigned __int128 twiceRest = 2 * (scaled % total_);
  if (twiceRest > total_ || (twiceRest == total_ && width % 2 == 1)) ++width;
  return std::max(width, kBarStart);
}

std::string ProgressCounters::text() const { return std::to_string(done_) + " / " + std::to_string(total_); }

}  // namespace fdk
