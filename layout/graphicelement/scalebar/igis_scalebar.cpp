// The scale bar's model: construction, settings and their rules, the stored
// form (FORMAT.md), following a map frame, moving and resizing, and the
// backup around the property sheet.
#include "layout/graphicelement/scalebar/igis_scalebar.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <type_traits>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/element/elementsheet.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/mapframe/igis_mapelement.h"
#include "layout/graphicelement/scalebar/cgis_scalemarks.h"
#include "layout/graphicelement/scalebar/scalebarbody.h"
#include "layout/graphicelement/scalebar/scalebarformats.h"
#include "layout/graphicelement/scalebar/scalebarsymbols.h"
#include "layout/graphicelement/shapes/shapebox.h"

// The exported maker of frame properties.
extern "C" IGIS_FrameProperty* GIS_CreateFramePropertyObject();

using namespace md::layout::detail;

namespace {

constexpr int kFeatureKind = 0x400;
constexpr int kMaxDivisions = 100;

inline int Round(double v) { return md::basilo::detail::RoundToInt32(v); }

// A new text symbol of the height (symbol units), seen as its text part.
IGIS_Symbol* NewTextSymbol(int nHeight) {
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  IGIS_Symbol* pSymbol = pFactory != nullptr ? pFactory->CreateSymbol(GIS_SYMBOL_TEXT) : nullptr;
  if (pSymbol == nullptr) return nullptr;
  IGIS_Symbol* pText = pSymbol->GetTextPart();
  if (pText == nullptr) {
    pSymbol->Release();
    return nullptr;
  }
  if (LOGFONT* pFont = pText->GetFontSizePtr()) pFont->lfHeight = nHeight;
  return pText;
}

// Scales the text height of a text symbol, rounded.
void ScaleTextHeight(IGIS_Symbol* pSymbol, double s) {
  LOGFONT* pFont = pSymbol != nullptr ? pSymbol->GetFontSizePtr() : nullptr;
  if (pFont != nullptr) pFont->lfHeight = Round(pFont->lfHeight * s);
}

// The field of the key, added (with the description) when the set has none.
IGIS_Field* FieldOf(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, int nType) {
  IGIS_Field* pField = pSet->GetProperty(szKey);
  return pField != nullptr ? pField : pSet->AddProperty(szKey, szDescription, nType, 1);
}

void PutInt(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, int nValue) {
  if (IGIS_Field* f = FieldOf(pSet, szKey, szDescription, GIS_FIELD_TYPE_INT)) f->SetInt(nValue);
}
void PutDouble(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, double dValue) {
  if (IGIS_Field* f = FieldOf(pSet, szKey, szDescription, GIS_FIELD_TYPE_DOUBLE)) f->SetDouble(dValue);
}
void PutBool(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, bool bValue) {
  if (IGIS_Field* f = FieldOf(pSet, szKey, szDescription, GIS_FIELD_TYPE_BOOL)) f->SetBool(bValue);
}
void PutString(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, const char* szValue) {
  if (IGIS_Field* f = FieldOf(pSet, szKey, szDescription, GIS_FIELD_TYPE_STRING)) f->SetString(szValue);
}
// The buffer of a data-buffer field, emptied for a new content.
IGIS_DataBuffer* PutBuffer(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription) {
  IGIS_Field* f = FieldOf(pSet, szKey, szDescription, GIS_FIELD_TYPE_BUFFER);
  IGIS_DataBuffer* pBuffer = f != nullptr ? f->GetDataBuffer() : nullptr;
  if (pBuffer != nullptr) pBuffer->SetSize(0);
  return pBuffer;
}
void PutSymbol(IGIS_PropertySet* pSet, const char* szKey, const char* szDescription, IGIS_Symbol* pSymbol) {
  IGIS_DataBuffer* pBuffer = PutBuffer(pSet, szKey, szDescription);
  if (pBuffer != nullptr && pSymbol != nullptr) pSymbol->Save(pBuffer);
}

template <class T>
void ReadInto(IGIS_PropertySet* pSet, const char* szKey, T* pValue) {
  IGIS_Field* f = pSet->GetProperty(szKey);
  if (f == nullptr) return;
  if constexpr (std::is_same_v<T, int>) *pValue = f->GetInt();
  if constexpr (std::is_same_v<T, double>) *pValue = f->GetDouble();
  if constexpr (std::is_same_v<T, bool>) *pValue = f->GetBool();
}

IGIS_DataBuffer* BufferOf(IGIS_PropertySet* pSet, const char* szKey) {
  IGIS_Field* f = pSet->GetProperty(szKey);
  return f != nullptr ? f->GetDataBuffer() : nullptr;
}

// A text symbol stored under the key replaces the held one (its text part);
// a missing key or a symbol of another kind keeps it.
void ReadTextSymbol(IGIS_PropertySet* pSet, const char* szKey, IGIS_Symbol** ppHeld) {
  IGIS_Field* f = pSet->GetProperty(szKey);
  if (f == nullptr) return;
  IGIS_Symbol* pRead = GetSymbolFromField(f);
  if (pRead == nullptr) return;
  if (IGIS_Symbol* pText = pRead->GetTextPart()) KeepSymbolCopy(ppHeld, pText, &IGIS_Symbol::GetTextPart);
  pRead->Release();
}

// The text cut to the longest whole-character prefix of at most 999 bytes.
void AssignCut(std::string& out, const char* szText) {
  out.assign(szText, md::layout::Utf8CutLength(szText, std::strlen(szText), GIS_ELEMENT_NAME_MAX));
}

int ClampDivisions(int n) { return std::clamp(n, 1, kMaxDivisions); }

// The factory's linear unit count: the unit list's degree entry is at this
// index, the unknown unit after it.
int LinearUnitCount() {
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  return pFactory != nullptr ? pFactory->GetLinearUnitCount() : 0;
}

bool MapHasNoUnit(IGIS_MapElement* pFrame) {
  IGIS_Map* pMap = pFrame != nullptr ? pFrame->GetMap() : nullptr;
  IGIS_SpatialReference* pReference = pMap != nullptr ? pMap->GetSpatialReference() : nullptr;
  return pReference != nullptr && pReference->GetKind() == GIS_SPATIALREFERENCE_NONE;
}

}  // namespace

