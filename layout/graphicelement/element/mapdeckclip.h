// The clip sequence of element drawing, and the display ratio of symbols.
#pragma once

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_Display;

// When the display's view clips: a new region holding the device context's
// clip as it is now, for the caller to select back and delete after drawing;
// NULL when the view does not clip or the context has no clip (selecting
// NULL back then removes the clip again, as it was).
HRGN SaveDCClipRgn(HDC hdc, IGIS_Display* pDisplay);

// When the display's view clips: a new region over the printable paper of
// the display's printer interface, in device pixels; otherwise NULL.
HRGN CreateElementClipRgn(IGIS_Display* pDisplay);

// When the display's view clips: intersects the context's clip with the region.
void SelectElementClipRgn(IGIS_Display* pDisplay, HDC hdc, HRGN hRegion);

// The symbol scale of element drawing: 1.0 without a display; the view's
// symbol ratio when it clips; otherwise 1 / the view's scale (1.0 when the
// scale is not a positive finite number).
double GetDisplayRatio(IGIS_Display* pDisplay);

// The whole clip sequence as a scope: saves the clip and selects the element
// region on construction; selects the saved clip back and deletes both
// regions on destruction, whichever way the drawing leaves the scope.
class CGIS_ElementClipScope {
 public:
  CGIS_ElementClipScope(HDC hdc, IGIS_Display* pDisplay);
  ~CGIS_ElementClipScope();
  CGIS_ElementClipScope(const CGIS_ElementClipScope&) = delete;
  CGIS_ElementClipScope& operator=(const CGIS_ElementClipScope&) = delete;

  // Whether the display's view clips (the drawing parameters then carry the
  // view's clip value and the display ratio).
  bool IsClipping() const { return m_bClipping; }
  // The element's region (NULL while the view does not clip), for drawings
  // that select it again before each call.
  HRGN Region() const { return m_hElement; }

 private:
  HDC m_hdc;
  bool m_bClipping = false;
  HRGN m_hSaved = nullptr;
  HRGN m_hElement = nullptr;
};
