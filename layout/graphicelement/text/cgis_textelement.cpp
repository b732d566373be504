// The text element: outline, drawing, placing and sizing, storage.
#include "layout/graphicelement/text/cgis_textelement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "platform/win/cdc.h"

namespace {

constexpr const char* kClass = "CGIS_TextElement";
constexpr const char* kComputeMethod =
    "CGIS_TextElement::ComputeTextPolygon(IGIS_Feature *pFeature ,IGIS_AnnoPointStyle *pStyle,const char "
    "*pChar)";

// The keys of "Custom", in their stored order.
constexpr const char* kKeyStyle = "AnnoPointStyle";
constexpr const char* kKeyText = "Text";
constexpr const char* kKeyFrame = "FrameProperty";
constexpr const char* kKeyAnchor = "AnchorType";

using md::layout::DataBufferPtr;
using md::layout::PropertySetPtr;
using CustomKey = md::layout::SGIS_CustomKey;
constexpr CustomKey kCustomKeys[] = {
    {kKeyStyle, GIS_FIELD_TYPE_BUFFER, "注记风格", "AnnoPointStyle"},
    {kKeyText, GIS_FIELD_TYPE_STRING, "文本", "Text"},
    {kKeyFrame, GIS_FIELD_TYPE_BUFFER, "地图框架的属性", "FrameProperty"},
    {kKeyAnchor, GIS_FIELD_TYPE_INT, "锚点位置", "锚点位置"},
};

// The angle of the outline: degrees to radians with 3.14 for pi, as the
// stored outlines of existing layouts were made.
constexpr double kOutlinePi = 3.14;

// Truncation toward zero of a computed coordinate; NaN gives 0 and values
// beyond the 32-bit range are clamped.
std::int32_t Truncate(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

std::int32_t Round(double v) { return md::basilo::detail::RoundToInt32(v); }

std::int32_t AddClamped(std::int32_t a, std::int64_t b) { return md::basilo::detail::ClampToInt32(a + b); }

// Keeps the closing point of the outline on its first point.
void CloseRing(IGIS_Geometry* pGeometry) {
  const int n = pGeometry->GetPointCount();
  if (n >= 2) pGeometry->SetPoint(n - 1, pGeometry->GetPoint(0, 0), 0);
}

IGIS_AnnoPointStyle* NewPointStyle() {
  IGIS_AnnoStyleFactory* pFactory = GIS_GetAnnotationStyleFactoryObject();
  IGIS_AnnoStyleSet* pSet = pFactory != nullptr ? pFactory->CreateStyleSet(1) : nullptr;
  IGIS_AnnoPointStyle* pStyle = pSet != nullptr ? pSet->GetPointStyle() : nullptr;
  // Bottom-left: the alignment of the default anchor.
  if (pStyle != nullptr) pStyle->SetAlignment(GIS_ALIGN_BOTTOM_LEFT);
  return pStyle;
}

}  // namespace

CGIS_TextElement::CGIS_TextElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "文本整饰单元") {
  if (pOwner == nullptr) return;
  m_nAnchorType = vexaBottomLeftCorner;
  m_strText = "文本";
  m_pFrame.reset(GIS_CreateFramePropertyObject());
  m_pPointStyle.reset(NewPointStyle());

  SGIS_ElementBindOptions options;
  options.szType = GIS_TYPE_GRAPHIC_ELEMENT_TEXT;
  options.nKind = GIS_FEATURE_KIND_POLYGON;
  options.nCanConvert = 0;
  const CGIS_ElementCore::Binding binding = m_core.Bind(pOwner, pFeature, options);
  if (binding == CGIS_ElementCore::Binding::Unbound) return;

  IGIS_Feature* pOwn = m_core.m_pFeature;
  if (binding == CGIS_ElementCore::Binding::Created) {
    // A new set, written straight into its bytes.
    DataBufferPtr buffer(GIS_CreateDataBufferObject(0));
    IGIS_FeatureAttributes* pAttr = pOwn->GetAttributes();
    if (buffer && pAttr != nullptr) {
      md::layout::StoredSetWriter set;
      set.Saved(kCustomKeys[0].key, kCustomKeys[0].newDescription, [this](IGIS_DataBuffer* b) {
        if (m_pPointStyle != nullptr) m_pPointStyle->Save(b);
      });
      set.String(kCustomKeys[1].key, kCustomKeys[1].newDescription, m_strText);
      set.Saved(kCustomKeys[2].key, kCustomKeys[2].newDescription, [this](IGIS_DataBuffer* b) {
        if (m_pFrame != nullptr) m_pFrame->Save(b);
      });
      set.Int(kCustomKeys[3].key, kCustomKeys[3].newDescription, m_nAnchorType);
      if (set.Finish(buffer.get())) pAttr->SetDataBuffer("Custom", buffer.get(), 0);
    }
    ComputeTextPolygon(pOwn, m_pPointStyle.get(), m_strText.c_str());
  }
  CommitFeature(pOwn, GIS_UPDATE_ALL);
}

