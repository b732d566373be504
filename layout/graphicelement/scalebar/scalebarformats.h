// The number formats a scale bar holds: made, copied, stored and applied.
#pragma once

#include <cstddef>
#include <string>

#include "host/basilo/releaseptr.h"

class IGIS_DataBuffer;
class IGIS_NumericFormat;

namespace md::layout::detail {

constexpr int kNumericFormatPlain = 0;   // plain numbers
constexpr int kNumericFormatLatLon = 2;  // degrees

// A new format of the kind, or NULL when the format library makes none.
IGIS_NumericFormat* NewNumericFormat(int nKind);

// Replaces the held format by a clone of the given one: nothing when it is
// the held object; NULL empties the field.
void KeepNumericFormatCopy(md::basilo::ReleasePtr<IGIS_NumericFormat>* pHeld, IGIS_NumericFormat* pGiven);

// Stores the format into the buffer; nothing for a missing format or buffer.
void SaveNumericFormat(IGIS_NumericFormat* pFormat, IGIS_DataBuffer* pBuffer);

// Reads the format from the buffer; a damaged buffer leaves it as it was.
// True when the format took the stored settings.
bool OpenNumericFormat(IGIS_NumericFormat* pFormat, IGIS_DataBuffer* pBuffer);

// The value written with the format, cut to nMaxBytes at a character
// boundary; "" without a format.
std::string FormatNumber(IGIS_NumericFormat* pFormat, double dValue, std::size_t nMaxBytes);

// A new plain-number format with the seven shared settings of the given
// format (alignment, rounding mode, width, digits, plus sign, thousands
// separator, zero padding); NULL without either.
IGIS_NumericFormat* NewPlainFormatLike(IGIS_NumericFormat* pFormat);

}  // namespace md::layout::detail
