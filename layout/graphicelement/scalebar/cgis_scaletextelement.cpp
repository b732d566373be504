// The scale text's model: construction, settings, following a map frame,
// placing and sizing, drawing, conversion and the stored form (FORMAT.md).
// The composition is in scaletextcompose.cpp.
#include "layout/graphicelement/scalebar/cgis_scaletextelement.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/display/igis_display.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/sferon/igis_spatialreference.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/elementsheet.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/element/missingmap.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/scalebar/scalebarbody.h"
#include "layout/graphicelement/scalebar/scalebarelements.h"
#include "layout/graphicelement/scalebar/scalebarformats.h"
#include "layout/graphicelement/shapes/shapebox.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "platform/win/cdc.h"

extern "C" IGIS_FrameProperty* GIS_CreateFramePropertyObject();

using namespace md::layout::detail;

namespace {

constexpr const char* kClass = "CGIS_ScaleTextElement";
constexpr int kFeatureKind = 0x400;
constexpr std::size_t kLabelMax = 999;
constexpr std::size_t kTextMax = 2999;
constexpr const char* kUnknownUnit = "未知单位";

inline int Round(double v) { return md::basilo::detail::RoundToInt32(v); }

// The keys of "Custom": type, description of a new element, description
// given by a write that finds the key missing (NULL: not added then).
struct Key {
  const char* key;
  int type;
  const char* newDescription;
  const char* writeDescription;
};
constexpr Key kKeys[] = {
    {"ScaleTextStyle", GIS_FIELD_TYPE_INT, "类型", "ScaleTextStyle"},
    {"AnnoPointStyle", GIS_FIELD_TYPE_BUFFER, "注记风格", "AnnoPointStyle"},
    {"NumericFormat", GIS_FIELD_TYPE_BUFFER, "数字格式", nullptr},
    {"LatLonFormat", GIS_FIELD_TYPE_BUFFER, "经纬度格式", nullptr},
    {"Text", GIS_FIELD_TYPE_STRING, "文本", "Text"},
    {"MapElementID", GIS_FIELD_TYPE_INT, "地图ID", "MapElementID"},
    {"PageUnit", GIS_FIELD_TYPE_INT, "页面单位", "页面单位"},
    {"MapUnit", GIS_FIELD_TYPE_INT, "地图单位", "地图单位"},
    {"PageUnitLabel", GIS_FIELD_TYPE_STRING, "页面单位标注", "页面单位标注"},
    {"MapUnitLabel", GIS_FIELD_TYPE_STRING, "地图单位标注", "地图单位标注"},
    {"FrameProperty", GIS_FIELD_TYPE_BUFFER, "地图框架的属性", "FrameProperty"},
};
// The order in which a write puts the values (indices into kKeys).
constexpr int kWriteOrder[] = {1, 2, 3, 4, 10, 0, 5, 6, 7, 8, 9};

IGIS_AnnoPointStyle* NewPointStyle() {
  IGIS_AnnoStyleFactory* pFactory = GIS_GetAnnotationStyleFactoryObject();
  IGIS_AnnoStyleSet* pSet = pFactory != nullptr ? pFactory->CreateStyleSet(1) : nullptr;
  IGIS_AnnoPointStyle* pStyle = pSet != nullptr ? pSet->GetPointStyle() : nullptr;
  if (pStyle != nullptr) pStyle->SetAlignment(GIS_ALIGN_BOTTOM_LEFT);
  return pStyle;
}

int LinearUnitCount() {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  return pFactory != nullptr ? pFactory->GetLinearUnitCount() : 0;
}

IGIS_SpatialReference* MapReferenceOf(IGIS_MapElement* pFrame) {
  IGIS_Map* pMap = pFrame != nullptr ? pFrame->GetMap() : nullptr;
  return pMap != nullptr ? pMap->GetSpatialReference() : nullptr;
}

void AssignCut(std::string& out, const char* szText, std::size_t nMax) {
  out.assign(szText, md::layout::Utf8CutLength(szText, std::strlen(szText), nMax));
}

}  // namespace

