// The enhanced metafile reader: libemf2svg turns the records (EMF+ included)
// into SVG, and librsvg draws it with cairo into the picture's pixels. The
// picture is the frame the header gives (in 0.01 mm), placed on the
// reference device the header names. Both libraries run in the helper
// program (request.h).
#include <emf2svg.h>
#include <librsvg/rsvg.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/imaging/helper/copies.h"
#include "platform/imaging/helper/dibpixels.h"
#include "platform/imaging/helper/emfbitmaps.h"
#include "platform/imaging/helper/emfclip.h"
#include "platform/imaging/helper/emfdashes.h"
#include "platform/imaging/helper/emfrops.h"
#include "platform/imaging/helper/emfstate.h"
#include "platform/imaging/helper/emfstrings.h"
#include "platform/imaging/helper/emftext.h"
#include "platform/imaging/helper/emftranslucent.h"
#include "platform/imaging/helper/play.h"
#include "platform/imaging/helper/target.h"
#include "platform/imaging/protocol/metafileheader.h"

namespace md::imaging {
namespace {

using detail::Restore;
using detail::Xform;

constexpr std::uint32_t kComment = 70, kSetWindowExt = 9, kSetViewportExt = 11;

// A device starts with window and viewport extents of 1 x 1, which a file
// switching to an anisotropic or isotropic mapping keeps until it sets its
// own; libemf2svg starts them at 0 and maps every point of such a file to
// no number. The copy is given the device's first extents as records of
// its own, after the header and the comments right after it (where an EMF+
// header lies).
void SetFirstExtents(std::vector<std::uint8_t>* copy) {
  std::vector<std::uint8_t>& b = *copy;
  std::size_t at = detail::EmfU32(b.data() + 4);
  while (at + 8 <= b.size() && detail::EmfU32(b.data() + at) == kComment) {
    const std::uint32_t bytes = detail::EmfU32(b.data() + at + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    at += bytes;
  }
  constexpr std::array<std::uint32_t, 8> kWords = {kSetWindowExt, 16, 1, 1, kSetViewportExt, 16, 1, 1};
  std::uint8_t records[4 * kWords.size()];
  for (std::size_t k = 0; k < kWords.size(); ++k) detail::EmfPut32(records + 4 * k, kWords[k]);
  b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), std::begin(records), std::end(records));
  detail::EmfPut32(b.data() + 48, detail::EmfU32(b.data() + 48) + sizeof records);
  detail::EmfPut32(b.data() + 52, detail::EmfU32(b.data() + 52) + 2);
}

constexpr std::uint32_t kSaveDc = 33, kRestoreDc = 34, kSetWorldTransform = 35, kModifyWorldTransform = 36,
                        kBeginPath = 59, kEndPath = 60, kAbortPath = 68;

// libemf2svg draws what follows a world transform in a group of it, and
// opens the next group at the next transform record only: a RestoreDC that
// brings an earlier transform back leaves what follows in the group of the
// one it undid. The copy follows each such RestoreDC (outside a path, where
// a group cannot go) with a SetWorldTransform to the transform it restores.
void SetRestoredTransforms(std::vector<std::uint8_t>* copy) {
  const std::vector<std::uint8_t>& b = *copy;
  std::vector<std::uint8_t> out;
  std::vector<Xform> saved;
  Xform now;
  bool inPath = false;
  std::uint32_t added = 0;
  std::size_t at = 0, kept = 0;
  for (std::size_t bytes = 0; at + 8 <= b.size(); at += bytes) {
    const std::uint8_t* r = b.data() + at;
    const std::uint32_t type = detail::EmfU32(r);
    bytes = detail::EmfU32(r + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    const Xform before = now;
    if (type == kSaveDc) {
      saved.push_back(now);
    } else if (type == kRestoreDc && bytes >= 12) {
      Restore(&saved, static_cast<std::int32_t>(detail::EmfU32(r + 8)), &now);
    } else if (type == kSetWorldTransform && bytes >= 32) {
      now = detail::ReadXform(r + 8);
    } else if (type == kModifyWorldTransform && bytes >= 36) {
      now = detail::Modified(r, now);
    } else if (type == kBeginPath) {
      inPath = true;
    } else if (type == kEndPath || type == kAbortPath) {
      inPath = false;
    }
    if (type != kRestoreDc || inPath || now == before) continue;
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept),
               b.begin() + static_cast<std::ptrdiff_t>(at + bytes));
    kept = at + bytes;
    std::uint8_t record[32];
    detail::EmfPut32(record, kSetWorldTransform);
    detail::EmfPut32(record + 4, sizeof record);
    const float v[6] = {static_cast<float>(now.m11), static_cast<float>(now.m12), static_cast<float>(now.m21),
                        static_cast<float>(now.m22), static_cast<float>(now.dx),  static_cast<float>(now.dy)};
    std::memcpy(record + 8, v, sizeof v);
    out.insert(out.end(), std::begin(record), std::end(record));
    ++added;
  }
  if (added == 0) return;
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept), b.end());
  detail::EmfPut32(out.data() + 48, static_cast<std::uint32_t>(out.size()));
  detail::EmfPut32(out.data() + 52, detail::EmfU32(out.data() + 52) + added);
  *copy = std::move(out);
}

