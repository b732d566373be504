// The three-north diagram: construction, accessors, the map frame link,
// size and position, copies, layout, stored state and the property sheet.
#include "layout/graphicelement/furniture/cgis_threenorthelement.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/notara/igis_annostyle.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/furniture/furniturestore.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace {

constexpr const char* kClass = "CGIS_ThreeNorthElement";

// Line and fill styles of a new diagram.
constexpr int kDefaultLineStyle = 0xD03;
constexpr int kDefaultFillStyle = 0xD21;

namespace keys {
constexpr const char* kMapElementID = "MapElementID";
constexpr const char* kTxtOffset = "TxtOffset";
constexpr const char* kAxisLength = "AxisLength";
constexpr const char* kCenterX = "CenterX";
constexpr const char* kCenterY = "CenterY";
constexpr const char* kAngle = "Angle";
constexpr const char* kCoordinateAngle = "CoordinateAngle";
constexpr const char* kMagnetAngle = "MagnetAngle";
constexpr const char* kFrameProperty = "FrameProperty";
constexpr const char* kFillSymbol = "FillSymbol";
constexpr const char* kAxisLineSymbol = "AxisLineSymbol";
constexpr const char* kAngleLineSymbol = "AngleLineSymbol";
constexpr const char* kAxisTextSymbol = "AxisTextSymbol";
constexpr const char* kAngleTextSymbol = "AngleTextSymbol";
}  // namespace keys

struct KeyRow {
  const char* key;
  const char* description;
  int type;
};
// The keys of "Custom" with the descriptions a new diagram gives them.
constexpr KeyRow kKeys[] = {
    {keys::kMapElementID, "地图ID", GIS_FIELD_TYPE_INT},
    {keys::kTxtOffset, "偏移量", GIS_FIELD_TYPE_INT},
    {keys::kAxisLength, "线长", GIS_FIELD_TYPE_INT},
    {keys::kCenterX, "X坐标", GIS_FIELD_TYPE_INT},
    {keys::kCenterY, "Y坐标", GIS_FIELD_TYPE_INT},
    {keys::kAngle, "三个坐标轴之间的间隔", GIS_FIELD_TYPE_DOUBLE},
    {keys::kCoordinateAngle, "坐标纵线角", GIS_FIELD_TYPE_DOUBLE},
    {keys::kMagnetAngle, "磁偏角", GIS_FIELD_TYPE_DOUBLE},
    {keys::kFrameProperty, "地图框架的属性", GIS_FIELD_TYPE_BUFFER},
    {keys::kFillSymbol, "面符号", GIS_FIELD_TYPE_BUFFER},
    {keys::kAxisLineSymbol, "坐标轴线符号", GIS_FIELD_TYPE_BUFFER},
    {keys::kAngleLineSymbol, "轴间线符号", GIS_FIELD_TYPE_BUFFER},
    {keys::kAxisTextSymbol, "坐标轴文本符号", GIS_FIELD_TYPE_BUFFER},
    {keys::kAngleTextSymbol, "角度文本符号", GIS_FIELD_TYPE_BUFFER},
};

using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;
using DataBufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;
using md::layout::furniture::EnsureField;
using md::layout::furniture::MovedRect;
using md::layout::furniture::Nearest;
using md::layout::furniture::NullSymbol;
using md::layout::furniture::ReplaceFrame;
using md::layout::furniture::ReplaceSymbol;
using md::layout::furniture::StoreFeatureRect;

IGIS_Symbol* NewSymbol(int type, int code) {
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  IGIS_Symbol* pSymbol = pFactory != nullptr ? pFactory->CreateSymbol(type) : nullptr;
  if (pSymbol != nullptr && code != 0) pSymbol->SetCode(code);
  return pSymbol;
}

// The point style all six texts are drawn with: bottom-centre alignment.
IGIS_AnnoPointStyle* NewTextStyle() {
  IGIS_AnnoStyleFactory* pFactory = GIS_GetAnnotationStyleFactoryObject();
  IGIS_AnnoStyleSet* pSet = pFactory != nullptr ? pFactory->CreateStyleSet(1) : nullptr;
  IGIS_AnnoPointStyle* pStyle = pSet != nullptr ? pSet->GetPointStyle() : nullptr;
  if (pStyle != nullptr) pStyle->SetAlignment(GIS_ALIGN_BOTTOM_CENTER);
  return pStyle;
}

