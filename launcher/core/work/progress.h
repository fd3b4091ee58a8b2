#pragma once
// The byte counters of a long piece of work (an installation) and what the
// progress window shows of them: "done / total" and a bar 2 to 350 pixels wide.
#include <cstdint>
#include <string>

namespace fdk {

class ProgressCounters {
 public:
  static constexpr int kBarStart = 2;
  static constexpr int kBarFull = 350;

  void reset() { total_ = done_ = 0; }
  // A first pass adds every entry's size to the total; the second adds what is done.
  void add(bool countsAsDone, std::uint64_t bytes);

  std::uint64_t total() const { return total_; }
  std::uint64_t done() const { return done_; }

  // done / total of the full width, rounded to the nearest pixel (halves to even).
  // Work of no bytes at all is complete as soon as it is counted; the bar never
  // shrinks below its starting width.
  int barWidth() const;
  // "done / total", both in bytes.
  std::string text() const;

 private:
  // 64 bits: the counters pass 2 GiB in a large installation.
  std::uint64_t total_ = 0;
  std::uint64_t done_ = 0;
};

}  // namespace fdk