// ---- Construction ---------------------------------------------------------

IGIS_ScaleBar::IGIS_ScaleBar(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, const char* szClass)
    : CGIS_ElementImpl(szClass, "图形比例尺") {
  if (pOwner == nullptr) return;
  m_core.m_pFeatureSet = pOwner;
  m_pScaleMarks = new (std::nothrow) CGIS_ScaleMarks();
  m_pFrameProperty = GIS_CreateFramePropertyObject();
  m_pLabelSymbol = NewTextSymbol(6);
  m_pUnitLabelSymbol = NewTextSymbol(10);
  m_pNumericFormat = NewNumericFormat(kNumericFormatPlain);
  m_pLatLonFormat = NewNumericFormat(kNumericFormatLatLon);
  m_strUnitLabel = "米";

  if (pFeature == nullptr) {
    IGIS_FeatureClass* pClass = pOwner->GetFeatureClass();
    IGIS_Feature* pNew = pClass != nullptr ? pClass->CreateFeature(kFeatureKind, 0) : nullptr;
    if (pNew == nullptr) {
      GIS_LOG(3, "IGIS_ScaleBar::IGIS_ScaleBar", "建立Feature失败 pFeature == NULL");
      return;
    }
    m_core.m_pFeature = pNew;
    m_core.ID() = pNew->GetID();
    m_bMadeFeature = true;
    if (IGIS_FeatureAttributes* pAttr = pNew->GetAttributes()) {
      pAttr->SetInt("InterfacePtr", m_core.Handle());
      pAttr->SetString("TYPE", GIS_TYPE_GRAPHIC_ELEMENT_RECT);
      pAttr->SetBool("IsLock", false);
      pAttr->SetBool("KeepHVScaleRatio", false);
      pAttr->SetBool("CanConvert", false);
    }
    WriteNewCustom(pNew);
    return;
  }
  m_core.m_pFeature = pFeature;
  if (IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes())
    pAttr->SetInt("InterfacePtr", m_core.Handle());
  m_core.ID() = pFeature->GetID();
}

IGIS_ScaleBar::~IGIS_ScaleBar() {
  UnbindMapFrame();
  if (m_pScaleMarks != nullptr) m_pScaleMarks->Release();
  ReleaseSymbol(&m_pLabelSymbol);
  if (m_pFrameProperty != nullptr) m_pFrameProperty->Release();
  ReleaseNumericFormat(&m_pLatLonFormat);
  ReleaseNumericFormat(&m_pNumericFormat);
  ReleaseSymbol(&m_pUnitLabelSymbol);
}

