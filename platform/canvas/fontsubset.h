// Font faces cut down to the glyphs a PDF file draws. The PDF writer reads
// the whole outline table of every face it embeds before it subsets it; the
// CJK faces hold some 15 MB of outlines each, of which a page draws a few
// hundred glyphs. Handing the writer a face that holds only those glyphs
// (at their own indices) spares it that work, and the file is the same.
#pragma once

#include <cstdint>
#include <set>
#include <unordered_map>

#include "platform/text/textengine.h"

typedef struct _cairo_font_face cairo_font_face_t;

namespace md::canvas::detail {

// A face cut down to some of its glyphs, renumbered from 0 up.
struct FaceSubset {
  cairo_font_face_t* face = nullptr;                       // one reference, the holder's
  std::unordered_map<std::uint32_t, std::uint32_t> index;  // a kept glyph's index in `face`
};

// A cairo face holding the face's `glyphs` (and glyph 0), emboldened when
// the source says so; false when the face file cannot be read or cut.
bool SubsetFace(const text::FaceSource& src, const std::set<std::uint32_t>& glyphs, FaceSubset* out);

}  // namespace md::canvas::detail