CGIS_TextElement::~CGIS_TextElement() {}

void CGIS_TextElement::CommitFeature(IGIS_Feature* pFeature, int nFlags) {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  if (pClass != nullptr && pFeature != nullptr) pClass->UpdateFeature(pFeature, nFlags);
}

const char* CGIS_TextElement::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_TEXT; }

bool CGIS_TextElement::GetHVScaleRatio() { return true; }

// A text keeps its proportions whatever it is told; the stored flag stays as
// it was, so that a sheet probing or restoring the flag changes nothing.
void CGIS_TextElement::SetHVScaleRatio(bool) {}

bool CGIS_TextElement::CanConvert() { return false; }

IGIS_Element* CGIS_TextElement::ConvertToElement() { return nullptr; }

const char* CGIS_TextElement::GetDescription() { return "暂时没有定义"; }

// ---- Outline ----------------------------------------------------------------

void CGIS_TextElement::ComputeTextPolygon(IGIS_Feature* pFeature, IGIS_AnnoPointStyle* pStyle,
                                          const char* szText) {
  IGIS_SymbolPart* pTextStyle = pStyle != nullptr ? pStyle->GetTextStylePtr() : nullptr;
  if (pTextStyle == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kComputeMethod, "pStyle->GetTextStylePtr() ==NULL");
    return;
  }
  IGIS_Geometry* pGeometry = pFeature != nullptr ? pFeature->GetGeometry() : nullptr;
  if (pGeometry == nullptr) return;

  SGIS_Rect extent;
  pTextStyle->GetTextExtent(&extent, szText != nullptr ? szText : "", 0, 1.0);
  SGIS_DRect d = SGIS_DRect::MakeFromRect(extent.left, extent.right, extent.top, extent.bottom);
  d.Normalize();

  double a = pTextStyle->GetAngle() * kOutlinePi / 180.0;
  if (!std::isfinite(a)) a = 0.0;

  if (pGeometry->GetPointCount() < 5) pGeometry->SetPointCount(5);

  const double k = md::layout::SymbolUnitRatio(m_core.m_pFeatureSet);
  d.x2 *= k;
  d.y1 *= k;
  const double w = std::fabs(d.x2 - d.x1);
  const double h = std::fabs(d.y1 - d.y2);
  const SGIS_Point o = pGeometry->GetPoint(0, 0);
  const double ca = std::cos(a), sa = std::sin(a);

  const SGIS_Point p0(Truncate(o.x + d.x1), Truncate(o.y + d.y2), 0);
  const SGIS_Point p1(Truncate(o.x + w * ca), Truncate(o.y + w * sa), 0);
  const SGIS_Point p2(Truncate(o.x + w * ca - h * sa), Truncate(o.y + h * ca + w * sa), 0);
  const SGIS_Point p3(Truncate(o.x - h * sa), Truncate(o.y + h * ca), 0);
  pGeometry->SetPoint(0, p0, 0);
  pGeometry->SetPoint(1, p1, 0);
  pGeometry->SetPoint(2, p2, 0);
  pGeometry->SetPoint(3, p3, 0);
  pGeometry->SetPoint(4, p0, 0);
  CommitFeature(pFeature, GIS_UPDATE_GEOMETRY);
}

