// The slope rule: settings, storage, extent, drawing and conversion.
#include "layout/graphicelement/furniture/cgis_slopeelement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/recentring.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/furniture/furniturepainter.h"
#include "layout/graphicelement/furniture/furniturestore.h"
#include "layout/graphicelement/igis_mapelement.h"

using md::layout::furniture::Clamp;
using md::layout::furniture::CommitFeature;
using md::layout::furniture::CopyPart;
using md::layout::furniture::EnsureField;
using md::layout::furniture::Field;
using md::layout::furniture::NewSymbol;
using md::layout::furniture::NullSymbol;
using md::layout::furniture::PropertySetPtr;
using md::layout::furniture::ReplaceSymbol;
using md::layout::furniture::Round;
using md::layout::furniture::SlopeFigure;
using md::layout::furniture::SlopeLine;
using md::layout::furniture::SlopeSymbol;
using md::layout::furniture::SlopeText;
using md::layout::furniture::SymbolPtr;

namespace {

constexpr const char* kClass = "CGIS_SlopeElement";
constexpr int kDefaultTextHeight = 8;
constexpr int kMinAxislineInterval = 50;

SGIS_Point Offset(SGIS_Point origin, SGIS_Point local) {
  return SGIS_Point(Clamp(std::int64_t{origin.x} + local.x), Clamp(std::int64_t{origin.y} + local.y), 0);
}

std::vector<SGIS_Point> ToPage(SGIS_Point origin, const SlopeLine& line) {
  std::vector<SGIS_Point> out;
  out.reserve(line.points.size());
  for (const SGIS_Point& p : line.points) out.push_back(Offset(origin, p));
  return out;
}

IGIS_CompoundElement* NewCompound(IGIS_FeatureSet* pOwner) {
  return dynamic_cast<IGIS_CompoundElement*>(pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND));
}

}  // namespace

// The extents of figures laid out on reading, by everything that decides
// them: the settings, the unit ratio, the measuring text engine and the
// stored bytes of the four text symbols (the line symbols measure nothing).
// A rule read again from the same stored form (an edit undone, a page saved
// and loaded, a store and read) takes its extent from here instead of laying
// the figure out anew. Shared by threads; a few entries, replaced in turn.
class CGIS_SlopeElement::ReadFitMemo {
 public:
  struct Inputs {
    const md::layout::furniture::SlopeSettings& settings;
    double dUnitRatio;
    const char* szEngine;
    const std::array<std::span<const BYTE>, 4>& textSymbols;
  };

  static ReadFitMemo& Shared() {
    static ReadFitMemo memo;
    return memo;
  }

  bool Find(const Inputs& in, SGIS_Rect* pExtent) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto* e = m_entries.Find([&in](const Key& k) { return Matches(k, in); });
    if (e == nullptr) return false;
    *pExtent = e->value;
    return true;
  }

  void Keep(const Inputs& in, const SGIS_Rect& extent) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    auto& e = m_entries.Renew();
    e.key.settings = in.settings;
    e.key.dUnitRatio = in.dUnitRatio;
    e.key.engine = in.szEngine != nullptr ? in.szEngine : "";
    for (std::size_t i = 0; i < e.key.textSymbols.size(); ++i) {
      e.key.textSymbols[i].assign(in.textSymbols[i].begin(), in.textSymbols[i].end());
    }
    e.value = extent;
  }

 private:
  struct Key {
    md::layout::furniture::SlopeSettings settings;
    double dUnitRatio = 0.0;
    std::string engine;
    std::array<std::vector<BYTE>, 4> textSymbols;
  };

  static bool Matches(const Key& k, const Inputs& in) {
    const md::layout::furniture::SlopeSettings& a = k.settings;
    const md::layout::furniture::SlopeSettings& b = in.settings;
    if (a.nAxislineInterval != b.nAxislineInterval || a.nSlopelineNumber != b.nSlopelineNumber ||
        a.dContourInterval != b.dContourInterval || a.nAngleGap != b.nAngleGap ||
        a.nPercentGap != b.nPercentGap || a.nTitleGap != b.nTitleGap ||
        a.nGapDescription != b.nGapDescription) {
      return false;
    }
    if (k.dUnitRatio != in.dUnitRatio ||
        k.engine != std::string_view(in.szEngine != nullptr ? in.szEngine : "")) {
      return false;
    }
    for (std::size_t i = 0; i < k.textSymbols.size(); ++i) {
      const std::span<const BYTE> s = in.textSymbols[i];
      if (!std::equal(k.textSymbols[i].begin(), k.textSymbols[i].end(), s.begin(), s.end())) return false;
    }
    return true;
  }

  std::mutex m_mutex;
  // The extent of each rule's figure, by what decides it.
  md::basilo::RecentRing<Key, SGIS_Rect, 8> m_entries;
};