bool IsEmpty(IGIS_Field* pField) {
  IGIS_DataBuffer* pBuffer = pField != nullptr ? pField->GetDataBuffer() : nullptr;
  return pBuffer == nullptr || pBuffer->GetSize() <= 0;
}

}  // namespace

// ---- What a copy carries ---------------------------------------------------------

struct CGIS_ThreeNorthElement::State {
  md::basilo::ReleasePtr<IGIS_FrameProperty> frame;
  SymbolPtr fill, axisLine, angleLine, axisText, angleText;
  int nMapHandle = 0;  // registry handle of the followed frame (0: none)
  int nMapElementID = CGIS_MapFrameLink::kNoFrame;
  int nTxtOffset = 0;
  int nAxisLength = 0;
  double dAngle = 0, dCoordinateAngle = 0, dMagnetAngle = 0;
  bool bLock = false;
  bool bKeep = false;
  SGIS_Rect rect;
};

namespace {
IGIS_Symbol* CopyOf(IGIS_Symbol* p) { return p != nullptr ? p->Clone() : nullptr; }
}  // namespace

CGIS_ThreeNorthElement::State CGIS_ThreeNorthElement::Capture() const {
  State s;
  s.frame.reset(m_pFrame ? m_pFrame->Clone() : nullptr);
  s.fill.reset(CopyOf(m_pFillSymbol.get()));
  s.axisLine.reset(CopyOf(m_pAxisLineSymbol.get()));
  s.angleLine.reset(CopyOf(m_pAngleLineSymbol.get()));
  s.axisText.reset(CopyOf(m_pAxisTextSymbol.get()));
  s.angleText.reset(CopyOf(m_pAngleTextSymbol.get()));
  s.nMapHandle = m_link.Frame() != nullptr ? GIS_GetElementHandle(m_link.Frame()) : 0;
  s.nMapElementID = m_link.GetMapElementID();
  s.nTxtOffset = m_nTxtOffset;
  s.nAxisLength = m_nAxisLength;
  s.dAngle = m_dAngle;
  s.dCoordinateAngle = m_dCoordinateAngle;
  s.dMagnetAngle = m_dMagnetAngle;
  s.bLock = m_core.m_bLock;
  s.bKeep = m_core.m_bKeepHVScaleRatio;
  return s;
}

void CGIS_ThreeNorthElement::Apply(const State& s) {
  m_pFrame.reset(s.frame ? s.frame->Clone() : nullptr);
  m_pFillSymbol.reset(CopyOf(s.fill.get()));
  m_pAxisLineSymbol.reset(CopyOf(s.axisLine.get()));
  m_pAngleLineSymbol.reset(CopyOf(s.angleLine.get()));
  m_pAxisTextSymbol.reset(CopyOf(s.axisText.get()));
  m_pAngleTextSymbol.reset(CopyOf(s.angleText.get()));
  // A frame gone meanwhile is not followed again.
  auto* pMap = dynamic_cast<IGIS_MapElement*>(GIS_ResolveElement(s.nMapHandle));
  if (pMap != nullptr || s.nMapHandle == 0) m_link.Follow(pMap);
  m_link.SetMapElementID(s.nMapElementID);
  m_nTxtOffset = s.nTxtOffset;
  m_nAxisLength = s.nAxisLength;
  m_dAngle = s.dAngle;
  m_dCoordinateAngle = s.dCoordinateAngle;
  m_dMagnetAngle = s.dMagnetAngle;
  m_core.m_bLock = s.bLock;
  m_core.m_bKeepHVScaleRatio = s.bKeep;
}

// ---- Construction -----------------------------------------------------------

