// Stored form of a numeric format (FORMAT.md beside this file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/stratel/numericformat_text.h"

namespace md::stratel::detail {

constexpr std::uint8_t kFormatMagic[4] = {'M', 'D', 'N', 'F'};
constexpr std::uint16_t kFormatVersion = 1;
constexpr std::size_t kFormatSize = 18;

bool ValidDisplayMode(int mode);
// Every setting in its range (the ranges of the setters).
bool ValidSettings(const FormatSettings& s);

std::vector<std::uint8_t> EncodeFormat(const FormatSettings& s);
// False with the reason in *why for a wrong length, magic or version, or a
// setting out of range.
bool DecodeFormat(const std::uint8_t* data, std::size_t size, FormatSettings* out, std::string* why);

}  // namespace md::stratel::detail
