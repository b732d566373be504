// The tab fields of the index tab styles, their stored keys and copy, and
// the drawing and conversion the four styles share.
#include "layout/graphicelement/grid/label/cgis_indexgridtabstylebase.h"

#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/grid/gridlines.h"
#include "layout/graphicelement/grid/grid/igis_indexgrid.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/win/cdc.h"

namespace md::layout::label {

namespace {

constexpr const char* kConvertTexts = "IGIS_IndexGridTabStyle::ConvertToElement";
// The fill and outline styles of a new tab style.
constexpr int kDefaultFillCode = 3361;
constexpr int kDefaultOutlineCode = 3331;
// The turn of a side's texts when its alignment flag is set, degrees.
constexpr double kTurnedAngle = 90.0;

// The bound index grid, its map frame and the frame's owner feature set.
struct TabContext {
  IGIS_IndexGrid* pGrid = nullptr;
  IGIS_MapElement* pFrame = nullptr;
  IGIS_FeatureSet* pOwner = nullptr;

  // The grid's letter setting as the designations take it.
  int XYLabelType() const { return pGrid->GetXYLabelType() ? 1 : 0; }
};

// Finds what a drawing or conversion needs; false when something is missing
// (without a record when the style is bound to no grid; with one under the
// method otherwise, szNoFrame naming a missing map frame).
bool FindContext(IGIS_MapGrid* pMapGrid, const char* szMethod, const char* szNoFrame, TabContext* pOut) {
  if (pMapGrid == nullptr) return false;
  auto* pGrid = dynamic_cast<IGIS_IndexGrid*>(pMapGrid);
  if (pMapGrid->GetType() != GIS_MAPGRID_INDEX || pGrid == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "pMapGrid->GetType( == NULL");
    return false;
  }
  IGIS_MapElement* pFrame = pGrid->GetMapElement();
  if (pFrame == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szNoFrame);
    return false;
  }
  IGIS_FeatureSet* pOwner = pFrame->GetFeatureSetPtr();
  if (pOwner == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_graphicLayer== NULL ");
    return false;
  }
  *pOut = {pGrid, pFrame, pOwner};
  return true;
}

TabFrame FrameOf(const TabContext& c, int nThickness, bool bOutside,
                 md::layout::grid::CGIS_GridCapRecord& caps) {
  return MakeTabFrame(c.pFrame->GetRect(), c.pGrid->GetColumnCount(), c.pGrid->GetRowCount(), nThickness,
                      bOutside, caps);
}

// What a stored symbol key says: absent (NULL, *pEmpty false) keeps the
// held symbol; stored empty (*pEmpty true) means the style has none;
// otherwise the symbol read (NULL when it cannot be read).
md::basilo::ReleasePtr<IGIS_Symbol> StoredSymbol(const StoredSetView& set, const char* szKey, bool* pEmpty) {
  *pEmpty = false;
  const md::basilo::StoredFieldView* pField = set.Find(szKey);
  if (pField == nullptr) return nullptr;
  *pEmpty = pField->type != GIS_FIELD_TYPE_BUFFER || pField->bytes.empty();
  return md::basilo::ReleasePtr<IGIS_Symbol>(*pEmpty ? nullptr : GetSymbolFromStored(pField, szKey));
}

// The symbol setters' rule, with the style's own record for NULL.
void SetTabSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, IGIS_Symbol* pSymbol, SymbolKind kind,
                  const char* szMethod, const char* szNullText) {
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "%s", szNullText);
    pHeld->reset();
    return;
  }
  ReplaceSymbol(pHeld, pSymbol, kind, szMethod);
}

}  // namespace

IndexTabStyleState::IndexTabStyleState()
    : m_pForegroundSymbol(NewStyledSymbol(SymbolKind::Fill, kDefaultFillCode)),
      m_pOutLineSymbol(NewStyledSymbol(SymbolKind::Line, kDefaultOutlineCode)) {}

void IndexTabStyleState::SetStoredOffsets(int nX, int nY) {
  m_nOffsetX = nX;
  m_nOffsetY = nY;
}

void IndexTabStyleState::SetForegroundSymbol(IGIS_Symbol* pSymbol) {
  SetTabSymbol(&m_pForegroundSymbol, pSymbol, SymbolKind::Fill,
               "IGIS_IndexGridTabStyle::SetForegroundSymbolPtr", "m_pForegroundSymbol == NULL");
}

void IndexTabStyleState::SetOutLineSymbol(IGIS_Symbol* pSymbol) {
  SetTabSymbol(&m_pOutLineSymbol, pSymbol, SymbolKind::Line, "IGIS_IndexGridTabStyle::SetOutLineSymbolPtr",
               "left == NULL");
}