CGIS_ThreeNorthElement::CGIS_ThreeNorthElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "三北针") {
  if (pOwner == nullptr) return;
  m_pFrame.reset(GIS_CreateFramePropertyObject());
  m_pFillSymbol.reset(NewSymbol(GIS_SYMBOL_FILL, kDefaultFillStyle));
  m_pAxisLineSymbol.reset(NewSymbol(GIS_SYMBOL_LINE, kDefaultLineStyle));
  m_pAngleLineSymbol.reset(NewSymbol(GIS_SYMBOL_LINE, kDefaultLineStyle));
  m_pAxisTextSymbol.reset(NewSymbol(GIS_SYMBOL_TEXT, 0));
  m_pAngleTextSymbol.reset(NewSymbol(GIS_SYMBOL_TEXT, 0));
  // The text style is made whether or not a feature can be had, so that a
  // diagram is never left without one.
  m_pTextStyle.reset(NewTextStyle());

  SGIS_ElementBindOptions options;
  options.szType = GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH;
  options.nKind = GIS_FEATURE_KIND_RECTANGLE;
  options.nLockOnNew = 1;
  options.nCanConvert = 1;
  options.bRewriteType = true;
  const CGIS_ElementCore::Binding binding = m_core.Bind(pOwner, pFeature, options);
  if (binding == CGIS_ElementCore::Binding::Unbound) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method(kClass).c_str(), "建立Feature失败 pFeature == NULL");
    return;
  }
  if (binding == CGIS_ElementCore::Binding::Created) WriteDefaults(m_core.m_pFeature);
}

CGIS_ThreeNorthElement::~CGIS_ThreeNorthElement() = default;

void CGIS_ThreeNorthElement::WriteDefaults(IGIS_Feature* pFeature) {
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  PropertySetPtr set(GIS_CreatePropertySetObject());
  DataBufferPtr buffer(GIS_CreateDataBufferObject(0));
  if (pAttr == nullptr || !set || !buffer) return;
  for (const KeyRow& k : kKeys) set->AddProperty(k.key, k.description, k.type, 1);
  if (!set->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0)) return;
  pAttr->SetDataBuffer("Custom", buffer.get(), 0);
  md::layout::CustomSetWriter values(pAttr, m_core.Method(kClass).c_str());
  WriteCustom(values, true);
  values.Finish();
}

const char* CGIS_ThreeNorthElement::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH; }

// ---- Accessors ----------------------------------------------------------------

bool CGIS_ThreeNorthElement::SetFramePropertyPtr(IGIS_FrameProperty* pFrame) {
  return ReplaceFrame(m_pFrame, pFrame);
}

void CGIS_ThreeNorthElement::SetAxisLineSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(m_pAxisLineSymbol, pSymbol, GIS_SYMBOL_LINE, m_core.Method("SetAxisLineSymbolPtr"),
                NullSymbol::Drop);
}
void CGIS_ThreeNorthElement::SetAngleLineSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(m_pAngleLineSymbol, pSymbol, GIS_SYMBOL_LINE, m_core.Method("SetAngleLineSymbolPtr"),
                NullSymbol::Drop);
}
void CGIS_ThreeNorthElement::SetFillSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(m_pFillSymbol, pSymbol, GIS_SYMBOL_FILL, m_core.Method("SetFillSymbolPtr"), NullSymbol::Drop);
}
// The texts size the rings: a text symbol is never given up.
void CGIS_ThreeNorthElement::SetAxisTextSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(m_pAxisTextSymbol, pSymbol, GIS_SYMBOL_TEXT, m_core.Method("SetAxisTextSymbolPtr"),
                NullSymbol::Keep);
}
void CGIS_ThreeNorthElement::SetAngleTextSymbolPtr(IGIS_Symbol* pSymbol) {
  ReplaceSymbol(m_pAngleTextSymbol, pSymbol, GIS_SYMBOL_TEXT, m_core.Method("SetAngleTextSymbolPtr"),
                NullSymbol::Keep);
}

void CGIS_ThreeNorthElement::SetAxisLength(int nLength) {
  if (nLength >= 1000) m_nAxisLength = nLength;
}

// ---- The map frame link -------------------------------------------------------

IGIS_MapElement* CGIS_ThreeNorthElement::GetMapElementPtr() { return m_link.Frame(); }

