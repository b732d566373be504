// The element frame on the page: drawing in both symbol forms, the draft
// box, and conversion into plain rectangle and polyline elements.
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "host/pictar2/graphics.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "host/tinctorkit/igis_symbolpainter.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"
#include "layout/graphicelement/shapes/igis_rectelement.h"
#include "platform/win/fonthelpers.h"
#include "platform/win/wingdi.h"

namespace {

constexpr const char* kOnDraw = "CGIS_FrameProperty::OnDraw";
constexpr const char* kDraft = "CGIS_FrameProperty::OnDrawDraftMode";
constexpr const char* kConvert = " CGIS_FrameProperty::ConvertToElement";
constexpr int kMaxBitmapSide = 1 << 15;

// Corners of a rectangle named by its sides.
enum Corner { LB, LT, RT, RB };

// Polylines along the visible sides, one string of corners per polyline and
// "|" between polylines, by the visible-side mask (left 1, right 2, top 4,
// bottom 8).
// Drawing: with all four sides the first side is drawn again so that the
// line joins at its start corner.
constexpr const char* kDrawnSides[16] = {
    "",                   // none
    "LB LT",              // left
    "RT RB",              // right
    "LB LT|RB RT",        // left, right
    "LT RT",              // top
    "LB LT RT",           // left, top
    "LT RT RB",           // right, top
    "LB LT RT RB",        // left, right, top
    "RB LB",              // bottom
    "LT LB RB",           // left, bottom
    "RT RB LB",           // right, bottom
    "RT RB LB LT",        // left, right, bottom
    "LB RB|LT RT",        // top, bottom
    "RB LB LT RT",        // left, top, bottom
    "LT RT RB LB",        // right, top, bottom
    "RT RB LB LT RT RB",  // all
};
// Conversion: all four sides make one closed ring, and no side still makes
// one (empty) polyline element.
constexpr const char* kConvertedSides[16] = {
    "",
    "LB LT",
    "RB RT",
    "LB LT|RB RT",
    "LT RT",
    "LB LT RT",
    "LT RT RB",
    "LB LT RT RB",
    "LB RB",
    "LT LB RB",
    "RT RB LB",
    "RT RB LB LT",
    "LB RB|LT RT",
    "RB LB LT RT",
    "LT RT RB LB",
    "LB RB RT LT LB",
};

// The polylines of a table entry as corner lists.
std::vector<std::vector<Corner>> Polylines(const char* szEntry) {
  std::vector<std::vector<Corner>> lines(1);
  for (const char* p = szEntry; *p != '\0'; ++p) {
    if (*p == '|') {
      lines.emplace_back();
    } else if (p[0] == 'L' || p[0] == 'R') {
      const bool bLeft = p[0] == 'L';
      const bool bBottom = p[1] == 'B';
      lines.back().push_back(bLeft ? (bBottom ? LB : LT) : (bBottom ? RB : RT));
      ++p;
    }
  }
  return lines;
}

template <class TPoint>
TPoint CornerOf(const SGIS_Rect& r, Corner c) {
  switch (c) {
    case LB:
      return TPoint{r.left, r.bottom};
    case LT:
      return TPoint{r.left, r.top};
    case RT:
      return TPoint{r.right, r.top};
    case RB:
    default:
      return TPoint{r.right, r.bottom};
  }
}

// Owns what the symbol2 form makes on screen: a memory context holding a
// DIB section with a copy of the target's content.
class BitmapSurface {
 public:
  BitmapSurface(HDC hdc, int nWidth, int nHeight) {
    m_hdc = CreateCompatibleDC(hdc);
    if (m_hdc == nullptr) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    m_hBitmap = CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (m_hBitmap == nullptr) return;
    m_hOld = SelectObject(m_hdc, m_hBitmap);
    BitBlt(m_hdc, 0, 0, nWidth, nHeight, hdc, 0, 0, SRCCOPY);
  }
  ~BitmapSurface() {
    if (m_hdc != nullptr && m_hOld != nullptr) SelectObject(m_hdc, m_hOld);
    if (m_hBitmap != nullptr) DeleteObject(m_hBitmap);
    if (m_hdc != nullptr) DeleteDC(m_hdc);
  }
  BitmapSurface(const BitmapSurface&) = delete;
  BitmapSurface& operator=(const BitmapSurface&) = delete;

