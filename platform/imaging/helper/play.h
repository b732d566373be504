// Playing a metafile's records into the helper's target (target.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/imaging/helper/target.h"

namespace md::imaging::detail {

// Play the records into the target and finish it, while the libraries'
// fonts live: "" or why they cannot be drawn. The header was checked before
// (protocol/metafileheader.h); each reads it again.
std::string PlayWmf(const std::uint8_t* data, std::size_t size, MetafileTarget* target);
std::string PlayEmf(const std::uint8_t* data, std::size_t size, MetafileTarget* target);

}  // namespace md::imaging::detail
