// Stored form of a spatial reference (FORMAT.md beside this file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/sferon/sferon_model.h"

namespace md::sferon::detail {

constexpr std::uint8_t kReferenceMagic[4] = {'M', 'D', 'S', 'R'};
constexpr std::uint16_t kReferenceVersion = 1;
// Longest name or description a stored reference carries, in bytes; longer
// texts are stored cut at a character boundary.
constexpr std::size_t kMaxStoredText = 4096;

std::vector<std::uint8_t> EncodeReference(const ReferenceDef& def);

// EncodeReference through a memo of the last few definitions this thread
// stored: an identical definition (Identical) gives the bytes kept then.
// The bytes stay valid until the next call on this thread; NULL (reason in
// *why) when the definition cannot be read back from them.
const std::vector<std::uint8_t>* EncodeReferenceKept(const ReferenceDef& def, std::string* why);

// Decodes a stored reference; false with the reason in *why for anything
// short, long, of another version or holding values a reference cannot
// have (non-finite or non-positive factors, axes, unknown kinds).
bool DecodeReference(const std::uint8_t* data, std::size_t size, ReferenceDef* out, std::string* why);

// The definition the bytes decode to, through a memo of the last few
// references this thread decoded (identical bytes decode to the same
// definition, so a hit is not parsed and checked again): valid until the
// next decode on this thread; NULL (reason in *why) when they do not decode.
const ReferenceDef* DecodeReferenceKept(const std::uint8_t* data, std::size_t size, std::string* why);
// The same; *canonical: encoding the definition gives these bytes back.
const ReferenceDef* DecodeReferenceCanonical(const std::uint8_t* data, std::size_t size, bool* canonical,
                                             std::string* why);
// Whether the bytes decode, through the same memo.
bool ReferenceReadable(const std::uint8_t* data, std::size_t size, std::string* why);

// Whether a definition reads back from its stored form: every number
// finite, factors and axes above 0, units of the right sort.
bool Storable(const ReferenceDef& def, std::string* why);

}  // namespace md::sferon::detail
