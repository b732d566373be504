#include "host/featra/bytestream.h"

#include <zlib.h>

namespace md::featra {

// zlib's CRC-32 (the same polynomial, reflected, with the usual pre- and
// post-inversion), several bytes a step.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  return static_cast<std::uint32_t>(crc32_z(crc32_z(0, nullptr, 0), data, size));
}

}  // namespace md::featra