// ---- Drawing ----------------------------------------------------------------

bool CGIS_TextElement::AnchorOf(const SGIS_Rect& rect, int nPosition, SGIS_Point* pPoint, int* pAlignment) {
  static const int kAlignment[9] = {4, 5, 6, 3, 0, 7, 2, 1, 8};
  if (nPosition < vexaTopLeftCorner || nPosition > vexaBottomRightCorner) return false;
  SGIS_Rect r = rect;
  r.Normalize();
  const SGIS_Point c = r.CenterPoint();
  const int column = nPosition % 3;  // 0 left, 1 centre, 2 right
  int x = column == 0 ? r.left : (column == 1 ? c.x : r.right);
  int y = 0;
  switch (nPosition / 3) {
    case 0:  // top row of the table
      y = r.top;
      break;
    case 1:
      y = c.y;
      break;
    default:
      y = r.bottom;
      break;
  }
  *pPoint = SGIS_Point(x, y, 0);
  if (pAlignment != nullptr) *pAlignment = kAlignment[nPosition];
  return true;
}

SGIS_Point CGIS_TextElement::DrawingAnchor(const SGIS_Rect& rect, int* pAlignment) {
  SGIS_Point p(0, 0, 0);
  if (!AnchorOf(rect, m_nAnchorType, &p, pAlignment)) {
    *pAlignment = GIS_ALIGN_TOP_LEFT;
    return SGIS_Point(0, 0, 0);
  }
  // A turned text is turned by the drawer about the anchor: take the anchor
  // on the outline itself, so that the drawn text lies on its outline. A
  // level text's outline is its rectangle.
  IGIS_SymbolPart* pTextStyle = m_pPointStyle != nullptr ? m_pPointStyle->GetTextStylePtr() : nullptr;
  const double angle = pTextStyle != nullptr ? pTextStyle->GetAngle() : 0.0;
  if (angle == 0.0 || !std::isfinite(angle)) return p;
  IGIS_Feature* pFeature = GetFeaturePtr();
  IGIS_Geometry* pGeometry = pFeature != nullptr ? pFeature->GetGeometry() : nullptr;
  if (pGeometry == nullptr || pGeometry->GetPointCount() < 4) return p;
  const SGIS_Point p0 = pGeometry->GetPoint(0, 0);
  const SGIS_Point p1 = pGeometry->GetPoint(1, 0);
  const SGIS_Point p3 = pGeometry->GetPoint(3, 0);
  double fromLeft = 0.0, fromTop = 0.0;
  GIS_AlignmentFractions(*pAlignment, &fromLeft, &fromTop);
  const double up = 1.0 - fromTop;
  const double x =
      p0.x + fromLeft * (static_cast<double>(p1.x) - p0.x) + up * (static_cast<double>(p3.x) - p0.x);
  const double y =
      p0.y + fromLeft * (static_cast<double>(p1.y) - p0.y) + up * (static_cast<double>(p3.y) - p0.y);
  return SGIS_Point::FromDoubles(x, y);
}

