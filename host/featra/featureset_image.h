// The stored image of a feature set, as IGIS_FeatureSet::SaveToFile writes it
// and LoadFromFile reads it (layout in FORMAT.md beside this file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/featra/igis_feature.h"

namespace md::featra {

constexpr std::uint16_t kFeatureSetImageVersion = 1;

// The image of every feature of the set's class; false (and a log record)
// when a symbol cannot be stored.
bool WriteFeatureSetImage(IGIS_FeatureSet* set, std::vector<std::uint8_t>* out);

// Replaces the features of the set's class by those of an image. A damaged,
// truncated or inconsistent image is refused with a log record and the set is
// left as it was. verifyChecksum false skips only the checksum comparison
// (fuzzing reaches the structure checks that way).
bool ReadFeatureSetImage(IGIS_FeatureSet* set, const std::uint8_t* data, std::size_t size,
                         bool verifyChecksum);

}  // namespace md::featra
