// DrawBitmap for a test's checks: where it draws nothing, the failure says
// why (a metafile's helper that timed out on a busy machine, a budget spent).
#pragma once

#include <gtest/gtest.h>

#include "platform/imaging/draw.h"

namespace md::test {

inline testing::AssertionResult Drawn(HDC hdc, const md::imaging::Bitmap& bitmap, int x, int y, int width,
                                      int height) {
  md::imaging::MetafileShortfall shortfall;
  if (md::imaging::DrawBitmap(hdc, bitmap, x, y, width, height, nullptr, &shortfall))
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << "not drawn: "
                                     << (shortfall.why.empty() ? "no reason was said" : shortfall.why);
}

}  // namespace md::test
