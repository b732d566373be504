// The legend element's rectangle, stack layout, drawing and conversion.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/recentring.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/legend/cgis_legendelement.h"
#include "layout/graphicelement/legend/cgis_legenditem.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "layout/graphicelement/legend/legendtext.h"

namespace {

using md::layout::legend::Add;
using md::layout::legend::LegendMarks;
using md::layout::legend::TextExtent;
using md::layout::legend::Truncate;

int Round(double v) { return md::basilo::detail::RoundToInt32(v); }

// The items that take part in the stack: those whose layer was found when
// the legend was last laid out. Items of layers not in the map keep their
// place in the list but take no room.
bool Stacked(IGIS_LegendItem* pItem) { return pItem != nullptr && pItem->GetLayer() != nullptr; }

}  // namespace

// The item sizes and title extent of legends stacked on reading, by all that
// decides them: the stored bytes of the format (its symbols were made from
// them), the format's gaps and switches as read, the title, each item's
// labels, layer name and kind of layer, the unit ratio and the measuring
// text engine. A legend read again from the same stored form (an edit
// undone, a store and read) takes its sizes from here instead of measuring
// every label. Only stacks whose measuring writes no record are kept.
// Shared by threads; a few entries, replaced in turn.
class CGIS_LegendElement::ReadStackMemo {
 public:
  struct Item {
    CGIS_LegendItem* pItem;
    bool bVector;
  };
  struct Inputs {
    std::span<const BYTE> format;
    std::array<int, 9> values;
    std::string_view title;
    double dUnitRatio;
    std::string_view engine;
    const std::vector<Item>& items;
  };

  static ReadStackMemo& Shared() {
    static ReadStackMemo memo;
    return memo;
  }

  // The sizes, in item order, and the title extent of the inputs.
  bool Find(const Inputs& in, std::vector<std::pair<double, double>>* pSizes, SGIS_Rect* pTitle) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto* e = m_entries.Find([&in](const Key& k) { return Matches(k, in); });
    if (e == nullptr) return false;
    *pSizes = e->value.sizes;
    *pTitle = e->value.title;
    return true;
  }

  void Keep(const Inputs& in, const SGIS_Rect& title) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    auto& e = m_entries.Renew();
    e.key.format.assign(in.format.begin(), in.format.end());
    e.key.values = in.values;
    e.key.strTitle = in.title;
    e.key.dUnitRatio = in.dUnitRatio;
    e.key.engine = in.engine;
    e.key.items.clear();
    e.value.sizes.clear();
    for (const Item& item : in.items) {
      e.key.items.push_back({item.pItem->Labels(), item.pItem->GetLayerName(), item.bVector});
      e.value.sizes.emplace_back(item.pItem->GetWidth(), item.pItem->GetHeight());
    }
    e.value.title = title;
  }

 private:
  struct StoredItem {
    std::vector<std::string> labels;
    std::string layerName;
    bool bVector;
  };
  struct Key {
    std::vector<BYTE> format;
    std::array<int, 9> values{};
    std::string strTitle;
    double dUnitRatio = 0.0;
    std::string engine;
    std::vector<StoredItem> items;
  };
  struct Stack {
    std::vector<std::pair<double, double>> sizes;  // of the items, in order
    SGIS_Rect title;
  };

  static bool Matches(const Key& k, const Inputs& in) {
    if (k.values != in.values || k.dUnitRatio != in.dUnitRatio || k.engine != in.engine ||
        k.strTitle != in.title || k.items.size() != in.items.size() ||
        !std::equal(k.format.begin(), k.format.end(), in.format.begin(), in.format.end())) {
      return false;
    }
    for (std::size_t i = 0; i < k.items.size(); ++i) {
      const StoredItem& a = k.items[i];
      const Item& b = in.items[i];
      if (a.bVector != b.bVector || a.layerName != b.pItem->GetLayerName() || a.labels != b.pItem->Labels()) {
        return false;
      }
    }
    return true;
  }

  std::mutex m_mutex;
  md::basilo::RecentRing<Key, Stack, 4> m_entries;
};

// ---- Rectangle ----------------------------------------------------------------

SGIS_Rect CGIS_LegendElement::GetRect() { return m_core.FeatureRect(); }

void CGIS_LegendElement::_SetRect(int left, int right, int top, int bottom) {
  IGIS_Feature* pFeature = m_core.RequireFeature("_SetRect");
  if (pFeature == nullptr) return;
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry())
    pGeometry->SetRect(SGIS_Rect(left, top, right, bottom), 0);
  IGIS_FeatureClass* pClass =
      m_core.m_pFeatureSet != nullptr ? m_core.m_pFeatureSet->GetFeatureClass() : nullptr;
  if (pClass != nullptr) pClass->UpdateFeature(pFeature, GIS_UPDATE_GEOMETRY);
}