void IGIS_ScaleBar::MarkNewFeature(const char* szType) {
  if (!m_bMadeFeature || m_core.m_pFeature == nullptr) return;
  if (IGIS_FeatureAttributes* pAttr = m_core.m_pFeature->GetAttributes()) {
    pAttr->SetInt("InterfacePtr", m_core.Handle());
    pAttr->SetString("TYPE", szType);
  }
  m_core.ID() = m_core.m_pFeature->GetID();
}

// Writes every key of the bar with its present value into the set, in
// stored order. A key the set lacks is added with its description, or with
// the key itself as description when bDescribe is false.
void IGIS_ScaleBar::PutKeys(IGIS_PropertySet* pSet, bool bDescribe) {
  auto d = [bDescribe](const char* szKey, const char* szDescription) {
    return bDescribe ? szDescription : szKey;
  };
  PutInt(pSet, "MapElementID", d("MapElementID", "地图ID"), m_nMapElementID);
  IGIS_DataBuffer* b = PutBuffer(pSet, "FrameProperty", d("FrameProperty", "地图框架的属性"));
  if (b != nullptr && m_pFrameProperty != nullptr) m_pFrameProperty->Save(b);
  PutDouble(pSet, "Division", d("Division", "单位长度"), m_dDivision);
  PutInt(pSet, "Divisions", d("Divisions", "刻度数"), m_nDivisions);
  PutInt(pSet, "ResizeHint", d("ResizeHint", "缩放暗示"), m_nResizeHint);
  PutInt(pSet, "SubDivisions", d("SubDivisions", "子刻度数"), m_nSubDivisions);
  PutBool(pSet, "DivisionsBeforeZero", d("DivisionsBeforeZero", "零前是否有分区"), m_bDivisionsBeforeZero);
  b = PutBuffer(pSet, "ScaleMarks", d("ScaleMarks", "分割标志"));
  if (b != nullptr && m_pScaleMarks != nullptr) m_pScaleMarks->Save(b);
  PutSymbol(pSet, "LabelSymbol", d("LabelSymbol", "标注的符号"), m_pLabelSymbol);
  SaveNumericFormat(m_pNumericFormat, PutBuffer(pSet, "NumericFormat", d("NumericFormat", "数字格式")));
  SaveNumericFormat(m_pLatLonFormat, PutBuffer(pSet, "LatLonFormat", d("LatLonFormat", "经纬度格式")));
  PutInt(pSet, "LabelFrequency", d("LabelFrequency", "标注的频率"), m_nLabelFrequency);
  PutInt(pSet, "LabelGap", d("LabelGap", "标注的间隔"), m_nLabelGap);
  PutInt(pSet, "LabelPosition", d("LabelPosition", "标注的位置"), m_nLabelPosition);
  PutSymbol(pSet, "UnitLabelSymbol", d("UnitLabelSymbol", "标注的符号"), m_pUnitLabelSymbol);
  PutInt(pSet, "UnitLabelGap", d("UnitLabelGap", "单位的间隔"), m_nUnitLabelGap);
  PutInt(pSet, "UnitLabelPosition", d("UnitLabelPosition", "单位的位置"), m_nUnitLabelPosition);
  PutInt(pSet, "Units", d("Units", "单位的类型"), m_nUnits);
  PutInt(pSet, "BarHeight", d("BarHeight", "比例尺的高度"), m_nBarHeight);
  PutInt(pSet, "BarWidth", d("BarWidth", "比例尺的宽度"), m_nBarWidth);
  PutDouble(pSet, "MapScale", d("MapScale", "比例尺的值"), m_dMapScale);
  PutInt(pSet, "BarX", d("BarX", "左下角点坐标X"), m_nBarX);
  PutInt(pSet, "BarY", d("BarY", "左下角点坐标Y"), m_nBarY);
  PutString(pSet, "UnitLabel", d("UnitLabel", "单位标注"), m_strUnitLabel.c_str());
}