constexpr std::uint32_t kSetMapMode = 17, kCreatePen = 38, kExtCreatePen = 95;
constexpr std::uint32_t kGeometric = 0x10000, kPenTypes = 0xF0000, kPenStyles = 0xF, kNullPen = 5;

// The page's mapping: its mode and the window's and viewport's extents.
struct Mapping {
  std::uint32_t mode = 1;
  double windowX = 1, windowY = 1, viewportX = 1, viewportY = 1;
  // Reference device pixels a logical unit is across, `mm` millimetres a
  // pixel of it.
  double Across(double mm) const {
    constexpr double kMmPerUnit[] = {0.1, 0.01, 0.254, 0.0254, 25.4 / 1440};  // LOMETRIC to TWIPS
    if (mode >= 2 && mode <= 6) return kMmPerUnit[mode - 2] / mm;
    if (mode != 7 && mode != 8) return 1;
    const double x = std::fabs(viewportX / windowX), y = std::fabs(viewportY / windowY);
    return mode == 7 ? std::min(x, y) : x;
  }
  // How much wider a logical unit is than high.
  double Aspect() const { return mode == 8 ? std::fabs((viewportX / windowX) / (viewportY / windowY)) : 1.0; }
};

// The mapping as the record `r` leaves it, SaveDC keeping it.
void FollowMapping(const std::uint8_t* r, std::size_t bytes, std::vector<Mapping>* saved, Mapping* now) {
  const std::uint32_t type = detail::EmfU32(r);
  const auto s32 = [r](std::size_t k) {
    return static_cast<double>(static_cast<std::int32_t>(detail::EmfU32(r + k)));
  };
  if (type == kSaveDc) {
    saved->push_back(*now);
  } else if (type == kRestoreDc && bytes >= 12) {
    Restore(saved, static_cast<std::int32_t>(detail::EmfU32(r + 8)), now);
  } else if (type == kSetMapMode && bytes >= 12) {
    now->mode = detail::EmfU32(r + 8);
  } else if ((type == kSetWindowExt || type == kSetViewportExt) && bytes >= 16 && s32(8) != 0 &&
             s32(12) != 0) {
    (type == kSetWindowExt ? now->windowX : now->viewportX) = s32(8);
    (type == kSetWindowExt ? now->windowY : now->viewportY) = s32(12);
  }
}

