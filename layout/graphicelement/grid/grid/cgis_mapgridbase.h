// What every grid kind has: name, visibility, the label and tick switches of
// the four sides, tick lengths, the line, tick and mark symbols, its label,
// its border, its map frame and line kind, with their setters, the common
// copy, the drawing and conversion preludes, the common stored keys and the
// property-sheet routine. The kinds derive from CGIS_MapGridBase<their
// interface>; the non-template work is done by MapGridValues.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/grid/grid/gridlabelplan.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"

class IGIS_CompoundElement;
class IGIS_Map;
class IGIS_PropertySet;

namespace md::layout {
class StoredSetView;
class StoredSetWriter;
}  // namespace md::layout

namespace md::layout::grid {
class ReferenceShare;

// The map a kind converts over, into the compound its conversion prelude
// made: NULL when the result is not a compound or the grid has no frame,
// and when the frame has no map (then with the record "p_map == NULL" under
// szMethod).
IGIS_Map* ConversionMap(IGIS_MapGrid* pGrid, IGIS_Element* pResult, const char* szMethod);

// The end of a kind's conversion: a new group in the owner of the compound
// the conversion prelude made, filled by `fill` and added as the compound's
// last member (also when empty). Returns the compound (alone when no group
// could be made); NULL when the fill was cut short by an exception, after
// removing the group and the compound with everything they hold (a record
// under szMethod).
IGIS_Element* FillConversionGroup(IGIS_CompoundElement* pResult, const char* szMethod,
                                  const std::function<void(IGIS_CompoundElement* pGroup)>& fill);

// The label stored in bytes (a grid's "LabelFormat"), read in place: what
// GIS_CreateMapGridLabelFormatObjectFromDataBuffer gives for a buffer of
// these bytes.
IGIS_GridLabel* CreateGridLabelInPlace(std::span<const BYTE> bytes);

// The common values of a grid and the work on them. A grid made on
// CGIS_MapGridBase holds one; MapGridValues::Of finds it from the grid's
// interface.
class MapGridValues {
 public:
  static constexpr std::size_t kMaxNameBytes = 999;

  // Reads the grid from its stored set, already read from pBuffer (the grid
  // factory reads the grid's kind from it first); what Open answers.
  virtual bool OpenStored(const md::layout::StoredSetView& set, IGIS_DataBuffer* pBuffer) = 0;
  // While one lives on this thread, new grids are made bare: without the
  // defaults a stored grid replaces (symbols, border, a kind's label and
  // parts). Reading such a grid then ends with FinishRead, which makes the
  // defaults the read left in place, so that the grid equals one made with
  // its defaults and read.
  class BareForRead {
   public:
    BareForRead();
    ~BareForRead();
    BareForRead(const BareForRead&) = delete;
    BareForRead& operator=(const BareForRead&) = delete;
  };
  virtual void FinishRead();

  // Reads the grid from its set decoded in place within a larger stored
  // form (entry nEntry of a grid list, references shared through pShare as
  // OpenSharing shares them); false, nothing read, for a kind that reads
  // only from a buffer of its own.
  virtual bool OpenInPlace(const md::layout::StoredSetView&, ReferenceShare*, int) { return false; }

  // The switches, in the order of the stored keys.
  enum Flag {
    kTopLabel,
    kTopSubLabel,
    kLeftLabel,
    kLeftSubLabel,
    kRightLabel,
    kRightSubLabel,
    kBottomLabel,
    kBottomSubLabel,
    kTopTick,
    kTopSubTick,
    kLeftTick,
    kLeftSubTick,
    kRightTick,
    kRightSubTick,
    kBottomTick,
    kBottomSubTick,
    kVisible,
    kFlagCount
  };
  // The symbols, each with its setter's rule.
  enum Symbol { kLineSymbol, kSubTickLineSymbol, kTickLineSymbol, kMarkSymbol, kSymbolCount };

  // The values of a grid made on CGIS_MapGridBase, or NULL.
  static MapGridValues* Of(IGIS_MapGrid* pGrid);

  // The common copy (IGIS_MapGrid::CopyFrom): values, the name, the label
  // through the grid's own SetLabelFormat, symbols and border as copies, the
  // same map frame. Stored label or border bytes that no class could read
  // travel with the copy in place of the object.
  void CopyCommonFrom(IGIS_MapGrid* pOther);

  // Read by the kinds' drawings.
  double GetExteriorWidth() const { return m_dExteriorWidth; }
  bool GetFlag(Flag flag) const { return m_flags[flag]; }

 protected:
  // The defaults; the symbols of the library's styles 3331 (lines) and 3303
  // (mark) and a new border bound to the grid.
  explicit MapGridValues(IGIS_MapGrid* pGrid);
  // Releases the border, the tick, mark and line symbols, then the label.
  ~MapGridValues();
  MapGridValues(const MapGridValues&) = delete;
  MapGridValues& operator=(const MapGridValues&) = delete;