// A new bar's stored set: every key with its description and default.
void IGIS_ScaleBar::WriteNewCustom(IGIS_Feature* pFeature) {
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  IGIS_PropertySet* pSet = GIS_CreatePropertySetObject();
  if (pAttr != nullptr && pSet != nullptr) {
    PutKeys(pSet, true);
    StoreCustomSet(pSet, pAttr);
  }
  if (pSet != nullptr) pSet->Release();
}

// ---- Element operations -----------------------------------------------------

const char* IGIS_ScaleBar::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_SCALEBR; }

void IGIS_ScaleBar::SetName(const char* szName) {
  if (szName == nullptr) {
    GIS_LOG(3, "IGIS_ScaleBar::SetName", "szName为NULL");
    return;
  }
  if (std::strcmp(szName, m_szName) == 0) return;
  md::layout::CopyUtf8Cut(m_szName, szName, GIS_ELEMENT_NAME_MAX);
}

BOOL IGIS_ScaleBar::CommitFeature(IGIS_Feature* pFeature, int nFlags) {
  IGIS_FeatureClass* pClass =
      m_core.m_pFeatureSet != nullptr ? m_core.m_pFeatureSet->GetFeatureClass() : nullptr;
  return pClass != nullptr && pFeature != nullptr ? pClass->UpdateFeature(pFeature, nFlags) : FALSE;
}

BOOL IGIS_ScaleBar::Archive(int nRead, int nArchiveOption) {
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(3, "IGIS_ScaleBar::Archive", "m_pFeature == NULL");
    return FALSE;
  }
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  if (pAttr == nullptr) return FALSE;
  IGIS_PropertySet* pSet = GIS_CreatePropertySetObject();
  if (pSet == nullptr) return FALSE;
  IGIS_DataBuffer* pStored = pAttr->GetDataBuffer("Custom");
  // Keys the bar does not know (the branches' symbols) survive a write.
  const bool bReadable = pStored == nullptr || pSet->Archive(pStored, GIS_ARCHIVE_READ, nArchiveOption);
  BOOL bResult = TRUE;
  if (nRead == 0) {
    pAttr->SetBool("IsLock", IsLock());
    pAttr->SetBool("KeepHVScaleRatio", GetHVScaleRatio());
    pAttr->SetInt("ElementOrder", GetOrder());
    pAttr->SetString("ElementName", m_szName);
    if (m_pNumericFormat == nullptr) m_pNumericFormat = NewNumericFormat(kNumericFormatPlain);
    PutKeys(pSet, false);
    bResult = StoreCustomSet(pSet, pAttr);
  } else if (!bReadable) {
    // A damaged stored form is not taken for an empty one.
    GIS_LOG(3, "IGIS_ScaleBar::Archive", "p_propertyset->Archive == FALSE");
    bResult = FALSE;
  } else {
    m_core.m_bLock = pAttr->GetBool("IsLock");
    m_core.m_bKeepHVScaleRatio = pAttr->GetBool("KeepHVScaleRatio");
    m_core.m_nOrder = pAttr->GetInt("ElementOrder");
    if (const char* szName = pAttr->GetString("ElementName")) SetName(szName);
    ReadInto(pSet, "MapElementID", &m_nMapElementID);
    if (m_nMapElementID >= 0) {
      IGIS_Element* pElement = m_core.m_pFeatureSet->GetElement(m_nMapElementID);
      if (pElement != nullptr && std::strcmp(pElement->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_MAP) == 0) {
        if (auto* pFrame = dynamic_cast<IGIS_MapElement*>(pElement)) BindMapFrame(pFrame);
      }
    }
    if (IGIS_DataBuffer* b = BufferOf(pSet, "FrameProperty")) {
      if (b->GetSize() == 0) {
        SetFrameProperty(nullptr);  // stored without a frame
      } else {
        if (m_pFrameProperty == nullptr) m_pFrameProperty = GIS_CreateFramePropertyObject();
        if (m_pFrameProperty != nullptr) m_pFrameProperty->Open(b);
      }
    }
    ReadInto(pSet, "Division", &m_dDivision);
    ReadInto(pSet, "Divisions", &m_nDivisions);
    ReadInto(pSet, "SubDivisions", &m_nSubDivisions);
    ReadInto(pSet, "DivisionsBeforeZero", &m_bDivisionsBeforeZero);
    ReadInto(pSet, "ResizeHint", &m_nResizeHint);
    if (IGIS_DataBuffer* b = BufferOf(pSet, "ScaleMarks")) {
      if (m_pScaleMarks != nullptr) m_pScaleMarks->Open(b);
    }
    ReadTextSymbol(pSet, "LabelSymbol", &m_pLabelSymbol);
    ReadInto(pSet, "LabelFrequency", &m_nLabelFrequency);
    ReadInto(pSet, "LabelGap", &m_nLabelGap);
    ReadInto(pSet, "LabelPosition", &m_nLabelPosition);
    ReadTextSymbol(pSet, "UnitLabelSymbol", &m_pUnitLabelSymbol);
    ReadInto(pSet, "UnitLabelGap", &m_nUnitLabelGap);
    ReadInto(pSet, "UnitLabelPosition", &m_nUnitLabelPosition);
    ReadInto(pSet, "Units", &m_nUnits);
    if (IGIS_DataBuffer* b = BufferOf(pSet, "NumericFormat")) {
      if (m_pNumericFormat == nullptr) m_pNumericFormat = NewNumericFormat(kNumericFormatPlain);
      OpenNumericFormat(m_pNumericFormat, b);
    }
    if (IGIS_DataBuffer* b = BufferOf(pSet, "LatLonFormat")) {
      if (m_pLatLonFormat == nullptr) m_pLatLonFormat = NewNumericFormat(kNumericFormatLatLon);
      OpenNumericFormat(m_pLatLonFormat, b);
    }
    ReadInto(pSet, "BarHeight", &m_nBarHeight);
    ReadInto(pSet, "BarWidth", &m_nBarWidth);
    ReadInto(pSet, "MapScale", &m_dMapScale);
    ReadInto(pSet, "BarX", &m_nBarX);
    ReadInto(pSet, "BarY", &m_nBarY);
    if (IGIS_Field* f = pSet->GetProperty("UnitLabel")) {
      const char* szLabel = f->GetString();
      AssignCut(m_strUnitLabel, szLabel != nullptr ? szLabel : "");
    }
  }
  pSet->Release();
  return bResult;
}

