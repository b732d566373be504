// What every scale bar keeps and does: construction, settings and their
// rules, the stored form (FORMAT.md), following a map frame, moving and
// resizing. Made for the two branches of bars at the end of this file.
#include "layout/graphicelement/scalebar/cgis_scalebarbase.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/scalebar/cgis_scalemarks.h"
#include "layout/graphicelement/scalebar/igis_doublefillscalebar.h"
#include "layout/graphicelement/scalebar/igis_scaleline.h"
#include "layout/graphicelement/scalebar/scalebarbody.h"
#include "layout/graphicelement/scalebar/scalebardraw.h"
#include "layout/graphicelement/scalebar/scalebarformats.h"
#include "layout/graphicelement/scalebar/scalebarsymbols.h"
#include "layout/graphicelement/shapes/shapebox.h"

using namespace md::layout::detail;

namespace {

constexpr int kFeatureKind = GIS_FEATURE_KIND_RECTANGLE;
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

using md::layout::CustomSetWriter;
using md::layout::StoredSetView;

md::layout::SGIS_CustomKey KeyOf(const char* szKey, const char* szDescription, int nType) {
  return md::layout::SGIS_CustomKey{szKey, nType, szDescription, szDescription};
}

// The bar's keys given to the writer that merges them into the stored set.
struct MergingSink {
  CustomSetWriter& set;
  void Int(const char* k, const char* d, int v) { set.Int(KeyOf(k, d, GIS_FIELD_TYPE_INT), v); }
  void Double(const char* k, const char* d, double v) { set.Double(KeyOf(k, d, GIS_FIELD_TYPE_DOUBLE), v); }
  void Bool(const char* k, const char* d, bool v) { set.Bool(KeyOf(k, d, GIS_FIELD_TYPE_BOOL), v); }
  void String(const char* k, const char* d, const char* v) {
    set.String(KeyOf(k, d, GIS_FIELD_TYPE_STRING), v);
  }
  template <class TSave>
  void Saved(const char* k, const char* d, TSave save) {
    set.Saved(KeyOf(k, d, GIS_FIELD_TYPE_BUFFER), save);
  }
};

// The bar's keys written into a new set, nested values saved in place.
struct NewSetSink {
  md::layout::StoredSetWriter& set;
  void Int(const char* k, const char* d, int v) { set.Int(k, d, v); }
  void Double(const char* k, const char* d, double v) { set.Double(k, d, v); }
  void Bool(const char* k, const char* d, bool v) { set.Bool(k, d, v); }
  void String(const char* k, const char* d, const char* v) { set.String(k, d, v); }
  template <class TSave>
  void Saved(const char* k, const char* d, TSave save) {
    set.SavedInPlace(k, d, save);
  }
};

template <class TSink>
void PutSymbol(TSink& set, const char* szKey, const char* szDescription, IGIS_Symbol* pSymbol) {
  set.Saved(szKey, szDescription, [pSymbol](IGIS_DataBuffer* b) {
    if (pSymbol != nullptr) pSymbol->Save(b);
  });
}

// The two stored sets hold the same keys with the same descriptions and
// types, in the same order (their values may differ).
bool SameLayout(std::span<const BYTE> a, std::span<const BYTE> b) {
  std::vector<md::basilo::StoredFieldView> fa;
  std::vector<md::basilo::StoredFieldView> fb;
  std::string error;
  if (!md::basilo::DecodePropertySetViews(a.data(), a.size(), &fa, &error) ||
      !md::basilo::DecodePropertySetViews(b.data(), b.size(), &fb, &error) || fa.size() != fb.size())
    return false;
  for (std::size_t i = 0; i < fa.size(); ++i) {
    if (fa[i].type != fb[i].type || fa[i].key != fb[i].key || fa[i].description != fb[i].description)
      return false;
  }
  return true;
}

template <class T>
void ReadInto(const StoredSetView& set, const char* szKey, T* pValue) {
  set.Read(szKey, pValue);
}

// The stored bytes of the key in a buffer, valid until the next lookup.
IGIS_DataBuffer* BufferOf(const StoredSetView& set, const char* szKey) { return set.Buffer(szKey); }

// A text symbol stored under the key replaces the held one (its text part);
// a missing key or a symbol of another kind keeps it. True, with the stored
// bytes it was made from, when it was replaced.
bool ReadTextSymbol(const StoredSetView& set, const char* szKey, md::basilo::ReleasePtr<IGIS_Symbol>* pHeld,
                    std::span<const BYTE>* pFrom) {
  const md::basilo::StoredFieldView* pField = set.Find(szKey);
  if (pField == nullptr) return false;
  if (!AdoptSymbol(pHeld, GetSymbolFromStored(pField, szKey), &IGIS_Symbol::GetTextPart)) return false;
  *pFrom = pField->bytes;
  return true;
}

// A number format stored under the key is read into the held one (made
// when missing); a missing key or a damaged form keeps it. True, with the
// stored bytes it was read from, when it took them.
bool ReadNumericFormat(const StoredSetView& set, const char* szKey, int nKind,
                       md::basilo::ReleasePtr<IGIS_NumericFormat>* pHeld, std::span<const BYTE>* pFrom) {
  const std::span<const BYTE>* pBytes = set.Bytes(szKey);
  IGIS_DataBuffer* b = pBytes != nullptr ? set.Buffer(szKey) : nullptr;
  if (b == nullptr) return false;
  if (!*pHeld) pHeld->reset(NewNumericFormat(nKind));
  if (!OpenNumericFormat(pHeld->get(), b)) return false;
  *pFrom = *pBytes;
  return true;
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

// Whether the bar's width follows the frame's map scale (Refresh sets it);
// otherwise it is the bar's own and follows its edits.
bool WidthFollowsMap(IGIS_MapElement* pFrame) { return pFrame != nullptr && pFrame->GetMap() != nullptr; }

bool MapHasNoUnit(IGIS_MapElement* pFrame) {
  IGIS_Map* pMap = pFrame != nullptr ? pFrame->GetMap() : nullptr;
  IGIS_SpatialReference* pReference = pMap != nullptr ? pMap->GetSpatialReference() : nullptr;
  return pReference != nullptr && pReference->GetKind() == GIS_SPATIALREFERENCE_NONE;
}

}  // namespace

// ---- Construction ---------------------------------------------------------

template <class TInterface>
CGIS_ScaleBarBase<TInterface>::CGIS_ScaleBarBase(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature,
                                                 const char* szType)
    : CGIS_ElementImpl<TInterface>("IGIS_ScaleBar", "图形比例尺") {
  if (pOwner == nullptr) return;
  m_pScaleMarks.reset(md::basilo::MakeOrNull<CGIS_ScaleMarks>("IGIS_ScaleBar::IGIS_ScaleBar"));
  m_pFrameProperty.reset(GIS_CreateFramePropertyObject());
  m_pLabelSymbol.reset(NewTextSymbol(6));
  m_pUnitLabelSymbol.reset(NewTextSymbol(10));
  m_pNumericFormat.reset(NewNumericFormat(kNumericFormatPlain));
  m_pLatLonFormat.reset(NewNumericFormat(kNumericFormatLatLon));
  m_strUnitLabel = "米";
  SGIS_ElementBindOptions options;
  options.szType = szType;
  options.nKind = kFeatureKind;
  options.nLockOnNew = 0;
  options.nCanConvert = 0;
  options.szNoFeature = "建立Feature失败 pFeature == NULL";
  if (this->m_core.Bind(pOwner, pFeature, options) != CGIS_ElementCore::Binding::Created) return;
  m_bMadeFeature = true;
  WriteNewCustom(this->m_core.m_pFeature);
  // Laid out at once, so that a new bar is stored with the rectangle and
  // bar place that reading it gives.
  CGIS_ScaleBarBase::Refresh();
}

template <class TInterface>
CGIS_ScaleBarBase<TInterface>::~CGIS_ScaleBarBase() = default;

// Writes every key of the bar with its present value into the set, in
// stored order. A key the set lacks is added with its description, or with
// the key itself as description when bDescribe is false.
template <class TInterface>
template <class TSink>
void CGIS_ScaleBarBase<TInterface>::PutKeys(TSink& set, bool bDescribe) {
  auto d = [bDescribe](const char* szKey, const char* szDescription) {
    return bDescribe ? szDescription : szKey;
  };
  set.Int("MapElementID", d("MapElementID", "地图ID"), m_link.GetMapElementID());
  set.Saved("FrameProperty", d("FrameProperty", "地图框架的属性"), [this](IGIS_DataBuffer* b) {
    if (m_pFrameProperty) m_pFrameProperty->Save(b);
  });
  set.Double("Division", d("Division", "单位长度"), m_dDivision);
  set.Int("Divisions", d("Divisions", "刻度数"), m_nDivisions);
  set.Int("ResizeHint", d("ResizeHint", "缩放暗示"), m_nResizeHint);
  set.Int("SubDivisions", d("SubDivisions", "子刻度数"), m_nSubDivisions);
  set.Bool("DivisionsBeforeZero", d("DivisionsBeforeZero", "零前是否有分区"), m_bDivisionsBeforeZero);
  set.Saved("ScaleMarks", d("ScaleMarks", "分割标志"), [this](IGIS_DataBuffer* b) {
    if (m_pScaleMarks) m_pScaleMarks->Save(b);
  });
  PutSymbol(set, "LabelSymbol", d("LabelSymbol", "标注的符号"), m_pLabelSymbol.get());
  set.Saved("NumericFormat", d("NumericFormat", "数字格式"),
            [this](IGIS_DataBuffer* b) { SaveNumericFormat(m_pNumericFormat.get(), b); });
  set.Saved("LatLonFormat", d("LatLonFormat", "经纬度格式"),
            [this](IGIS_DataBuffer* b) { SaveNumericFormat(m_pLatLonFormat.get(), b); });
  set.Int("LabelFrequency", d("LabelFrequency", "标注的频率"), m_nLabelFrequency);
  set.Int("LabelGap", d("LabelGap", "标注的间隔"), m_nLabelGap);
  set.Int("LabelPosition", d("LabelPosition", "标注的位置"), m_nLabelPosition);
  PutSymbol(set, "UnitLabelSymbol", d("UnitLabelSymbol", "标注的符号"), m_pUnitLabelSymbol.get());
  set.Int("UnitLabelGap", d("UnitLabelGap", "单位的间隔"), m_nUnitLabelGap);
  set.Int("UnitLabelPosition", d("UnitLabelPosition", "单位的位置"), m_nUnitLabelPosition);
  set.Int("Units", d("Units", "单位的类型"), m_nUnits);
  set.Int("BarHeight", d("BarHeight", "比例尺的高度"), m_nBarHeight);
  set.Int("BarWidth", d("BarWidth", "比例尺的宽度"), m_nBarWidth);
  set.Double("MapScale", d("MapScale", "比例尺的值"), m_dMapScale);
  set.Int("BarX", d("BarX", "左下角点坐标X"), m_nBarX);
  set.Int("BarY", d("BarY", "左下角点坐标Y"), m_nBarY);
  set.String("UnitLabel", d("UnitLabel", "单位标注"), m_strUnitLabel.c_str());
}

// The stored set written whole, when it holds just the keys of a new bar
// with its body, in their order, with their descriptions and types: what
// the merging write gives then, without matching key by key. False leaves
// the stored set to the merging write.
template <class TInterface>
bool CGIS_ScaleBarBase<TInterface>::WriteWhole(IGIS_FeatureAttributes* pAttr, const BodySymbols* pBody) {
  IGIS_DataBuffer* pCustom = pAttr->GetDataBuffer("Custom");
  const std::span<const BYTE> stored = md::layout::BufferBytes(pCustom);
  if (stored.empty()) return false;
  md::layout::StoredSetWriter set;
  set.Reserve(stored.size() + 256);
  NewSetSink sink{set};
  PutKeys(sink, true);
  for (int i = 0; pBody != nullptr && i < pBody->nCount; ++i)
    PutSymbol(sink, pBody->pKeys[i].szKey, pBody->pKeys[i].szDescription, pBody->pKeys[i].pSymbol);
  const std::span<const BYTE> bytes = set.Finished();
  if (bytes.empty()) return false;
  if (bytes.size() == stored.size() && std::memcmp(bytes.data(), stored.data(), bytes.size()) == 0)
    return true;
  if (!SameLayout(bytes, stored) || !pCustom->SetSize(static_cast<int>(bytes.size())) ||
      pCustom->GetData() == nullptr)
    return false;
  std::memcpy(pCustom->GetData(), bytes.data(), bytes.size());
  return true;
}

// A new bar's stored set: every key with its description and default.
template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::WriteNewCustom(IGIS_Feature* pFeature) {
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  if (pAttr == nullptr) return;
  CustomSetWriter set(pAttr, "IGIS_ScaleBar::IGIS_ScaleBar");
  MergingSink sink{set};
  PutKeys(sink, true);
  set.Finish();
}

// ---- Element operations -----------------------------------------------------

template <class TInterface>
const char* CGIS_ScaleBarBase<TInterface>::GetType() {
  return GIS_TYPE_GRAPHIC_ELEMENT_SCALEBR;
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetName(const char* szName) {
  if (szName == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_ScaleBar::SetName", "szName为NULL");
    return;
  }
  if (std::strcmp(szName, this->GetName()) != 0) this->m_core.SetName(szName);
}

template <class TInterface>
BOOL CGIS_ScaleBarBase<TInterface>::CommitFeature(IGIS_Feature* pFeature, int nFlags) {
  IGIS_FeatureSet* pOwner = this->m_core.m_pFeatureSet;
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  return pClass != nullptr && pFeature != nullptr ? pClass->UpdateFeature(pFeature, nFlags) : FALSE;
}

template <class TInterface>
BOOL CGIS_ScaleBarBase<TInterface>::Archive(int nRead, int /*nArchiveOption*/) {
  return ArchiveStored(nRead, nullptr);
}

template <class TInterface>
BOOL CGIS_ScaleBarBase<TInterface>::ArchiveWithBody(int nRead, const BodySymbols& body) {
  return ArchiveStored(nRead, &body);
}

template <class TInterface>
BOOL CGIS_ScaleBarBase<TInterface>::ArchiveStored(int nRead, const BodySymbols* pBody) {
  IGIS_Feature* pFeature = this->m_core.RequireFeature("Archive");
  if (pFeature == nullptr) {
    if (pBody != nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, pBody->szMethod, "m_pFeature == NULL");
    return FALSE;
  }
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  if (pAttr == nullptr) return FALSE;
  // The keys are read and written in place; keys the bar does not know
  // survive a write.
  if (nRead == 0) {
    pAttr->SetBool("IsLock", this->IsLock());
    pAttr->SetBool("KeepHVScaleRatio", this->GetHVScaleRatio());
    pAttr->SetInt("ElementOrder", this->GetOrder());
    pAttr->SetString("ElementName", this->GetName());
    if (!m_pNumericFormat) m_pNumericFormat.reset(NewNumericFormat(kNumericFormatPlain));
    bool bStored = WriteWhole(pAttr, pBody);
    if (!bStored) {
      CustomSetWriter set(pAttr, "IGIS_ScaleBar::Archive");
      MergingSink sink{set};
      PutKeys(sink, false);
      if (pBody != nullptr) PutBodySymbols(set, *pBody);
      bStored = set.Finish();
    }
    if (pBody == nullptr) return bStored ? TRUE : FALSE;
    // The branch commits the whole feature.
    IGIS_FeatureClass* pClass =
        this->GetFeatureSetPtr() != nullptr ? this->GetFeatureSetPtr()->GetFeatureClass() : nullptr;
    const bool bCommitted = pClass != nullptr && pClass->UpdateFeature(pFeature, GIS_UPDATE_ALL);
    if (!bStored || !bCommitted) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, pBody->szMethod, "b_ret == NULL");
      return FALSE;
    }
    return TRUE;
  }
  const StoredSetView set(pAttr->GetDataBuffer("Custom"));
  if (set.Damaged()) {
    // A damaged stored form is not taken for an empty one; the branch
    // refuses it too, with its own records.
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_ScaleBar::Archive", "p_propertyset->Archive == FALSE");
    if (pBody != nullptr) {
      const StoredSetView again(pAttr->GetDataBuffer("Custom"));
      GIS_LOG(GIS_LOG_LEVEL_CHECK, pBody->szMethod, "p_propertyset->Archive == FALSE");
    }
    return FALSE;
  }
  const StoredSetView* pSet = &set;
  this->m_core.m_bLock = pAttr->GetBool("IsLock");
  this->m_core.m_bKeepHVScaleRatio = pAttr->GetBool("KeepHVScaleRatio");
  this->m_core.m_nOrder = pAttr->GetInt("ElementOrder");
  if (const char* szName = pAttr->GetString("ElementName")) SetName(szName);
  int nMapElementID = m_link.GetMapElementID();
  ReadInto(*pSet, "MapElementID", &nMapElementID);
  m_link.SetMapElementID(nMapElementID);
  m_link.Relink(this->m_core.m_pFeatureSet);
  if (const std::span<const BYTE>* b = pSet->Bytes("FrameProperty")) {
    if (b->empty()) {
      SetFrameProperty(nullptr);  // stored without a frame
    } else {
      if (!m_pFrameProperty) m_pFrameProperty.reset(GIS_CreateFramePropertyObject());
      // Ours reads the stored bytes in place; another is given a copy.
      if (auto* pOwn = dynamic_cast<CGIS_FrameProperty*>(m_pFrameProperty.get())) {
        pOwn->OpenStored(*b);
      } else if (m_pFrameProperty) {
        m_pFrameProperty->Open(BufferOf(*pSet, "FrameProperty"));
      }
    }
  }
  // In the stored order, so that each key is found where the last one ended.
  ReadInto(*pSet, "Division", &m_dDivision);
  ReadInto(*pSet, "Divisions", &m_nDivisions);
  ReadInto(*pSet, "ResizeHint", &m_nResizeHint);
  ReadInto(*pSet, "SubDivisions", &m_nSubDivisions);
  ReadInto(*pSet, "DivisionsBeforeZero", &m_bDivisionsBeforeZero);
  if (const std::span<const BYTE>* b = pSet->Bytes("ScaleMarks")) {
    if (auto* pOwn = dynamic_cast<CGIS_ScaleMarks*>(m_pScaleMarks.get())) {
      pOwn->OpenStored(*b);
    } else if (m_pScaleMarks) {
      m_pScaleMarks->Open(BufferOf(*pSet, "ScaleMarks"));
    }
  }
  // Whether the text symbols and number formats the layout measures with
  // were all read whole from the stored bytes (the memo of read layouts is
  // keyed by those bytes).
  ReadLayoutForms forms;
  bool bFormsRead = ReadTextSymbol(*pSet, "LabelSymbol", &m_pLabelSymbol, &forms.labelSymbol);
  bFormsRead &=
      ReadNumericFormat(*pSet, "NumericFormat", kNumericFormatPlain, &m_pNumericFormat, &forms.numericFormat);
  bFormsRead &=
      ReadNumericFormat(*pSet, "LatLonFormat", kNumericFormatLatLon, &m_pLatLonFormat, &forms.latLonFormat);
  ReadInto(*pSet, "LabelFrequency", &m_nLabelFrequency);
  ReadInto(*pSet, "LabelGap", &m_nLabelGap);
  ReadInto(*pSet, "LabelPosition", &m_nLabelPosition);
  bFormsRead &= ReadTextSymbol(*pSet, "UnitLabelSymbol", &m_pUnitLabelSymbol, &forms.unitLabelSymbol);
  ReadInto(*pSet, "UnitLabelGap", &m_nUnitLabelGap);
  ReadInto(*pSet, "UnitLabelPosition", &m_nUnitLabelPosition);
  ReadInto(*pSet, "Units", &m_nUnits);
  ReadInto(*pSet, "BarHeight", &m_nBarHeight);
  ReadInto(*pSet, "BarWidth", &m_nBarWidth);
  ReadInto(*pSet, "MapScale", &m_dMapScale);
  ReadInto(*pSet, "BarX", &m_nBarX);
  ReadInto(*pSet, "BarY", &m_nBarY);
  if (std::string label; pSet->Read("UnitLabel", &label)) AssignCut(m_strUnitLabel, label.c_str());
  if (pBody != nullptr) {
    ReadBodySymbols(*pSet, *pBody);
    if (IGIS_MapElement* pFrame = GetMapElement(); pFrame != nullptr && pFrame->GetMap() == nullptr) {
      // A frame that shows no map gives no scale to lay the bar out at: the
      // stored layout stands, and is what an unedited sheet lays out again.
      const SGIS_Rect rect = GetRect();
      m_layout.Keep(
          *this, pFrame, m_nBarWidth, bFormsRead ? &forms : nullptr,
          BarExtent{m_nBarX, m_nBarY, static_cast<double>(rect.Width()), static_cast<double>(rect.Height())});
    } else {
      // Through the bar's own Refresh, which the base's serves with the forms.
      m_pReadForms = bFormsRead ? &forms : nullptr;
      this->Refresh();
      m_pReadForms = nullptr;
    }
  }
  return TRUE;
}