BOOL CGIS_TextElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  IGIS_SpatialReference* pReference = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_spatialreference== NULL ");
    return FALSE;
  }
  if (GetFeaturePtr() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "m_pFeature == NULL");
    return FALSE;
  }
  IGIS_AnnoDrawer* pDrawer = GIS_GetAnnotationDrawerObject();
  if (pDrawer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_drawer == NULL");
    return FALSE;
  }
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_display == NULL");
    return FALSE;
  }
  const SGIS_Rect rect = GetRect();
  if (m_pFrame != nullptr) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_UNDER);

  if (m_pPointStyle == nullptr || m_pPointStyle->GetTextStylePtr() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "ptxtSymbol == NULL");
    return FALSE;
  }
  int alignment = GIS_ALIGN_TOP_LEFT;
  const SGIS_Point anchor = DrawingAnchor(rect, &alignment);
  // The anchor's alignment goes on a copy: the stored style stays as it is.
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> pStyle = AlignedStyleCopy(m_pPointStyle.get(), alignment);
  if (!pStyle) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_style == NULL");
    return FALSE;
  }
  const SGIS_Point device = pView->PageToDevicePoint(anchor, pReference);
  {
    CGIS_ElementClipScope clip(hdc, pDisplay);
    const double ratio = GetDisplayRatio(pDisplay);
    DrawWithDrawer(pDrawer, pDisplay, CDC::FromHandle(hdc), bPrint, ratio, pStyle.get(), m_strText.c_str(),
                   &device, 1, m_core.m_pFeatureSet);
  }
  if (m_pFrame != nullptr) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_BORDER);
  return TRUE;
}

// ---- Placing and sizing ----------------------------------------------------

SGIS_Rect CGIS_TextElement::GetRect() { return m_core.FeatureRect(); }

void CGIS_TextElement::SetRect(SGIS_Rect rect) { m_core.PlaceRect(rect); }

void CGIS_TextElement::SetLBpoint(SGIS_Point point) { m_core.MoveLowerLeftTo(point); }

void CGIS_TextElement::OffsetAllPoints(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("OffsetAllPoints");
  if (pFeature == nullptr) return;
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry == nullptr) return;
  const int n = std::min(pGeometry->GetPointCount() - 1, 4);
  for (int i = 0; i < n; ++i) {
    SGIS_Point p = pGeometry->GetPoint(i, 0);
    p.x = AddClamped(p.x, dx);
    p.y = AddClamped(p.y, dy);
    pGeometry->SetPoint(i, p, 0);
  }
  CloseRing(pGeometry);
  CommitFeature(pFeature, GIS_UPDATE_GEOMETRY);
}

bool CGIS_TextElement::ScaleFont(double s) {
  IGIS_SymbolPart* pTextStyle = m_pPointStyle != nullptr ? m_pPointStyle->GetTextStylePtr() : nullptr;
  LOGFONT* pFont = pTextStyle != nullptr ? pTextStyle->GetFontSizePtr() : nullptr;
  if (pFont == nullptr) return false;
  const LONG before = pFont->lfHeight;
  LONG after = Round(before * s);
  // A size of 0 would mean the default size: the smallest size stays 1.
  if (after == 0 && before != 0) after = before < 0 ? -1 : 1;
  pFont->lfHeight = after;
  return true;
}

void CGIS_TextElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth <= 0 || nHeight <= 0) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("SetWidthAndHeight");
  if (pFeature == nullptr) return;
  const SGIS_Rect r = GetRect();
  const int cw = r.Width();
  const int ch = r.Height();
  if (nWidth == cw && nHeight == ch) return;
  const double sx = cw < 1 ? 1.0 : static_cast<double>(nWidth) / cw;
  const double sy = ch < 1 ? 1.0 : static_cast<double>(nHeight) / ch;
  const double s = (sx > 1.0 || sy > 1.0 || sx == 1.0 || sy == 1.0) ? std::min(sx, sy) : std::max(sx, sy);
  if (!ScaleFont(s)) return;
  ComputeTextPolygon(pFeature, m_pPointStyle.get(), m_strText.c_str());
}

void CGIS_TextElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("ScaleShape");
  if (pFeature == nullptr) return;
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry == nullptr) return;
  const SGIS_Rect r = GetRect();
  const double newLeft = static_cast<double>(Round((static_cast<double>(r.left) - origin.x) * sx)) + origin.x;
  const double newBottom =
      static_cast<double>(Round((static_cast<double>(r.bottom) - origin.y) * sy)) + origin.y;
  // The text keeps its proportions.
  const double s = std::min(sx, sy);
  const int n = pGeometry->GetPointCount();
  for (int i = 0; i + 1 < n; ++i) {
    const SGIS_Point p = pGeometry->GetPoint(i, 0);
    pGeometry->SetPoint(i,
                        SGIS_Point(Round(newLeft + (static_cast<double>(p.x) - r.left) * s),
                                   Round(newBottom + (static_cast<double>(p.y) - r.bottom) * s), p.z),
                        0);
  }
  CloseRing(pGeometry);
  CommitFeature(pFeature, GIS_UPDATE_ALL);
  if (!ScaleFont(s)) return;
  ComputeTextPolygon(pFeature, m_pPointStyle.get(), m_strText.c_str());
}

