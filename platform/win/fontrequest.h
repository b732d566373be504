// Font requests of the text engines made from the device context's LOGFONT.
#pragma once

#include "platform/text/textengine.h"
#include "platform/win/wintypes.h"

namespace md::win {

// A request from a LOGFONT whose height and width are in logical units;
// pixelsPerUnitX/Y convert them to device pixels (their sign is ignored, the
// sign of lfHeight is kept; a zero or non-finite scale counts as 1). Sizes are
// held to a million pixels; the face name ends at its terminator or at the
// end of the field.
text::FontRequest FontRequestFromLogFont(const LOGFONT& lf, double pixelsPerUnitX, double pixelsPerUnitY);

}  // namespace md::win