// ---- Construction -------------------------------------------------------------

CGIS_ScaleTextElement::CGIS_ScaleTextElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "文本比例尺") {
  if (pOwner == nullptr) return;
  m_pStyle.reset(NewPointStyle());
  m_pFrameProperty.reset(GIS_CreateFramePropertyObject());
  m_pNumericFormat.reset(NewNumericFormat(kNumericFormatPlain));
  m_pLatLonFormat.reset(NewNumericFormat(kNumericFormatLatLon));
  if (m_pNumericFormat) m_pNumericFormat->SetDigits(2);
  if (m_pLatLonFormat) m_pLatLonFormat->SetDigits(2);
  SGIS_ElementBindOptions options;
  options.szType = GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT;
  options.nKind = kFeatureKind;
  options.nLockOnNew = 0;
  options.nCanConvert = 0;
  options.szNoFeature = "建立Feature失败 pFeature == NULL";
  if (m_core.Bind(pOwner, pFeature, options) != CGIS_ElementCore::Binding::Created) return;
  IGIS_Feature* pNew = m_core.m_pFeature;
  // A new element starts with the rectangle of its text.
  const SGIS_Rect extent = PageTextExtent();
  if (IGIS_Geometry* pGeometry = pNew->GetGeometry())
    pGeometry->SetRect(SGIS_Rect(0, extent.Height(), extent.Width(), 0), 0);
  IGIS_FeatureAttributes* pAttr = pNew->GetAttributes();
  const md::basilo::ReleasePtr<IGIS_PropertySet> set(GIS_CreatePropertySetObject());
  if (set && pAttr != nullptr) {
    for (const Key& k : kKeys) set->AddProperty(k.key, k.newDescription, k.type, 1);
    StoreCustomSet(set.get(), pAttr);
    md::layout::CustomSetWriter values(pAttr, "CGIS_ScaleTextElement::CGIS_ScaleTextElement");
    PutKeys(values, true);
    values.Finish();
  }
  CommitFeature(pNew, GIS_UPDATE_ALL);
}

CGIS_ScaleTextElement::~CGIS_ScaleTextElement() = default;

const char* CGIS_ScaleTextElement::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT; }

BOOL CGIS_ScaleTextElement::CommitFeature(IGIS_Feature* pFeature, int nFlags) {
  IGIS_FeatureClass* pClass =
      m_core.m_pFeatureSet != nullptr ? m_core.m_pFeatureSet->GetFeatureClass() : nullptr;
  return pClass != nullptr && pFeature != nullptr ? pClass->UpdateFeature(pFeature, nFlags) : FALSE;
}

// ---- Settings -------------------------------------------------------------------

void CGIS_ScaleTextElement::SetName(const char* szName) {
  if (szName == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleTextElement::SetName", "szName为NULL");
    return;
  }
  if (std::strcmp(szName, GetName()) != 0) m_core.SetName(szName);
}

void CGIS_ScaleTextElement::SetOrder(int nOrder) {
  IGIS_Feature* pFeature = m_core.RequireFeature("SetOrder");
  if (pFeature == nullptr) return;
  m_core.m_nOrder = nOrder;
  pFeature->SetOrder(static_cast<unsigned char>(nOrder & 0xFF));
}

void CGIS_ScaleTextElement::SetMapUnit(int nUnit) {
  if (nUnit < 0 || nUnit >= LinearUnitCount() + 2) return;
  IGIS_SpatialReference* pReference = MapReferenceOf(BoundFrame());
  if (pReference != nullptr && pReference->GetKind() == GIS_SPATIALREFERENCE_NONE) return;
  m_nMapUnit = nUnit;
}

void CGIS_ScaleTextElement::SetPageUnit(int nUnit) {
  if (nUnit >= 0) m_nPageUnit = nUnit;
}