// ---- Settings -----------------------------------------------------------------

BOOL IGIS_ScaleBar::SetFrameProperty(IGIS_FrameProperty* pFrame) {
  if (pFrame != nullptr && pFrame == m_pFrameProperty) return FALSE;
  if (m_pFrameProperty != nullptr) m_pFrameProperty->Release();
  m_pFrameProperty = pFrame != nullptr ? pFrame->Clone() : nullptr;
  return TRUE;
}

void IGIS_ScaleBar::SetBarHeight(int nHeight) {
  if (nHeight < 1) return;
  if (std::strcmp(GetType(), GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE) == 0) return;
  m_nBarHeight = nHeight;
}

void IGIS_ScaleBar::SetDivision(double dDivision) {
  if (!(dDivision > 0.0) || !std::isfinite(dDivision)) return;
  const double r = m_dDivision / dDivision;
  const bool bRatio = r > 0.0 && std::isfinite(r);  // a stored division of 0 gives no ratio
  switch (m_nResizeHint) {
    case GIS_SCALEBAR_RESIZE_DIVISION:
      return;
    case GIS_SCALEBAR_RESIZE_DIVISIONS:
      if (bRatio) {
        m_nDivisions = ClampDivisions(Round(ClampDivisions(m_nDivisions) * r));
        if (GetMapElement() == nullptr) m_nBarWidth = Round(m_nBarWidth / r);
      }
      break;
    case GIS_SCALEBAR_RESIZE_WIDTH:
      if (bRatio) m_nBarWidth = Round(m_nBarWidth / r);
      break;
    default:
      break;
  }
  m_dDivision = dDivision;
}

void IGIS_ScaleBar::SetDivisions(int nDivisions) {
  if (nDivisions < 1) return;
  nDivisions = std::min(nDivisions, kMaxDivisions);
  if (m_nResizeHint == GIS_SCALEBAR_RESIZE_DIVISIONS) return;
  if (m_nResizeHint == GIS_SCALEBAR_RESIZE_DIVISION) {
    const double r = static_cast<double>(ClampDivisions(m_nDivisions)) / nDivisions;
    m_dDivision *= r;
    m_nBarWidth = Round(m_nBarWidth * r);
  }
  m_nDivisions = nDivisions;
}

