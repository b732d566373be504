// The north arrow: fitting, turning, storage, drawing and conversion.
#include "layout/graphicelement/furniture/cgis_northarrowelement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <utility>

#include "host/basilo/igis_log.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/furniture/furniturestore.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/shapes/igis_pointelement.h"
#include "platform/win/wingdi.h"

using md::layout::furniture::Clamp;
using md::layout::furniture::CommitFeature;
using md::layout::furniture::EnsureField;
using md::layout::furniture::Field;
using md::layout::furniture::PropertySetPtr;
using md::layout::furniture::Round;
using md::layout::furniture::SymbolPtr;

namespace {

constexpr const char* kClass = "CGIS_NorthArrowElement";
constexpr int kDefaultStyle = 0xce6;

bool IsPointSymbol(IGIS_Symbol* pSymbol) {
  const int nType = pSymbol->GetType();
  return nType == GIS_SYMBOL_POINT5 || nType == GIS_SYMBOL_POINT || nType == GIS_SYMBOL_POINT7;
}

double Area(const SGIS_Rect& r) { return static_cast<double>(r.Width()) * r.Height(); }

}  // namespace

SGIS_Rect CGIS_NorthArrowElement::SymbolExtent(IGIS_Symbol* pSymbol) {
  return PointSymbolExtent(pSymbol, 1.0);
}

double CGIS_NorthArrowElement::FitScale(IGIS_Symbol* pSymbol, double pxWidth, double pxHeight, int nDpi,
                                        double dAngle) {
  SGIS_Rect extent = SymbolExtent(pSymbol);
  if (pSymbol->GetType() == GIS_SYMBOL_POINT5 && Area(extent) < 1.0) {
    const int nSize = std::max(0, pSymbol->GetSize());
    extent = SGIS_Rect(0, nSize, nSize, 0);
  }
  const double ew = std::fabs(static_cast<double>(extent.Width()));
  const double eh = std::fabs(static_cast<double>(extent.Height()));
  // Pixels a symbol unit: the bounds of the extent turned about its centre
  // fill the box on their tighter side.
  const double a = std::isfinite(dAngle) ? dAngle * std::numbers::pi / 180.0 : 0.0;
  const double c = std::fabs(std::cos(a)), s = std::fabs(std::sin(a));
  const double fit =
      ew * eh < 1.0 ? 1.0 : std::min(pxWidth / (ew * c + eh * s), pxHeight / (ew * s + eh * c));
  const double size = pSymbol->GetSize() > 0 ? pSymbol->GetSize() : (eh > 0 ? eh : 1.0);
  return nDpi > 0 && eh > 0 ? fit * eh / (size * nDpi / 72.0) : fit;
}

CGIS_NorthArrowElement::CGIS_NorthArrowElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "指北针") {
  if (pOwner == nullptr) return;
  m_pFrame.reset(GIS_CreateFramePropertyObject());
  if (IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject()) {
    m_pSymbol.reset(pFactory->CreateSymbol(GIS_SYMBOL_POINT));
    if (m_pSymbol) m_pSymbol->SetCode(kDefaultStyle);
  }

  SGIS_ElementBindOptions options;
  options.szType = GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW;
  options.nKind = GIS_FEATURE_KIND_RECTANGLE;
  options.nLockOnNew = 1;
  options.nCanConvert = 1;
  if (m_core.Bind(pOwner, pFeature, options) != CGIS_ElementCore::Binding::Created) return;

  IGIS_Feature* pOwn = m_core.m_pFeature;
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method(kClass).c_str(), "p_symbolization == NULL");
    return;
  }
  const SGIS_Rect extent = SymbolExtent(m_pSymbol.get());
  const double ratio = md::layout::SymbolUnitRatio(pOwner);
  SGIS_Rect r;
  pOwn->GetBound(&r, 1, 0);
  r.right = Clamp(std::int64_t{r.left} + Round(extent.Width() * ratio));
  r.top = Clamp(std::int64_t{r.bottom} + Round(extent.Height() * ratio));
  if (IGIS_Geometry* pGeometry = pOwn->GetGeometry()) pGeometry->SetRect(r, 0);

  if (IGIS_FeatureAttributes* pAttr = pOwn->GetAttributes()) {
    PropertySetPtr set(GIS_CreatePropertySetObject());
    if (set) {
      md::layout::furniture::WriteSymbolField(set.get(), "SymbolPoint", "点符号数据", m_pSymbol.get());
      // A new feature holds every key with its default value.
      if (IGIS_Field* f = set->AddProperty("MapElementID", "地图ID", GIS_FIELD_TYPE_INT, 1)) {
        f->SetInt(m_link.GetMapElementID());
      }
      if (IGIS_Field* f = set->AddProperty("CalibrationAngle", "校准角度", GIS_FIELD_TYPE_DOUBLE, 1)) {
        f->SetDouble(m_dCalibrationAngle);
      }
      if (IGIS_Field* f = set->AddProperty("Angle", "地图旋转角度", GIS_FIELD_TYPE_DOUBLE, 1))
        f->SetDouble(m_dAngle);
      IGIS_Field* f = set->AddProperty("FrameProperty", "地图框架的属性", GIS_FIELD_TYPE_BUFFER, 1);
      if (f != nullptr && m_pFrame && f->GetDataBuffer() != nullptr) m_pFrame->Save(f->GetDataBuffer());
      md::layout::furniture::WriteCustom(pAttr, set.get());
    }
  }
  CommitFeature(pOwner, pOwn, GIS_UPDATE_ALL);
}

