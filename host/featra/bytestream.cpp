#include "host/featra/bytestream.h"

#include <libdeflate.h>

namespace md::featra {

// The CRC-32 zlib computes (the same polynomial, reflected, with the usual
// pre- and post-inversion), through libdeflate's carry-less multiplication.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) { return libdeflate_crc32(0, data, size); }

}  // namespace md::featra