  bool IsValid() const { return m_hdc != nullptr && m_hBitmap != nullptr; }
  HBITMAP Bitmap() const { return m_hBitmap; }

 private:
  HDC m_hdc = nullptr;
  HBITMAP m_hBitmap = nullptr;
  HGDIOBJ m_hOld = nullptr;
};

// A new element of the type in the owner, or NULL.
IGIS_Element* NewPiece(IGIS_FeatureSet* pOwner, const char* szType) { return pOwner->CreateElement(szType); }

// Commits the piece's feature and adds it to the compound; a piece the
// compound refuses goes back to the owner instead of staying loose on the page.
void CommitAndAdd(IGIS_FeatureSet* pOwner, IGIS_CompoundElement* pCompound, IGIS_Element* pPiece) {
  IGIS_FeatureClass* pClass = pOwner->GetFeatureClass();
  if (pClass != nullptr && pPiece->GetFeaturePtr() != nullptr) {
    pClass->UpdateFeature(pPiece->GetFeaturePtr(), GIS_UPDATE_POINT_SYMBOL);
  }
  if (!pCompound->AddElement(pPiece)) pOwner->DeleteElement(pPiece);
}

void AddRectPiece(IGIS_FeatureSet* pOwner, IGIS_CompoundElement* pCompound, const SGIS_Rect& rect,
                  IGIS_Symbol* pSymbol) {
  IGIS_Element* pPiece = NewPiece(pOwner, GIS_TYPE_GRAPHIC_ELEMENT_RECT);
  if (pPiece == nullptr) return;
  auto* pRect = dynamic_cast<IGIS_RectElement*>(pPiece);
  if (pRect == nullptr) {
    pOwner->DeleteElement(pPiece);
    return;
  }
  pRect->SetRect(rect);
  pRect->SetSymbolPtr(pSymbol);
  CommitAndAdd(pOwner, pCompound, pRect);
}

void AddPolylinePiece(IGIS_FeatureSet* pOwner, IGIS_CompoundElement* pCompound,
                      const std::vector<SGIS_Point>& points, IGIS_Symbol* pSymbol) {
  IGIS_Element* pPiece = NewPiece(pOwner, GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE);
  if (pPiece == nullptr) return;
  auto* pLine = dynamic_cast<IGIS_PolylineElement*>(pPiece);
  if (pLine == nullptr) {
    pOwner->DeleteElement(pPiece);
    return;
  }
  IGIS_Feature* pFeature = pLine->GetFeaturePtr();
  if (IGIS_Geometry* pGeometry = pFeature != nullptr ? pFeature->GetGeometry() : nullptr) {
    pGeometry->SetPointCount(static_cast<int>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) pGeometry->SetPoint(static_cast<int>(i), points[i], 0);
  }
  pLine->SetSymbolPtr(pSymbol);
  CommitAndAdd(pOwner, pCompound, pLine);
}

}  // namespace

// ---- Drawing ----------------------------------------------------------------------

bool CGIS_FrameProperty::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Rect rect,
                                IGIS_SpatialReference* pSpatialReference, BYTE nPart) {
  if (pDisplay == nullptr || pDisplay->GetView() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "p_display = NULL");
    return false;
  }
  if (UsesSymbol2()) return DrawSymbol2Form(hdc, bPrint, pDisplay, rect, pSpatialReference, nPart);
  return DrawSymbolForm(hdc, bPrint, pDisplay, rect, pSpatialReference, nPart);
}