SGIS_Point CGIS_TextElement::GetPoint(int nPosition) {
  SGIS_Point p(0, 0, 0);
  if (nPosition > vexaBottomRightCorner) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("GetPoint").c_str(), "iPosition > vexaBottomRightCorner");
    return p;
  }
  if (nPosition < vexaTopLeftCorner) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("GetPoint").c_str(), "iPosition < vexaTopLeftCorner");
    return p;
  }
  AnchorOf(GetRect(), nPosition, &p, nullptr);
  return p;
}

void CGIS_TextElement::SetPoint(SGIS_Point point, int nPosition) {
  // Positions outside the anchor table are refused at both ends: a negative
  // one would become the anchor type and move the element by the point itself.
  if (nPosition > vexaBottomRightCorner) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("SetPoint").c_str(), "iPosition > vexaBottomRightCorner");
    return;
  }
  if (nPosition < vexaTopLeftCorner) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("SetPoint").c_str(), "iPosition < vexaTopLeftCorner");
    return;
  }
  SGIS_Point p(0, 0, 0);
  AnchorOf(GetRect(), nPosition, &p, nullptr);
  m_nAnchorType = nPosition;
  const std::int64_t dx = static_cast<std::int64_t>(point.x) - p.x;
  const std::int64_t dy = static_cast<std::int64_t>(point.y) - p.y;
  if (dx != 0 || dy != 0)
    OffsetAllPoints(md::basilo::detail::ClampToInt32(dx), md::basilo::detail::ClampToInt32(dy));
}

// ---- Text and style -----------------------------------------------------------

const char* CGIS_TextElement::GetText() { return m_strText.c_str(); }

void CGIS_TextElement::SetText(const char* szText) {
  IGIS_Feature* pFeature = m_core.RequireFeature("SetText");
  if (pFeature == nullptr || szText == nullptr) return;
  m_strText = szText;
  ComputeTextPolygon(pFeature, m_pPointStyle.get(), m_strText.c_str());
}

IGIS_FrameProperty* CGIS_TextElement::GetFramePropertyPtr() { return m_pFrame.get(); }

bool CGIS_TextElement::SetFramePropertyPtr(IGIS_FrameProperty* pFrame) {
  if (pFrame == m_pFrame.get()) return true;
  m_pFrame.reset(pFrame != nullptr ? pFrame->Clone() : nullptr);
  return true;
}

IGIS_SymbolPart* CGIS_TextElement::GetSymbolPtr() {
  return m_pPointStyle != nullptr ? m_pPointStyle->GetTextStylePtr() : nullptr;
}

void CGIS_TextElement::SetSymbolPtr(IGIS_SymbolPart* pTextSymbol) {
  if (pTextSymbol == nullptr || m_pPointStyle == nullptr) return;
  if (pTextSymbol == m_pPointStyle->GetTextStylePtr()) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("SetSymbolPtr");
  if (pFeature == nullptr) return;
  // The style keeps a copy; a symbol that is not a text symbol is refused.
  if (!m_pPointStyle->SetTextStyle(pTextSymbol->GetTextPart())) return;
  ComputeTextPolygon(pFeature, m_pPointStyle.get(), m_strText.c_str());
  CommitFeature(pFeature, GIS_UPDATE_SYMBOL);
}

// ---- Copies and the property sheet --------------------------------------------