void IGIS_ScaleBar::SetLabelFrequency(int nFrequency) {
  if (nFrequency >= GIS_SCALEBAR_LABELS_NONE && nFrequency <= GIS_SCALEBAR_LABELS_ALL_SUBDIVISIONS) {
    m_nLabelFrequency = nFrequency;
  }
}

void IGIS_ScaleBar::SetLabelGap(int nGap) { m_nLabelGap = nGap == INT32_MIN ? INT32_MAX : std::abs(nGap); }

void IGIS_ScaleBar::SetLabelSymbolPtr(IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) GIS_LOG(4, "IGIS_ScaleBar::SetLabelSymbolPtr", "left == NULL");
  KeepSymbolCopy(&m_pLabelSymbol, pSymbol, &IGIS_Symbol::GetTextPart);
}

void IGIS_ScaleBar::SetUnitLabelSymbolPtr(IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) GIS_LOG(4, "IGIS_ScaleBar::SetUnitLabelSymbolPtr", "left == NULL");
  KeepSymbolCopy(&m_pUnitLabelSymbol, pSymbol, &IGIS_Symbol::GetTextPart);
}

void IGIS_ScaleBar::SetNumericFormatPtr(IGIS_NumericFormat* pFormat) {
  if (pFormat == nullptr) GIS_LOG(3, "IGIS_ScaleBar::SetNumericFormatPtr", "right == NULL");
  KeepNumericFormatCopy(&m_pNumericFormat, pFormat);
}

void IGIS_ScaleBar::SetLatLonFormatPtr(IGIS_NumericFormat* pFormat) {
  if (pFormat == nullptr) GIS_LOG(3, "IGIS_ScaleBar::SetLatLonFormatPtr", "right == NULL");
  KeepNumericFormatCopy(&m_pLatLonFormat, pFormat);
}

void IGIS_ScaleBar::SetSubDivisions(int nSubDivisions) { m_nSubDivisions = std::max(nSubDivisions, 1); }

void IGIS_ScaleBar::SetUnitLabel(const char* szLabel) {
  if (szLabel == nullptr) {
    GIS_LOG(3, "IGIS_ScaleBar::SetUnitLabel", "left为NULL");
    return;
  }
  if (m_strUnitLabel == szLabel) return;
  AssignCut(m_strUnitLabel, szLabel);
}

void IGIS_ScaleBar::SetUnitLabelPosition(int nPosition) {
  if (nPosition >= GIS_SCALEBAR_UNIT_ABOVE && nPosition <= GIS_SCALEBAR_UNIT_BELOW)
    m_nUnitLabelPosition = nPosition;
}

void IGIS_ScaleBar::SetUnits(int nUnits) {
  if (nUnits < 0) return;
  const int n = LinearUnitCount();
  if (nUnits < n + 2) {
    m_nUnits = nUnits;
    return;
  }
  if (MapHasNoUnit(GetMapElement())) m_nUnits = n + 1;
}

void IGIS_ScaleBar::SetScaleMarks(IGIS_ScaleMarks* pMarks) {
  if (pMarks != nullptr && pMarks == m_pScaleMarks) return;
  if (m_pScaleMarks != nullptr) m_pScaleMarks->Release();
  m_pScaleMarks = pMarks != nullptr ? pMarks->Clone() : nullptr;
}

void IGIS_ScaleBar::SetResizeHint(int nHint) {
  if (nHint >= GIS_SCALEBAR_RESIZE_WIDTH && nHint <= GIS_SCALEBAR_RESIZE_DIVISIONS) m_nResizeHint = nHint;
}

// ---- The map frame --------------------------------------------------------------

IGIS_MapElement* IGIS_ScaleBar::GetMapElement() {
  // A frame destroyed without its deletion notice resolves to nothing.
  return dynamic_cast<IGIS_MapElement*>(GIS_ResolveElement(m_nMapHandle));
}

void IGIS_ScaleBar::BindMapFrame(IGIS_MapElement* pFrame) {
  if (pFrame == GetMapElement()) return;
  UnbindMapFrame();
  m_nMapHandle = GIS_GetElementHandle(pFrame);
  if (m_nMapHandle != 0) pFrame->Attach(this, 0);
}

void IGIS_ScaleBar::UnbindMapFrame() {
  if (IGIS_MapElement* pFrame = GetMapElement()) pFrame->Detach(this, 0);
  m_nMapHandle = 0;
}