bool CGIS_FrameProperty::DrawSymbolForm(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const SGIS_Rect& rect,
                                        IGIS_SpatialReference* pSpatialReference, BYTE nPart) {
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  if (pRenderer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "p_symbolization == NULL");
    return false;
  }
  IGIS_DisplayView* pView = pDisplay->GetView();
  // Keeps the clip and narrows it to the element region while the view
  // clips; the kept clip comes back on every way out, printing or not.
  CGIS_ElementClipScope clip(hdc, pDisplay);

  POINT points[6];
  SGIS_DrawParam param;
  param.hdc = hdc;
  param.printFlag = bPrint ? 1 : 0;
  param.symbolScale = GetDisplayRatio(pDisplay);
  param.points = points;
  if (bPrint) param.viewValue = reinterpret_cast<std::intptr_t>(pView->GetClipContext());

  if (nPart == GIS_FRAME_PART_BORDER) {
    const SGIS_Rect device = pView->PageToDeviceRect(BorderRect(rect), pSpatialReference);
    if (m_pBorderSymbol == nullptr) return true;
    for (const std::vector<Corner>& line : Polylines(kDrawnSides[VisibleSides()])) {
      if (line.empty()) continue;
      for (std::size_t i = 0; i < line.size(); ++i) points[i] = CornerOf<POINT>(device, line[i]);
      param.pointCount = static_cast<std::int32_t>(line.size());
      pRenderer->Draw(m_pBorderSymbol.get(), &param, GIS_DRAW_CHECK);
    }
    return true;
  }

  auto drawRing = [&](const SGIS_Rect& pageRect, IGIS_Symbol* pSymbol) {
    SGIS_Rect device = pView->PageToDeviceRect(pageRect, pSpatialReference);
    device.Normalize();
    const Corner ring[5] = {LB, RB, RT, LT, LB};
    for (int i = 0; i < 5; ++i) points[i] = CornerOf<POINT>(device, ring[i]);
    param.pointCount = 5;
    if (pSymbol != nullptr) pRenderer->Draw(pSymbol, &param, GIS_DRAW_CHECK);
  };
  drawRing(ShadowRect(rect), m_pShadowSymbol.get());
  drawRing(BackRect(rect), m_pBackSymbol.get());
  return true;
}