IGIS_Symbol* CGIS_ScaleTextElement::GetSymbolPtr() {
  return m_pStyle != nullptr ? m_pStyle->GetTextStylePtr() : nullptr;
}

void CGIS_ScaleTextElement::SetSymbolPtr(IGIS_Symbol* pSymbol) {
  if (m_core.RequireFeature("SetSymbolPtr") == nullptr) return;
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, "CGIS_ScaleTextElement::SetSymbolPtr", "pSymbol == NULL");
    return;
  }
  if (m_pStyle == nullptr || pSymbol == m_pStyle->GetTextStylePtr()) return;
  // The style keeps its own copy; a symbol without a text part is refused.
  m_pStyle->SetTextStyle(pSymbol->GetTextPart());
}

void CGIS_ScaleTextElement::SetMapUnitLabel(const char* szLabel) {
  if (szLabel == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleTextElement::SetMapUnitLabel", "szMapUnitLable");
    return;
  }
  if (m_strMapUnitLabel != szLabel) AssignCut(m_strMapUnitLabel, szLabel, kLabelMax);
}

void CGIS_ScaleTextElement::SetPageUnitLabel(const char* szLabel) {
  if (szLabel == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleTextElement::SetPageUnitLabel", "szPageUnitLabel");
    return;
  }
  if (m_strPageUnitLabel != szLabel) AssignCut(m_strPageUnitLabel, szLabel, kLabelMax);
}

bool CGIS_ScaleTextElement::SetFramePropertyPtr(IGIS_FrameProperty* pFrame) {
  if (pFrame == m_pFrameProperty.get()) return true;
  m_pFrameProperty.reset(pFrame != nullptr ? pFrame->Clone() : nullptr);
  return true;
}

void CGIS_ScaleTextElement::SetNumericFormatPtr(IGIS_NumericFormat* pFormat) {
  if (pFormat == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleTextElement::SetNumericFormatPtr", "right == NULL");
    return;
  }
  if (pFormat == m_pNumericFormat.get()) return;
  IGIS_NumericFormat* pNew = NewPlainFormatLike(pFormat);
  if (pNew == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleTextElement::SetNumericFormatPtr", "m_pNumericFormat == NULL");
    return;
  }
  m_pNumericFormat.reset(pNew);
}

void CGIS_ScaleTextElement::SetLatLonFormatPtr(IGIS_NumericFormat* pFormat) {
  if (pFormat == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleTextElement::SetLatLonFormatPtr", "right == NULL");
    return;
  }
  KeepNumericFormatCopy(&m_pLatLonFormat, pFormat);
}

void CGIS_ScaleTextElement::RebuildText() {
  BuildText();
  GetScaleRect();
}

// ---- The map frame ------------------------------------------------------------------

IGIS_Element* CGIS_ScaleTextElement::GetMapElement() { return BoundFrame(); }

void CGIS_ScaleTextElement::SetMapElement(IGIS_Element* pMap) {
  if (pMap == BoundFrame()) return;
  if (pMap == nullptr) {
    m_link.Follow(nullptr);
    return;
  }
  auto* pFrame = dynamic_cast<IGIS_MapElement*>(pMap);
  if (pFrame == nullptr) return;
  m_link.Follow(pFrame);
  const int n = LinearUnitCount();
  IGIS_SpatialReference* pReference = MapReferenceOf(pFrame);
  const int nKind = pReference != nullptr ? pReference->GetKind() : -1;
  if (pFrame->GetMap() == nullptr) {
    m_strMapUnitLabel = kUnknownUnit;
    m_nMapUnit = n + 1;
  } else if (nKind == GIS_SPATIALREFERENCE_PROJECTED) {
    m_strMapUnitLabel = "米";
    m_nMapUnit = 0;
  } else if (nKind == GIS_SPATIALREFERENCE_GEOGRAPHIC) {
    m_strMapUnitLabel = "度";
    m_nMapUnit = n;
  } else {
    m_strMapUnitLabel = kUnknownUnit;
    m_nMapUnit = n + 1;
  }
}