// ---- Turning and following ---------------------------------------------------

void CGIS_NorthArrowElement::Turn() {
  IGIS_MapElement* pFrame = m_link.Frame();
  const double dRotation = pFrame != nullptr ? pFrame->GetRotateAngle() : 0.0;
  m_dAngle = std::isfinite(dRotation) ? dRotation : 0.0;
  if (m_pSymbol) m_pSymbol->SetAngle(m_dCalibrationAngle + m_dAngle);
}

void CGIS_NorthArrowElement::SetCalibrationAngle(double dAngle) {
  if (!std::isfinite(dAngle)) return;
  m_dCalibrationAngle = dAngle;
  if (m_pSymbol) m_pSymbol->SetAngle(m_dCalibrationAngle + m_dAngle);
}

double CGIS_NorthArrowElement::GetAngle() {
  IGIS_MapElement* pFrame = m_link.Frame();
  const double dRotation = pFrame != nullptr ? pFrame->GetRotateAngle() : 0.0;
  m_dAngle = std::isfinite(dRotation) ? dRotation : 0.0;
  return m_dAngle;
}

void CGIS_NorthArrowElement::SetMapElementPtr(IGIS_MapElement* pFrame) {
  if (pFrame == m_link.Frame()) return;
  m_link.Follow(pFrame);
  Turn();
}

void CGIS_NorthArrowElement::Update(const char* szMessage, int /*nArgument*/, IGIS_Element* pSender) {
  if (szMessage == nullptr) return;
  if (std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAP_RORATE) == 0) {
    if (m_link.Frame() != nullptr) Turn();
  } else if (std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAP_DEL) == 0) {
    if (m_link.OnFrameDeleted(pSender)) Turn();
  }
}

bool CGIS_NorthArrowElement::SetFramePropertyPtr(IGIS_FrameProperty* pFrame) {
  md::layout::furniture::ReplaceFrame(m_pFrame, pFrame);
  return true;
}

// ---- Symbol and size ---------------------------------------------------------

void CGIS_NorthArrowElement::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  const std::string method = m_core.Method("SetSymbolPtr");
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, method.c_str(), "pSymbol == NULL");
    m_pSymbol.reset();
    return;
  }
  if (pSymbol == m_pSymbol.get()) return;
  if (!IsPointSymbol(pSymbol)) {
    // Only point symbols draw an arrow; the held one stays.
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, method.c_str(), "symbol type %d refused", pSymbol->GetType());
    return;
  }
  IGIS_Symbol* pCopy = pSymbol->Clone();
  if (pCopy == nullptr) return;
  m_pSymbol.reset(pCopy);
  m_pSymbol->SetAngle(m_dCalibrationAngle + m_dAngle);

  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_symbolization == NULL");
    return;
  }
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) return;
  SGIS_Rect r = GetRect();
  double w = r.Width(), h = r.Height();
  if (w * h < 1.0) w = h = 1000.0;
  const SGIS_Rect extent = SymbolExtent(m_pSymbol.get());
  if (Area(extent) < 1.0) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, method.c_str(), "该符号的宽度和高度有一个为零");
    return;
  }
  const double k = std::max(w / extent.Width(), h / extent.Height());
  r.right = Clamp(std::int64_t{r.left} + Round(extent.Width() * k));
  r.top = Clamp(std::int64_t{r.bottom} + Round(extent.Height() * k));
  StoreRect(pFeature, r, GIS_UPDATE_GEOMETRY);
}