void CGIS_ThreeNorthElement::SetMapElementPtr(IGIS_MapElement* pMap) { m_link.Follow(pMap); }

void CGIS_ThreeNorthElement::Update(const char* szMessage, int /*nArgument*/, IGIS_Element* pSender) {
  // The frame goes: stop observing it; its stored ID stays as it was read.
  if (szMessage != nullptr && std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAP_DEL) == 0)
    m_link.OnFrameDeleted(pSender);
}

// ---- Size and position --------------------------------------------------------

SGIS_Rect CGIS_ThreeNorthElement::GetRect() {
  SGIS_Rect rect(0, 0, 0, 0);
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature != nullptr) pFeature->GetBound(&rect, 1, 0);
  return rect;
}

void CGIS_ThreeNorthElement::OffsetAllPoints(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("OffsetAllPoints");
  if (pFeature == nullptr) return;
  StoreFeatureRect(m_core.m_pFeatureSet, pFeature, MovedRect(GetRect(), dx, dy), GIS_UPDATE_GEOMETRY);
}

void CGIS_ThreeNorthElement::SetLBpoint(SGIS_Point point) { m_core.MoveLowerLeftTo(point); }

void CGIS_ThreeNorthElement::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  const SGIS_Rect cur = GetRect();
  OffsetAllPoints(rect.left - cur.left, rect.bottom - cur.bottom);
  SetWidthAndHeight(rect.Width(), rect.Height());
}

void CGIS_ThreeNorthElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth < 1 || nHeight < 1) return;
  const SGIS_Rect cur = GetRect();
  if (nWidth == cur.Width() && nHeight == cur.Height()) return;
  const double sx = cur.Width() != 0 ? static_cast<double>(nWidth) / cur.Width() : 1.0;
  const double sy = cur.Height() != 0 ? static_cast<double>(nHeight) / cur.Height() : 1.0;
  const double s = (sx >= 1.0 || sy >= 1.0) ? std::min(sx, sy) : std::max(sx, sy);
  ScaleShape(SGIS_Point(cur.left, cur.bottom, 0), s, s);
}

void CGIS_ThreeNorthElement::ScaleShape(SGIS_Point /*origin*/, double sx, double sy) {
  if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  const double s = sx < sy ? sx : sy;
  for (IGIS_Symbol* pText : {m_pAxisTextSymbol.get(), m_pAngleTextSymbol.get()}) {
    LOGFONT* pFont = pText != nullptr ? pText->GetFontSizePtr() : nullptr;
    if (pFont != nullptr) pFont->lfHeight = Nearest(pFont->lfHeight * s);
  }
  m_nAxisLength = Nearest(m_nAxisLength * s);
  m_nTxtOffset = Nearest(m_nTxtOffset * s);
  Refresh();
}

// ---- Copies -----------------------------------------------------------------

IGIS_Element* CGIS_ThreeNorthElement::Clone() {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  if (pOwner == nullptr) return nullptr;
  IGIS_Element* pElement = pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH);
  if (pElement == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("Clone").c_str(), "p_element == NULL");
    return nullptr;
  }
  auto* pCopy = dynamic_cast<CGIS_ThreeNorthElement*>(pElement);
  if (pCopy == nullptr) {
    if (!pOwner->DeleteElement(pElement)) pElement->Release();
    return nullptr;
  }
  // Values are copied as they are (a stored length below the setter's
  // minimum stays); the copy keeps the frame's ID but does not observe it.
  State state = Capture();
  state.nMapHandle = 0;
  pCopy->Apply(state);
  pCopy->LayOut(false);
  const SGIS_Rect r = GetRect();
  pCopy->SetLBpoint(SGIS_Point(r.left, r.bottom, 0));
  return pCopy;
}

// ---- Layout -----------------------------------------------------------------

void CGIS_ThreeNorthElement::ComputeDrawAngles() {
  const auto a =
      md::layout::furniture::ComputeThreeNorthDrawAngles(m_dCoordinateAngle, m_dMagnetAngle, m_dAngle);
  m_dCoordinateDrawAngle = a.w1;
  m_dMagnetDrawAngle = a.w2;
}

