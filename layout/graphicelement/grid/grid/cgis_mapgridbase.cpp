// The common values of every grid: defaults, setters, the common copy, the
// drawing and conversion preludes and the property-sheet routine.
#include "layout/graphicelement/grid/grid/cgis_mapgridbase.h"

#include <exception>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/grid/grid/gridsheet.h"
#include "layout/graphicelement/grid/grid/mapgridbordermaker.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace md::layout::grid {

namespace {

constexpr const char* kDefaultName = "格网";
constexpr int kDefaultMarkStyle = 3303;
constexpr int kDefaultLineStyle = 3331;

// Each symbol's setter: the kind of copy it keeps and the method its records name.
struct SymbolRule {
  SymbolKind kind;
  const char* szMethod;
};
constexpr SymbolRule kSymbolRules[MapGridValues::kSymbolCount] = {
    {SymbolKind::Line, "IGIS_MapGrid::SetLineSymbol"},
    {SymbolKind::Line, "IGIS_MapGrid::SetSubTickLineSymbol"},
    {SymbolKind::Line, "IGIS_MapGrid::SetTickLineSymbol"},
    {SymbolKind::Point, "IGIS_MapGrid::SetMarkSymbol"},
};

// A copy of the symbol seen as the kind, or NULL.
IGIS_Symbol* CopyAs(IGIS_Symbol* pSymbol, SymbolKind kind) {
  if (pSymbol == nullptr) return nullptr;
  IGIS_Symbol* pCopy = pSymbol->Clone();
  IGIS_Symbol* pPart = SymbolPartOf(pCopy, kind);
  if (pPart == nullptr && pCopy != nullptr) pCopy->Release();
  return pPart;
}

}  // namespace

IGIS_Map* ConversionMap(IGIS_MapGrid* pGrid, IGIS_Element* pResult, const char* szMethod) {
  IGIS_MapElement* pFrame = pGrid != nullptr ? pGrid->GetMapElement() : nullptr;
  if (dynamic_cast<IGIS_CompoundElement*>(pResult) == nullptr || pFrame == nullptr) return nullptr;
  IGIS_Map* pMap = pFrame->GetMap();
  if (pMap == nullptr) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_map == NULL");
  return pMap;
}

IGIS_Element* FillConversionGroup(IGIS_CompoundElement* pResult, const char* szMethod,
                                  const std::function<void(IGIS_CompoundElement* pGroup)>& fill) {
  IGIS_CompoundElement* pGroup = CreateCompoundElement(pResult->GetFeatureSetPtr());
  if (pGroup == nullptr) return pResult;
  try {
    fill(pGroup);
  } catch (const std::exception& e) {
    // Nothing half made stays on the page.
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "conversion cut short: %s", e.what());
    DropCompound(pGroup);
    DropCompound(pResult);
    return nullptr;
  }
  AddElementOrHandBack(pResult, pGroup);
  return pResult;
}

MapGridValues* MapGridValues::Of(IGIS_MapGrid* pGrid) { return dynamic_cast<MapGridValues*>(pGrid); }

namespace {
thread_local int t_nBareDepth = 0;
}  // namespace

MapGridValues::BareForRead::BareForRead() { ++t_nBareDepth; }
MapGridValues::BareForRead::~BareForRead() { --t_nBareDepth; }
bool MapGridValues::MadeBare() { return t_nBareDepth > 0; }

MapGridValues::MapGridValues(IGIS_MapGrid* pGrid) : m_name(kDefaultName), m_pGrid(pGrid) {
  m_flags.fill(true);
  m_pending = ((1u << kSymbolCount) - 1) | kPendingBorder;
  if (MadeBare()) {
    m_pending |= kPendingLabel;
    m_bBare = true;
  } else {
    MapGridValues::FinishRead();
  }
}