void IGIS_ScaleBar::SetMapElement(IGIS_MapElement* pMapElement) {
  IGIS_MapElement* pBound = GetMapElement();
  if (pMapElement == pBound) return;
  if (pMapElement == nullptr) {
    UnbindMapFrame();
    m_nMapElementID = -100;
    return;
  }
  BindMapFrame(pMapElement);
  m_nMapElementID = pMapElement->GetID();
}

void IGIS_ScaleBar::Update(const char* szMessage, int /*nArgument*/, IGIS_Element* pSender) {
  IGIS_MapElement* pFrame = GetMapElement();
  if (pFrame == nullptr || szMessage == nullptr) return;
  if (std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAP_DEL) == 0) {
    if (pSender != nullptr && pSender->GetID() == pFrame->GetID()) UnbindMapFrame();
    return;
  }
  const bool bReference = std::strcmp(szMessage, GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED) == 0;
  const bool bScale = std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAP_SCALE_CHANGED) == 0;
  if ((!bReference && !bScale) || pFrame->GetMap() == nullptr) return;
  if (bReference) {
    if (MapHasNoUnit(pFrame)) m_nUnits = LinearUnitCount() + 2;
  } else {
    const double dOld = m_dMapScale;
    m_dMapScale = pFrame->GetScale();
    // Without a known previous scale there is no ratio to carry over.
    const double r = m_dMapScale / dOld;
    if (dOld != 0.0 && std::isfinite(r)) {
      if (m_nResizeHint == GIS_SCALEBAR_RESIZE_DIVISION) {
        m_dDivision *= r;
      } else if (m_nResizeHint == GIS_SCALEBAR_RESIZE_DIVISIONS) {
        m_nDivisions = ClampDivisions(Round(ClampDivisions(m_nDivisions) * r));
      }
    }
  }
  Refresh();
}

// ---- Copying ----------------------------------------------------------------------

IGIS_ScaleBar* IGIS_ScaleBar::CopyFrom(IGIS_ScaleBar* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  SetHVScaleRatio(pOther->GetHVScaleRatio());
  SetLock(pOther->IsLock());
  SetOrder(pOther->GetOrder());
  m_dDivision = pOther->m_dDivision;
  m_nDivisions = pOther->m_nDivisions;
  m_bDivisionsBeforeZero = pOther->m_bDivisionsBeforeZero;
  m_nLabelFrequency = pOther->m_nLabelFrequency;
  m_nLabelGap = pOther->m_nLabelGap;
  m_nLabelPosition = pOther->m_nLabelPosition;
  m_nMapHandle = pOther->m_nMapHandle;  // taken over, not attached
  m_nBarHeight = pOther->m_nBarHeight;
  if (pOther->m_pLatLonFormat != nullptr) SetLatLonFormatPtr(pOther->m_pLatLonFormat);
  if (pOther->m_pNumericFormat != nullptr) SetNumericFormatPtr(pOther->m_pNumericFormat);
  if (pOther->m_pLabelSymbol != nullptr) SetLabelSymbolPtr(pOther->m_pLabelSymbol);
  if (pOther->m_pUnitLabelSymbol != nullptr) SetUnitLabelSymbolPtr(pOther->m_pUnitLabelSymbol);
  m_nSubDivisions = pOther->m_nSubDivisions;
  m_nUnitLabelGap = pOther->m_nUnitLabelGap;
  m_nUnitLabelPosition = pOther->m_nUnitLabelPosition;
  m_nUnits = pOther->m_nUnits;
  SetScaleMarks(pOther->m_pScaleMarks);
  SetFrameProperty(pOther->m_pFrameProperty);
  m_nResizeHint = pOther->m_nResizeHint;
  m_strUnitLabel = pOther->m_strUnitLabel;
  // The rest of what the other bar stores, so that a copy stores the same.
  m_nMapElementID = pOther->m_nMapElementID;
  m_nBarWidth = pOther->m_nBarWidth;
  m_dMapScale = pOther->m_dMapScale;
  m_nBarX = pOther->m_nBarX;
  m_nBarY = pOther->m_nBarY;
  SetName(pOther->GetName());
  return this;
}

// ---- Geometry -----------------------------------------------------------------------

SGIS_Rect IGIS_ScaleBar::GetRect() {
  SGIS_Rect r(0, 0, 0, 0);
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(3, "IGIS_ScaleBar::GetRect", "m_pFeature == NULL");
    return r;
  }
  pFeature->GetBound(&r, 1, 0);
  return r;
}

