// The host's annotation drawer: draws texts with annotation point styles.
//
// The device context is the framework object that wraps the context the
// element draws on (CDC::FromHandle). Anchors and paths are logical
// coordinates of that context. Texts
// are laid out in device pixels: the text height is |lfHeight| symbol units
// (points) = LOGPIXELSY / 72 pixels each, times the ratio. Line breaks
// ("\r\n", "\n", "\r") start new lines; the lines are left-aligned, centred or
// right-aligned as the alignment code's column says, and the code places the
// box of all lines on the anchor. The text turns counter-clockwise about the
// anchor by the text symbol's angle plus its font record's lfOrientation
// (both degrees).
#pragma once

#include "host/basilo/sgis_types.h"
#include "host/notara/igis_annostyle.h"
#include "platform/win/cdc.h"

class IGIS_AnnoDrawer {
 public:
  // Draws the text at each of the `count` anchors. FALSE (log) for a NULL
  // context, style, text or anchors, a count below 1 or a bad ratio (not
  // finite or not above 0).
  virtual BOOL Draw(CDC* dc, BOOL printFlag, double ratio, IGIS_AnnoPointStyle* style, const char* text,
                    const SGIS_Point* points, int count) = 0;
  // Writes the text along a polyline, centred on its length, each character
  // standing on the chord between the path points where it starts and ends
  // (so on a straight stretch it turns with its segment; a text longer than
  // the path runs on along the end segments). A path whose last point lies
  // left of its first is read from its last point, so that the text stands
  // upright, on the side of the path it would have had. The baseline lies on the path, except for the
  // alignments bottom centre (1), whose cell stands on the path with its bottom, and top centre (5), whose
  // cell hangs from it. Line breaks read as spaces. Paths of fewer than two points or of length 0 draw
  // nothing (FALSE).
  virtual BOOL DrawTextOnPath(CDC* dc, BYTE printFlag, double ratio, IGIS_AnnoPointStyle* style,
                              const char* text, const SGIS_Point* path, int count) = 0;

 protected:
  virtual ~IGIS_AnnoDrawer() = default;
};

extern "C" {
IGIS_AnnoDrawer* GIS_GetAnnotationDrawerObject();
}

// Where the anchor falls in the text box for an alignment code: fractions of
// the width from the left and of the height from the top. Codes outside 0..8
// count as 0 (centre).
void GIS_AlignmentFractions(int code, double* fromLeft, double* fromTop);