void CGIS_LegendElement::SetRect(SGIS_Rect rect) {
  rect.Normalize();
  if (rect.Width() == 0 || rect.Height() == 0) return;
  if (GetRect().Height() == 0) return;
  SetLBpoint(SGIS_Point(rect.left, rect.bottom, 0));
  SetWidthAndHeight(rect.Width(), rect.Height());
}

void CGIS_LegendElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth < 1 || nHeight < 1) return;
  const SGIS_Rect r = GetRect();
  const int w = r.Width();
  const int h = r.Height();
  if (nWidth == w || nHeight == h || w == 0 || h == 0) return;
  const double sx = static_cast<double>(nWidth) / w;
  const double sy = static_cast<double>(nHeight) / h;
  const double s = (sx > 1.0 && sy > 1.0) ? std::min(sx, sy) : std::max(sx, sy);
  ScaleShape(SGIS_Point(r.left, r.bottom, 0), s, s);
}

void CGIS_LegendElement::OffsetAllPoints(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  const SGIS_Rect r = GetRect();
  _SetRect(Add(r.left, dx), Add(r.right, dx), Add(r.top, dy), Add(r.bottom, dy));
}

void CGIS_LegendElement::SetLBpoint(SGIS_Point point) { m_core.MoveLowerLeftTo(point); }

void CGIS_LegendElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  const SGIS_Rect r = GetRect();
  const double w = r.Width();
  const double h = r.Height();
  const int left = Round((static_cast<double>(r.left) - origin.x) * sx + origin.x);
  const int bottom = Round((static_cast<double>(r.bottom) - origin.y) * sy + origin.y);
  // The legend keeps its proportions: the smaller factor on both axes.
  sx = sy = std::min(sx, sy);
  _SetRect(left, Round(left + w * sx), Round(bottom + h * sy), bottom);
  if (m_pFormat) m_pFormat->Scale(sx, sy);
  RecalcRect();
}

// ---- Stack layout ----------------------------------------------------------------

void CGIS_LegendElement::RecalcRect() { Restack(false); }

void CGIS_LegendElement::Restack(bool bLayersJustFound, const std::span<const BYTE>* pFormatBytes) {
  const SGIS_Rect r = GetRect();
  if (!m_pFormat) return;
  // Items are measured by their layers in the followed frame's map: while
  // the frame shows none (its map cannot be found), the stored rectangle
  // stands and the items keep their places in it.
  if (IGIS_MapElement* pFrame = GetMapElement();
      pFrame != nullptr && pFrame->GetMap() == nullptr && !m_items.empty())
    return;
  IGIS_FeatureSet* pSet = m_core.m_pFeatureSet;
  const double s = md::layout::SymbolUnitRatio(pSet);
  const int gap = m_pFormat->GetItemGap();
  // On reading, the memo of read stacks may hold the sizes.
  std::vector<ReadStackMemo::Item> measured;
  bool bMemo = bLayersJustFound && pFormatBytes != nullptr;
  if (bMemo) {
    measured.reserve(m_items.size());
    for (auto& item : m_items) {
      auto* pOwn = dynamic_cast<CGIS_LegendItem*>(item.get());
      bool bVector = false;
      if (pOwn == nullptr || !pOwn->MeasuresQuietly(&bVector)) {
        bMemo = false;
        break;
      }
      measured.push_back({pOwn, bVector});
    }
  }
  const char* szEngine = GIS_GetSymbolTextEngine();
  const ReadStackMemo::Inputs inputs{
      bMemo ? *pFormatBytes : std::span<const BYTE>(),
      {gap, m_pFormat->GetShowTitle() ? 1 : 0, m_pFormat->GetTitleAndLegendGap(),
       m_pFormat->GetDefaultPatchWidth(), m_pFormat->GetDefaultPatchHeight(),
       m_pFormat->GetPatchAndLabelsGap(), m_pFormat->GetVerticalItemGap(),
       m_pFormat->GetShowLayerName() ? 1 : 0, m_pFormat->GetLayerNameGap()},
      m_strTitle,
      s,
      szEngine != nullptr ? szEngine : "",
      measured};
  std::vector<std::pair<double, double>> sizes;
  SGIS_Rect title;
  const bool bKnown = bMemo && ReadStackMemo::Shared().Find(inputs, &sizes, &title);
  if (bKnown) {
    for (std::size_t i = 0; i < measured.size(); ++i)
      measured[i].pItem->TakeSize(sizes[i].first, sizes[i].second);
  }
  int y = r.bottom;
  double width = 0.0;
  int stacked = 0;
  for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
    IGIS_LegendItem* pItem = it->get();
    if (!bKnown) {
      auto* pOwn = bLayersJustFound ? dynamic_cast<CGIS_LegendItem*>(pItem) : nullptr;
      if (pOwn != nullptr) {
        pOwn->CreateGraphics(true);
      } else {
        pItem->CreateGraphics();
      }
    }
    if (!Stacked(pItem)) continue;
    y = Round(y + pItem->GetHeight() + gap);
    if (pItem->GetWidth() > width) width = pItem->GetWidth();
    ++stacked;
  }
  if (stacked > 0) y = Add(y, -static_cast<std::int64_t>(gap));
  if (m_pFormat->GetShowTitle()) {
    const SGIS_Rect e = bKnown ? title : TextExtent(m_pFormat->GetTitleSymbol(), m_strTitle.c_str());
    if (!bKnown) title = e;
    if (width < e.Width() * s) width = e.Width() * s;
    y = Round(y + e.Height() * s + m_pFormat->GetTitleAndLegendGap());
  }
  if (bMemo && !bKnown) ReadStackMemo::Shared().Keep(inputs, title);
  _SetRect(r.left, Round(r.left + width), y, r.bottom);
}