void CGIS_ThreeNorthElement::MeasureFonts(double* pLabelWidth, double* pDigitHeight, double* pLabelHeight) {
  const double ratio = md::layout::SymbolUnitRatio(m_core.m_pFeatureSet);
  SGIS_Rect label, digit;
  if (m_pAxisTextSymbol) m_pAxisTextSymbol->GetTextExtent(&label, "真", 0, 1.0);
  if (m_pAngleTextSymbol) m_pAngleTextSymbol->GetTextExtent(&digit, "2", 0, 1.0);
  *pLabelWidth = label.Width() * ratio;
  *pDigitHeight = digit.Height() * ratio;
  if (pLabelHeight != nullptr) *pLabelHeight = label.Height() * ratio;
}

void CGIS_ThreeNorthElement::Refresh() { LayOut(true); }

void CGIS_ThreeNorthElement::LayOut(bool bFitTexts) {
  IGIS_Feature* pFeature = m_core.RequireFeature("Refresh");
  if (pFeature == nullptr) return;
  ComputeDrawAngles();
  const SGIS_Rect current = GetRect();
  md::layout::furniture::ThreeNorthInput fonts;
  fonts.txtOffset = m_nTxtOffset;
  double labelH = 0;
  MeasureFonts(&fonts.labelWidth, &fonts.digitHeight, &labelH);
  if (!bFitTexts) {
    // Long enough for the fonts' rings: the fonts' measures give it, no
    // text is laid out.
    m_nAxisLength = std::max(m_nAxisLength, md::layout::furniture::ThreeNorthFontAxisLength(fonts));
  }
  // Long enough for the rings the labels and the texts need. A longer line
  // draws larger arrowheads, which the texts keep clear of: a few rounds
  // settle the length (each raises it by a fraction of the last rise).
  for (int round = 0; bFitTexts && round < 8; ++round) {
    const int minLength = md::layout::furniture::ThreeNorthMinimumAxisLength(LayoutInput(SGIS_Point()));
    if (minLength <= m_nAxisLength) break;
    m_nAxisLength = minLength;
  }

  // The extent around the centre: the three line ends (and, with both side
  // lines on the left, room for a label to the right of the centre).
  constexpr double k = md::layout::furniture::kThreeNorthRadPerDegree;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  auto expand = [&](double x, double y) {
    x1 = std::min(x1, x);
    x2 = std::max(x2, x);
    y1 = std::max(y1, y);
    y2 = std::min(y2, y);
  };
  const double len = m_nAxisLength;
  expand(len * std::sin(m_dCoordinateDrawAngle * k), len * std::cos(m_dCoordinateDrawAngle * k));
  expand(len * std::sin(m_dMagnetDrawAngle * k), len * std::cos(m_dMagnetDrawAngle * k));
  expand(0, len);
  if (m_dCoordinateDrawAngle * m_dMagnetDrawAngle > 0 && m_dMagnetDrawAngle < 0) expand(labelH, 0);
  m_center = SGIS_Point(-Nearest(x1), -Nearest(y2), 0);
  SGIS_Rect rect;
  rect.left = current.left;
  rect.bottom = current.bottom;
  rect.right = Nearest(rect.left + std::fabs(x2 - x1));
  rect.top = Nearest(rect.bottom + std::fabs(y1 - y2));
  StoreFeatureRect(m_core.m_pFeatureSet, pFeature, rect, GIS_UPDATE_GEOMETRY);
}

md::layout::furniture::ThreeNorthFigure CGIS_ThreeNorthElement::BuildFigure() {
  const SGIS_Rect rect = GetRect();
  return FigureAt(
      SGIS_Point(md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(rect.left) + m_center.x),
                 md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(rect.bottom) + m_center.y), 0));
}

md::layout::furniture::ThreeNorthFigure CGIS_ThreeNorthElement::FigureAt(SGIS_Point centre) {
  return md::layout::furniture::BuildThreeNorthFigure(LayoutInput(centre));
}