// libemf2svg takes a pen's width in the reference device's pixels, and
// draws a pen that CreatePen made (which names no type) a pixel wide
// whatever its width: the copy's pens of a width are marked geometric and
// their widths, given in logical units, are put in the device's pixels
// through the mapping in force where they are made (the world transform the
// SVG applies itself). A width is a whole number of pixels.
void SetPenWidthsInPixels(std::vector<std::uint8_t>* copy) {
  std::vector<std::uint8_t>& b = *copy;
  if (b.size() < 88) return;
  const double pixels = static_cast<std::int32_t>(detail::EmfU32(b.data() + 72)),
               mm = static_cast<std::int32_t>(detail::EmfU32(b.data() + 80));
  if (!(pixels > 0) || !(mm > 0)) return;
  std::vector<Mapping> saved;
  Mapping now;
  for (std::size_t at = 0, bytes = 0; at + 8 <= b.size(); at += bytes) {
    std::uint8_t* r = b.data() + at;
    const std::uint32_t type = detail::EmfU32(r);
    bytes = detail::EmfU32(r + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    const auto s32 = [r](std::size_t k) {
      return static_cast<double>(static_cast<std::int32_t>(detail::EmfU32(r + k)));
    };
    FollowMapping(r, bytes, &saved, &now);
    // Where the style and the width lie, and whether the pen has a width.
    std::size_t style = 0, width = 0;
    if (type == kCreatePen && bytes >= 28) {
      style = 12;
      width = 16;
    } else if (type == kExtCreatePen && bytes >= 52 && (detail::EmfU32(r + 28) & kPenTypes) == kGeometric) {
      style = 28;
      width = 32;
    }
    const double logical = width == 0 ? 0 : s32(width);
    if (logical < 1 || (detail::EmfU32(r + style) & kPenStyles) == kNullPen) continue;
    const double across = std::round(logical * now.Across(mm / pixels));
    if (!(across < 1e6)) continue;
    detail::EmfPut32(r + style, detail::EmfU32(r + style) | kGeometric);
    detail::EmfPut32(r + width, static_cast<std::uint32_t>(across));
  }
}

constexpr std::uint32_t kSetTextAlign = 22, kExtTextOutA = 83, kExtTextOutW = 84;
// OffsetClipRgn, SetMetaRgn, ExcludeClipRect, IntersectClipRect,
// SelectClipPath, ExtSelectClipRgn.
constexpr std::uint32_t kClipRecords[] = {26, 28, 29, 30, 67, 75};

// One word of a device context's state as the record `r` leaves it: set by
// a record of type `set`, kept by SaveDC and taken back by RestoreDC.
void KeepSaved(const std::uint8_t* r, std::size_t bytes, std::uint32_t set, std::vector<std::uint32_t>* saved,
               std::uint32_t* value) {
  const std::uint32_t type = detail::EmfU32(r);
  if (type == kSaveDc)
    saved->push_back(*value);
  else if (type == kRestoreDc && bytes >= 12)
    Restore(saved, static_cast<std::int32_t>(detail::EmfU32(r + 8)), value);
  else if (type == set && bytes >= 12)
    *value = detail::EmfU32(r + 8);
}

// A mark: an ExtTextOutW of its one character at (0, 0), its string right
// after the record's fixed part, padded to four bytes; a mark whose high 16
// bits hold a number n has the private-use character U+E000 + n - 1 after
// its own.
constexpr std::size_t kMarkBytes = 80;
std::array<std::uint8_t, kMarkBytes> Mark(char32_t c) {
  std::array<std::uint8_t, kMarkBytes> mark{};
  // Type, size, bounds; graphics mode and scales; reference point, count,
  // string's offset, options, box, no spacing.
  const std::uint32_t words[] = {kExtTextOutW, kMarkBytes, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 1, 0x3F800000,
                                 0x3F800000,   0,          0, 1, 76,         0,          0, 0,
                                 0xFFFFFFFF,   0xFFFFFFFF, 0};
  for (std::size_t k = 0; k < std::size(words); ++k) detail::EmfPut32(mark.data() + 4 * k, words[k]);
  mark[76] = static_cast<std::uint8_t>(c & 0xFF);
  mark[77] = static_cast<std::uint8_t>((c >> 8) & 0xFF);
  if (c >> 16 != 0) {
    const char32_t second = 0xE000 + (c >> 16) - 1;
    mark[44] = 2;
    mark[78] = static_cast<std::uint8_t>(second & 0xFF);
    mark[79] = static_cast<std::uint8_t>(second >> 8);
  }
  return mark;
}

// The copy with the mark `markOf` gives a record (none: 0) put before it,
// at most as many bytes of marks as the file holds.
template <class MarkOf>
void MarkRecords(std::vector<std::uint8_t>* copy, MarkOf markOf) {
  const std::vector<std::uint8_t>& b = *copy;
  std::vector<std::uint8_t> out;
  std::uint32_t added = 0;
  std::size_t at = 0, kept = 0;
  for (std::size_t bytes = 0; at + 8 <= b.size(); at += bytes) {
    bytes = detail::EmfU32(b.data() + at + 4);
    if (bytes < 8 || bytes > b.size() - at) break;
    const char32_t c = markOf(b.data() + at, bytes);
    if (c == 0 || kMarkBytes * (added + 1) > b.size()) continue;
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept),
               b.begin() + static_cast<std::ptrdiff_t>(at));
    kept = at;
    const std::array<std::uint8_t, kMarkBytes> mark = Mark(c);
    out.insert(out.end(), mark.begin(), mark.end());
    ++added;
  }
  if (added == 0) return;
  out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(kept), b.end());
  detail::EmfPut32(out.data() + 48, static_cast<std::uint32_t>(out.size()));
  detail::EmfPut32(out.data() + 52, detail::EmfU32(out.data() + 52) + added);
  *copy = std::move(out);
}