void IGIS_ScaleBar::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  if (rect.Width() <= 1 || rect.Height() <= 1) return;
  SetLBpoint(SGIS_Point(rect.left, rect.bottom, 0));
  SetWidthAndHeight(rect.Width(), rect.Height());
}

void IGIS_ScaleBar::SetLBpoint(SGIS_Point point) {
  const SGIS_Rect r = GetRect();
  OffsetAllPoints(md::layout::shapes::SubClamped(point.x, r.left),
                  md::layout::shapes::SubClamped(point.y, r.bottom));
}

void IGIS_ScaleBar::OffsetAllPoints(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(3, "IGIS_ScaleBar::OffsetAllPoints", "m_pFeature == NULL");
    return;
  }
  const SGIS_Rect r = md::layout::shapes::OffsetBox(GetRect(), dx, dy);
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) pGeometry->SetRect(r, 0);
  CommitFeature(pFeature, GIS_UPDATE_GEOMETRY);
}

void IGIS_ScaleBar::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth <= 0 || nHeight <= 0) return;
  if (GetFeaturePtr() == nullptr) {
    GIS_LOG(3, "IGIS_ScaleBar::SetWidthAndHeight", "m_pFeature == NULL");
    return;
  }
  const SGIS_Rect r = GetRect();
  const int w = r.Width();
  const int h = r.Height();
  if (nWidth == w && nHeight == h) return;
  double sx = w != 0 ? static_cast<double>(nWidth) / w : 1.0;
  double sy = h != 0 ? static_cast<double>(nHeight) / h : 1.0;
  if (GetHVScaleRatio()) sx = sy = md::layout::shapes::KeepRatioFactor(sx, sy);
  ScaleShape(SGIS_Point(r.left, r.bottom, 0), sx, sy);
}

void IGIS_ScaleBar::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(3, "IGIS_ScaleBar::ScaleShape", "m_pFeature == NULL");
    return;
  }
  const SGIS_Rect scaled = md::layout::shapes::ScaleBox(GetRect(), origin, sx, sy, GetHVScaleRatio());
  if (GetHVScaleRatio()) sx = sy = std::min(sx, sy);
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) {
    pGeometry->SetRect(scaled, 0);
    CommitFeature(pFeature, GIS_UPDATE_GEOMETRY);
  }
  if (m_nUnitLabelPosition == GIS_SCALEBAR_UNIT_ABOVE || m_nUnitLabelPosition == GIS_SCALEBAR_UNIT_BELOW) {
    m_nUnitLabelGap = Round(m_nUnitLabelGap * sy);
  } else if (m_nUnitLabelPosition >= GIS_SCALEBAR_UNIT_BEFORE_LABELS &&
             m_nUnitLabelPosition <= GIS_SCALEBAR_UNIT_AFTER_BAR) {
    m_nUnitLabelGap = Round(m_nUnitLabelGap * sx);
  }
  if (m_nResizeHint == GIS_SCALEBAR_RESIZE_DIVISION) {
    m_dDivision *= sx;
    if (GetMapElement() == nullptr) m_nBarWidth = Round(m_nBarWidth * sx);
  } else if (m_nResizeHint == GIS_SCALEBAR_RESIZE_DIVISIONS) {
    m_nDivisions = ClampDivisions(Round(m_nDivisions * sx));
  }
  m_nLabelGap = Round(m_nLabelGap * sy);
  m_nBarHeight = Round(m_nBarHeight * sy);
  ScaleTextHeight(m_pLabelSymbol, sy);
  ScaleTextHeight(m_pUnitLabelSymbol, sy);
  if (m_pScaleMarks != nullptr) {
    m_pScaleMarks->SetDivisionMarkHeight(Round(m_pScaleMarks->GetDivisionMarkHeight() * sy));
    m_pScaleMarks->SetSubdivisionMarkHeight(Round(m_pScaleMarks->GetSubdivisionMarkHeight() * sy));
  }
}

// ---- Property sheet -----------------------------------------------------------------

BOOL IGIS_ScaleBar::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithFramePages) {
  return m_core.OpenPropertySheet(pDisplay, "图形比例尺属性", "p_element == NULL", bWithFramePages);
}