// ---- Settings -----------------------------------------------------------------

template <class TInterface>
BOOL CGIS_ScaleBarBase<TInterface>::SetFrameProperty(IGIS_FrameProperty* pFrame) {
  if (pFrame != nullptr && pFrame == m_pFrameProperty.get()) return FALSE;
  m_pFrameProperty.reset(pFrame != nullptr ? pFrame->Clone() : nullptr);
  return TRUE;
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetBarHeight(int nHeight) {
  if (nHeight < 1) return;
  if (std::strcmp(this->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE) == 0) return;
  m_nBarHeight = nHeight;
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetDivision(double dDivision) {
  if (!(dDivision > 0.0) || !std::isfinite(dDivision)) return;
  const double r = m_dDivision / dDivision;
  const bool bRatio = r > 0.0 && std::isfinite(r);  // a stored division of 0 gives no ratio
  switch (m_nResizeHint) {
    case GIS_SCALEBAR_RESIZE_DIVISION:
      return;
    case GIS_SCALEBAR_RESIZE_DIVISIONS:
      if (bRatio) {
        m_nDivisions = ClampDivisions(Round(ClampDivisions(m_nDivisions) * r));
        if (!WidthFollowsMap(GetMapElement())) m_nBarWidth = Round(m_nBarWidth / r);
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

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetDivisions(int nDivisions) {
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

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetLabelFrequency(int nFrequency) {
  if (nFrequency >= GIS_SCALEBAR_LABELS_NONE && nFrequency <= GIS_SCALEBAR_LABELS_ALL_SUBDIVISIONS) {
    m_nLabelFrequency = nFrequency;
  }
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetLabelGap(int nGap) {
  m_nLabelGap = nGap == INT32_MIN ? INT32_MAX : std::abs(nGap);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetLabelSymbolPtr(IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr) GIS_LOG(GIS_LOG_LEVEL_SYMBOL, "IGIS_ScaleBar::SetLabelSymbolPtr", "left == NULL");
  KeepSymbolCopy(&m_pLabelSymbol, pSymbol, &IGIS_Symbol::GetTextPart);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetUnitLabelSymbolPtr(IGIS_Symbol* pSymbol) {
  if (pSymbol == nullptr)
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, "IGIS_ScaleBar::SetUnitLabelSymbolPtr", "left == NULL");
  KeepSymbolCopy(&m_pUnitLabelSymbol, pSymbol, &IGIS_Symbol::GetTextPart);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetNumericFormatPtr(IGIS_NumericFormat* pFormat) {
  if (pFormat == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_ScaleBar::SetNumericFormatPtr", "right == NULL");
  KeepNumericFormatCopy(&m_pNumericFormat, pFormat);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetLatLonFormatPtr(IGIS_NumericFormat* pFormat) {
  if (pFormat == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_ScaleBar::SetLatLonFormatPtr", "right == NULL");
  KeepNumericFormatCopy(&m_pLatLonFormat, pFormat);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetSubDivisions(int nSubDivisions) {
  m_nSubDivisions = std::max(nSubDivisions, 1);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetUnitLabel(const char* szLabel) {
  if (szLabel == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_ScaleBar::SetUnitLabel", "left为NULL");
    return;
  }
  if (m_strUnitLabel == szLabel) return;
  AssignCut(m_strUnitLabel, szLabel);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetUnitLabelPosition(int nPosition) {
  if (nPosition >= GIS_SCALEBAR_UNIT_ABOVE && nPosition <= GIS_SCALEBAR_UNIT_BELOW)
    m_nUnitLabelPosition = nPosition;
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetUnits(int nUnits) {
  if (nUnits < 0) return;
  const int n = LinearUnitCount();
  if (nUnits < n + 2) {
    m_nUnits = nUnits;
    return;
  }
  if (MapHasNoUnit(GetMapElement())) m_nUnits = n + 1;
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetScaleMarks(IGIS_ScaleMarks* pMarks) {
  if (pMarks != nullptr && pMarks == m_pScaleMarks.get()) return;
  m_pScaleMarks.reset(pMarks != nullptr ? pMarks->Clone() : nullptr);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetResizeHint(int nHint) {
  if (nHint >= GIS_SCALEBAR_RESIZE_WIDTH && nHint <= GIS_SCALEBAR_RESIZE_DIVISIONS) m_nResizeHint = nHint;
}

// ---- Layout, drawing and conversion: the shared part (scalebardraw.h) ------------

template <class TInterface>
int CGIS_ScaleBarBase<TInterface>::GetDivisionWidth() {
  return KeepDivisionWidth(ComputeDivisionWidth(*this));
}

template <class TInterface>
int CGIS_ScaleBarBase<TInterface>::KeepDivisionWidth(const DivisionWidth& w) {
  m_nBarWidth = w.nBarWidth;
  m_dDivision = w.dDivision;
  m_dMapScale = w.dMapScale;
  return m_nBarWidth;
}

template <class TInterface>
int CGIS_ScaleBarBase<TInterface>::PeekDivisionWidth() {
  return ComputeDivisionWidth(*this).nBarWidth;
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::Refresh() {
  const ReadLayoutForms* pForms = m_pReadForms;
  m_pReadForms = nullptr;
  IGIS_Feature* pFeature = this->GetFeaturePtr();
  if (pFeature == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_ScaleBar::Refresh", "m_pFeature == NULL");
    return;
  }
  // The frame is looked up once for the width and the extent.
  IGIS_MapElement* pFrame = GetMapElement();
  const int nDivisionWidth = KeepDivisionWidth(ComputeDivisionWidth(*this, pFrame));
  const BarExtent extent = m_layout.LayOut(*this, pFrame, nDivisionWidth, pForms);
  m_nBarX = extent.nBarX;
  m_nBarY = extent.nBarY;
  SGIS_Rect rect = GetRect();
  rect.right = Round(rect.left + extent.dWidth);
  rect.top = Round(rect.bottom + extent.dHeight);
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) pGeometry->SetRect(rect, 0);
  CommitFeature(pFeature, GIS_UPDATE_GEOMETRY);
}

template <class TInterface>
BOOL CGIS_ScaleBarBase<TInterface>::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  return DrawBarCommon(*this, hdc, bPrint, pDisplay);
}

template <class TInterface>
BOOL CGIS_ScaleBarBase<TInterface>::OnDrawLabel(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  return DrawBarLabels(*this, hdc, bPrint, pDisplay);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::AddLabel(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                                             SGIS_Point position, double dValue) {
  DrawBarLabel(*this, hdc, bPrint, pDisplay, position, dValue);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::AddMainMark(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point from,
                                                SGIS_Point to) {
  DrawBarMark(*this, true, hdc, bPrint, pDisplay, from, to);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::AddSubMainMark(HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                                                   SGIS_Point from, SGIS_Point to) {
  DrawBarMark(*this, false, hdc, bPrint, pDisplay, from, to);
}

template <class TInterface>
IGIS_Element* CGIS_ScaleBarBase<TInterface>::ConvertToElement() {
  return ConvertBarCommon(*this);
}

// ---- The map frame --------------------------------------------------------------

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetMapElement(IGIS_MapElement* pMapElement) {
  m_link.Follow(pMapElement);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::Update(const char* szMessage, int /*nArgument*/, IGIS_Element* pSender) {
  IGIS_MapElement* pFrame = GetMapElement();
  if (pFrame == nullptr || szMessage == nullptr) return;
  if (std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAP_DEL) == 0) {
    m_link.OnFrameDeleted(pSender);
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
  this->Refresh();
}

// ---- Copying ----------------------------------------------------------------------

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::CopyFrom(IGIS_ScaleBar* pOther) {
  if (pOther == nullptr || pOther == this) return;
  this->SetHVScaleRatio(pOther->GetHVScaleRatio());
  this->SetLock(pOther->IsLock());
  this->SetOrder(pOther->GetOrder());
  m_dDivision = pOther->GetDivision();
  m_nDivisions = pOther->GetDivisions();
  m_bDivisionsBeforeZero = pOther->GetDivisionsBeforeZero();
  m_nLabelFrequency = pOther->GetLabelFrequency();
  m_nLabelGap = pOther->GetLabelGap();
  m_nLabelPosition = pOther->GetLabelPosition();
  m_nBarHeight = pOther->GetBarHeight();
  if (pOther->GetLatLonFormat() != nullptr) SetLatLonFormatPtr(pOther->GetLatLonFormat());
  if (pOther->GetNumericFormat() != nullptr) SetNumericFormatPtr(pOther->GetNumericFormat());
  if (pOther->GetLabelSymbol() != nullptr) SetLabelSymbolPtr(pOther->GetLabelSymbol());
  if (pOther->GetUnitLabelSymbol() != nullptr) SetUnitLabelSymbolPtr(pOther->GetUnitLabelSymbol());
  m_nSubDivisions = pOther->GetSubDivisions();
  m_nUnitLabelGap = pOther->GetUnitLabelGap();
  m_nUnitLabelPosition = pOther->GetUnitLabelPosition();
  m_nUnits = pOther->GetUnits();
  SetScaleMarks(pOther->GetScaleMarks());
  SetFrameProperty(pOther->GetFrameProperty());
  m_nResizeHint = pOther->GetResizeHint();
  m_strUnitLabel = pOther->GetUnitLabel();
  // The frame it follows, and the rest of what the other bar stores, so that
  // a copy stores the same.
  m_link.Follow(pOther->GetMapElement());
  m_link.SetMapElementID(pOther->GetMapElementID());
  m_nBarWidth = pOther->GetBarWidth();
  m_dMapScale = pOther->GetMapScale();
  m_nBarX = pOther->GetBarX();
  m_nBarY = pOther->GetBarY();
  SetName(pOther->GetName());
}

// ---- Geometry -----------------------------------------------------------------------

template <class TInterface>
SGIS_Rect CGIS_ScaleBarBase<TInterface>::GetRect() {
  return this->m_core.FeatureRect();
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  if (rect.Width() <= 1 || rect.Height() <= 1) return;
  this->m_core.PlaceRect(rect);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetLBpoint(SGIS_Point point) {
  this->m_core.MoveLowerLeftTo(point);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::OffsetAllPoints(int dx, int dy) {
  this->m_core.OffsetRect(dx, dy);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth <= 0 || nHeight <= 0) return;
  if (this->m_core.RequireFeature("SetWidthAndHeight") == nullptr) return;
  const SGIS_Rect r = GetRect();
  const int w = r.Width();
  const int h = r.Height();
  if (nWidth == w && nHeight == h) return;
  double sx = w != 0 ? static_cast<double>(nWidth) / w : 1.0;
  double sy = h != 0 ? static_cast<double>(nHeight) / h : 1.0;
  if (this->GetHVScaleRatio()) sx = sy = md::layout::shapes::KeepRatioFactor(sx, sy);
  ScaleShape(SGIS_Point(r.left, r.bottom, 0), sx, sy);
}

template <class TInterface>
void CGIS_ScaleBarBase<TInterface>::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  IGIS_Feature* pFeature = this->m_core.RequireFeature("ScaleShape");
  if (pFeature == nullptr) return;
  const bool bKeep = this->GetHVScaleRatio();
  const SGIS_Rect scaled = md::layout::shapes::ScaleBox(GetRect(), origin, sx, sy, bKeep);
  if (bKeep) sx = sy = std::min(sx, sy);
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
    if (!WidthFollowsMap(GetMapElement())) m_nBarWidth = Round(m_nBarWidth * sx);
  } else if (m_nResizeHint == GIS_SCALEBAR_RESIZE_DIVISIONS) {
    m_nDivisions = ClampDivisions(Round(m_nDivisions * sx));
  }
  m_nLabelGap = Round(m_nLabelGap * sy);
  m_nBarHeight = Round(m_nBarHeight * sy);
  ScaleTextHeight(m_pLabelSymbol.get(), sy);
  ScaleTextHeight(m_pUnitLabelSymbol.get(), sy);
  if (m_pScaleMarks) {
    m_pScaleMarks->SetDivisionMarkHeight(Round(m_pScaleMarks->GetDivisionMarkHeight() * sy));
    m_pScaleMarks->SetSubdivisionMarkHeight(Round(m_pScaleMarks->GetSubdivisionMarkHeight() * sy));
  }
  // The rectangle a scaled bar stores is the layout of what it scaled, as
  // reading it lays it out.
  this->Refresh();
}

// ---- Property sheet -----------------------------------------------------------------

template <class TInterface>
BOOL CGIS_ScaleBarBase<TInterface>::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithFramePages) {
  return this->m_core.OpenPropertySheet(pDisplay, "图形比例尺属性", "p_element == NULL", bWithFramePages);
}

// The two branches of bars.
template class CGIS_ScaleBarBase<IGIS_DoubleFillScaleBar>;
template class CGIS_ScaleBarBase<IGIS_ScaleLine>;