// libemf2svg clips each shape it draws to the clip in force, but the one a
// path's records draw (BeginPath ... EndPath and its fill or stroke) it
// leaves unclipped. Once the copy selects a clip, each path is preceded by a
// text of the clip mark alone, which the library draws clipped as it draws
// any text; EscapeEmfSvg takes the mark's text out and gives its clip to
// the path after it.
//
// libemf2svg fills every shape by the non-zero rule; a device context fills
// by the even-odd one (ALTERNATE) until SetPolyFillMode says otherwise. Under
// it, each polygon that may cross itself (of more than three points), each
// set of polygons and each path is preceded by a text of the even-odd mark (beside
// the clip's, for a path), and EscapeEmfSvg fills the shape after it so.
void MarkPathClips(std::vector<std::uint8_t>* copy) {
  constexpr std::uint32_t kSetPolyFillMode = 19, kAlternate = 1, kPolygon = 3, kPolyPolygon = 8,
                          kPolygon16 = 86, kPolyPolygon16 = 91;
  bool clipped = false, inPath = false;
  std::vector<std::uint32_t> saved;
  std::uint32_t fill = kAlternate;
  MarkRecords(copy, [&](const std::uint8_t* r, std::size_t bytes) -> char32_t {
    const std::uint32_t type = detail::EmfU32(r);
    if (std::find(std::begin(kClipRecords), std::end(kClipRecords), type) != std::end(kClipRecords))
      clipped = true;
    KeepSaved(r, bytes, kSetPolyFillMode, &saved, &fill);
    const bool evenOdd = fill == kAlternate;
    if (type == kEndPath || type == kAbortPath) inPath = false;
    if (inPath) return 0;
    if (type == kBeginPath) {
      inPath = true;
      return clipped ? (evenOdd ? detail::kClipEvenOddMark : detail::kClipMark)
                     : (evenOdd ? detail::kEvenOddMark : 0);
    }
    // A polygon's count of points, or a set's count of polygons, after its
    // bounds.
    const bool shape =
        type == kPolygon || type == kPolygon16 || type == kPolyPolygon || type == kPolyPolygon16;
    if (!evenOdd || !shape || bytes < 28) return 0;
    const bool several = type == kPolyPolygon || type == kPolyPolygon16;
    return several || detail::EmfU32(r + 24) > 3 ? detail::kEvenOddMark : 0;
  });
}