CGIS_SlopeElement::CGIS_SlopeElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "坡度尺") {
  if (pOwner == nullptr) return;
  m_pFrame.reset(GIS_CreateFramePropertyObject());
  m_pAxisSymbol.reset(NewSymbol(GIS_SYMBOL_LINE));
  if (m_pAxisSymbol) m_pAxisSymbol->SetCode(3331);
  m_pContourSymbol.reset(NewSymbol(GIS_SYMBOL_LINE));
  if (m_pContourSymbol) m_pContourSymbol->SetCode(3331);
  m_pTitleSymbol.reset(NewSymbol(GIS_SYMBOL_TEXT));
  if (m_pTitleSymbol && m_pTitleSymbol->GetFontSizePtr() != nullptr) {
    m_pTitleSymbol->GetFontSizePtr()->lfHeight = kDefaultTextHeight;
  }
  m_pAngleSymbol.reset(CopyPart(m_pTitleSymbol.get(), GIS_SYMBOL_TEXT));
  m_pPercentSymbol.reset(CopyPart(m_pTitleSymbol.get(), GIS_SYMBOL_TEXT));
  m_pDescriptionSymbol.reset(CopyPart(m_pTitleSymbol.get(), GIS_SYMBOL_TEXT));

  SGIS_ElementBindOptions options;
  options.szType = GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE;
  options.nKind = GIS_FEATURE_KIND_RECTANGLE;
  options.nLockOnNew = 1;
  options.nCanConvert = 1;
  options.bRewriteType = true;
  options.nRequiredKind = GIS_FEATURE_KIND_RECTANGLE;
  if (m_core.Bind(pOwner, pFeature, options) != CGIS_ElementCore::Binding::Created) return;

  if (IGIS_FeatureAttributes* pAttr = m_core.m_pFeature->GetAttributes()) {
    PropertySetPtr set(GIS_CreatePropertySetObject());
    if (set) {
      // A new feature lists its keys in this order; every key holds its default.
      struct Declared {
        const char* key;
        int type;
        const char* description;
      };
      const Declared keys[] = {
          {"MapElementID", GIS_FIELD_TYPE_INT, "地图ID"},
          {"ContourInterval", GIS_FIELD_TYPE_DOUBLE, "等高距"},
          {"AngleGap", GIS_FIELD_TYPE_INT, "角度间隔"},
          {"AxislineInterval", GIS_FIELD_TYPE_INT, "线间隔"},
          {"TitleGap", GIS_FIELD_TYPE_INT, "文本间隔"},
          {"PercentGap", GIS_FIELD_TYPE_INT, "百分率间隔"},
          {"SlopelineNumber", GIS_FIELD_TYPE_INT, "线的个数"},
          {"GapDescription", GIS_FIELD_TYPE_INT, "描述的垂直间隔"},
          {"FrameProperty", GIS_FIELD_TYPE_BUFFER, "地图框架的属性"},
          {"X", GIS_FIELD_TYPE_INT, "X坐标"},
          {"Y", GIS_FIELD_TYPE_INT, "Y坐标"},
          {"TitleSymbol", GIS_FIELD_TYPE_BUFFER, "文本符号"},
          {"DescriptionSymbol", GIS_FIELD_TYPE_BUFFER, "说明符号"},
          {"PercentSymbol", GIS_FIELD_TYPE_BUFFER, "百分率符号"},
          {"AngleSymbol", GIS_FIELD_TYPE_BUFFER, "角度符号"},
          {"AxisLineSymbol", GIS_FIELD_TYPE_BUFFER, "线符号"},
          {"ContourLineSymbol", GIS_FIELD_TYPE_BUFFER, "线符号"},
      };
      for (const Declared& k : keys) set->AddProperty(k.key, k.description, k.type, 1);
      md::layout::furniture::WriteCustom(pAttr, set.get());
      md::layout::CustomSetWriter values(pAttr, m_core.Method("CGIS_SlopeElement").c_str());
      WriteKeys(values);
      values.Finish();
    }
  }
  // The new rectangle holds the figure from the start.
  Refresh();
}