bool IndexTabStyleState::SaveTabKeys(StoredSetWriter* pSet, IGIS_DataBuffer* pBuffer, const char* szMethod,
                                     const TabStyleKey* pExtra) const {
  if (!SaveBufferGiven(pBuffer, szMethod)) return false;
  StoredSetWriter* s = pSet;
  PutBool(s, "bInside", m_bInside);
  PutInt(s, "dThickness", m_nThickness);
  PutInt(s, "dOffsetX", m_nOffsetX);
  PutInt(s, "dOffsetY", m_nOffsetY);
  if (pExtra != nullptr) PutInt(s, pExtra->szKey, *pExtra->pValue);
  PutSymbol(s, "ForegroundSymbol", m_pForegroundSymbol.get());
  PutSymbol(s, "OutLineSymbol", m_pOutLineSymbol.get());
  return true;
}

void IndexTabStyleState::OpenTabKeys(const StoredSetView& s, const TabStyleKey* pExtra) {
  TakeBool(s, "bInside", &m_bInside);
  TakeInt(s, "dThickness", &m_nThickness);
  TakeInt(s, "dOffsetX", &m_nOffsetX);
  TakeInt(s, "dOffsetY", &m_nOffsetY);
  if (pExtra != nullptr) TakeInt(s, pExtra->szKey, pExtra->pValue);
  // A symbol of another kind than the key's, or one that cannot be read,
  // keeps the held symbol.
  bool bEmpty = false;
  md::basilo::ReleasePtr<IGIS_Symbol> pFill = StoredSymbol(s, "ForegroundSymbol", &bEmpty);
  if (bEmpty) {
    m_pForegroundSymbol.reset();
  } else if (IGIS_Symbol* pPart = SymbolPartOf(pFill.get(), SymbolKind::Fill)) {
    SetForegroundSymbol(pPart);
  }
  md::basilo::ReleasePtr<IGIS_Symbol> pLine = StoredSymbol(s, "OutLineSymbol", &bEmpty);
  if (bEmpty) {
    m_pOutLineSymbol.reset();
  } else if (IGIS_Symbol* pPart = SymbolPartOf(pLine.get(), SymbolKind::Line)) {
    SetOutLineSymbol(pPart);
  }
}

bool IndexTabStyleState::DrawTabs(const TabLabelSettings& s, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                                  const char* szMethod, TabShape shape) const {
  TabContext c;
  if (!FindContext(s.pGrid, szMethod, "p_indexgrid->GetMapElement( == NULL", &c)) return false;
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_display == NULL");
    return false;
  }
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_symbolization == NULL");
    return false;
  }
  md::layout::grid::CGIS_GridCapRecord caps(szMethod);
  const TabFrame frame = FrameOf(c, m_nThickness, m_bInside, caps);
  IGIS_SpatialReference* pPage = PageReferenceOf(c.pOwner);
  // The painter holds the element clip sequence for the tabs and the texts.
  CGIS_PageSymbolPainter painter(hdc, bPrint, pDisplay, pPage, szMethod, c.pOwner);
  if (m_pForegroundSymbol || m_pOutLineSymbol) {
    for (TabRing& ring : shape(frame)) {
      pView->PageToDevicePoints(ring.points.data(), ring.nCount, pPage);
      painter.DrawDevice(m_pForegroundSymbol.get(), ring.points.data(), ring.nCount);
      painter.DrawDevice(m_pOutLineSymbol.get(), ring.points.data(), ring.nCount);
    }
  }

  if (s.pTextSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "m_pTextSymbol == NULL");
    return true;
  }
  md::basilo::ReleasePtr<IGIS_AnnoPointStyle> pStyle =
      md::layout::label::NewLabelPointStyle(s.pTextSymbol, szMethod);
  if (!pStyle) return true;
  LOGFONT* pFont = pStyle->GetTextStylePtr()->GetFontSizePtr();
  IGIS_AnnoDrawer* pDrawer = GIS_GetAnnotationDrawerObject();
  const double dRatio = GetDisplayRatio(pDisplay);
  CDC* pDC = CDC::FromHandle(hdc);
  for (int k = 0; k < 4; ++k) {
    if (!s.bVisible[k]) continue;
    if (pFont != nullptr) pFont->lfOrientation = s.bTurned[k] ? static_cast<LONG>(kTurnedAngle) : 0;
    for (const TabDesignation& d : SideDesignations(frame, kLabelSides[k], s.offsets, c.XYLabelType())) {
      const SGIS_Point anchor = pView->PageToDevicePoint(d.anchor, pPage);
      DrawWithDrawer(pDrawer, pDisplay, pDC, bPrint, dRatio, pStyle.get(), d.text.c_str(), &anchor, 1,
                     c.pOwner);
    }
  }
  return true;
}