SGIS_Rect CGIS_NorthArrowElement::GetRect() { return m_core.FeatureRect(); }

void CGIS_NorthArrowElement::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  const SGIS_Rect current = GetRect();
  OffsetAllPoints(Clamp(std::int64_t{rect.left} - current.left),
                  Clamp(std::int64_t{rect.bottom} - current.bottom));
  SetWidthAndHeight(rect.Width(), rect.Height());
}

void CGIS_NorthArrowElement::OffsetAllPoints(int dx, int dy) { m_core.OffsetRect(dx, dy); }

void CGIS_NorthArrowElement::SetLBpoint(SGIS_Point point) { m_core.MoveLowerLeftTo(point); }

void CGIS_NorthArrowElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth <= 0 || nHeight <= 0) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("SetWidthAndHeight");
  if (pFeature == nullptr) return;
  SGIS_Rect r = GetRect();
  const double w0 = r.Width(), h0 = r.Height();
  if (nWidth == w0 && nHeight == h0) return;
  double w = 0.0, h = 0.0;
  if (w0 == 0.0 || h0 == 0.0) {
    if (GIS_GetSymbolizationObject() == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("SetWidthAndHeight").c_str(), "p_symbolization == NULL");
      return;
    }
    if (m_pSymbol == nullptr || !IsPointSymbol(m_pSymbol.get())) return;
    const SGIS_Rect extent = SymbolExtent(m_pSymbol.get());
    if (Area(extent) < 1.0) {
      w = h = std::max(nWidth, nHeight);
    } else {
      const double k = std::min(static_cast<double>(nWidth) / extent.Width(),
                                static_cast<double>(nHeight) / extent.Height());
      w = extent.Width() * k;
      h = extent.Height() * k;
    }
  } else {
    const double rx = nWidth / w0, ry = nHeight / h0;
    // The arrow keeps its proportions: growing in either direction takes the
    // smaller factor, shrinking in both the milder one.
    const double k = (rx >= 1.0 || ry >= 1.0) ? std::min(rx, ry) : std::max(rx, ry);
    w = w0 * k;
    h = h0 * k;
  }
  r.right = Clamp(std::int64_t{r.left} + Round(w));
  r.top = Clamp(std::int64_t{r.bottom} + Round(h));
  StoreRect(pFeature, r, GIS_UPDATE_ALL);
}

void CGIS_NorthArrowElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("ScaleShape");
  if (pFeature == nullptr) return;
  const SGIS_Rect r = GetRect();
  const double left = origin.x + (static_cast<double>(r.left) - origin.x) * sx;
  const double bottom = origin.y + (static_cast<double>(r.bottom) - origin.y) * sy;
  const double k = std::min(sx, sy);
  const SGIS_Rect scaled(Round(left), Round(bottom + r.Height() * k), Round(left + r.Width() * k),
                         Round(bottom));
  StoreRect(pFeature, scaled, GIS_UPDATE_GEOMETRY);
}

// ---- Copies and the sheet ----------------------------------------------------

IGIS_Element* CGIS_NorthArrowElement::Clone() {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  if (pOwner == nullptr) return nullptr;
  IGIS_Element* pNew = pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW);
  auto* pCopy = dynamic_cast<CGIS_NorthArrowElement*>(pNew);
  if (pCopy == nullptr) {
    if (pNew != nullptr) pOwner->DeleteElement(pNew);
    return nullptr;
  }
  pCopy->SetCalibrationAngle(m_dCalibrationAngle);
  pCopy->SetFramePropertyPtr(m_pFrame.get());
  pCopy->SetMapElementPtr(m_link.Frame());
  if (m_pSymbol) pCopy->SetSymbolPtr(m_pSymbol.get());
  pCopy->SetRect(GetRect());
  pCopy->SetLock(IsLock());
  return pCopy;
}

BOOL CGIS_NorthArrowElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return m_core.OpenPropertySheet(pDisplay, "指北针属性", "p_element == NULL");
}