// ---- Settings ----------------------------------------------------------------

void CGIS_SlopeElement::SetTitleGap(int nValue) {
  if (nValue >= 0) m_settings.nTitleGap = nValue;
}

void CGIS_SlopeElement::SetGapDescription(int nValue) {
  if (nValue >= 0) m_settings.nGapDescription = nValue;
}

void CGIS_SlopeElement::SetSlopelineNumber(int nValue) {
  if (nValue >= 3 && nValue <= 6) m_settings.nSlopelineNumber = nValue;
}

void CGIS_SlopeElement::SetAxisLineSymbolPtr(IGIS_Symbol* p) {
  ReplaceSymbol(m_pAxisSymbol, p, GIS_SYMBOL_LINE, "CGIS_SlopeElement::SetAxisLineSymbolPtr",
                NullSymbol::Keep);
}
void CGIS_SlopeElement::SetContourLineSymbolPtr(IGIS_Symbol* p) {
  ReplaceSymbol(m_pContourSymbol, p, GIS_SYMBOL_LINE, "CGIS_SlopeElement::SetContourLineSymbolPtr",
                NullSymbol::Keep);
}
void CGIS_SlopeElement::SetDescriptionSymbolPtr(IGIS_Symbol* p) {
  ReplaceSymbol(m_pDescriptionSymbol, p, GIS_SYMBOL_TEXT, "CGIS_SlopeElement::SetDescriptionSymbolPtr",
                NullSymbol::Keep);
}
void CGIS_SlopeElement::SetAngleSymbolPtr(IGIS_Symbol* p) {
  ReplaceSymbol(m_pAngleSymbol, p, GIS_SYMBOL_TEXT, "CGIS_SlopeElement::SetAngleSymbolPtr", NullSymbol::Keep);
}
void CGIS_SlopeElement::SetPercentSymbolPtr(IGIS_Symbol* p) {
  ReplaceSymbol(m_pPercentSymbol, p, GIS_SYMBOL_TEXT, "CGIS_SlopeElement::SetPercentSymbolPtr",
                NullSymbol::Keep);
}
void CGIS_SlopeElement::SetTitleSymbolPtr(IGIS_Symbol* p) {
  ReplaceSymbol(m_pTitleSymbol, p, GIS_SYMBOL_TEXT, "CGIS_SlopeElement::SetTitleSymbolPtr", NullSymbol::Keep);
}

bool CGIS_SlopeElement::SetFramePropertyPtr(IGIS_FrameProperty* pFrame) {
  md::layout::furniture::ReplaceFrame(m_pFrame, pFrame);
  return true;
}

void CGIS_SlopeElement::SetMapElementPtr(IGIS_MapElement* pFrame) { m_link.Follow(pFrame); }

void CGIS_SlopeElement::Update(const char* szMessage, int /*nArgument*/, IGIS_Element* pSender) {
  if (szMessage != nullptr && std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAP_DEL) == 0) {
    m_link.OnFrameDeleted(pSender);
  }
}

// ---- Figure ------------------------------------------------------------------

