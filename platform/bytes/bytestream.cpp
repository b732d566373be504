#include "platform/bytes/bytestream.h"

#include <libdeflate.h>

namespace md::bytes {

// The CRC-32 zlib computes (the same polynomial, reflected, with the usual
// pre- and post-inversion), through libdeflate's carry-less multiplication.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) { return libdeflate_crc32(0, data, size); }

std::uint32_t Crc32More(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
  return libdeflate_crc32(crc, data, size);
}

namespace {

// Polynomials over GF(2) modulo the CRC polynomial, in the reflected bit
// order of the CRC: bit 31 is x^0, bit 0 is x^31.
constexpr std::uint32_t kPolynomial = 0xEDB88320u;
constexpr std::uint32_t kOne = 0x80000000u;

std::uint32_t MultiplyModP(std::uint32_t a, std::uint32_t b) {
  std::uint32_t product = 0;
  for (std::uint32_t bit = kOne; bit != 0 && a != 0; bit >>= 1) {
    if ((a & bit) != 0) {
      product ^= b;
      a ^= bit;
    }
    b = (b & 1u) != 0 ? (b >> 1) ^ kPolynomial : b >> 1;  // b * x
  }
  return product;
}

// x^n modulo the CRC polynomial, by squaring.
std::uint32_t PowerOfXModP(std::uint64_t n) {
  std::uint32_t result = kOne;
  std::uint32_t square = kOne >> 1;  // x
  for (; n != 0; n >>= 1) {
    if ((n & 1u) != 0) result = MultiplyModP(result, square);
    square = MultiplyModP(square, square);
  }
  return result;
}

}  // namespace

// Appending B to A shifts A's remainder by 8 * |B| bits; the pre- and
// post-inversions cancel between the three CRCs.
std::uint32_t Crc32Combine(std::uint32_t crcA, std::uint32_t crcB, std::uint64_t sizeB) {
  return MultiplyModP(PowerOfXModP(8 * sizeB), crcA) ^ crcB;
}

}  // namespace md::bytes