void CGIS_ScaleTextElement::Update(const char* szMessage, int /*nArgument*/, IGIS_Element* pSender) {
  IGIS_MapElement* pFrame = BoundFrame();
  if (pFrame == nullptr || szMessage == nullptr) return;
  if (std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAP_DEL) == 0) {
    m_link.OnFrameDeleted(pSender);
    return;
  }
  if (pFrame->GetMap() == nullptr) {
    // A map that cannot be found was recorded once, by the frame.
    if (!md::layout::FrameMapMissing(pFrame))
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_ScaleTextElement::Update", "p_map == NULL");
    return;
  }
  if (std::strcmp(szMessage, GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED) == 0) {
    IGIS_SpatialReference* pReference = MapReferenceOf(pFrame);
    if (pReference != nullptr && pReference->GetKind() == GIS_SPATIALREFERENCE_NONE) {
      m_strMapUnitLabel = kUnknownUnit;
      m_nMapUnit = LinearUnitCount() + 1;  // the unknown unit's index in the unit list
    }
    RebuildText();
  } else if (std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED) == 0) {
    RebuildText();
  }
}

// ---- Placing and sizing ----------------------------------------------------------------

SGIS_Rect CGIS_ScaleTextElement::GetRect() { return m_core.FeatureRect(); }

void CGIS_ScaleTextElement::SetRect(SGIS_Rect rect) { m_core.PlaceRect(rect); }

void CGIS_ScaleTextElement::SetLBpoint(SGIS_Point point) { m_core.MoveLowerLeftTo(point); }

void CGIS_ScaleTextElement::OffsetAllPoints(int dx, int dy) { m_core.OffsetRect(dx, dy); }

void CGIS_ScaleTextElement::ScaleTextSize(double f) {
  IGIS_Symbol* pSymbol = GetSymbolPtr();
  LOGFONT* pFont = pSymbol != nullptr ? pSymbol->GetFontSizePtr() : nullptr;
  if (pFont == nullptr) return;
  const int nSize = Round(pFont->lfHeight * f);
  // A size of 0 would hide the text for good: the old size stays.
  if (nSize != 0) pFont->lfHeight = nSize;
}

void CGIS_ScaleTextElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth < 1 || nHeight < 1) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("SetWidthAndHeight");
  if (pFeature == nullptr) return;
  const SGIS_Rect r = GetRect();
  const int cw = r.Width();
  const int ch = r.Height();
  if (nWidth == cw && nHeight == ch) return;
  const double sx = cw <= 0 ? 1.0 : static_cast<double>(nWidth) / cw;
  const double sy = ch == 0 ? 1.0 : static_cast<double>(nHeight) / ch;
  const double f = (sx < 1.0 && sy < 1.0) ? std::max(sx, sy) : std::min(sx, sy);
  const SGIS_Rect scaled(r.left, r.bottom + Round(ch * f), r.left + Round(cw * f), r.bottom);
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) pGeometry->SetRect(scaled, 0);
  ScaleTextSize(f);
  CommitFeature(pFeature, GIS_UPDATE_POINT_SYMBOL);
}

void CGIS_ScaleTextElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("ScaleShape");
  if (pFeature == nullptr) return;
  const SGIS_Rect r = GetRect();
  const int left = Round((static_cast<double>(r.left) - origin.x) * sx + origin.x);
  const int bottom = Round((static_cast<double>(r.bottom) - origin.y) * sy + origin.y);
  // The text keeps its proportions.
  const double s = std::min(sx, sy);
  const int right = Round(r.Width() * s + left);
  const int top = Round(r.Height() * s + bottom);
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry())
    pGeometry->SetRect(SGIS_Rect(left, top, right, bottom), 0);
  ScaleTextSize(s);
  CommitFeature(pFeature, GIS_UPDATE_POINT_SYMBOL);
}