md::layout::furniture::ThreeNorthInput CGIS_ThreeNorthElement::LayoutInput(SGIS_Point centre) {
  md::layout::furniture::ThreeNorthInput in;
  in.centre = centre;
  in.w1 = m_dCoordinateDrawAngle;
  in.w2 = m_dMagnetDrawAngle;
  in.axisLength = m_nAxisLength;
  in.txtOffset = m_nTxtOffset;
  MeasureFonts(&in.labelWidth, &in.digitHeight);
  // The texts' own sizes, for where the drawing lays them, measured in page
  // units: whole symbol units would be up to half a point off the drawn
  // width of a number.
  const double ratio = md::layout::SymbolUnitRatio(m_core.m_pFeatureSet);
  SGIS_Rect extent;
  for (int i = 0; i < 3 && m_pAxisTextSymbol; ++i) {
    m_pAxisTextSymbol->GetTextExtent(&extent, md::layout::furniture::kThreeNorthLabelTexts[i], 0, ratio);
    in.labelLength[i] = extent.Width();
    in.labelHeight = std::max(in.labelHeight, static_cast<double>(extent.Height()));
  }
  const double values[3] = {m_dCoordinateAngle, m_dMagnetAngle, m_dMagnetAngle - m_dCoordinateAngle};
  for (int i = 0; i < 3; ++i) {
    in.angleTexts[i] = md::layout::furniture::ThreeNorthAngleText(values[i]);
    if (!m_pAngleTextSymbol) continue;
    m_pAngleTextSymbol->GetTextExtent(&extent, in.angleTexts[i].c_str(), 0, ratio);
    in.angleTextLength[i] = extent.Width();
  }
  return in;
}

// ---- Stored state -------------------------------------------------------------

void CGIS_ThreeNorthElement::WriteCustom(md::layout::CustomSetWriter& set, bool bDescribe) {
  auto key = [&](const char* szKey) {
    for (const KeyRow& k : kKeys) {
      if (k.key == szKey || std::strcmp(k.key, szKey) == 0)
        return md::layout::furniture::Key(szKey, bDescribe ? k.description : szKey, k.type);
    }
    return md::layout::furniture::Key(szKey, szKey, GIS_FIELD_TYPE_BUFFER);
  };
  set.Int(key(keys::kMapElementID), m_link.GetMapElementID());
  // A missing frame or symbol is written as an empty buffer, so that no
  // stale copy outlives it.
  if (m_pFrame) {
    set.Saved(key(keys::kFrameProperty), [this](IGIS_DataBuffer* b) { m_pFrame->Save(b); });
  } else {
    set.Bytes(key(keys::kFrameProperty), {});
  }
  set.Int(key(keys::kTxtOffset), m_nTxtOffset);
  set.Int(key(keys::kAxisLength), m_nAxisLength);
  set.Int(key(keys::kCenterX), m_center.x);
  set.Int(key(keys::kCenterY), m_center.y);
  set.Double(key(keys::kMagnetAngle), m_dMagnetAngle);
  set.Double(key(keys::kCoordinateAngle), m_dCoordinateAngle);
  set.Double(key(keys::kAngle), m_dAngle);
  const std::pair<const char*, IGIS_Symbol*> symbols[] = {
      {keys::kFillSymbol, m_pFillSymbol.get()},           {keys::kAxisLineSymbol, m_pAxisLineSymbol.get()},
      {keys::kAngleLineSymbol, m_pAngleLineSymbol.get()}, {keys::kAxisTextSymbol, m_pAxisTextSymbol.get()},
      {keys::kAngleTextSymbol, m_pAngleTextSymbol.get()},
  };
  for (const auto& [szKey, pSymbol] : symbols) {
    if (pSymbol != nullptr) {
      set.Saved(key(szKey), [p = pSymbol](IGIS_DataBuffer* b) { p->Save(b); });
    } else {
      set.Bytes(key(szKey), {});
    }
  }
}