IGIS_Symbol* CGIS_SlopeElement::SymbolOf(SlopeSymbol symbol) const {
  switch (symbol) {
    case SlopeSymbol::Axis:
      return m_pAxisSymbol.get();
    case SlopeSymbol::Contour:
      return m_pContourSymbol.get();
    case SlopeSymbol::Title:
      return m_pTitleSymbol.get();
    case SlopeSymbol::Description:
      return m_pDescriptionSymbol.get();
    case SlopeSymbol::Angle:
      return m_pAngleSymbol.get();
    case SlopeSymbol::Percent:
      return m_pPercentSymbol.get();
  }
  return nullptr;
}

bool CGIS_SlopeElement::CheckSettings(const char* szOperation) {
  if (const char* szFault = md::layout::furniture::SlopeSettingsFault(m_settings)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method(szOperation).c_str(), "%s", szFault);
    return false;
  }
  if (m_settings.nSlopelineNumber > md::layout::furniture::kMaxSlopeLines) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method(szOperation).c_str(), "SlopelineNumber %d drawn as %d",
            m_settings.nSlopelineNumber, md::layout::furniture::kMaxSlopeLines);
  }
  return true;
}

SlopeFigure CGIS_SlopeElement::LayOutChecked(double dUnitRatio) {
  return md::layout::furniture::LayOutSlopeFigure(
      m_settings,
      [this, dUnitRatio](SlopeSymbol symbol, const char* szText, double* pWidth, double* pHeight) {
        *pWidth = *pHeight = 0.0;
        IGIS_Symbol* pSymbol = SymbolOf(symbol);
        SGIS_Rect extent;
        if (pSymbol == nullptr || !pSymbol->GetTextExtent(&extent, szText, 0, 1.0)) return;
        *pWidth = extent.Width() * dUnitRatio;
        *pHeight = extent.Height() * dUnitRatio;
      });
}

bool CGIS_SlopeElement::LayOut(const char* szOperation, SlopeFigure* pFigure) {
  if (!CheckSettings(szOperation)) return false;
  *pFigure = LayOutChecked(md::layout::SymbolUnitRatio(m_core.m_pFeatureSet));
  return true;
}

SlopeFigure CGIS_SlopeElement::Figure() {
  SlopeFigure f;
  LayOut("Figure", &f);
  return f;
}

void CGIS_SlopeElement::Refresh() {
  IGIS_Feature* pFeature = m_core.RequireFeature("Refresh");
  if (pFeature == nullptr) return;
  SlopeFigure figure;
  if (!LayOut("Refresh", &figure)) return;
  FitTo(pFeature, figure.Extent());
}

void CGIS_SlopeElement::RefreshRead(const std::array<std::span<const BYTE>, 4>* pTextSymbols) {
  IGIS_Feature* pFeature = m_core.RequireFeature("Refresh");
  if (pFeature == nullptr || !CheckSettings("Refresh")) return;
  const double r = md::layout::SymbolUnitRatio(m_core.m_pFeatureSet);
  SGIS_Rect u;
  if (pTextSymbols == nullptr) {
    u = LayOutChecked(r).Extent();
  } else {
    const ReadFitMemo::Inputs inputs{m_settings, r, GIS_GetSymbolTextEngine(), *pTextSymbols};
    if (!ReadFitMemo::Shared().Find(inputs, &u)) {
      u = LayOutChecked(r).Extent();
      ReadFitMemo::Shared().Keep(inputs, u);
    }
  }
  FitTo(pFeature, u);
}

void CGIS_SlopeElement::FitTo(IGIS_Feature* pFeature, const SGIS_Rect& u) {
  const SGIS_Rect r = GetRect();
  // The rectangle holds every drawn piece, the captions and values included.
  m_anchor.x = Clamp(-std::int64_t{u.left});
  m_anchor.y = Clamp(-std::int64_t{u.bottom});
  const SGIS_Rect fitted(r.left, Clamp(std::int64_t{r.bottom} + u.Height()),
                         Clamp(std::int64_t{r.left} + u.Width()), r.bottom);
  StoreRect(pFeature, fitted, GIS_UPDATE_GEOMETRY);
}

// ---- Geometry ----------------------------------------------------------------

SGIS_Rect CGIS_SlopeElement::GetRect() { return m_core.FeatureRect(); }

