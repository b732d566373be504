#include "host/basilo/recentring.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A ring of three: each row inserts the keys in order (the value of the i-th
// insertion is i) and looks one key up.
TEST(RecentRing, FindsTheNewestKeptEntryAndReplacesTheOldest) {
  struct Row {
    std::vector<int> inserted;
    int probe;
    int expected;  // the value found, -1 for none
  };
  const Row rows[] = {
      {{}, 7, -1},                     // empty
      {{7}, 7, 0},                     // hit
      {{7}, 8, -1},                    // miss
      {{1, 2, 3}, 1, 0},               // full, the oldest still kept
      {{1, 2, 3, 4}, 1, -1},           // the oldest gave way
      {{1, 2, 3, 4}, 2, 1},            // the next oldest stays
      {{1, 2, 3, 4, 5}, 2, -1},        // then gives way in turn
      {{1, 2, 3, 4, 5}, 3, 2},         // the third oldest stays
      {{1, 2, 3, 4, 5, 6, 7}, 4, -1},  // round and round
      {{1, 2, 3, 4, 5, 6, 7}, 5, 4},   // the oldest left after two rounds
      {{9, 1, 9}, 9, 2},               // the newest of equal keys
  };
  for (const Row& row : rows) {
    md::basilo::RecentRing<int, int, 3> ring;
    for (std::size_t i = 0; i < row.inserted.size(); ++i) ring.Insert(row.inserted[i], static_cast<int>(i));
    const auto* e = ring.Find([&](int key) { return key == row.probe; });
    EXPECT_EQ(e != nullptr ? e->value : -1, row.expected)
        << "probe " << row.probe << " after " << row.inserted.size() << " insertions";
  }
}

}  // namespace