// ---- Drawing -----------------------------------------------------------------------

BOOL CGIS_ScaleTextElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const char* szMethod = "CGIS_ScaleTextElement::OnDraw";
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  IGIS_SpatialReference* pReference = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_spatialreference== NULL ");
    return FALSE;
  }
  if (m_core.RequireFeature("OnDraw") == nullptr) return FALSE;
  IGIS_AnnoDrawer* pDrawer = GIS_GetAnnotationDrawerObject();
  if (pDrawer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_drawer == NULL");
    return FALSE;
  }
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr || m_pStyle == nullptr) return FALSE;
  const SGIS_Rect rect = GetRect();
  if (m_pFrameProperty != nullptr) {
    m_pFrameProperty->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_UNDER);
    if (m_pFrameProperty->GetDraftMode() && !bPrint) {
      m_pFrameProperty->OnDrawDraftMode(this, hdc, bPrint, pDisplay);
      return TRUE;
    }
  }
  const SGIS_Rect device = pView->PageToDeviceRect(rect, pReference);
  const SGIS_Point anchor(device.left, device.bottom, 0);
  // Placed by its lower-left corner through a copy: the stored style stays as it is.
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> pStyle =
      AlignedStyleCopy(m_pStyle.get(), GIS_ALIGN_BOTTOM_LEFT);
  if (!pStyle) return FALSE;
  {
    CGIS_ElementClipScope clip(hdc, pDisplay);
    DrawWithDrawer(pDrawer, pDisplay, CDC::FromHandle(hdc), bPrint, GetDisplayRatio(pDisplay), pStyle.get(),
                   m_strText.c_str(), &anchor, 1, m_core.m_pFeatureSet);
  }
  if (m_pFrameProperty != nullptr)
    m_pFrameProperty->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_BORDER);
  return TRUE;
}

// ---- Conversion and copies ------------------------------------------------------------

IGIS_Element* CGIS_ScaleTextElement::ConvertToElement() {
  auto* pText = NewOwnedElement<IGIS_TextElement>(m_core.m_pFeatureSet, GIS_TYPE_GRAPHIC_ELEMENT_TEXT);
  if (pText == nullptr) return nullptr;
  pText->SetText(m_strText.c_str());
  if (GetSymbolPtr() != nullptr) pText->SetSymbolPtr(GetSymbolPtr());
  const SGIS_Rect r = GetRect();
  pText->SetLBpoint(SGIS_Point(r.left, r.bottom, 0));
  if (m_pFrameProperty == nullptr) return pText;
  IGIS_Element* pFramed = m_pFrameProperty->ConvertToElement(this);
  auto* pCompound = dynamic_cast<IGIS_CompoundElement*>(pFramed);
  if (pCompound == nullptr) {
    if (pFramed != nullptr) DropElement(pFramed);
    return pText;
  }
  AddOrDrop(pCompound, pText);
  return pCompound;
}

IGIS_Element* CGIS_ScaleTextElement::Clone() {
  auto* pCopy =
      NewOwnedElement<CGIS_ScaleTextElement>(m_core.m_pFeatureSet, GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT);
  if (pCopy == nullptr) return nullptr;
  pCopy->SetRect(GetRect());
  pCopy->SetLock(IsLock());
  pCopy->SetSymbolPtr(GetSymbolPtr());
  pCopy->SetMapElement(GetMapElement());
  pCopy->SetScaleTextStyle(m_nScaleTextStyle);
  pCopy->SetMapUnit(m_nMapUnit);
  pCopy->SetPageUnit(m_nPageUnit);
  if (m_pNumericFormat != nullptr) pCopy->SetNumericFormatPtr(m_pNumericFormat.get());
  pCopy->RebuildText();
  return pCopy;
}

// ---- Property sheet -----------------------------------------------------------------------