void CGIS_SlopeElement::OffsetAllPoints(int dx, int dy) { m_core.OffsetRect(dx, dy); }

void CGIS_SlopeElement::SetLBpoint(SGIS_Point point) { m_core.MoveLowerLeftTo(point); }

void CGIS_SlopeElement::SetRect(SGIS_Rect rect) { m_core.PlaceRect(rect); }

void CGIS_SlopeElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth <= 0 || nHeight <= 0) return;
  const SGIS_Rect r = GetRect();
  const double w = r.Width(), h = r.Height();
  if (nWidth == w && nHeight == h) return;
  double sx = 1.0, sy = 1.0;
  if (w >= 1.0 && h >= 1.0) {
    sx = nWidth / w;
    sy = nHeight / h;
  }
  // The figure keeps its proportions: growing in either direction takes the
  // smaller factor, shrinking in both the milder one.
  const double k = (sx > 1.0 || sy > 1.0 || sx == 1.0 || sy == 1.0) ? std::min(sx, sy) : std::max(sx, sy);
  ScaleShape(SGIS_Point(r.left, r.bottom, 0), k, k);
}

void CGIS_SlopeElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  if (sx == 1.0 && sy == 1.0) return;
  const SGIS_Rect r = GetRect();
  SetLBpoint(SGIS_Point(Round((static_cast<double>(r.left) - origin.x) * sx + origin.x),
                        Round((static_cast<double>(r.bottom) - origin.y) * sy + origin.y), 0));
  const double s = std::min(sx, sy);
  m_settings.nPercentGap = Round(m_settings.nPercentGap * s);
  m_settings.nAngleGap = Round(m_settings.nAngleGap * s);
  m_settings.nTitleGap = Round(m_settings.nTitleGap * s);
  m_settings.nAxislineInterval = std::max(kMinAxislineInterval, Round(m_settings.nAxislineInterval * s));
  for (IGIS_Symbol* pText :
       {m_pPercentSymbol.get(), m_pTitleSymbol.get(), m_pAngleSymbol.get(), m_pDescriptionSymbol.get()}) {
    if (pText != nullptr && pText->GetFontSizePtr() != nullptr) {
      LONG& height = pText->GetFontSizePtr()->lfHeight;
      height = Round(height * s);
    }
  }
  Refresh();
}

// ---- Copies and the sheet ----------------------------------------------------

IGIS_Element* CGIS_SlopeElement::Clone() {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  if (pOwner == nullptr) return nullptr;
  IGIS_Element* pNew = pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE);
  auto* pCopy = dynamic_cast<CGIS_SlopeElement*>(pNew);
  if (pCopy == nullptr) {
    if (pNew != nullptr) pOwner->DeleteElement(pNew);
    return nullptr;
  }
  pCopy->SetFramePropertyPtr(m_pFrame.get());
  pCopy->SetMapElementPtr(m_link.Frame());
  pCopy->SetLock(IsLock());
  if (m_pTitleSymbol) pCopy->SetTitleSymbolPtr(m_pTitleSymbol.get());
  if (m_pPercentSymbol) pCopy->SetPercentSymbolPtr(m_pPercentSymbol.get());
  if (m_pAngleSymbol) pCopy->SetAngleSymbolPtr(m_pAngleSymbol.get());
  if (m_pDescriptionSymbol) pCopy->SetDescriptionSymbolPtr(m_pDescriptionSymbol.get());
  if (m_pAxisSymbol) pCopy->SetAxisLineSymbolPtr(m_pAxisSymbol.get());
  if (m_pContourSymbol) pCopy->SetContourLineSymbolPtr(m_pContourSymbol.get());
  // Settings as they are, a stored number of lines outside 3..6 included.
  pCopy->m_settings = m_settings;
  pCopy->m_link.SetMapElementID(m_link.GetMapElementID());
  pCopy->Refresh();
  const SGIS_Rect r = GetRect();
  pCopy->SetLBpoint(SGIS_Point(r.left, r.bottom, 0));
  return pCopy;
}