// libemf2svg sets a text aligned by its bottom on its baseline and one
// aligned by its top (a device context's first alignment) 0.9 of its size
// below; the font it is drawn in is librsvg's to find. Each such text of
// the copy outside a path is preceded by a text of the mark of its
// alignment, which EscapeEmfSvg takes out, placing the text after it
// (emftext.h).
void MarkTextAlignments(std::vector<std::uint8_t>* copy) {
  constexpr std::uint32_t kVertical = 0x18, kBottom = 0x08, kBaseline = 0x18;
  std::vector<std::uint32_t> saved;
  std::uint32_t align = 0;
  bool inPath = false;
  MarkRecords(copy, [&](const std::uint8_t* r, std::size_t bytes) -> char32_t {
    const std::uint32_t type = detail::EmfU32(r);
    KeepSaved(r, bytes, kSetTextAlign, &saved, &align);
    if (type == kBeginPath) {
      inPath = true;
    } else if (type == kEndPath || type == kAbortPath) {
      inPath = false;
    }
    if ((type != kExtTextOutA && type != kExtTextOutW) || inPath) return 0;
    const std::uint32_t vertical = align & kVertical;
    return vertical == kBaseline ? 0 : vertical == kBottom ? detail::kBottomMark : detail::kTopMark;
  });
}

// libemf2svg draws an ExtTextOut's characters at the face's own advances
// and in its own width, where GDI sets each at the advance the record gives
// (its spacing, SetTextCharacterExtra's included) and stretches the glyphs
// by the font's width. Each such text of the copy outside a path is
// preceded by a text of the spacing mark and the number of its entry in the
// answer, which EscapeEmfSvg takes out, setting the text after it so
// (emftext.h).
std::vector<detail::TextSpacing> MarkTextSpacings(std::vector<std::uint8_t>* copy) {
  constexpr std::uint32_t kCreateFont = 82, kSelectObject = 37, kEtoPdy = 0x2000, kGlyphIndex = 0x10;
  constexpr std::size_t kMostSpacings = 6000, kMostChars = 1 << 16;
  std::vector<detail::TextSpacing> spacings;
  // The fonts made, by handle: height and width; the one selected.
  std::vector<std::array<double, 2>> fonts;
  std::array<double, 2> font = {0, 0};
  std::vector<Mapping> saved;
  Mapping map;
  bool inPath = false;
  MarkRecords(copy, [&](const std::uint8_t* r, std::size_t bytes) -> char32_t {
    const std::uint32_t type = detail::EmfU32(r);
    const auto s32 = [r](std::size_t k) {
      return static_cast<double>(static_cast<std::int32_t>(detail::EmfU32(r + k)));
    };
    FollowMapping(r, bytes, &saved, &map);
    if (type == kCreateFont && bytes >= 20) {
      const std::uint32_t handle = detail::EmfU32(r + 8);
      if (handle < (1u << 16)) {
        if (fonts.size() <= handle) fonts.resize(handle + 1, {0, 0});
        fonts[handle] = {s32(12), s32(16)};
      }
    } else if (type == kSelectObject && bytes >= 12) {
      const std::uint32_t handle = detail::EmfU32(r + 8);
      if (handle < fonts.size() && fonts[handle][0] != 0) font = fonts[handle];
    } else if (type == kBeginPath) {
      inPath = true;
    } else if (type == kEndPath || type == kAbortPath) {
      inPath = false;
    }
    if ((type != kExtTextOutA && type != kExtTextOutW) || inPath || bytes < 76 || font[0] == 0 ||
        spacings.size() >= kMostSpacings)
      return 0;
    const std::uint32_t chars = detail::EmfU32(r + 44), options = detail::EmfU32(r + 52),
                        offDx = detail::EmfU32(r + 72);
    const std::size_t step = (options & kEtoPdy) != 0 ? 8 : 4;
    if (chars == 0 || chars > kMostChars || (options & kGlyphIndex) != 0 || offDx < 76 || offDx > bytes ||
        (bytes - offDx) / step < chars)
      return 0;
    const double aspect = map.Aspect();
    detail::TextSpacing spacing;
    spacing.across = font[1] == 0 ? 0 : std::fabs(font[1] / font[0]) * aspect;
    for (std::uint32_t k = 0; k < chars; ++k)
      spacing.advances.push_back(s32(offDx + step * k) / std::fabs(font[0]) * aspect);
    spacings.push_back(std::move(spacing));
    return detail::kSpacingMark | static_cast<char32_t>(spacings.size() << 16);
  });
  return spacings;
}