IGIS_Element* IndexTabStyleState::ConvertTabs(const TabLabelSettings& s, const char* szMethod,
                                              TabShape shape) const {
  TabContext c;
  if (!FindContext(s.pGrid, szMethod, "p_mapelement== NULL ", &c)) return nullptr;
  IGIS_CompoundElement* pCompound = CreateCompoundElement(c.pOwner);
  if (pCompound == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_comElement == NULL ");
    return nullptr;
  }
  md::layout::grid::CGIS_GridCapRecord caps(szMethod);
  if (m_pForegroundSymbol || m_pOutLineSymbol) {
    // A tab whose element the page cannot make is left out.
    for (const TabRing& ring : shape(FrameOf(c, m_nThickness, m_bInside, caps))) {
      if (m_pForegroundSymbol)
        CreatePolygonElement(pCompound, ring.points.data(), ring.nCount, m_pForegroundSymbol.get());
      if (m_pOutLineSymbol)
        CreatePolylineElement(pCompound, ring.points.data(), ring.nCount, m_pOutLineSymbol.get());
    }
  }
  if (IGIS_Element* pTexts = ConvertDesignations(s)) AddElementOrHandBack(pCompound, pTexts);
  return pCompound;
}

IGIS_Element* IndexTabStyleState::ConvertDesignations(const TabLabelSettings& s) const {
  TabContext c;
  if (!FindContext(s.pGrid, kConvertTexts, "p_mapelement== NULL ", &c)) return nullptr;
  // The texts are turned on a working copy: the style's own symbol stays as it is.
  md::basilo::ReleasePtr<IGIS_Symbol> pSymbol(s.pTextSymbol != nullptr ? s.pTextSymbol->Clone() : nullptr);
  LOGFONT* pFont = pSymbol ? pSymbol->GetFontSizePtr() : nullptr;
  if (pFont == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvertTexts, "m_pTextSymbol == NULL");
    return nullptr;
  }
  IGIS_CompoundElement* pCompound = CreateCompoundElement(c.pOwner);
  if (pCompound == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvertTexts, "p_comElement == NULL ");
    return nullptr;
  }
  // The drawer turns a text by its symbol's angle and its font's turn; a
  // text element by its angle alone.
  const double dBaseAngle = pSymbol->GetAngle();
  pFont->lfOrientation = 0;
  const double dRatio = md::layout::SymbolUnitRatio(c.pOwner);
  md::layout::grid::CGIS_GridCapRecord caps(kConvertTexts);
  const TabFrame frame = FrameOf(c, m_nThickness, m_bInside, caps);
  for (int k = 0; k < 4; ++k) {
    if (!s.bVisible[k]) continue;
    const double dAngle = dBaseAngle + (s.bTurned[k] ? kTurnedAngle : 0.0);
    pSymbol->SetAngle(dAngle);
    for (const TabDesignation& d : SideDesignations(frame, kLabelSides[k], s.offsets, c.XYLabelType())) {
      SGIS_Rect extent;
      pSymbol->GetTextExtent(&extent, d.text.c_str(), 0, 1.0);
      const SGIS_DRect box = AlignedTextBound(GIS_ALIGN_CENTER, SGIS_DPoint(d.anchor),
                                              extent.Width() * dRatio, extent.Height() * dRatio, dAngle);
      if (!CreateTextElement(pCompound, SGIS_Point::FromDoubles(box.x1, box.y2), pSymbol.get(),
                             d.text.c_str(), false)) {
        // Nothing of a conversion that failed part-way stays in the feature set.
        GIS_LOG(GIS_LOG_LEVEL_CHECK, kConvertTexts, "p_textElement == NULL");
        DropCompound(pCompound);
        return nullptr;
      }
    }
  }
  return pCompound;
}

}  // namespace md::layout::label

IGIS_IndexGridTabStyle* IGIS_IndexGridTabStyle::CopyFrom(IGIS_IndexGridTabStyle* pOther) {
  if (pOther == nullptr || pOther == this) return this;
  static_cast<IGIS_GridLabel*>(this)->CopyFrom(static_cast<IGIS_GridLabel*>(pOther));
  SetInside(pOther->GetInside());
  using md::layout::label::IndexTabStyleState;
  auto* pState = dynamic_cast<IndexTabStyleState*>(this);
  const auto* pOtherState = dynamic_cast<const IndexTabStyleState*>(pOther);
  if (pState != nullptr && pOtherState != nullptr) {
    pState->SetStoredOffsets(pOtherState->GetStoredOffsetX(), pOtherState->GetStoredOffsetY());
  }
  SetThickness(pOther->GetThickness());
  SetForegroundSymbolPtr(pOther->GetForegroundSymbolPtr());
  SetOutLineSymbolPtr(pOther->GetOutLineSymbolPtr());
  return this;
}
