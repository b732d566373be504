// Code lengths for deflate's dynamic blocks: within the length limit however
// skewed the counts, complete (every inflater takes them), never longer for
// a more used symbol; canonical codes as deflate defines them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/canvas/huffman.h"

namespace {

std::vector<std::uint32_t> Fibonacci(int n) {
  std::vector<std::uint32_t> c(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) c[i] = i < 2 ? 1 : c[i - 1] + c[i - 2];
  return c;
}

TEST(Huffman, LengthsAreCompleteWithinTheLimitAndFollowTheCounts) {
  struct Case {
    const char* name;
    std::vector<std::uint32_t> counts;
    int maxBits;
    int longest;  // the longest code expected
  } const cases[] = {
      {"nothing used", std::vector<std::uint32_t>(30, 0), 15, 1},
      {"one symbol used", {0, 0, 0, 9, 0}, 15, 1},
      {"two symbols", {5, 0, 7}, 15, 1},
      {"equal counts", std::vector<std::uint32_t>(286, 4), 15, 9},
      {"skewed, unlimited", Fibonacci(16), 15, 15},
      {"skewed past 15 bits", Fibonacci(30), 15, 15},
      {"skewed past 7 bits", Fibonacci(19), 7, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int n = static_cast<int>(c.counts.size());
    std::vector<std::uint8_t> lengths(c.counts.size(), 99);
    md::canvas::BuildCodeLengths(c.counts.data(), n, c.maxBits, lengths.data());
    std::uint64_t kraft = 0;  // in units of 2^-maxBits
    int longest = 0, coded = 0;
    for (int i = 0; i < n; ++i) {
      if (c.counts[i] != 0) {
        EXPECT_GE(lengths[i], 1);
      }
      if (lengths[i] == 0) continue;
      ++coded;
      ASSERT_LE(lengths[i], c.maxBits);
      kraft += std::uint64_t{1} << (c.maxBits - lengths[i]);
      longest = std::max<int>(longest, lengths[i]);
      for (int j = 0; j < n; ++j)
        if (c.counts[j] > c.counts[i]) {
          EXPECT_LE(lengths[j], lengths[i]) << i << " " << j;
        }
    }
    EXPECT_GE(coded, 2);
    EXPECT_EQ(kraft, std::uint64_t{1} << c.maxBits);
    EXPECT_EQ(longest, c.longest);
  }
}

TEST(Huffman, CanonicalCodesAreDeflatesBitReversed) {
  // Deflate's own example: lengths (3, 3, 3, 3, 3, 2, 4, 4) give the codes
  // 010, 011, 100, 101, 110, 00, 1110, 1111.
  const std::uint8_t lengths[8] = {3, 3, 3, 3, 3, 2, 4, 4};
  const std::uint16_t expected[8] = {0b010, 0b110, 0b001, 0b101, 0b011, 0b00, 0b0111, 0b1111};
  std::uint16_t codes[8];
  md::canvas::CanonicalCodes(lengths, 8, codes);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(codes[i], expected[i]) << i;
}

}  // namespace