bool CGIS_FrameProperty::DrawSymbol2Form(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const SGIS_Rect& rect,
                                         IGIS_SpatialReference* pSpatialReference, BYTE nPart) {
  IGIS_DisplayView* pView = pDisplay->GetView();
  // The view's device area: the window's client area on screen, the page's
  // pixels on a printer.
  RECT area{};
  pView->GetDeviceRect(&area);
  const int nWidth = area.right - area.left;
  const int nHeight = area.bottom - area.top;
  if (nWidth <= 0 || nHeight <= 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "i_bmp_width=0或i_bmp_height=0");
    return false;
  }
  // The graphics surface takes bitmaps up to this side; a larger device
  // area would only make a huge copy that cannot be painted.
  if (!bPrint && (nWidth > kMaxBitmapSide || nHeight > kMaxBitmapSide)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "bitmap of %d x %d pixels too large", nWidth, nHeight);
    return false;
  }

  // On screen the painting goes into a copy of the context's content, which
  // is put back in one piece; printing paints straight into the context.
  std::unique_ptr<BitmapSurface> surface;
  if (!bPrint) {
    surface = std::make_unique<BitmapSurface>(hdc, nWidth, nHeight);
    if (!surface->IsValid()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "hBitmap == NULL");
      return false;
    }
  }
  IGIS_SymbolPainter* pPainter = GIS_GetSymbolizeObject();
  if (pPainter == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kOnDraw, "p_symbolize == NULL");
    return false;
  }
  // The bitmap copies the context's pixels, so it is painted at the
  // context's resolution: line widths in millimetres match the symbol form.
  std::unique_ptr<md::pictar2::Graphics> graphics =
      bPrint ? std::make_unique<md::pictar2::Graphics>(hdc, md::pictar2::RasterModeDevice)
             : std::make_unique<md::pictar2::Graphics>(surface->Bitmap(), md::pictar2::RasterModeBitmap, hdc);
  SGIS_PaintParam param;
  param.graphics = graphics.get();
  param.word = 0;
  param.scale = bPrint ? 1.0 : GetDisplayRatio(pDisplay);
  param.printFlag = bPrint ? 1 : 0;
  CGIS_ElementClipScope clip(hdc, pDisplay);

  if (nPart == GIS_FRAME_PART_BORDER) {
    if (m_pBorderSymbol2 == nullptr) return false;
    const SGIS_Rect b = BorderRect(rect);
    const double L = b.left, R = b.right, T = b.top, B = b.bottom;
    const double w = m_pBorderSymbol2->GetLineWidth();
    const double h = std::isfinite(w) ? md::basilo::detail::RoundToInt32(w * 100.0 / 2.0) : 0.0;
    const bool bl = m_bBorderLeftVisible, bt = m_bBorderTopVisible, br = m_bBorderRightVisible,
               bb = m_bBorderBottomVisible;
    // Each side is one open polyline that meets the next visible side at its
    // corner and ends half a line width beyond a corner whose next side is hidden.
    auto paintSide = [&](std::vector<double> xy) {
      const int n = static_cast<int>(xy.size() / 2);
      pView->PageToDevicePoints(xy.data(), n, pSpatialReference);
      pPainter->Paint(m_pBorderSymbol2.get(), &param, xy.data(), n);
    };
    if (bl) {
      std::vector<double> xy = {L, bb ? B + h : B - h};
      if (bt)
        xy.insert(xy.end(), {L, T, L + h, T});
      else
        xy.insert(xy.end(), {L, T + h});
      paintSide(xy);
    }
    if (bt) {
      std::vector<double> xy = {bl ? L + h : L - h, T};
      if (br)
        xy.insert(xy.end(), {R, T, R, T - h});
      else
        xy.insert(xy.end(), {R + h, T});
      paintSide(xy);
    }
    if (br) {
      std::vector<double> xy = {R, bt ? T - h : T + h};
      if (bb)
        xy.insert(xy.end(), {R, B, R - h, B});
      else
        xy.insert(xy.end(), {R, B - h});
      paintSide(xy);
    }
    if (bb) {
      std::vector<double> xy = {br ? R - h : R + h, B};
      if (bl)
        xy.insert(xy.end(), {L, B, L, B + h});
      else
        xy.insert(xy.end(), {L - h, B});
      paintSide(xy);
    }
  } else {
    auto paintRing = [&](const SGIS_Rect& pageRect, IGIS_SymbolV2* pSymbol) {
      SGIS_Rect d = pView->PageToDeviceRect(pageRect, pSpatialReference);
      d.Normalize();
      const double xy[10] = {double(d.left),  double(d.bottom), double(d.right), double(d.bottom),
                             double(d.right), double(d.top),    double(d.left),  double(d.top),
                             double(d.left),  double(d.bottom)};
      if (pSymbol != nullptr) pPainter->Paint(pSymbol, &param, xy, 5);
    };
    paintRing(ShadowRect(rect), m_pShadowSymbol2.get());
    paintRing(BackRect(rect), m_pBackSymbol2.get());
  }
  if (!bPrint) graphics->Update(hdc);
  return true;
}

// ---- Draft box ------------------------------------------------------------------