  IGIS_Symbol* SymbolOf(Symbol symbol) const { return m_symbols[symbol].get(); }
  // The setter's rule: the held object changes nothing; otherwise a copy
  // (line or point view) replaces the held symbol; NULL removes it with the
  // record "right == NULL".
  void SetSymbol(Symbol symbol, IGIS_Symbol* pSymbol);
  void SetName(const char* szName);
  void SetSides(Flag left, Flag top, Flag right, Flag bottom, bool bLeft, bool bTop, bool bRight,
                bool bBottom);
  void GetSides(Flag left, Flag top, Flag right, Flag bottom, bool* pLeft, bool* pTop, bool* pRight,
                bool* pBottom) const;
  void SetBorder(IGIS_MapGridBorder* pBorder);

  // The kinds' SetLabelFormat: NULL is refused with the record "right ==
  // NULL" under szMethod, the held label changes nothing, a label whose type
  // is not among the accepted ones is refused (with the record " == NULL"
  // when bLogRefusal); otherwise the grid keeps a copy bound to itself.
  void ReplaceLabel(IGIS_GridLabel* pLabel, std::initializer_list<int> accepted, const char* szMethod,
                    bool bLogRefusal);
  // Releases the label (the kinds' destructors end their label first).
  void ReleaseLabel() { m_pLabel.reset(); }

  // The drawing prelude: the border, then the label, on the drawing's plan
  // when the kind hands one (gridlabelplan.h) and the label takes it. True.
  bool DrawPrelude(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const GridLabelPlan* pPlan = nullptr);
  // The conversion prelude: a new compound in the map frame's owner feature
  // set holding the border's and then the label's conversions (the label on
  // the conversion's plan as above), in the order the prelude draws them;
  // NULL without a frame or when no compound is made.
  IGIS_Element* ConvertPrelude(const GridLabelPlan* pPlan = nullptr);

  // The common stored keys, after the kind's own (FORMAT.md): added to the
  // kind's keys and the set stored in the buffer, or read from the set the
  // kind read its keys from. A kindless grid writes them after what the
  // buffer holds and reads them from the buffer.
  bool SaveCommon(md::layout::StoredSetWriter* pSet, IGIS_DataBuffer* pBuffer);
  bool OpenCommon(const md::layout::StoredSetView& set);
  bool SaveCommon(IGIS_DataBuffer* pBuffer);
  bool OpenCommon(IGIS_DataBuffer* pBuffer);

  // The property sheet of a kind: a Clone as backup, the sheet of the kind
  // run on the grid, and unless the user confirmed the backup put back with
  // the kind's copy (copyBack) and its label exactly as it was. True only on
  // OK; without a backup no sheet runs (a record under szMethod).
  bool RunPropertySheet(const char* szTitle, const char* szMethod,
                        const std::function<void(IGIS_MapGrid* pBackup)>& copyBack);

  // Made bare for a read (BareForRead in force).
  static bool MadeBare();
  // Parts a bare grid still has to make: the symbols, the border, the label.
  enum Pending : unsigned { kPendingBorder = 1u << kSymbolCount, kPendingLabel = 2u << kSymbolCount };
  bool Pending(unsigned part) const { return (m_pending & part) != 0; }
  // Made bare and not yet finished: a kind's FinishRead then makes the
  // parts of its own the read left out.
  bool Bare() const { return m_bBare; }
  void Decided(unsigned part) { m_pending &= ~part; }

  double m_dExteriorWidth = 200.0;
  std::string m_name;
  std::array<bool, kFlagCount> m_flags;
  int m_nSubTickCount = 2;
  double m_dSubTickLength = 100.0;
  double m_dTickLength = 200.0;
  IGIS_MapElement* m_pMapElement = nullptr;
  int m_nGridlineType = GIS_GRIDLINE_LINES;
  int m_nTickDivision = 1;
  std::array<md::basilo::ReleasePtr<IGIS_Symbol>, kSymbolCount> m_symbols;
  md::basilo::ReleasePtr<IGIS_GridLabel> m_pLabel;
  md::basilo::ReleasePtr<IGIS_MapGridBorder> m_pBorder;

 private:
  // Stored bytes no class could read, written back unchanged while the grid
  // holds no object in their place.
  struct KeptLabel {
    bool bKept = false;
    int nType = 0;
    std::vector<BYTE> bytes;
  };
  struct KeptBorder {
    bool bKept = false;
    std::vector<BYTE> bytes;
  };

  void WriteLabelKeys(md::layout::StoredSetWriter* pSet, bool* pOk);
  void ReadLabelKeys(const md::layout::StoredSetView& set);
  void WriteBorderKey(md::layout::StoredSetWriter* pSet, bool* pOk);
  void ReadBorderKey(const md::layout::StoredSetView& set);
  void AdoptLabelCopy(IGIS_GridLabel* pLabel);

  IGIS_MapGrid* m_pGrid;  // the grid that holds these values
  unsigned m_pending = 0;
  bool m_bBare = false;
  KeptLabel m_keptLabel;
  KeptBorder m_keptBorder;
};

// A new grid of the kind with its defaults (as GIS_CreateMapGridPropertyObject
// makes it) and *ppValues its common values; NULL for a kind without a class.
IGIS_MapGrid* CreateMapGridWithValues(int nType, MapGridValues** ppValues);

}  // namespace md::layout::grid