// ---- Storage -----------------------------------------------------------------

BOOL CGIS_NorthArrowElement::Archive(int nRead, int /*nArchiveOption*/) {
  IGIS_FeatureAttributes* pAttr = nullptr;
  if (!m_core.ArchiveCommon(nRead, &pAttr)) return FALSE;
  PropertySetPtr set = md::layout::furniture::ReadCustom(pAttr);
  if (!set) return FALSE;
  const std::string method = m_core.Method("Archive");
  if (nRead == 0) {
    if (Field(set.get(), "MapElementID") == nullptr)
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_field == NULL");
    if (IGIS_Field* f = EnsureField(set.get(), "MapElementID", "MapElementID", GIS_FIELD_TYPE_INT)) {
      f->SetInt(m_link.GetMapElementID());
    }
    if (Field(set.get(), "CalibrationAngle") == nullptr)
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_field == NULL");
    if (IGIS_Field* f =
            EnsureField(set.get(), "CalibrationAngle", "CalibrationAngle", GIS_FIELD_TYPE_DOUBLE)) {
      f->SetDouble(m_dCalibrationAngle);
    }
    if (IGIS_Field* f = EnsureField(set.get(), "Angle", "Angle", GIS_FIELD_TYPE_DOUBLE))
      f->SetDouble(m_dAngle);
    md::layout::furniture::WriteSymbolField(set.get(), "SymbolPoint", "SymbolPoint", m_pSymbol.get());
    // Without a frame the key is stored empty, so that none is made on reading.
    IGIS_Field* f = EnsureField(set.get(), "FrameProperty", "FrameProperty", GIS_FIELD_TYPE_BUFFER);
    if (IGIS_DataBuffer* b = f != nullptr ? f->GetDataBuffer() : nullptr) {
      if (m_pFrame) {
        m_pFrame->Save(b);
      } else {
        b->SetSize(0);
      }
    }
    return md::layout::furniture::WriteCustom(pAttr, set.get()) ? TRUE : FALSE;
  }
  // Stored angles that are not finite numbers keep the current values.
  if (IGIS_Field* f = Field(set.get(), "CalibrationAngle"); f != nullptr && std::isfinite(f->GetDouble())) {
    m_dCalibrationAngle = f->GetDouble();
  }
  if (IGIS_Field* f = Field(set.get(), "Angle"); f != nullptr && std::isfinite(f->GetDouble())) {
    m_dAngle = f->GetDouble();
  }
  if (IGIS_Field* f = Field(set.get(), "MapElementID")) {
    m_link.SetMapElementID(f->GetInt());
    m_link.Relink(m_core.m_pFeatureSet);
  }
  // The stored rectangle is the arrow's own: the stored symbol is taken as it
  // is, not fitted to it again (a fit rounds, and would grow it a unit a read).
  if (SymbolPtr s = md::layout::furniture::ReadSymbolField(set.get(), "SymbolPoint")) {
    if (IsPointSymbol(s.get())) {
      m_pSymbol = std::move(s);
    } else {
      GIS_LOG(GIS_LOG_LEVEL_SYMBOL, m_core.Method("SetSymbolPtr").c_str(), "symbol type %d refused",
              s->GetType());
    }
  }
  if (IGIS_Field* f = Field(set.get(), "FrameProperty")) {
    IGIS_DataBuffer* b = f->GetDataBuffer();
    if (b != nullptr && b->GetSize() == 0) {
      m_pFrame.reset();  // stored without a frame
    } else {
      if (!m_pFrame) m_pFrame.reset(GIS_CreateFramePropertyObject());
      if (m_pFrame && b != nullptr) m_pFrame->Open(b);
    }
  }
  // A followed frame gives the rotation; the symbol turns by it once.
  if (m_link.Frame() != nullptr) {
    Turn();
  } else if (m_pSymbol) {
    m_pSymbol->SetAngle(m_dCalibrationAngle + m_dAngle);
  }
  return TRUE;
}

// ---- Drawing and conversion --------------------------------------------------

