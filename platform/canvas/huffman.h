// Code lengths for deflate's dynamic Huffman blocks (RFC 1951, 3.2.7).
#pragma once

#include <cstdint>

namespace md::canvas {

// Sets lengths[i] for the n symbols with counts[i] uses: a prefix code of at
// most maxBits bits a code, shortest for the most used. Unused symbols get 0.
// At least two symbols always get a code (unused ones added from the lowest
// index up), so that the code is complete, as every inflater accepts.
// n is at most 288.
void BuildCodeLengths(const std::uint32_t* counts, int n, int maxBits, std::uint8_t* lengths);

// The canonical codes for the lengths, bit-reversed to be written least
// significant bit first.
void CanonicalCodes(const std::uint8_t* lengths, int n, std::uint16_t* codes);

}  // namespace md::canvas