BOOL CGIS_SlopeElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) {
  return m_core.OpenPropertySheet(pDisplay, "坡度尺属性", "p_element == NULL", bWithCommonPages);
}

// ---- Storage -----------------------------------------------------------------

void CGIS_SlopeElement::WriteKeys(md::layout::CustomSetWriter& set) {
  using md::layout::furniture::Key;
  using md::layout::furniture::WriteSymbol;
  auto setInt = [&set](const char* key, const char* description, int value) {
    set.Int(Key(key, description, GIS_FIELD_TYPE_INT), value);
  };
  setInt("MapElementID", "MapElementID", m_link.GetMapElementID());
  // Without a frame the key is stored empty, so that none is made on reading.
  set.Saved(Key("FrameProperty", "FrameProperty", GIS_FIELD_TYPE_BUFFER), [this](IGIS_DataBuffer* b) {
    if (m_pFrame) m_pFrame->Save(b);
  });
  setInt("AngleGap", "AngleGap", m_settings.nAngleGap);
  setInt("AxislineInterval", "AxislineInterval", m_settings.nAxislineInterval);
  set.Double(Key("ContourInterval", "ContourInterval", GIS_FIELD_TYPE_DOUBLE), m_settings.dContourInterval);
  setInt("TitleGap", "TitleGap", m_settings.nTitleGap);
  setInt("SlopelineNumber", "SlopelineNumber", m_settings.nSlopelineNumber);
  setInt("GapDescription", "描述的垂直间隔", m_settings.nGapDescription);
  // The gap of the percent values is kept like the other gaps.
  setInt("PercentGap", "PercentGap", m_settings.nPercentGap);
  WriteSymbol(set, "AngleSymbol", "AngleSymbol", m_pAngleSymbol.get());
  WriteSymbol(set, "PercentSymbol", "PercentSymbol", m_pPercentSymbol.get());
  WriteSymbol(set, "TitleSymbol", "TitleSymbol", m_pTitleSymbol.get());
  WriteSymbol(set, "DescriptionSymbol", "DescriptionSymbol", m_pDescriptionSymbol.get());
  WriteSymbol(set, "ContourLineSymbol", "ContourLineSymbol", m_pContourSymbol.get());
  WriteSymbol(set, "AxisLineSymbol", "AxisLineSymbol", m_pAxisSymbol.get());
  setInt("X", "X", m_anchor.x);
  setInt("Y", "Y", m_anchor.y);
}

