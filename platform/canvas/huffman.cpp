#include "platform/canvas/huffman.h"

#include <algorithm>
#include <cstring>

namespace md::canvas {
namespace {

constexpr int kMaxSymbols = 288;

// Optimal lengths for m >= 2 leaves sorted by weight (lightest first), by
// the two-queue method: leaves and merged nodes are each taken in order of
// weight. Returns the longest.
int HuffmanDepths(const std::uint32_t* weight, int m, std::uint8_t* depth) {
  std::uint64_t nodeWeight[kMaxSymbols];
  int parent[2 * kMaxSymbols];
  int leaf = 0, node = 0;
  const auto takeLightest = [&](int made) {
    if (leaf < m && (node >= made || weight[leaf] <= nodeWeight[node])) return leaf++;
    return m + node++;
  };
  for (int made = 0; made < m - 1; ++made) {
    const int a = takeLightest(made), b = takeLightest(made);
    const auto weightOf = [&](int i) { return i < m ? std::uint64_t{weight[i]} : nodeWeight[i - m]; };
    nodeWeight[made] = weightOf(a) + weightOf(b);
    parent[a] = parent[b] = m + made;
  }
  // The root is the last node made; each node lies one below its parent,
  // which was made after it.
  std::uint8_t nodeDepth[kMaxSymbols];
  nodeDepth[m - 2] = 0;
  for (int i = m - 3; i >= 0; --i) nodeDepth[i] = static_cast<std::uint8_t>(nodeDepth[parent[m + i] - m] + 1);
  int longest = 0;
  for (int i = 0; i < m; ++i) {
    depth[i] = static_cast<std::uint8_t>(nodeDepth[parent[i] - m] + 1);
    longest = std::max<int>(longest, depth[i]);
  }
  return longest;
}

}  // namespace

void BuildCodeLengths(const std::uint32_t* counts, int n, int maxBits, std::uint8_t* lengths) {
  std::memset(lengths, 0, static_cast<std::size_t>(n));
  int symbol[kMaxSymbols];
  int m = 0;
  for (int i = 0; i < n; ++i)
    if (counts[i] != 0) symbol[m++] = i;
  if (m < 2) {
    // One code of one bit each for two symbols, the used one and the lowest other.
    for (int i = 0; i < n && m < 2; ++i)
      if (m == 0 || symbol[0] != i) symbol[m++] = i;
    for (int i = 0; i < m; ++i) lengths[symbol[i]] = 1;
    return;
  }
  std::stable_sort(symbol, symbol + m, [&](int a, int b) { return counts[a] < counts[b]; });
  std::uint32_t weight[kMaxSymbols];
  for (int i = 0; i < m; ++i) weight[i] = counts[symbol[i]];
  std::uint8_t depth[kMaxSymbols];
  // Too long a code: flatten the weights (halving, at least one, keeps their
  // order) until the tree is shallow enough; 2^maxBits >= n ends it.
  while (HuffmanDepths(weight, m, depth) > maxBits)
    for (int i = 0; i < m; ++i) weight[i] = (weight[i] >> 1) | 1;
  for (int i = 0; i < m; ++i) lengths[symbol[i]] = depth[i];
}

void CanonicalCodes(const std::uint8_t* lengths, int n, std::uint16_t* codes) {
  int perLength[16] = {};
  for (int i = 0; i < n; ++i) ++perLength[lengths[i]];
  perLength[0] = 0;
  int next[16] = {};
  for (int bits = 1, code = 0; bits < 16; ++bits) {
    code = (code + perLength[bits - 1]) << 1;
    next[bits] = code;
  }
  for (int i = 0; i < n; ++i) {
    const int bits = lengths[i];
    std::uint32_t code = bits == 0 ? 0u : static_cast<std::uint32_t>(next[bits]++), reversed = 0;
    for (int b = 0; b < bits; ++b, code >>= 1) reversed = (reversed << 1) | (code & 1);
    codes[i] = static_cast<std::uint16_t>(reversed);
  }
}

}  // namespace md::canvas
