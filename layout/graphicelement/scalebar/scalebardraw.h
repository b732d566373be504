// The part of a scale bar's layout, drawing and conversion that every bar
// shares, read through the bar's interface: the division width at the
// followed frame's scale, the extent of bar, marks and labels (Refresh), the
// marks, numeric labels, unit label and frame border it draws, and the
// compound it converts them into.
#pragma once

#include <array>
#include <memory>
#include <span>

#include "host/basilo/releaseptr.h"
#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Display;
class IGIS_Element;
class IGIS_ScaleBar;

namespace md::layout::detail {

// The page width of one division at the followed frame's scale, with the
// division and scale that keeping it would store; without a frame, or with
// one that shows no map, the bar's stored width, division and scale.
struct DivisionWidth {
  int nBarWidth;
  double dDivision;
  double dMapScale;
};
DivisionWidth ComputeDivisionWidth(IGIS_ScaleBar& bar);
// The same, with the frame the bar follows (bar.GetMapElement()) given.
DivisionWidth ComputeDivisionWidth(IGIS_ScaleBar& bar, IGIS_MapElement* pFrame);

// The extent of body, marks and labels of a bar whose division is dw wide:
// the body's offset from the extent's lower-left corner and the extent's size.
struct BarExtent {
  int nBarX = 0;
  int nBarY = 0;
  double dWidth = 0.0;
  double dHeight = 0.0;
};
BarExtent LayOutBarExtent(IGIS_ScaleBar& bar, double dw);

// The stored bytes a bar's label and unit-label text symbols and its two
// number formats were just read from, each object having taken its whole
// state from them.
struct ReadLayoutForms {
  std::span<const BYTE> labelSymbol;
  std::span<const BYTE> unitLabelSymbol;
  std::span<const BYTE> numericFormat;
  std::span<const BYTE> latLonFormat;
};
// LayOutBarExtent of a bar whose text symbols and number formats hold what
// the forms store: a bar read again with the same inputs (a store and read,
// an edit undone) takes the extent from a small memo, shared by threads and
// keyed by every input of the layout, instead of measuring its labels anew.
// pFrame is the frame the bar follows (bar.GetMapElement()).
BarExtent LayOutReadBarExtent(IGIS_ScaleBar& bar, IGIS_MapElement* pFrame, double dw,
                              const ReadLayoutForms& forms);

// The inputs of a bar's last layout and the extent it gave. A layout whose
// inputs all equal the held ones (a scale-change notice that leaves the
// scale as it was) gives the held extent instead of measuring the labels
// anew; the text symbols and number formats are compared by their saved
// bytes, so edits made through the pointers the bar hands out count.
class HeldBarLayout {
 public:
  HeldBarLayout();
  ~HeldBarLayout();
  HeldBarLayout(const HeldBarLayout&) = delete;
  HeldBarLayout& operator=(const HeldBarLayout&) = delete;
  // LayOutBarExtent(bar, dw), or with the forms the objects were just read
  // from, LayOutReadBarExtent. pFrame is bar.GetMapElement().
  BarExtent LayOut(IGIS_ScaleBar& bar, IGIS_MapElement* pFrame, double dw, const ReadLayoutForms* pForms);
  // Holds the extent as the layout of the bar's present inputs without
  // measuring: a bar read while its frame shows no map keeps its stored
  // layout, and a layout with the same inputs (an unedited sheet) gives it.
  void Keep(IGIS_ScaleBar& bar, IGIS_MapElement* pFrame, double dw, const ReadLayoutForms* pForms,
            const BarExtent& extent);

 private:
  struct Inputs;
  std::unique_ptr<Inputs> m_pInputs;
  BarExtent m_extent;
  // Where the objects are saved to be compared.
  std::array<md::basilo::ReleasePtr<IGIS_DataBuffer>, 4> m_saved;
};

// The end of every bar's drawing: marks and labels (the bar's OnDrawLabel),
// then the frame's border. FALSE without the page's spatial reference.
BOOL DrawBarCommon(IGIS_ScaleBar& bar, HDC hdc, bool bPrint, IGIS_Display* pDisplay);
// The marks, numeric labels and unit label, each through the bar's own
// AddMainMark, AddSubMainMark and AddLabel.
BOOL DrawBarLabels(IGIS_ScaleBar& bar, HDC hdc, bool bPrint, IGIS_Display* pDisplay);
// One numeric label standing on the position, centred on it.
void DrawBarLabel(IGIS_ScaleBar& bar, HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point position,
                  double dValue);
// One division mark (bDivision) or subdivision mark.
void DrawBarMark(IGIS_ScaleBar& bar, bool bDivision, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                 SGIS_Point from, SGIS_Point to);

// A new compound of the frame's conversion, the marks and the labels; NULL
// (with a record) when no compound can be made.
IGIS_Element* ConvertBarCommon(IGIS_ScaleBar& bar);

}  // namespace md::layout::detail