BOOL CGIS_SlopeElement::Archive(int nRead, int /*nArchiveOption*/) {
  IGIS_FeatureAttributes* pAttr = nullptr;
  if (!m_core.ArchiveCommon(nRead, &pAttr)) return FALSE;
  constexpr const char* kArchive = "CGIS_SlopeElement::Archive";
  // The "Custom" keys are read and written in place.
  if (nRead == 0) {
    md::layout::CustomSetWriter set(pAttr, kArchive);
    WriteKeys(set);
    const bool bWritten = set.Finish();
    if (!set.WasStored("MapElementID")) GIS_LOG(GIS_LOG_LEVEL_CHECK, kArchive, "p_field == NULL");
    return bWritten ? TRUE : FALSE;
  }
  const md::layout::StoredSetView set(pAttr, kArchive);
  set.Read("AngleGap", &m_settings.nAngleGap);
  set.Read("AxislineInterval", &m_settings.nAxislineInterval);
  set.Read("ContourInterval", &m_settings.dContourInterval);
  set.Read("TitleGap", &m_settings.nTitleGap);
  set.Read("SlopelineNumber", &m_settings.nSlopelineNumber);
  set.Read("GapDescription", &m_settings.nGapDescription);
  set.Read("PercentGap", &m_settings.nPercentGap);
  using md::layout::furniture::AdoptSymbol;
  using md::layout::furniture::ReadSymbol;
  // Each symbol read is held as made, as its setter would hold it. The text
  // symbols measure the figure: when each is replaced by the one its stored
  // bytes make, those bytes stand for it in the memo of read extents.
  std::array<std::span<const BYTE>, 4> textSymbols;
  bool bTextSymbolsStored = true;
  auto readSymbol = [&](const char* szKey, SymbolPtr& held, int nKind, const char* szSetter) {
    const IGIS_Symbol* pBefore = held.get();
    if (SymbolPtr s = ReadSymbol(set, szKey))
      AdoptSymbol(held, std::move(s), nKind, szSetter, NullSymbol::Keep);
    return held.get() != pBefore;
  };
  auto readText = [&](const char* szKey, std::size_t slot, SymbolPtr& held, const char* szSetter) {
    const md::basilo::StoredFieldView* f =
        readSymbol(szKey, held, GIS_SYMBOL_TEXT, szSetter) ? set.Find(szKey) : nullptr;
    if (f == nullptr) {
      bTextSymbolsStored = false;
      return;
    }
    textSymbols[slot] = f->bytes;
  };
  readText("AngleSymbol", 0, m_pAngleSymbol, "CGIS_SlopeElement::SetAngleSymbolPtr");
  readText("PercentSymbol", 1, m_pPercentSymbol, "CGIS_SlopeElement::SetPercentSymbolPtr");
  readText("TitleSymbol", 2, m_pTitleSymbol, "CGIS_SlopeElement::SetTitleSymbolPtr");
  readText("DescriptionSymbol", 3, m_pDescriptionSymbol, "CGIS_SlopeElement::SetDescriptionSymbolPtr");
  readSymbol("ContourLineSymbol", m_pContourSymbol, GIS_SYMBOL_LINE,
             "CGIS_SlopeElement::SetContourLineSymbolPtr");
  readSymbol("AxisLineSymbol", m_pAxisSymbol, GIS_SYMBOL_LINE, "CGIS_SlopeElement::SetAxisLineSymbolPtr");
  if (const md::basilo::StoredFieldView* f = set.Find("FrameProperty")) {
    // An empty buffer is a rule stored without a frame.
    if (f->type == GIS_FIELD_TYPE_BUFFER && f->bytes.empty()) {
      m_pFrame.reset();
    } else {
      if (!m_pFrame) m_pFrame.reset(GIS_CreateFramePropertyObject());
      if (IGIS_DataBuffer* b = set.Buffer("FrameProperty"); m_pFrame && b != nullptr) m_pFrame->Open(b);
    }
  }
  int nMapElementID = 0;
  if (set.Read("MapElementID", &nMapElementID)) m_link.SetMapElementID(nMapElementID);
  set.Read("X", &m_anchor.x);
  set.Read("Y", &m_anchor.y);
  m_link.Relink(m_core.m_pFeatureSet);
  RefreshRead(bTextSymbolsStored ? &textSymbols : nullptr);
  return TRUE;
}

// ---- Drawing and conversion --------------------------------------------------