std::string Draw(const std::uint8_t* data, std::size_t size, const detail::EmfFrame& f,
                 detail::MetafileTarget* t) {
  std::string why = t->Size(f.width, f.height);
  if (!why.empty()) return why;
  const int w = t->header[0], h = t->header[1];
  // libemf2svg scales and places the drawing by the header's bounds, the box
  // of what the records draw, and draws its hairlines one SVG unit wide. It
  // is given a copy whose bounds are the frame rounded out to whole device
  // pixels, and a width that makes an SVG unit about a pixel of the picture
  // (its hatches' cells are sized in them); the SVG's view box then picks
  // the frame out exactly, and librsvg draws it at the drawn size.
  const double boundsX = std::floor(f.left), boundsY = std::floor(f.top);
  const double boundsW = std::ceil(f.right) - boundsX, boundsH = std::ceil(f.bottom) - boundsY;
  if (boundsX < INT32_MIN || boundsY < INT32_MIN || boundsX + boundsW > INT32_MAX ||
      boundsY + boundsH > INT32_MAX)
    return "the frame lies past the reference device's range";
  // A bitmap of more pixels than its bounds span drawn (a list's at 300
  // dpi of its box) is averaged down to those.
  double dots[2] = {t->DrawnWidth(), t->DrawnHeight()};
  for (int k = 0; k < 2; ++k)
    if (t->list != nullptr && t->cells[k] > 0) dots[k] = t->cells[k] / 2;
  detail::EmfCopy copy = detail::CopyEmf(data, size, f, dots[0] / (f.right - f.left),
                                         dots[1] / (f.bottom - f.top), t->memoryLimit / 4);
  t->nearestRops = copy.nearestRops;
  const double unit = w / (f.right - f.left);  // SVG units a device pixel
  generatorOptions options{};
  char empty[] = "";
  options.nameSpace = empty;
  options.svgDelimiter = false;
  options.emfplus = true;
  options.imgWidth = boundsW * unit;
  options.imgHeight = 0;  // from the bounds' shape: the same unit across and down
  char* body = nullptr;
  std::size_t length = 0;
  const int converted =
      emf2svg(reinterpret_cast<char*>(copy.records.data()), copy.records.size(), &body, &length, &options);
  if (converted == 0 || body == nullptr) {
    std::free(body);
    return "damaged records";
  }
  if (t->SizeOnly()) {
    // Its records read, its size the header's: what it draws is drawn at
    // each size it is drawn at.
    std::free(body);
    t->Finish();
    return "";
  }
  char head[512];
  std::snprintf(head, sizeof head,
                "<svg version=\"1.1\" xmlns=\"http://www.w3.org/2000/svg\" "
                "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"%d\" height=\"%d\" "
                "viewBox=\"%.17g %.17g %.17g %.17g\" preserveAspectRatio=\"none\">\n",
                w, h, (f.left - boundsX) * unit, (f.top - boundsY) * unit, (f.right - f.left) * unit,
                (f.bottom - f.top) * unit);
  std::string svg = head;
  // The SVG's units of a pixel of the drawn size, the larger across or down.
  const double least =
      std::max((f.right - f.left) * unit / t->DrawnWidth(), (f.bottom - f.top) * unit / t->DrawnHeight());
  svg += detail::EscapeEmfSvg(std::string_view(body, length), least, copy.spacings);
  std::free(body);
  svg += "</svg>\n";
  svg = detail::HatchSvg(std::move(svg), copy.hatches);
  svg = detail::DashSvg(svg, copy.dashes, unit);
  svg = detail::TranslucentSvg(svg, copy.translucent);
  GError* error = nullptr;
  RsvgHandle* handle =
      rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error);
  if (handle == nullptr) {
    why = std::string("the drawing cannot be read: ") + (error != nullptr ? error->message : "");
    if (error != nullptr) g_error_free(error);
    return why;
  }
  cairo_surface_t* surface = t->Surface();
  cairo_t* cr = cairo_create(surface);
  const RsvgRectangle viewport{0, 0, t->DrawnWidth(), t->DrawnHeight()};
  if (!rsvg_handle_render_document(handle, cr, &viewport, &error)) {
    why = std::string("the drawing cannot be drawn: ") + (error != nullptr ? error->message : "");
    if (error != nullptr) g_error_free(error);
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  if (why.empty()) t->Finish();  // while librsvg's fonts live
  g_object_unref(handle);
  return why;
}