BOOL CGIS_ScaleTextElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithFramePages) {
  // The pages compose the text as they show it; Cancel leaves the text as it
  // was, also one not composed again since a setter changed what it shows.
  m_bReadAsStored = true;
  const BOOL bOk = m_core.OpenPropertySheet(pDisplay, "文本比例尺属性", "p_element == NULL", bWithFramePages);
  m_bReadAsStored = false;
  if (bOk) RebuildText();
  return bOk;
}

// ---- Stored form -------------------------------------------------------------------------------

// Writes every key's present value; a key the set lacks is added with the
// write description (the formats only when they are held).
void CGIS_ScaleTextElement::PutKeys(md::layout::CustomSetWriter& set, bool bNew) {
  for (int i : kWriteOrder) {
    const Key& k = kKeys[i];
    // A format key is added only for a format held.
    if (k.writeDescription == nullptr && !set.IsStored(k.key)) {
      const bool bHeld = (i == 2 && m_pNumericFormat != nullptr) || (i == 3 && m_pLatLonFormat != nullptr);
      if (!bHeld) continue;
    }
    const char* szDescription = k.writeDescription != nullptr ? k.writeDescription : k.newDescription;
    const md::layout::SGIS_CustomKey key{k.key, k.type, szDescription, szDescription};
    switch (i) {
      case 0:
        set.Int(key, m_nScaleTextStyle);
        break;
      case 1:
        set.Saved(key, [this](IGIS_DataBuffer* b) {
          if (m_pStyle != nullptr) m_pStyle->Save(b);
        });
        break;
      case 2:
        set.Saved(key, [this](IGIS_DataBuffer* b) { SaveNumericFormat(m_pNumericFormat.get(), b); });
        break;
      case 3:
        set.Saved(key, [this](IGIS_DataBuffer* b) { SaveNumericFormat(m_pLatLonFormat.get(), b); });
        break;
      case 4:
        set.String(key, m_strText.c_str());
        break;
      case 5:
        set.Int(key, bNew ? -91 : m_link.GetMapElementID());
        break;
      case 6:
        set.Int(key, m_nPageUnit);
        break;
      case 7:
        set.Int(key, m_nMapUnit);
        break;
      case 8:
        set.String(key, m_strPageUnitLabel.c_str());
        break;
      case 9:
        set.String(key, m_strMapUnitLabel.c_str());
        break;
      case 10:
        set.Saved(key, [this](IGIS_DataBuffer* b) {
          if (m_pFrameProperty != nullptr) m_pFrameProperty->Save(b);
        });
        break;
      default:
        break;
    }
  }
}