IGIS_Element* CGIS_TextElement::Clone() {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  if (pOwner == nullptr) return nullptr;
  IGIS_Element* pElement = pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_TEXT);
  if (pElement == nullptr) return nullptr;
  auto* pCopy = dynamic_cast<IGIS_TextElement*>(pElement);
  if (pCopy == nullptr) {
    if (!pOwner->DeleteElement(pElement)) pElement->Release();
    return nullptr;
  }
  pCopy->SetText(m_strText.c_str());
  pCopy->SetLock(m_core.m_bLock);
  pCopy->SetSymbolPtr(GetSymbolPtr());
  pCopy->SetFramePropertyPtr(m_pFrame.get());
  return pCopy;
}

BOOL CGIS_TextElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return m_core.OpenPropertySheet(pDisplay, "文本属性", "p_element == NULL");
}

// ---- Storage ----------------------------------------------------------------

BOOL CGIS_TextElement::Archive(int nRead, int /*nArchiveOption*/) {
  const std::string method = m_core.Method("Archive");
  IGIS_Feature* pFeature = m_core.RequireFeature("Archive");
  if (pFeature == nullptr) return FALSE;
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  if (pAttr == nullptr) return FALSE;
  if (pAttr->GetDataBuffer("Custom") == nullptr) return FALSE;
  // The "Custom" keys are read and written in place; a write keeps the keys
  // it does not know.
  if (nRead != 0 && !m_core.ArchiveCommon(nRead)) return FALSE;

  if (nRead == 0) {
    // The common fields, the order first: a feature's fields keep the order
    // in which they were first written.
    pAttr->SetBool("IsLock", m_core.m_bLock);
    pAttr->SetBool("KeepHVScaleRatio", m_core.m_bKeepHVScaleRatio);
    pAttr->SetInt("ElementOrder", m_core.m_nOrder);
    pAttr->SetString("ElementName", GetName());

    md::layout::CustomSetWriter set(pAttr, method.c_str());
    if (m_pPointStyle != nullptr) {
      set.Saved(kCustomKeys[0], [this](IGIS_DataBuffer* b) { m_pPointStyle->Save(b); });
    } else {
      set.Keep(kCustomKeys[0]);
    }
    set.String(kCustomKeys[1], m_strText);
    // Without a frame the key holds no bytes, so that a removed frame does
    // not come back from what an earlier write stored.
    if (m_pFrame != nullptr) {
      set.Saved(kCustomKeys[2], [this](IGIS_DataBuffer* b) { m_pFrame->Save(b); });
    } else {
      set.Bytes(kCustomKeys[2], {});
    }
    set.Int(kCustomKeys[3], m_nAnchorType);
    // A set that could not be written leaves the stored one as it was.
    return set.Finish() ? TRUE : FALSE;
  }

  const md::layout::StoredSetView set(pAttr, method.c_str());
  if (IGIS_Field* f = set.Field(kKeyStyle)) {
    if (m_pPointStyle == nullptr) m_pPointStyle.reset(NewPointStyle());
    IGIS_DataBuffer* pBuffer = f->GetDataBuffer();
    if (m_pPointStyle != nullptr && pBuffer != nullptr) m_pPointStyle->Open(pBuffer);
  }
  set.Read(kKeyText, &m_strText);
  if (IGIS_Field* f = set.Field(kKeyFrame)) {
    IGIS_DataBuffer* pBuffer = f->GetDataBuffer();
    if (pBuffer != nullptr && pBuffer->GetSize() == 0) {
      // Stored without a frame.
      m_pFrame = nullptr;
    } else {
      if (m_pFrame == nullptr) m_pFrame.reset(GIS_CreateFramePropertyObject());
      if (m_pFrame != nullptr && pBuffer != nullptr) m_pFrame->Open(pBuffer);
    }
  }
  int nAnchor = 0;
  if (set.Read(kKeyAnchor, &nAnchor)) {
    if (nAnchor >= vexaTopLeftCorner && nAnchor <= vexaBottomRightCorner) {
      m_nAnchorType = nAnchor;
    } else {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "AnchorType %d out of range 0..8", nAnchor);
    }
  }
  return TRUE;
}
