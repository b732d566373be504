// What every index tab style has on top of the common label state: the
// tabs' fill and outline symbols, the band's depth, whether the bands lie
// outside the frame, two stored offsets; their stored keys and copy; and the
// drawing and conversion that all four styles share, each style giving only
// the shape of its tabs (indextabfigure.h).
//
// A style derives from CGIS_IndexGridTabStyleBase<its interface>, where the
// interface derives from IGIS_IndexGridTabStyle, and supplies Release,
// Clone, GetType, OnDraw (DrawStyle with its shape) and ConvertToElement
// (ConvertStyle with its shape):
//
//   class CGIS_IndexThingTabStyle final : public CGIS_IndexGridTabStyleBase<IGIS_IndexGridTabStyle> {
//     bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* p) override {
//       return DrawStyle(hdc, bPrint, p, "CGIS_IndexThingTabStyle::OnDraw", &ThingTabs);
//     }
//   };
#pragma once

#include "host/basilo/igis_log.h"
#include "host/basilo/makeornull.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "layout/graphicelement/grid/label/cgis_gridlabelbase.h"
#include "layout/graphicelement/grid/label/indextabfigure.h"
#include "layout/graphicelement/grid/label/labelsheet.h"

namespace md::layout::label {

// What the drawing and conversion of a tab style read of its label state.
// The sides are in the order of kLabelSides (bottom, top, left, right).
struct TabLabelSettings {
  IGIS_MapGrid* pGrid = nullptr;
  IGIS_Symbol* pTextSymbol = nullptr;
  bool bVisible[4] = {true, true, true, true};
  bool bTurned[4] = {false, false, false, false};
  SideOffsets offsets;
};

// One extra int key a style stores after the two offsets.
struct TabStyleKey {
  const char* szKey;
  int* pValue;
};

// The tab fields, a class of their own so that a style reads another
// style's stored offsets through it (a dynamic_cast from the interface).
class IndexTabStyleState {
 public:
  IndexTabStyleState(const IndexTabStyleState&) = delete;
  IndexTabStyleState& operator=(const IndexTabStyleState&) = delete;

  // The two offsets that are stored, read and copied but drive nothing.
  int GetStoredOffsetX() const { return m_nOffsetX; }
  int GetStoredOffsetY() const { return m_nOffsetY; }
  void SetStoredOffsets(int nX, int nY);

 protected:
  // The defaults: a solid fill (style 3361) and a plain outline (3331) when
  // the symbol factory makes them, 2 mm deep inside the frame, offsets 100.
  IndexTabStyleState();
  ~IndexTabStyleState() = default;

  // The setters' rule: a copy of the symbol's fill (line) part replaces the
  // held one; the held pointer changes nothing; NULL leaves no symbol, after
  // a level-3 record.
  void SetForegroundSymbol(IGIS_Symbol* pSymbol);
  void SetOutLineSymbol(IGIS_Symbol* pSymbol);

  // Writes the tab keys ("bInside", "dThickness", "dOffsetX", "dOffsetY",
  // the extra key when given, "ForegroundSymbol", "OutLineSymbol") into the
  // set stored next into the buffer; FALSE (with a record under the method)
  // for a NULL buffer.
  bool SaveTabKeys(StoredSetWriter* pSet, IGIS_DataBuffer* pBuffer, const char* szMethod,
                   const TabStyleKey* pExtra) const;
  // Reads the tab keys a buffer holds (a missing key keeps its field, a
  // symbol key stored empty means no symbol, an unreadable symbol keeps the
  // held one).
  void OpenTabKeys(const StoredSetView& set, const TabStyleKey* pExtra);

  // Draws the style's rings (fill, then outline, ring by ring) on all four
  // sides and then the designations of the visible sides, inside the
  // element clip sequence. FALSE with a record under the method when the
  // grid is not an index grid placed in a map frame of a feature set, or
  // without a renderer; without a text symbol the tabs are drawn and the
  // texts left out, with a record.
  bool DrawTabs(const TabLabelSettings& s, HDC hdc, bool bPrint, IGIS_Display* pDisplay, const char* szMethod,
                TabShape shape) const;
  // A new compound of the rings as polygons (fill) and polylines (outline),
  // ring by ring, and last the compound of the designations. NULL without
  // a grid, and with a record under the method when the grid is not an
  // index grid or has no frame, feature set or compound.
  IGIS_Element* ConvertTabs(const TabLabelSettings& s, const char* szMethod, TabShape shape) const;
  // The designations of the visible sides as text elements in a new
  // compound, each level or turned as the side's texts are drawn, its box
  // centred on its anchor. NULL (with a record) as ConvertTabs, and without
  // a text symbol; a text element that cannot be made drops the compound.
  IGIS_Element* ConvertDesignations(const TabLabelSettings& s) const;

  md::basilo::ReleasePtr<IGIS_Symbol> m_pForegroundSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pOutLineSymbol;
  int m_nThickness = 200;
  bool m_bInside = false;
  int m_nOffsetX = 100;
  int m_nOffsetY = 100;
};

}  // namespace md::layout::label