LegendMarks CGIS_LegendElement::BuildMarks(const SGIS_Rect& rect, const char* szMethod, bool* pTitleMissing,
                                           std::vector<std::pair<IGIS_LegendItem*, SGIS_Point>>* pForeign) {
  LegendMarks marks;
  *pTitleMissing = false;
  if (!m_pFormat) return marks;
  const int gap = m_pFormat->GetItemGap();
  SGIS_Point p(rect.left, rect.bottom, 0);
  int stacked = 0;
  for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
    IGIS_LegendItem* pItem = it->get();
    if (!Stacked(pItem)) continue;
    if (auto* pOwn = dynamic_cast<CGIS_LegendItem*>(pItem)) {
      pOwn->Layout(p, &marks, szMethod);
    } else if (pForeign != nullptr) {
      pForeign->emplace_back(pItem, p);
    }
    p.y = Truncate(p.y + pItem->GetHeight() + gap);
    ++stacked;
  }
  if (stacked > 0) p.y = Add(p.y, -static_cast<std::int64_t>(gap));
  if (m_pFormat->GetShowTitle()) {
    IGIS_Symbol* pTitleSymbol = m_pFormat->GetTitleSymbol();
    if (pTitleSymbol == nullptr) {
      *pTitleMissing = true;
    } else {
      md::layout::legend::AddTextMark(&marks, pTitleSymbol, m_strTitle.c_str(),
                                      SGIS_Point(rect.left, Add(p.y, m_pFormat->GetTitleAndLegendGap()), 0));
    }
  }
  return marks;
}

// ---- Drawing and conversion ------------------------------------------------------------

BOOL CGIS_LegendElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  IGIS_FeatureSet* pSet = m_core.m_pFeatureSet;
  IGIS_FeatureClass* pClass = pSet != nullptr ? pSet->GetFeatureClass() : nullptr;
  IGIS_SpatialReference* pReference = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
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
  bool bTitleMissing = false;
  std::vector<std::pair<IGIS_LegendItem*, SGIS_Point>> foreign;
  const LegendMarks marks = BuildMarks(rect, method.c_str(), &bTitleMissing, &foreign);
  for (const auto& [pItem, origin] : foreign) pItem->OnDraw(hdc, bPrint, pDisplay, origin);
  md::layout::legend::DrawLegendMarks(hdc, bPrint, pDisplay, pReference, marks, method.c_str(),
                                      m_core.m_pFeatureSet);
  if (bTitleMissing) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_txtsymbol == NULL");
    return FALSE;
  }
  if (m_pFrame) m_pFrame->OnDraw(hdc, bPrint, pDisplay, rect, pReference, GIS_FRAME_PART_BORDER);
  return TRUE;
}

IGIS_Element* CGIS_LegendElement::ConvertToElement() {
  const std::string method = m_core.Method("ConvertToElement");
  IGIS_FeatureSet* pSet = m_core.m_pFeatureSet;
  IGIS_Element* pElement = pSet != nullptr ? pSet->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_COMPOUND) : nullptr;
  auto* pCompound = dynamic_cast<IGIS_CompoundElement*>(pElement);
  if (pCompound == nullptr) {
    if (pElement != nullptr) pSet->DeleteElement(pElement);
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_comelement == NULL");
    return nullptr;
  }
  if (m_pFrame) {
    if (IGIS_Element* pFrameElements = m_pFrame->ConvertToElement(this))
      pCompound->AddElement(pFrameElements);
  }
  bool bTitleMissing = false;
  const LegendMarks marks = BuildMarks(GetRect(), method.c_str(), &bTitleMissing, nullptr);
  md::layout::legend::ConvertLegendMarks(pCompound, marks);
  if (bTitleMissing) GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_txtSymbol == NULL");
  return pElement;
}
