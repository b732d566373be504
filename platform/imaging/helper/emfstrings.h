// The strings of an enhanced metafile that libemf2svg writes into its SVG as
// they stand: a font's face name into an attribute, a text into a CDATA
// section. So that no name or text ends them early (a face name holding
// `&`, `<` or `"`, a text holding "]]>"), the library is given a copy whose
// face names hold stand-ins for those three and whose texts hold a vertical
// tab for every "]"; what it answers is then written out with the stand-ins
// escaped and every text as escaped character data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/imaging/helper/emftext.h"

namespace md::imaging::detail {

// The records' little-endian 32-bit words.
inline std::uint32_t EmfU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void EmfPut32(std::uint8_t* p, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<std::uint8_t>(v >> (8 * k));
}

// The characters of the texts that mark the clip in force before a path,
// a text after them as aligned by its bottom or by its top, and a shape
// after them filled by the even-odd rule, alone or beside the clip
// (playemf.cpp); a text of the file's own holding one has it as U+FFFD.
constexpr char32_t kClipMark = 0xFDD3, kBottomMark = 0xFDD4, kTopMark = 0xFDD5, kEvenOddMark = 0xFDD6,
                   kClipEvenOddMark = 0xFDD7;
// The character of a text that marks the text after it as set by the
// spacing whose number (from 1) its second character, U+E000 + number - 1,
// gives (emftext.h).
constexpr char32_t kSpacingMark = 0xFDD8;

// Marks the face names and texts of the records in place (the bytes of the
// whole file, its header first). A text of glyph indices is left as it is;
// a vertical tab of a text becomes a blank, as the library makes of the
// other control characters; a text's count of characters is cut to what its
// record holds.
void MarkEmfStrings(std::uint8_t* data, std::size_t size);

// The library's SVG of a marked copy, with the stand-ins written back as
// the markup allows and each text's CDATA section as escaped character
// data; a character XML cannot hold becomes U+FFFD. A stroke thinner than
// `leastStroke` (the SVG's units of a pixel of the drawing) is widened to
// it and marked as a hairline (drawlist.h: kHairlineMiterLimit). What the
// library draws otherwise than the records mean is mended: a bitmap is
// stretched over its box, a path only stroked keeps its last figure open
// when it was, a turned text is clipped on the page and turned about its
// reference point, a text of the clip mark alone is taken out, its clip
// given to the path after it, and a text of an alignment's mark alone is
// taken out, the text after it placed by that alignment (emftext.h), and a
// text of a spacing's mark taken out, each character of the text after it
// set where `spacings` puts it.
std::string EscapeEmfSvg(std::string_view svg, double leastStroke,
                         const std::vector<TextSpacing>& spacings = {});

}  // namespace md::imaging::detail