// A frame larger than any sheet it could be meant to fill (past 2 m², twice
// the largest common paper) round a drawing that covers less than a
// hundredth of it is no margin of the drawing's: pstoedit writes one of
// metres round a few centimetres, and the picture is then all but blank.
// Such a frame is narrowed to the header's bounds of what the records draw,
// widened by a device pixel each way for the pens' edges; any smaller frame,
// and one whose bounds are empty or lie outside it, is kept whole, as a
// margin the file means.
void FitFrameToDrawing(const std::uint8_t* data, detail::EmfFrame* f) {
  constexpr double kSquareMetresAnInch = 0.0254 * 0.0254, kLargestSheet = 2.0, kShare = 0.01;
  if (f->width * f->height * kSquareMetresAnInch <= kLargestSheet) return;
  const auto s32 = [data](std::size_t at) { return static_cast<std::int32_t>(detail::EmfU32(data + at)); };
  // The bounds, in pixels of the reference device, include their right and
  // bottom edges.
  const double left = s32(8), top = s32(12), right = s32(16) + 1.0, bottom = s32(20) + 1.0;
  if (right <= left || bottom <= top) return;
  if (left < f->left - 1 || top < f->top - 1 || right > f->right + 1 || bottom > f->bottom + 1) return;
  const double across = f->right - f->left, down = f->bottom - f->top;
  const double x0 = std::max(left - 1, f->left), y0 = std::max(top - 1, f->top);
  const double x1 = std::min(right + 1, f->right), y1 = std::min(bottom + 1, f->bottom);
  if ((x1 - x0) * (y1 - y0) >= kShare * across * down) return;
  f->width *= (x1 - x0) / across;
  f->height *= (y1 - y0) / down;
  f->left = x0;
  f->top = y0;
  f->right = x1;
  f->bottom = y1;
}

}  // namespace

namespace detail {

EmfCopy CopyEmf(const std::uint8_t* data, std::size_t size, const EmfFrame& f, double across, double down,
                std::size_t mostBytes) {
  EmfCopy c;
  std::vector<std::uint8_t>& copy = c.records;
  copy = ExpandEmfBitmaps(data, size, mostBytes);
  if (copy.empty()) copy.assign(data, data + size);
  c.nearestRops = ComposeEmfRasterOperations(&copy, mostBytes);
  ClipEmfXorDrawings(&copy);
  ReduceEmfBitmaps(&copy, across, down);
  c.hatches = ReplaceEmfPatternBrushes(&copy);
  c.translucent = ReplaceTranslucentFills(&copy);
  // The bounds lie within 32 bits: each as the word it is.
  const auto bound = [&copy](std::size_t at, double v) {
    EmfPut32(copy.data() + at, static_cast<std::uint32_t>(static_cast<std::int32_t>(v)));
  };
  bound(8, std::floor(f.left));
  bound(12, std::floor(f.top));
  bound(16, std::ceil(f.right));
  bound(20, std::ceil(f.bottom));
  SetFirstExtents(&copy);
  SetRestoredTransforms(&copy);
  c.dashes = ReplaceEmfDashedPens(&copy);
  SetPenWidthsInPixels(&copy);
  MarkEmfStrings(copy.data(), copy.size());
  MarkTextAlignments(&copy);
  c.spacings = MarkTextSpacings(&copy);
  MarkPathClips(&copy);
  SetEmfClips(&copy);
  return c;
}

std::string PlayEmf(const std::uint8_t* data, std::size_t size, MetafileTarget* t) {
  EmfFrame f;
  const std::string why = ReadEmfHeader(data, size, &f);
  if (!why.empty()) return why;
  FitFrameToDrawing(data, &f);
  return Draw(data, f.declared, f, t);
}

}  // namespace detail

}  // namespace md::imaging