BOOL CGIS_SlopeElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  IGIS_SpatialReference* pReference = md::layout::furniture::PageReference(m_core.m_pFeatureSet);
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_spatialreference== NULL ");
    return FALSE;
  }
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_symbolization == NULL");
    return FALSE;
  }
  if (GIS_GetAnnotationDrawerObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_drawer == NULL");
    return FALSE;
  }
  if (m_core.RequireFeature("OnDraw") == nullptr) return FALSE;
  const SGIS_Rect rect = GetRect();
  if (m_pFrame) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_UNDER);
  if (m_pFrame && m_pFrame->GetDraftMode() && !bPrint) {
    m_pFrame->OnDrawDraftMode(this, hdc, bPrint, pDisplay);
    return TRUE;
  }
  SlopeFigure figure;
  if (LayOut("OnDraw", &figure)) {
    md::basilo::ReleasePtr<IGIS_AnnoPointStyle> style;
    if (IGIS_AnnoStyleFactory* pStyles = GIS_GetAnnotationStyleFactoryObject()) {
      if (IGIS_AnnoStyleSet* pSet = pStyles->CreateStyleSet(1)) style.reset(pSet->GetPointStyle());
    }
    if (style) style->SetAlignment(GIS_ALIGN_BOTTOM_LEFT);
    const SGIS_Point origin = Offset(SGIS_Point(rect.left, rect.bottom), m_anchor);
    CGIS_FurniturePainter painter(hdc, bPrint, pDisplay, pReference, m_core.m_pFeatureSet);
    auto line = [&](const SlopeLine& l) {
      const std::vector<SGIS_Point> page = ToPage(origin, l);
      painter.DrawSymbol(SymbolOf(l.symbol), page.data(), static_cast<int>(page.size()));
    };
    auto texts = [&](const std::vector<SlopeText>& group) {
      if (group.empty() || !style) return;
      if (IGIS_Symbol* pSymbol = SymbolOf(group.front().symbol)) style->SetTextStyle(pSymbol);
      for (const SlopeText& t : group) {
        if (t.symbol != group.front().symbol) {
          if (IGIS_Symbol* pSymbol = SymbolOf(t.symbol)) style->SetTextStyle(pSymbol);
        }
        painter.DrawText(style.get(), t.text.c_str(), Offset(origin, t.anchor));
      }
    };
    line(figure.axis);
    for (const SlopeLine& l : figure.degreeLines) line(l);
    line(figure.twoContourCurve);
    for (const SlopeLine& l : figure.furtherCurves) line(l);
    for (const SlopeLine& l : figure.lengthenedLines) line(l);
    texts(figure.titleAndCaptions);
    texts(figure.degreeValues);
    texts(figure.percentValues);
  }
  if (m_pFrame) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_BORDER);
  return TRUE;
}

IGIS_Element* CGIS_SlopeElement::ConvertToElement() {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  if (pOwner == nullptr || m_core.RequireFeature("ConvertToElement") == nullptr) return nullptr;
  SlopeFigure figure;
  if (!LayOut("ConvertToElement", &figure)) return nullptr;
  IGIS_CompoundElement* pCurves = NewCompound(pOwner);
  IGIS_CompoundElement* pTexts = NewCompound(pOwner);
  IGIS_CompoundElement* pDegrees = NewCompound(pOwner);
  IGIS_CompoundElement* pPercents = NewCompound(pOwner);
  IGIS_CompoundElement* pOuter = NewCompound(pOwner);
  IGIS_CompoundElement* pLines = NewCompound(pOwner);
  IGIS_CompoundElement* groups[] = {pCurves, pTexts, pDegrees, pPercents, pOuter, pLines};
  for (IGIS_CompoundElement* pGroup : groups) {
    if (pGroup != nullptr) continue;
    for (IGIS_CompoundElement* pMade : groups) {
      if (pMade != nullptr) pOwner->DeleteElement(pMade);
    }
    return nullptr;
  }
  const SGIS_Rect rect = GetRect();
  const SGIS_Point origin = Offset(SGIS_Point(rect.left, rect.bottom), m_anchor);
  auto line = [&](IGIS_CompoundElement* pGroup, const SlopeLine& l) {
    const std::vector<SGIS_Point> page = ToPage(origin, l);
    CreatePolylineElement(pGroup, page.data(), static_cast<int>(page.size()), SymbolOf(l.symbol));
  };
  auto texts = [&](IGIS_CompoundElement* pGroup, const std::vector<SlopeText>& group) {
    for (const SlopeText& t : group) {
      CreateTextElement(pGroup, Offset(origin, t.anchor), SymbolOf(t.symbol), t.text.c_str(), false);
    }
  };
  line(pLines, figure.axis);
  for (const SlopeLine& l : figure.degreeLines) line(pLines, l);
  line(pCurves, figure.twoContourCurve);
  for (const SlopeLine& l : figure.furtherCurves) line(pCurves, l);
  for (const SlopeLine& l : figure.lengthenedLines) line(pLines, l);
  texts(pTexts, figure.titleAndCaptions);
  texts(pDegrees, figure.degreeValues);
  texts(pPercents, figure.percentValues);
  pOuter->AddElement(pLines);
  pOuter->AddElement(pCurves);
  pOuter->AddElement(pPercents);
  pOuter->AddElement(pDegrees);
  pOuter->AddElement(pTexts);
  return pOuter;
}
