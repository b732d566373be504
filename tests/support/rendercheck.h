// Render checks: a drawing feature's picture compared with its control image.
//
// A control is <name>.png in a `controls/` folder beside the test, with a
// mask <name>.mask.png of the same size: the mask's non-black pixels mark
// where anti-aliasing may differ between machines (edges of shapes and
// glyphs), and those pixels are not compared. Every other pixel must match
// the control within a small per-channel tolerance; a few may differ. A
// control without a mask (the demo's whole pages, which allow more differing
// pixels instead) is compared at every pixel.
//
// To make or renew a control (only when the picture is meant to change, and
// look at both files before committing them):
//
//   MAPDECK_UPDATE_REFERENCE=1 <test program> --gtest_filter='<the check>'
//
// which writes the control and a mask made from it: every pixel whose colour
// is not a flat one (a colour some pixel shares with all eight neighbours),
// that is the blended pixels of anti-aliased edges and thin glyph strokes.
// Masks may be edited by hand to cover more or less. On a mismatch the rendered picture and a difference
// picture (differing pixels in red) are written to
// <build>/test-output/render-checks/ and named in the failure.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/canvas/raster.h"

namespace md::test {

struct RenderTolerance {
  int channel = 48;       // largest channel difference that still counts as equal
  long long pixels = 20;  // unmasked pixels that may differ beyond it
  bool bMasked = true;    // renewing the control writes its mask too
};

// Whether MAPDECK_UPDATE_REFERENCE=1 asks for new controls.
bool UpdatingControls();

// The mask made from a control: white where a pixel's colour is not flat
// (no pixel of that colour has all eight neighbours of it), black elsewhere.
md::canvas::Raster AntialiasMask(const md::canvas::Raster& control);

// Unmasked pixels of `rendered` beyond the tolerance from `control`; -1 when
// the sizes of the three pictures differ.
long long MaskedDifference(const md::canvas::Raster& control, const md::canvas::Raster& mask,
                           const md::canvas::Raster& rendered, int channelTolerance);

// Compares the picture with the control `name` in `controlFolder` (a path
// from the repository root, e.g. "tests/layout/graphicelement/frame/controls").
// While controls are being renewed it writes them instead and succeeds.
testing::AssertionResult MatchesControl(const md::canvas::Raster& rendered, const std::string& controlFolder,
                                        const std::string& name, RenderTolerance tolerance = {});

}  // namespace md::test