void CGIS_FrameProperty::OnDrawDraftMode(IGIS_Element* pElement, HDC hdc, bool /*bPrint*/,
                                         IGIS_Display* pDisplay) {
  if (pElement == nullptr || pDisplay == nullptr || !m_bDraftMode) return;
  IGIS_FeatureSet* pOwner = pElement->GetFeatureSetPtr();
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  IGIS_DisplayView* pView = pDisplay->GetView();
  if (pClass == nullptr || pView == nullptr) return;

  std::string text;
  if (const char* szName = pElement->GetName()) {
    text.assign(szName, md::layout::Utf8CutLength(szName, std::strlen(szName), 1000));
  } else {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kDraft, "pElement->GetName()为NULL");
  }

  const SGIS_Rect rect = pElement->GetRect();
  OnDraw(hdc, false, pDisplay, rect, pClass->GetSpatialReference(), GIS_FRAME_PART_BORDER);

  const SGIS_Point c = pView->PageToDeviceRect(rect, nullptr).CenterPoint();
  // The label follows the zoom; a view without a usable scale draws it at
  // its plain size rather than dividing by it.
  const double s = pView->GetScale();
  const double k = (std::isfinite(s) && s > 0.0) ? 20.0 / s : 20.0;
  const double n = static_cast<double>(text.size());
  RECT box;
  box.left = md::basilo::detail::RoundToInt32(c.x - n * k * 0.25);
  box.right = md::basilo::detail::RoundToInt32(c.x + n * k * 0.25);
  box.top = md::basilo::detail::RoundToInt32(c.y - k * 0.5);
  box.bottom = md::basilo::detail::RoundToInt32(c.y + k * 0.5);

  HFONT hFont = CreateFontByName(md::basilo::detail::RoundToInt32(k * 6.0), "Times New Roman", hdc);
  HGDIOBJ hOldFont = hFont != nullptr ? SelectObject(hdc, hFont) : nullptr;
  HBRUSH hWhite = CreateSolidBrush(0xFFFFFF);
  HBRUSH hBlack = CreateSolidBrush(0x000000);
  if (hWhite != nullptr) FillRect(hdc, &box, hWhite);
  DrawText(hdc, text.c_str(), static_cast<int>(text.size()), &box, DT_CENTER);
  if (hBlack != nullptr) FrameRect(hdc, &box, hBlack);
  if (hOldFont != nullptr) SelectObject(hdc, hOldFont);
  if (hFont != nullptr) DeleteObject(hFont);
  if (hWhite != nullptr) DeleteObject(hWhite);
  if (hBlack != nullptr) DeleteObject(hBlack);
}

// ---- Conversion -----------------------------------------------------------------

IGIS_Element* CGIS_FrameProperty::ConvertToElement(IGIS_Element* pElement) {
  if (UsesSymbol2()) return nullptr;
  if (pElement == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "pElement == NULL");
    return nullptr;
  }
  IGIS_FeatureSet* pOwner = pElement->GetFeatureSetPtr();
  if (pOwner == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvert, "p_graphicLayer == NULL");
    return nullptr;
  }
  if (m_pBackSymbol == nullptr && m_pBorderSymbol == nullptr && m_pShadowSymbol == nullptr) return nullptr;

  IGIS_Element* pMade = pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND);
  if (pMade == nullptr) return nullptr;
  auto* pCompound = dynamic_cast<IGIS_CompoundElement*>(pMade);
  if (pCompound == nullptr) {
    pOwner->DeleteElement(pMade);
    return nullptr;
  }
  const SGIS_Rect e = pElement->GetRect();

  if (m_pShadowSymbol != nullptr) AddRectPiece(pOwner, pCompound, ShadowRect(e), m_pShadowSymbol.get());
  if (m_pBackSymbol != nullptr) AddRectPiece(pOwner, pCompound, BackRect(e), m_pBackSymbol.get());
  if (m_pBorderSymbol != nullptr) {
    const SGIS_Rect b = BorderRect(e);
    for (const std::vector<Corner>& line : Polylines(kConvertedSides[VisibleSides()])) {
      std::vector<SGIS_Point> points;
      for (Corner c : line) points.push_back(CornerOf<SGIS_Point>(b, c));
      AddPolylinePiece(pOwner, pCompound, points, m_pBorderSymbol.get());
    }
  }
  pCompound->OffsetAllPoints(1000, 1000);
  return pCompound;
}