BOOL CGIS_NorthArrowElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  if (pOwner == nullptr) return FALSE;
  // An arrow that never followed a frame follows the layout's map frame.
  if (m_link.Frame() == nullptr && m_link.GetMapElementID() == CGIS_MapFrameLink::kNoFrame) {
    if (auto* pFrame = dynamic_cast<IGIS_MapElement*>(pOwner->GetMapFrameElement())) SetMapElementPtr(pFrame);
  }
  IGIS_SpatialReference* pReference = md::layout::furniture::PageReference(pOwner);
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_spatialreference== NULL ");
    return FALSE;
  }
  const SGIS_Rect rect = GetRect();
  if (m_pFrame) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_UNDER);
  if (m_pFrame && m_pFrame->GetDraftMode() && !bPrint) {
    m_pFrame->OnDrawDraftMode(this, hdc, bPrint, pDisplay);
    return TRUE;
  }
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "pDisplay == NULL");
    return FALSE;
  }
  SGIS_Rect device = pView->PageToDeviceRect(rect, pReference);
  device.Normalize();
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  if (pRenderer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_symbolization == NULL");
    return FALSE;
  }
  if (m_pSymbol) {
    if (!IsPointSymbol(m_pSymbol.get())) return FALSE;
    // The fit is worked out in the context's pixels, where the renderer
    // builds the symbol, unturned: the rectangle holds the symbol as it is
    // stored. The renderer centres the symbol on its point, so the anchor
    // is the rectangle's centre for every kind.
    POINT corners[2] = {{device.left, device.bottom}, {device.right, device.top}};
    if (hdc != nullptr) LPtoDP(hdc, corners, 2);
    const double pxWidth = std::fabs(static_cast<double>(corners[1].x) - corners[0].x);
    const double pxHeight = std::fabs(static_cast<double>(corners[1].y) - corners[0].y);
    const int dpi = hdc != nullptr ? GetDeviceCaps(hdc, LOGPIXELSY) : 0;
    const double scale = FitScale(m_pSymbol.get(), pxWidth, pxHeight, dpi, 0.0);

    // The symbol turns once: by its calibration plus the frame's rotation now.
    IGIS_MapElement* pFrame = m_link.Frame();
    double dRotation = pFrame != nullptr ? pFrame->GetRotateAngle() : 0.0;
    if (!std::isfinite(dRotation)) dRotation = 0.0;
    IGIS_Symbol* pDrawn = m_pSymbol.get();
    SymbolPtr turned;
    if (pDrawn->GetAngle() != m_dCalibrationAngle + dRotation) {
      turned.reset(pDrawn->Clone());
      if (turned) {
        turned->SetAngle(m_dCalibrationAngle + dRotation);
        pDrawn = turned.get();
      }
    }
    const SGIS_Point centre = device.CenterPoint();
    POINT anchor{centre.x, centre.y};
    SGIS_DrawParam param;
    param.hdc = hdc;
    param.printFlag = bPrint ? 1 : 0;
    param.symbolScale = scale;
    param.points = &anchor;
    param.pointCount = 1;
    // The record carries the rotation for the renderer's information only:
    // the symbol's own angle already holds it.
    param.extraValue = dRotation;
    CGIS_ElementClipScope clip(hdc, pDisplay);
    if (clip.IsClipping()) param.viewValue = reinterpret_cast<std::intptr_t>(pView->GetClipContext());
    if (scale > 0.0 && std::isfinite(scale)) pRenderer->Draw(pDrawn, &param, GIS_DRAW_CHECK);
  }
  if (m_pFrame) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_BORDER);
  return TRUE;
}

IGIS_Element* CGIS_NorthArrowElement::ConvertToElement() {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  if (pOwner == nullptr) return nullptr;
  IGIS_Element* pNew = pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_POINT);
  auto* pPoint = dynamic_cast<IGIS_PointElement*>(pNew);
  if (pPoint == nullptr) {
    if (pNew != nullptr) pOwner->DeleteElement(pNew);
    return nullptr;
  }
  if (m_pSymbol) pPoint->SetSymbolPtr(m_pSymbol.get());
  pPoint->SetRect(GetRect());
  CommitFeature(pOwner, pPoint->GetFeaturePtr(), GIS_UPDATE_POINT_SYMBOL);
  if (m_pFrame) {
    auto* pCompound = dynamic_cast<IGIS_CompoundElement*>(m_pFrame->ConvertToElement(this));
    if (pCompound != nullptr) {
      pCompound->AddElement(pPoint);
      return pCompound;
    }
  }
  return pPoint;
}