template <class TKind>
class CGIS_MapGridBase : public TKind, public md::layout::grid::MapGridValues {
  using Values = md::layout::grid::MapGridValues;

 public:
  IGIS_Symbol* GetLineSymbol() override { return SymbolOf(kLineSymbol); }
  void SetLineSymbol(IGIS_Symbol* pSymbol) override { SetSymbol(kLineSymbol, pSymbol); }
  const char* GetName() override { return m_name.c_str(); }
  void SetName(const char* szName) override { Values::SetName(szName); }
  IGIS_GridLabel* GetLabelFormat() override { return m_pLabel.get(); }
  IGIS_Symbol* GetMarkSymbol() override { return SymbolOf(kMarkSymbol); }
  void SetMarkSymbol(IGIS_Symbol* pSymbol) override { SetSymbol(kMarkSymbol, pSymbol); }
  void SetLabelVisible(bool l, bool t, bool r, bool b) override {
    SetSides(kLeftLabel, kTopLabel, kRightLabel, kBottomLabel, l, t, r, b);
  }
  void GetLabelVisible(bool* l, bool* t, bool* r, bool* b) override {
    GetSides(kLeftLabel, kTopLabel, kRightLabel, kBottomLabel, l, t, r, b);
  }
  void SetSubTickVisible(bool l, bool t, bool r, bool b) override {
    SetSides(kLeftSubTick, kTopSubTick, kRightSubTick, kBottomSubTick, l, t, r, b);
  }
  void GetSubTickVisible(bool* l, bool* t, bool* r, bool* b) override {
    GetSides(kLeftSubTick, kTopSubTick, kRightSubTick, kBottomSubTick, l, t, r, b);
  }
  void SetTickVisible(bool l, bool t, bool r, bool b) override {
    SetSides(kLeftTick, kTopTick, kRightTick, kBottomTick, l, t, r, b);
  }
  void GetTickVisible(bool* l, bool* t, bool* r, bool* b) override {
    GetSides(kLeftTick, kTopTick, kRightTick, kBottomTick, l, t, r, b);
  }
  int GetSubTickCount() override { return m_nSubTickCount; }
  void SetSubTickCount(int nCount) override { m_nSubTickCount = nCount; }
  double GetSubTickLength() override { return m_dSubTickLength; }
  void SetSubTickLength(double dLength) override { m_dSubTickLength = dLength; }
  double GetTickLength() override { return m_dTickLength; }
  void SetTickLength(double dLength) override { m_dTickLength = dLength; }
  IGIS_Symbol* GetSubTickLineSymbol() override { return SymbolOf(kSubTickLineSymbol); }
  void SetSubTickLineSymbol(IGIS_Symbol* pSymbol) override { SetSymbol(kSubTickLineSymbol, pSymbol); }
  IGIS_Symbol* GetTickLineSymbol() override { return SymbolOf(kTickLineSymbol); }
  void SetTickLineSymbol(IGIS_Symbol* pSymbol) override { SetSymbol(kTickLineSymbol, pSymbol); }
  bool GetVisible() override { return m_flags[kVisible]; }
  void SetVisible(bool bVisible) override { m_flags[kVisible] = bVisible; }
  IGIS_MapGridBorder* GetBorder() override { return m_pBorder.get(); }
  void SetBorder(IGIS_MapGridBorder* pBorder) override { Values::SetBorder(pBorder); }
  IGIS_MapElement* GetMapElement() override { return m_pMapElement; }
  void SetMapElement(IGIS_MapElement* pMapElement) override { m_pMapElement = pMapElement; }
  // The prelude; a kind's drawing calls it first, then draws its own lines.
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override {
    return DrawPrelude(hdc, bPrint, pDisplay);
  }
  // The common keys; a kind's Save writes its own keys first, then calls it.
  bool Save(IGIS_DataBuffer* pBuffer) override { return SaveCommon(pBuffer); }
  // The common keys; a kind's Open reads its own keys first, then calls it.
  bool Open(IGIS_DataBuffer* pBuffer) override { return OpenCommon(pBuffer); }
  // A kind reads the set it is given when it overrides this; others read
  // the buffer again through their Open.
  bool OpenStored(const md::layout::StoredSetView&, IGIS_DataBuffer* pBuffer) override {
    return this->Open(pBuffer);
  }
  int GetGridlineType() override { return m_nGridlineType; }
  void SetGridlineType(int nType) override {
    if (nType >= GIS_GRIDLINE_NONE && nType <= GIS_GRIDLINE_MARKS) m_nGridlineType = nType;
  }
  // The prelude; a kind's conversion starts from its compound.
  IGIS_Element* ConvertToElement() override { return ConvertPrelude(); }
  int GetTickDivision() override { return m_nTickDivision; }
  void SetTickDivision(int nDivision) override {
    if (nDivision >= 1) m_nTickDivision = nDivision;
  }

 protected:
  CGIS_MapGridBase() : Values(this) {}
  ~CGIS_MapGridBase() = default;
};