void CGIS_ScaleTextElement::ReadKeys(const md::layout::StoredSetView& set) {
  // Only keys stored with their own type are taken.
  auto typed = [&set](const char* szKey, int nType) {
    const md::basilo::StoredFieldView* f = set.Find(szKey);
    return f != nullptr && f->type == nType ? f : nullptr;
  };
  auto buffer = [&](const char* szKey) -> IGIS_DataBuffer* {
    return typed(szKey, GIS_FIELD_TYPE_BUFFER) != nullptr ? set.Buffer(szKey) : nullptr;
  };
  auto text = [&](const char* szKey) -> const md::basilo::StoredFieldView* {
    return typed(szKey, GIS_FIELD_TYPE_STRING);
  };
  if (IGIS_DataBuffer* b = buffer("AnnoPointStyle")) {
    if (!m_pStyle) m_pStyle.reset(NewPointStyle());
    if (m_pStyle != nullptr) m_pStyle->Open(b);
  }
  if (IGIS_DataBuffer* b = buffer("NumericFormat")) {
    if (!m_pNumericFormat) m_pNumericFormat.reset(NewNumericFormat(kNumericFormatPlain));
    OpenNumericFormat(m_pNumericFormat.get(), b);
  }
  if (IGIS_DataBuffer* b = buffer("LatLonFormat")) {
    if (!m_pLatLonFormat) m_pLatLonFormat.reset(NewNumericFormat(kNumericFormatLatLon));
    OpenNumericFormat(m_pLatLonFormat.get(), b);
  }
  if (const md::basilo::StoredFieldView* f = text("Text"))
    AssignCut(m_strText, std::string(f->text).c_str(), kTextMax);
  if (IGIS_DataBuffer* b = buffer("FrameProperty")) {
    if (b->GetSize() == 0) {
      m_pFrameProperty.reset();  // stored without a frame
    } else {
      if (!m_pFrameProperty) m_pFrameProperty.reset(GIS_CreateFramePropertyObject());
      if (m_pFrameProperty != nullptr) m_pFrameProperty->Open(b);
    }
  }
  const md::basilo::StoredFieldView* pStyle = typed("ScaleTextStyle", GIS_FIELD_TYPE_INT);
  m_nScaleTextStyle = pStyle != nullptr ? pStyle->intValue : 1;
  if (const md::basilo::StoredFieldView* f = typed("MapElementID", GIS_FIELD_TYPE_INT))
    m_link.SetMapElementID(f->intValue);
  m_link.Relink(m_core.m_pFeatureSet);
  if (const md::basilo::StoredFieldView* f = typed("PageUnit", GIS_FIELD_TYPE_INT)) m_nPageUnit = f->intValue;
  if (const md::basilo::StoredFieldView* f = typed("MapUnit", GIS_FIELD_TYPE_INT)) m_nMapUnit = f->intValue;
  const md::basilo::StoredFieldView* pPageLabel = text("PageUnitLabel");
  AssignCut(m_strPageUnitLabel, pPageLabel != nullptr ? std::string(pPageLabel->text).c_str() : "厘米",
            kLabelMax);
  if (const md::basilo::StoredFieldView* f = text("MapUnitLabel"))
    AssignCut(m_strMapUnitLabel, std::string(f->text).c_str(), kLabelMax);
}

BOOL CGIS_ScaleTextElement::Archive(int nRead, int /*nArchiveOption*/) {
  const char* szMethod = "CGIS_ScaleTextElement::Archive";
  IGIS_Feature* pFeature = m_core.RequireFeature("Archive");
  if (pFeature == nullptr) return FALSE;
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  IGIS_DataBuffer* pStored = pAttr != nullptr ? pAttr->GetDataBuffer("Custom") : nullptr;
  if (pStored == nullptr) return FALSE;
  // The keys are read and written in place.
  if (nRead == 0) {
    pAttr->SetBool("IsLock", IsLock());
    pAttr->SetBool("KeepHVScaleRatio", m_core.m_bKeepHVScaleRatio);
    pAttr->SetInt("ElementOrder", GetOrder());
    pAttr->SetString("ElementName", GetName());
    md::layout::CustomSetWriter set(pAttr, szMethod);
    PutKeys(set, false);
    const bool bWritten = set.Finish();
    // Written either way; a failed commit is a failure.
    if (!CommitFeature(pFeature, GIS_UPDATE_GEOMETRY)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "b_ret == NULL");
      return FALSE;
    }
    return bWritten ? TRUE : FALSE;
  }
  const md::layout::StoredSetView set(pStored);
  if (set.Damaged()) {
    // A damaged stored set is not taken for an empty one: the element stays.
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "b_ret == NULL");
    return FALSE;
  }
  m_core.m_bLock = pAttr->GetBool("IsLock");
  m_core.m_bKeepHVScaleRatio = pAttr->GetBool("KeepHVScaleRatio");
  m_core.m_nOrder = pAttr->GetInt("ElementOrder");
  if (const char* szName = pAttr->GetString("ElementName")) m_core.SetName(szName);
  ReadKeys(set);
  // The text is composed again from the scale of the frame it follows. With
  // no map shown there is no scale to compose it from (the last one is not
  // stored): the stored text and rectangle stay.
  IGIS_MapElement* pFrame = BoundFrame();
  if (!m_bReadAsStored && pFrame != nullptr && pFrame->GetMap() != nullptr) RebuildText();
  return TRUE;
}