void MapGridValues::FinishRead() {
  // The tick symbols are copies of the default line symbol.
  md::basilo::ReleasePtr<IGIS_Symbol> line;
  auto defaultLine = [&] {
    if (!line) line.reset(NewStyledSymbol(SymbolKind::Line, kDefaultLineStyle));
    return line.get();
  };
  if (Pending(1u << kMarkSymbol))
    m_symbols[kMarkSymbol].reset(NewStyledSymbol(SymbolKind::Point, kDefaultMarkStyle));
  if (Pending(1u << kTickLineSymbol))
    m_symbols[kTickLineSymbol].reset(CopyAs(defaultLine(), SymbolKind::Line));
  if (Pending(1u << kSubTickLineSymbol))
    m_symbols[kSubTickLineSymbol].reset(CopyAs(defaultLine(), SymbolKind::Line));
  if (Pending(1u << kLineSymbol))
    m_symbols[kLineSymbol].reset(line ? line.release()
                                      : NewStyledSymbol(SymbolKind::Line, kDefaultLineStyle));
  if (Pending(kPendingBorder) && !m_pBorder) m_pBorder.reset(CreateMapGridBorder(m_pGrid));
  m_pending = 0;
  m_bBare = false;
}

MapGridValues::~MapGridValues() {
  m_pBorder.reset();
  for (Symbol s : {kSubTickLineSymbol, kTickLineSymbol, kMarkSymbol, kLineSymbol}) m_symbols[s].reset();
  m_pLabel.reset();
  m_pMapElement = nullptr;
}

void MapGridValues::SetSymbol(Symbol symbol, IGIS_Symbol* pSymbol) {
  ReplaceSymbol(&m_symbols[symbol], pSymbol, kSymbolRules[symbol].kind, kSymbolRules[symbol].szMethod);
}

void MapGridValues::SetName(const char* szName) {
  SetCutName(&m_name, szName, kMaxNameBytes, "IGIS_MapGrid::SetName");
}

void MapGridValues::SetSides(Flag left, Flag top, Flag right, Flag bottom, bool bLeft, bool bTop, bool bRight,
                             bool bBottom) {
  m_flags[left] = bLeft;
  m_flags[top] = bTop;
  m_flags[right] = bRight;
  m_flags[bottom] = bBottom;
}

void MapGridValues::GetSides(Flag left, Flag top, Flag right, Flag bottom, bool* pLeft, bool* pTop,
                             bool* pRight, bool* pBottom) const {
  if (pLeft != nullptr) *pLeft = m_flags[left];
  if (pTop != nullptr) *pTop = m_flags[top];
  if (pRight != nullptr) *pRight = m_flags[right];
  if (pBottom != nullptr) *pBottom = m_flags[bottom];
}

void MapGridValues::SetBorder(IGIS_MapGridBorder* pBorder) {
  if (pBorder == nullptr) GIS_LOG(GIS_LOG_LEVEL_GRID, "IGIS_MapGrid::SetBorder", "right == NULL");
  if (pBorder != nullptr && pBorder == m_pBorder.get()) return;
  m_pBorder.reset();
  m_keptBorder = KeptBorder();
  if (pBorder == nullptr) return;
  m_pBorder.reset(pBorder->Clone());
  if (m_pBorder) m_pBorder->SetMapGrid(m_pGrid);
}

void MapGridValues::AdoptLabelCopy(IGIS_GridLabel* pLabel) {
  m_pLabel.reset(pLabel != nullptr ? pLabel->Clone() : nullptr);
  if (m_pLabel) m_pLabel->SetMapGrid(m_pGrid);
  m_keptLabel = KeptLabel();
}

void MapGridValues::ReplaceLabel(IGIS_GridLabel* pLabel, std::initializer_list<int> accepted,
                                 const char* szMethod, bool bLogRefusal) {
  if (pLabel == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "right == NULL");
    return;
  }
  if (pLabel == m_pLabel.get()) return;
  const int nType = pLabel->GetType();
  bool bAccepted = false;
  for (int n : accepted) bAccepted = bAccepted || n == nType;
  if (!bAccepted) {
    if (bLogRefusal) GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, " == NULL");
    return;
  }
  AdoptLabelCopy(pLabel);
}

