// Painting windows into pictures: a snapshot draws a dialog, page or sheet
// (frame, caption, every visible control at its place, then what the
// windows paint themselves) into a PNG file, so that a person can look at a
// template and see overlaps or missing controls.
#pragma once

#include <string>

#include "platform/ui/wnd.h"

namespace md::canvas {
class Canvas;
}

namespace md::ui {

// The canvas windows under `topLevel` paint on (null: none).
void SetWindowCanvas(HWND topLevel, md::canvas::Canvas* canvas);
// Where a window's client area starts on its top-level window's surface.
POINT WindowSurfaceOffset(HWND hwnd);

// Paints the top-level window of `window` into `canvas` (which should be as
// large as the window rectangle).
bool PaintWindowTree(CWnd& window, md::canvas::Canvas* canvas);
// Paints the top-level window of `window` into a PNG file.
bool SnapshotToPng(CWnd& window, const std::string& path);
// Makes a window from dialog template `templateId` (with no code of its
// own), and paints it into a PNG file.
bool SnapshotTemplateToPng(UINT templateId, const std::string& path);

}  // namespace md::ui
