// Shared set-up for the device-context tests: a screen context on a
// recording canvas, measured with the fixed-metrics engine.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/canvas/recording.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace md::test {

struct RecordingDC {
  explicit RecordingDC(int width = 400, int height = 300, int dpi = 96)
      : canvas(width, height), hdc(md::win::CreateScreenDC(&canvas, dpi, &md::text::FixedMetricsEngine())) {}
  ~RecordingDC() { DeleteDC(hdc); }
  RecordingDC(const RecordingDC&) = delete;
  RecordingDC& operator=(const RecordingDC&) = delete;

  const md::canvas::Record& last() const { return canvas.records().back(); }

  md::canvas::RecordingCanvas canvas;
  HDC hdc;
};

// The rectangles of a region, as canvas rectangles.
inline std::vector<md::canvas::Rect> RectsOf(HRGN rgn) {
  std::vector<md::canvas::Rect> out;
  for (const RECT& r : md::win::GetRegionRects(rgn)) out.push_back({r.left, r.top, r.right, r.bottom});
  return out;
}

// Deletes a GDI object at the end of a scope.
struct Owned {
  explicit Owned(HGDIOBJ o) : obj(o) {}
  ~Owned() {
    if (obj) DeleteObject(obj);
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  HGDIOBJ obj;
};

}  // namespace md::test
