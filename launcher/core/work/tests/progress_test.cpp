#include "core/work/progress.h"

#include <gtest/gtest.h>

using namespace fdk;

TEST(Progress, BarWidthRoundsHalvesToEven) {
  struct Row {
    std::uint64_t done, total;
    int width;
  };
  const Row rows[] = {
      {500, 1000, 175},  {1000, 1000, 350}, {0, 1000, 2},   {1, 350, 2},    // never below the start
      {3, 700, 2},       {5, 700, 2},       {7, 700, 4},    {9, 700, 4},    // 1.5 → 2, 2.5 → 2, 3.5 → 4, 4.5 → 4
      {11, 700, 6},      {2, 3, 233},       {1, 3, 117},    {1500, 1000, 350},
      {0, 0, 350},  // nothing to do is done at once, without dividing by the total
  };
  for (const Row& r : rows) {
    ProgressCounters c;
    c.add(false, r.total);
    c.add(true, r.done);
    EXPECT_EQ(c.barWidth(), r.width) << r.done << " of " << r.total;
  }
}

TEST(Progress, CountersGoPastTwoGibibytes) {
  ProgressCounters c;
  const std::uint64_t entry = 3ull << 30;  // one 3 GiB entry
  c.add(false, entry);
  c.add(false, entry);
  c.add(true, entry);
  EXPECT_EQ(c.text(), "3221225472 / 6442450944");
  EXPECT_EQ(c.barWidth(), 175);
  c.reset();
  EXPECT_EQ(c.text(), "0 / 0");
}