void CGIS_ThreeNorthElement::ReadCustom(const md::layout::StoredSetView& set) {
  auto readDouble = [&](const char* szKey, double* pValue) {
    double d = 0.0;
    if (set.Read(szKey, &d) && std::isfinite(d)) *pValue = d;
  };
  // In the stored order, so that each key is found where the last one ended.
  int nMapElementID = 0;
  if (set.Read(keys::kMapElementID, &nMapElementID)) m_link.SetMapElementID(nMapElementID);
  // An empty buffer is a diagram written without a frame.
  const md::basilo::StoredFieldView* pFrameField = set.Find(keys::kFrameProperty);
  if (pFrameField != nullptr && pFrameField->type == GIS_FIELD_TYPE_BUFFER) {
    if (pFrameField->bytes.empty()) {
      m_pFrame.reset();
    } else {
      if (!m_pFrame) m_pFrame.reset(GIS_CreateFramePropertyObject());
      if (m_pFrame) m_pFrame->Open(set.Buffer(keys::kFrameProperty));
    }
  } else if (IGIS_Field* f = set.Field(keys::kFrameProperty)) {
    if (IsEmpty(f)) {
      m_pFrame.reset();
    } else {
      if (!m_pFrame) m_pFrame.reset(GIS_CreateFramePropertyObject());
      if (m_pFrame) m_pFrame->Open(f->GetDataBuffer());
    }
  }
  set.Read(keys::kTxtOffset, &m_nTxtOffset);
  set.Read(keys::kAxisLength, &m_nAxisLength);
  set.Read(keys::kCenterX, &m_center.x);
  set.Read(keys::kCenterY, &m_center.y);
  readDouble(keys::kMagnetAngle, &m_dMagnetAngle);
  readDouble(keys::kCoordinateAngle, &m_dCoordinateAngle);
  readDouble(keys::kAngle, &m_dAngle);
  const std::pair<const char*, SymbolPtr*> symbols[] = {
      {keys::kFillSymbol, &m_pFillSymbol},           {keys::kAxisLineSymbol, &m_pAxisLineSymbol},
      {keys::kAngleLineSymbol, &m_pAngleLineSymbol}, {keys::kAxisTextSymbol, &m_pAxisTextSymbol},
      {keys::kAngleTextSymbol, &m_pAngleTextSymbol},
  };
  for (const auto& [szKey, pSlot] : symbols) {
    const md::basilo::StoredFieldView* f = set.Find(szKey);
    const bool bText = pSlot == &m_pAxisTextSymbol || pSlot == &m_pAngleTextSymbol;
    if (f != nullptr && (f->type != GIS_FIELD_TYPE_BUFFER || f->bytes.empty()) && !bText) {
      pSlot->reset();  // written without this symbol
      continue;
    }
    if (IGIS_Symbol* pSymbol = GetSymbolFromStored(set, szKey)) pSlot->reset(pSymbol);
  }
}

BOOL CGIS_ThreeNorthElement::Archive(int nRead, int /*nArchiveOption*/) {
  const std::string method = m_core.Method("Archive");
  IGIS_FeatureAttributes* pAttr = nullptr;
  if (!m_core.ArchiveCommon(nRead, &pAttr) || pAttr == nullptr) return FALSE;
  // The "Custom" keys are read and written in place.
  if (nRead == 0) {
    md::layout::CustomSetWriter set(pAttr, method.c_str());
    WriteCustom(set, false);
    if (!set.Finish()) return FALSE;
    IGIS_FeatureClass* pClass = m_core.m_pFeatureSet->GetFeatureClass();
    // The stored form is written either way; a failed commit is a failure.
    if (pClass == nullptr || !pClass->UpdateFeature(m_core.m_pFeature, GIS_UPDATE_ALL)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "b_ret == NULL");
      return FALSE;
    }
    return TRUE;
  }

  const md::layout::StoredSetView set(pAttr, method.c_str(),
                                      "p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_READ) == FALSE");
  if (GIS_GetSymbolFactoryObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_symbol_factory == NULL");
  }
  ReadCustom(set);
  m_link.Relink(m_core.m_pFeatureSet);
  LayOut(false);
  return TRUE;
}

// ---- Property sheet -----------------------------------------------------------

BOOL CGIS_ThreeNorthElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) {
  const BOOL bOk = m_core.OpenPropertySheet(pDisplay, "三北针属性", "p_element == NULL", bWithCommonPages);
  if (bOk) Refresh();
  return bOk;
}
