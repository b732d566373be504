// The index grid: its cells, drawing, conversion, stored keys and sheet.
#include "layout/graphicelement/grid/index/cgis_indexgrid.h"

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/featra/igis_feature.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/index/indexgridfigure.h"
#include "layout/graphicelement/igis_mapelement.h"

namespace {

using md::layout::grid::IndexGridPiece;

// The keys of the grid's own state, before the common ones.
constexpr const char* kColumnCount = "ColumnCount";
constexpr const char* kRowCount = "RowCount";
constexpr const char* kXYLabelType = "XYLabelType";

// A count beyond the cap, cut to it with a record under the method.
int CappedIndexCount(int nCount, const char* szMethod, const char* szKey) {
  if (nCount <= CGIS_IndexGrid::kMaxCount) return nCount;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s %d capped at %d", szKey, nCount, CGIS_IndexGrid::kMaxCount);
  return CGIS_IndexGrid::kMaxCount;
}

}  // namespace

CGIS_IndexGrid::CGIS_IndexGrid() {
  IGIS_GridLabel* pLabel = GIS_CreateMapGridLabelFormatObject(GIS_GRIDLABEL_INDEX_CONTINUOUS);
  if (pLabel != nullptr) {
    SetLabelFormat(pLabel);
    pLabel->Release();
  }
}

CGIS_IndexGrid::~CGIS_IndexGrid() { ReleaseLabel(); }

void CGIS_IndexGrid::SetLabelFormat(IGIS_GridLabel* pLabel) {
  ReplaceLabel(pLabel,
               {GIS_GRIDLABEL_INDEX_BACKGROUND, GIS_GRIDLABEL_INDEX_BOTTON, GIS_GRIDLABEL_INDEX_CONTINUOUS,
                GIS_GRIDLABEL_INDEX_ROUNDED},
               "CGIS_IndexGrid::SetLabelFormat", false);
}

void CGIS_IndexGrid::SetColumnCount(int nCount) {
  if (nCount == GetColumnCount()) return;
  m_nColumnCount = CappedIndexCount(nCount, "CGIS_IndexGrid::SetColumnCount", kColumnCount);
}

void CGIS_IndexGrid::SetRowCount(int nCount) {
  if (nCount == GetRowCount()) return;
  m_nRowCount = CappedIndexCount(nCount, "CGIS_IndexGrid::SetRowCount", kRowCount);
}

IGIS_IndexGrid* CGIS_IndexGrid::Copy(IGIS_IndexGrid* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  CopyFrom(pOther);
  m_bXYLabelType = pOther->GetXYLabelType();
  // Another index grid of the library hands over its counts as held, so
  // that a copy (a clone, Cancel's restore) stores what the source stores.
  if (auto* pIndex = dynamic_cast<CGIS_IndexGrid*>(pOther)) {
    m_nColumnCount = pIndex->m_nColumnCount;
    m_nRowCount = pIndex->m_nRowCount;
  } else {
    m_nColumnCount = CappedIndexCount(pOther->GetColumnCount(), "CGIS_IndexGrid::Copy", kColumnCount);
    m_nRowCount = CappedIndexCount(pOther->GetRowCount(), "CGIS_IndexGrid::Copy", kRowCount);
  }
  return this;
}

IGIS_MapGrid* CGIS_IndexGrid::Clone() {
  return md::basilo::CloneOrNull<CGIS_IndexGrid>("CGIS_IndexGrid::Clone", this);
}

bool CGIS_IndexGrid::Save(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "CGIS_IndexGrid::Save";
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDataBuffer为空");
    return false;
  }
  md::layout::StoredSetWriter set;
  set.Int(kColumnCount, kColumnCount, m_nColumnCount);
  set.Int(kRowCount, kRowCount, m_nRowCount);
  set.Bool(kXYLabelType, kXYLabelType, m_bXYLabelType);
  if (!SaveCommon(&set, pBuffer)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
    return false;
  }
  return true;
}

bool CGIS_IndexGrid::Open(IGIS_DataBuffer* pBuffer) {
  constexpr const char* kMethod = "CGIS_IndexGrid::Open";
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "pDataBuffer为空");
    return false;
  }
  const md::layout::StoredSetView set(pBuffer);
  if (set.Damaged()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
    return false;
  }
  return OpenStored(set, pBuffer);
}

bool CGIS_IndexGrid::OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer*) {
  constexpr const char* kMethod = "CGIS_IndexGrid::Open";
  set.Read(kColumnCount, &m_nColumnCount);
  set.Read(kRowCount, &m_nRowCount);
  CappedIndexCount(m_nColumnCount, kMethod, kColumnCount);
  CappedIndexCount(m_nRowCount, kMethod, kRowCount);
  set.Read(kXYLabelType, &m_bXYLabelType);
  if (!OpenCommon(set)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "b_ret == NULL");
    return false;
  }
  return true;
}

bool CGIS_IndexGrid::OnOpenPropertyDlg() {
  return RunPropertySheet("索引格网属性", "CGIS_IndexGrid::OnOpenPropertyDlg",
                          [this](IGIS_MapGrid* pBackup) { Copy(static_cast<CGIS_IndexGrid*>(pBackup)); });
}

bool CGIS_IndexGrid::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  constexpr const char* kMethod = "CGIS_IndexGrid::OnDraw";
  if (m_pMapElement == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "m_pMapElement == NULL");
    return false;
  }
  IGIS_SpatialReference* pPage = PageReferenceOf(m_pMapElement->GetFeatureSetPtr());
  DrawPrelude(hdc, bPrint, pDisplay);
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_symbolization == NULL");
    return false;
  }
  md::layout::grid::CGIS_GridCapRecord caps(kMethod);
  const std::vector<IndexGridPiece> pieces =
      md::layout::grid::LayIndexGrid(this, m_pMapElement->GetRect(), caps);
  CGIS_PageSymbolPainter painter(hdc, bPrint, pDisplay, pPage, kMethod, m_pMapElement->GetFeatureSetPtr());
  for (const IndexGridPiece& piece : pieces) painter.Draw(piece.pSymbol, piece.points, piece.nCount);
  return true;
}

IGIS_Element* CGIS_IndexGrid::ConvertToElement() {
  constexpr const char* kMethod = "CGIS_IndexGrid::ConvertToElement";
  IGIS_Element* pElement = ConvertPrelude();
  auto* pBase = dynamic_cast<IGIS_CompoundElement*>(pElement);
  if (pBase == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_element == NULL");
    return nullptr;
  }
  // The grid's own compound; without one the base compound is the result.
  IGIS_CompoundElement* pOwn = CreateCompoundElement(pBase->GetFeatureSetPtr());
  if (pOwn == nullptr) return pElement;
  md::layout::grid::CGIS_GridCapRecord caps(kMethod);
  for (const IndexGridPiece& piece : md::layout::grid::LayIndexGrid(this, m_pMapElement->GetRect(), caps)) {
    if (piece.nCount == 2) {
      AddSegmentElement(pOwn, piece.points[0], piece.points[1], piece.pSymbol);
    } else {
      CreatePointElement(pOwn, piece.points[0], piece.pSymbol);
    }
  }
  AddElementOrHandBack(pBase, pOwn);
  return pElement;
}