// A new style of the class with the tab copy of the style (Clone).
template <class TStyle>
IGIS_GridLabel* CloneTabStyle(TStyle* pStyle, const char* szMethod) {
  TStyle* pClone = md::basilo::MakeOrNull<TStyle>(szMethod);
  if (pClone != nullptr) pClone->CopyFrom(static_cast<IGIS_IndexGridTabStyle*>(pStyle));
  return pClone;
}

template <class TKind>
class CGIS_IndexGridTabStyleBase : public CGIS_GridLabelBase<TKind>,
                                   public md::layout::label::IndexTabStyleState {
 public:
  bool IsIndexTabStyle() override { return true; }
  IGIS_SymbolPart* GetForegroundSymbolPtr() override { return m_pForegroundSymbol.get(); }
  void SetForegroundSymbolPtr(IGIS_SymbolPart* pSymbol) override { SetForegroundSymbol(pSymbol); }
  IGIS_SymbolPart* GetOutLineSymbolPtr() override { return m_pOutLineSymbol.get(); }
  void SetOutLineSymbolPtr(IGIS_SymbolPart* pSymbol) override { SetOutLineSymbol(pSymbol); }
  bool GetInside() override { return m_bInside; }
  void SetInside(bool bInside) override { m_bInside = bInside; }
  int GetThickness() override { return m_nThickness; }
  void SetThickness(int nThickness) override { m_nThickness = nThickness; }

  bool Save(IGIS_DataBuffer* pBuffer) override { return SaveStyle(pBuffer, "IGIS_IndexGridTabStyle::Save"); }
  bool Open(IGIS_DataBuffer* pBuffer) override { return OpenStyle(pBuffer, "IGIS_IndexGridTabStyle::Open"); }
  // The common copy only (tab fields stay); the overload below copies all.
  IGIS_GridLabel* CopyFrom(IGIS_GridLabel* pOther) override {
    return CGIS_GridLabelBase<TKind>::CopyFrom(pOther);
  }
  IGIS_IndexGridTabStyle* CopyFrom(IGIS_IndexGridTabStyle* pOther) {
    return IGIS_IndexGridTabStyle::CopyFrom(pOther);
  }
  bool OnOpenPropertyDlg() override { return md::layout::label::OpenLabelSheet(this); }
  // The designations alone, as text elements; every style's own conversion
  // adds them after its tabs.
  IGIS_Element* ConvertToElement() override { return ConvertDesignations(Settings()); }

 protected:
  // The eight side offsets start at 0 (the common offset stays 200).
  CGIS_IndexGridTabStyleBase() {
    this->SetLabelOffsetX(0, 0, 0, 0);
    this->SetLabelOffsetY(0, 0, 0, 0);
  }
  ~CGIS_IndexGridTabStyleBase() = default;

  // The tab keys (and the extra key), then the common keys in the same
  // buffer; FALSE, with a record under the method, when either write failed.
  bool SaveStyle(IGIS_DataBuffer* pBuffer, const char* szMethod,
                 const md::layout::label::TabStyleKey* pExtra = nullptr) {
    md::layout::StoredSetWriter set;
    const bool bOwn = this->SaveTabKeys(&set, pBuffer, szMethod, pExtra);
    const bool bCommon = this->SaveCommonLogged(&set, pBuffer, this->GetType(), szMethod);
    return bOwn && bCommon;
  }
  // The tab keys, then the common keys; FALSE with a record when either
  // cannot be read (the tab keys read before a failure of the common part
  // keep their new values).
  bool OpenStyle(IGIS_DataBuffer* pBuffer, const char* szMethod,
                 const md::layout::label::TabStyleKey* pExtra = nullptr) {
    const md::layout::StoredSetView set(pBuffer);
    if (!md::layout::label::OpenBufferReadable(pBuffer, set, szMethod, "b_ret == NULL")) return false;
    this->OpenTabKeys(set, pExtra);
    if (!this->OpenCommon(set)) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "b_ret == NULL");
      return false;
    }
    return true;
  }

  md::layout::label::TabLabelSettings Settings() const {
    md::layout::label::TabLabelSettings s;
    s.pGrid = this->m_pMapGrid;
    s.pTextSymbol = this->m_pTextSymbol.get();
    const bool visible[4] = {this->m_bBottomVisible, this->m_bTopVisible, this->m_bLeftVisible,
                             this->m_bRightVisible};
    const bool turned[4] = {this->m_bBottomAlignment, this->m_bTopAlignment, this->m_bLeftAlignment,
                            this->m_bRightAlignment};
    for (int i = 0; i < 4; ++i) {
      s.bVisible[i] = visible[i];
      s.bTurned[i] = turned[i];
    }
    s.offsets = this->m_offsets;
    return s;
  }
  bool DrawStyle(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const char* szMethod,
                 md::layout::label::TabShape shape) const {
    return DrawTabs(Settings(), hdc, bPrint, pDisplay, szMethod, shape);
  }
  IGIS_Element* ConvertStyle(const char* szMethod, md::layout::label::TabShape shape) const {
    return ConvertTabs(Settings(), szMethod, shape);
  }
};