void MapGridValues::CopyCommonFrom(IGIS_MapGrid* pOther) {
  if (pOther == nullptr || pOther == m_pGrid) return;
  MapGridValues* pValues = Of(pOther);
  if (pValues != nullptr) m_dExteriorWidth = pValues->m_dExteriorWidth;
  SetName(pOther->GetName());
  if (pValues != nullptr) {
    m_flags = pValues->m_flags;
  } else {
    // A grid of another make shows only its main switches.
    bool b[4];
    pOther->GetLabelVisible(&b[0], &b[1], &b[2], &b[3]);
    SetSides(kLeftLabel, kTopLabel, kRightLabel, kBottomLabel, b[0], b[1], b[2], b[3]);
    pOther->GetTickVisible(&b[0], &b[1], &b[2], &b[3]);
    SetSides(kLeftTick, kTopTick, kRightTick, kBottomTick, b[0], b[1], b[2], b[3]);
    pOther->GetSubTickVisible(&b[0], &b[1], &b[2], &b[3]);
    SetSides(kLeftSubTick, kTopSubTick, kRightSubTick, kBottomSubTick, b[0], b[1], b[2], b[3]);
    m_flags[kVisible] = pOther->GetVisible();
  }
  m_nSubTickCount = pOther->GetSubTickCount();
  m_dSubTickLength = pOther->GetSubTickLength();
  m_pMapElement = pOther->GetMapElement();
  m_dTickLength = pOther->GetTickLength();
  m_nGridlineType = pOther->GetGridlineType();
  const int nDivision = pOther->GetTickDivision();
  m_nTickDivision = nDivision >= 1 ? nDivision : 1;
  SetSymbol(kLineSymbol, pOther->GetLineSymbol());
  SetSymbol(kSubTickLineSymbol, pOther->GetSubTickLineSymbol());
  SetSymbol(kTickLineSymbol, pOther->GetTickLineSymbol());
  SetSymbol(kMarkSymbol, pOther->GetMarkSymbol());
  m_pGrid->SetLabelFormat(pOther->GetLabelFormat());
  SetBorder(pOther->GetBorder());
  if (pValues != nullptr && pValues->m_keptLabel.bKept) {
    m_pLabel.reset();
    m_keptLabel = pValues->m_keptLabel;
  }
  if (pValues != nullptr && pValues->m_keptBorder.bKept) {
    m_pBorder.reset();
    m_keptBorder = pValues->m_keptBorder;
  }
}

bool MapGridValues::DrawPrelude(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const GridLabelPlan* pPlan) {
  if (m_pBorder) m_pBorder->Draw(hdc, bPrint, pDisplay);
  if (m_pLabel) {
    auto* pPlanned = pPlan != nullptr ? dynamic_cast<PlannedGridLabel*>(m_pLabel.get()) : nullptr;
    if (pPlanned != nullptr) {
      pPlanned->DrawPlanned(hdc, bPrint, pDisplay, *pPlan);
    } else {
      m_pLabel->OnDraw(hdc, bPrint, pDisplay);
    }
  }
  return true;
}

IGIS_Element* MapGridValues::ConvertPrelude(const GridLabelPlan* pPlan) {
  if (m_pMapElement == nullptr) return nullptr;
  IGIS_CompoundElement* pCompound = CreateCompoundElement(m_pMapElement->GetFeatureSetPtr());
  if (pCompound == nullptr) return nullptr;
  // Converted parts stack as drawn: the label over the border.
  if (m_pBorder) AddElementOrHandBack(pCompound, m_pBorder->ConvertToElement());
  if (m_pLabel) {
    auto* pPlanned = pPlan != nullptr ? dynamic_cast<PlannedGridLabel*>(m_pLabel.get()) : nullptr;
    AddElementOrHandBack(
        pCompound, pPlanned != nullptr ? pPlanned->ConvertPlanned(*pPlan) : m_pLabel->ConvertToElement());
  }
  return pCompound;
}

bool MapGridValues::RunPropertySheet(const char* szTitle, const char* szMethod,
                                     const std::function<void(IGIS_MapGrid* pBackup)>& copyBack) {
  md::basilo::ReleasePtr<IGIS_MapGrid> backup(m_pGrid->Clone());
  if (!backup) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_backup == NULL");
    return false;
  }
  const bool bOk = RunGridSheet(m_pGrid, szTitle);
  if (!bOk) {
    copyBack(backup.get());
    // The label as it was, whether or not the kind accepts its type.
    if (MapGridValues* pValues = Of(backup.get())) {
      AdoptLabelCopy(pValues->m_pLabel.get());
      m_keptLabel = pValues->m_keptLabel;
    }
  }
  return bOk;
}

}  // namespace md::layout::grid

IGIS_MapGrid* IGIS_MapGrid::CopyFrom(IGIS_MapGrid* pOther) {
  if (md::layout::grid::MapGridValues* pValues = md::layout::grid::MapGridValues::Of(this)) {
    pValues->CopyCommonFrom(pOther);
  }
  return this;
}
