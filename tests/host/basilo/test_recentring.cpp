#include "host/basilo/recentring.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A ring of three: each row inserts the keys in order (the value of the i-th
// insertion is i) and looks one key up, in slot order and newest first.
TEST(RecentRing, FindsKeptEntriesAndReplacesTheOldest) {
  struct Row {
    std::vector<int> inserted;
    int probe;
    int expected;        // the value found in slot order, -1 for none
    int expectedNewest;  // the value found newest first
  };
  const Row rows[] = {
      {{}, 7, -1, -1},                     // empty
      {{7}, 7, 0, 0},                      // hit
      {{7}, 8, -1, -1},                    // miss
      {{1, 2, 3}, 1, 0, 0},                // full, the oldest still kept
      {{1, 2, 3, 4}, 1, -1, -1},           // the oldest gave way
      {{1, 2, 3, 4}, 2, 1, 1},             // the next oldest stays
      {{1, 2, 3, 4, 5}, 2, -1, -1},        // then gives way in turn
      {{1, 2, 3, 4, 5}, 3, 2, 2},          // the third oldest stays
      {{1, 2, 3, 4, 5, 6, 7}, 4, -1, -1},  // round and round
      {{1, 2, 3, 4, 5, 6, 7}, 5, 4, 4},    // the oldest left after two rounds
      {{9, 1, 9}, 9, 0, 2},                // equal keys: the first slot, the newest
      {{9, 1, 2, 9}, 9, 3, 3},             // the first slot now holds the newest
  };
  for (const Row& row : rows) {
    md::basilo::RecentRing<int, int, 3> ring;
    for (std::size_t i = 0; i < row.inserted.size(); ++i) ring.Insert(row.inserted[i], static_cast<int>(i));
    const auto same = [&](int key) { return key == row.probe; };
    const auto* e = ring.Find(same);
    const auto* newest = ring.FindNewest(same);
    EXPECT_EQ(e != nullptr ? e->value : -1, row.expected)
        << "probe " << row.probe << " after " << row.inserted.size() << " insertions";
    EXPECT_EQ(newest != nullptr ? newest->value : -1, row.expectedNewest)
        << "probe " << row.probe << " after " << row.inserted.size() << " insertions";
  }
}

}  // namespace
