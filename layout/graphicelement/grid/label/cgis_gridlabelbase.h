// What every grid label has: the alignment and visibility flags of the four
// sides, the common offset and the eight side offsets, the text symbol and
// the grid it is bound to; the common keys of its stored form and its copy.
//
// A label class derives from CGIS_GridLabelBase<its interface>, where the
// interface derives from IGIS_GridLabel (IGIS_FormattedGridLabel,
// IGIS_IndexGridTabStyle, ...). It supplies Release, Clone, OnDraw, GetType
// and OnOpenPropertyDlg, and overrides Save and Open to write and read its
// own keys first and then call the base's, which adds the common keys to
// the same buffer:
//
//   class CGIS_ThingGridLabel final : public CGIS_GridLabelBase<IGIS_ThingGridLabel> {
//     bool Save(IGIS_DataBuffer* p) override {
//       ... own keys archived into p ...
//       return CGIS_GridLabelBase::Save(p);
//     }
//   };
#pragma once

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "host/notara/igis_annostyle.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"
#include "layout/graphicelement/grid/label/labelgeometry.h"

namespace md::layout::label {

// The lowest common offset a label takes: a lower one is ignored when set
// and read as the default when stored.
inline constexpr int kLowestLabelOffset = -10000;

// The common state, a class of its own so that a label reads another
// label's flags through it (a dynamic_cast from IGIS_GridLabel*).
class GridLabelState {
 public:
  GridLabelState(const GridLabelState&) = delete;
  GridLabelState& operator=(const GridLabelState&) = delete;

  // The label's own visibility flags (stored, copied; the coordinate labels
  // draw the sides that their grid's label flags name), in the grid's order.
  void GetLabelVisible(bool* pLeft, bool* pTop, bool* pRight, bool* pBottom) const;
  void SetLabelVisible(bool bLeft, bool bTop, bool bRight, bool bBottom);
  // Whether the side's texts are turned through 90 degrees.
  bool IsTurned(LabelSide side) const {
    return BySide(side, m_bBottomAlignment, m_bTopAlignment, m_bLeftAlignment, m_bRightAlignment);
  }
  // The eight side offsets.
  SideOffsets GetSideOffsets() const { return m_offsets; }
  // The bound grid (not owned), or NULL.
  IGIS_MapGrid* GetMapGrid() const { return m_pMapGrid; }

 protected:
  // The defaults, with a text symbol of 8 points when the symbol factory
  // makes one.
  GridLabelState();
  ~GridLabelState() = default;

  // A copy of the symbol's text part replaces the held symbol; the held
  // pointer changes nothing; NULL leaves no symbol, after a log record.
  void SetTextSymbol(IGIS_SymbolPart* pSymbol);
  // Adds the common keys, with the type under "GridLabelType", after the
  // label's own keys and stores the set in the buffer; FALSE when the buffer
  // is NULL or the write failed.
  bool SaveCommon(StoredSetWriter* pSet, IGIS_DataBuffer* pBuffer, int nType) const;
  // The same after the keys the buffer holds (stored common keys are written
  // anew), for a label without keys of its own.
  bool SaveCommon(IGIS_DataBuffer* pBuffer, int nType) const;
  // SaveCommon into the set, with a level-3 "b_ret == NULL" record under the
  // method when it fails.
  bool SaveCommonLogged(StoredSetWriter* pSet, IGIS_DataBuffer* pBuffer, int nType,
                        const char* szMethod) const;
  // A label's Open that reads its own keys: the buffer's set, handed to
  // OpenStored; FALSE (nothing changed) for a NULL or unreadable buffer,
  // after a level-3 record under the method.
  bool OpenThroughStored(IGIS_DataBuffer* pBuffer, const char* szMethod);
  // Reads the common keys from the set the label read its own keys from.
  bool OpenCommon(const StoredSetView& set);
  // Reads the common keys; FALSE (nothing changed) for a NULL or unreadable
  // buffer.
  bool OpenCommon(IGIS_DataBuffer* pBuffer);

 public:
  // Reads the label from its stored set, already read from pBuffer (the
  // label factory reads the label's type from it first); what Open answers.
  virtual bool OpenStored(const StoredSetView& set, IGIS_DataBuffer* pBuffer) = 0;

 protected:
  // Takes the other label's common state (its visibility flags only when it
  // is one of the library's labels) and a copy of its text symbol.
  void CopyCommon(IGIS_GridLabel& other);

  bool m_bLeftAlignment = false;
  bool m_bRightAlignment = false;
  bool m_bBottomAlignment = false;
  bool m_bTopAlignment = false;
  int m_nLabelOffset = 200;
  SideOffsets m_offsets;
  md::basilo::ReleasePtr<IGIS_SymbolPart> m_pTextSymbol;
  bool m_bLeftVisible = true;
  bool m_bRightVisible = true;
  bool m_bBottomVisible = true;
  bool m_bTopVisible = true;
  IGIS_MapGrid* m_pMapGrid = nullptr;
};

// A label's Save is given a buffer: FALSE after a level-3 record
// "pDataBuffer == NULL" under the method when it is not.
bool SaveBufferGiven(IGIS_DataBuffer* pBuffer, const char* szMethod);

// ---- Keys of the stored forms ----------------------------------------------
// The writers add the key, its description the key itself.

void PutBool(StoredSetWriter* pSet, const char* szKey, bool bValue);
void PutInt(StoredSetWriter* pSet, const char* szKey, int nValue);
// The symbol's bytes in the key's buffer; without a symbol the key stays, empty.
void PutSymbol(StoredSetWriter* pSet, const char* szKey, IGIS_Symbol* pSymbol);
// The format's settings in the key's buffer; without a format the key stays, empty.
void PutNumericFormat(StoredSetWriter* pSet, const char* szKey, IGIS_NumericFormat* pFormat);

// The bool or int of the key into the value; a missing key leaves it.
void TakeBool(const StoredSetView& set, const char* szKey, bool* pValue);
void TakeInt(const StoredSetView& set, const char* szKey, int* pValue);
// The text symbol stored under the key (a new symbol, the caller's), or
// NULL when the key is missing or holds no readable text symbol.
md::basilo::ReleasePtr<IGIS_Symbol> TakeTextSymbol(const StoredSetView& set, const char* szKey);
// The text part of a symbol read, held as a setter would hold its copy;
// without one the held symbol stays.
void AdoptTextSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, md::basilo::ReleasePtr<IGIS_Symbol> read);
// Reads the format stored under the key into the held one, making a number
// format first when none is held. A missing key, or one stored empty, leaves
// the held format as it was.
void TakeNumericFormat(const StoredSetView& set, const char* szKey,
                       md::basilo::ReleasePtr<IGIS_NumericFormat>* pHeld);

// A new number format (NULL without a format factory); with the kilometre
// labels' defaults when bDefaults: no plus sign, thousands separators or
// zero padding, rounded to decimal places.
IGIS_NumericFormat* NewLabelNumberFormat(bool bDefaults);

// Whether the buffer, given to a label's Open, holds a readable set;
// FALSE after a level-3 record under the method, "pDataBuffer为空" for a
// NULL buffer or szUnreadable for a damaged set.
bool OpenBufferReadable(IGIS_DataBuffer* pBuffer, const StoredSetView& set, const char* szMethod,
                        const char* szUnreadable);

// A new point style of the annotation styles that draws texts with a copy
// of the text symbol centred on their anchors, for a label's drawing; NULL
// after a level-3 record "p_style == NULL" under the method when the
// annotation styles make none.
md::basilo::ReleasePtr<IGIS_AnnoPointStyle> NewLabelPointStyle(IGIS_SymbolPart* pTextSymbol,
                                                               const char* szMethod);

// One static zero-filled block handed out by every label's GetStaticData.
const char* GridLabelStaticData();

}  // namespace md::layout::label

template <class TKind>
class CGIS_GridLabelBase : public TKind, public md::layout::label::GridLabelState {
 public:
  void SetLabelOffset(int nOffset) override {
    if (nOffset >= md::layout::label::kLowestLabelOffset) m_nLabelOffset = nOffset;
  }
  int GetLabelOffset() override { return m_nLabelOffset; }
  IGIS_SymbolPart* GetTextSymbolPtr() override { return m_pTextSymbol.get(); }
  const char* GetStaticData() override { return md::layout::label::GridLabelStaticData(); }
  void GetLabelAlignment(bool* pLeft, bool* pRight, bool* pTop, bool* pBottom) override {
    if (pLeft != nullptr) *pLeft = m_bLeftAlignment;
    if (pRight != nullptr) *pRight = m_bRightAlignment;
    if (pTop != nullptr) *pTop = m_bTopAlignment;
    if (pBottom != nullptr) *pBottom = m_bBottomAlignment;
  }
  void SetLabelAlignment(bool bLeft, bool bRight, bool bTop, bool bBottom) override {
    m_bLeftAlignment = bLeft;
    m_bRightAlignment = bRight;
    m_bTopAlignment = bTop;
    m_bBottomAlignment = bBottom;
  }
  bool Save(IGIS_DataBuffer* pBuffer) override { return SaveCommon(pBuffer, this->GetType()); }
  bool Open(IGIS_DataBuffer* pBuffer) override { return OpenCommon(pBuffer); }
  // A label class reads the set it is given when it overrides this; others
  // read the buffer again through their Open.
  bool OpenStored(const md::layout::StoredSetView&, IGIS_DataBuffer* pBuffer) override {
    return this->Open(pBuffer);
  }
  void SetTextSymbolPtr(IGIS_SymbolPart* pSymbol) override { SetTextSymbol(pSymbol); }
  IGIS_GridLabel* CopyFrom(IGIS_GridLabel* pOther) override {
    if (pOther != nullptr) CopyCommon(*pOther);
    return this;
  }
  IGIS_Element* ConvertToElement() override { return nullptr; }
  void SetMapGrid(IGIS_MapGrid* pGrid) override {
    if (pGrid != nullptr) m_pMapGrid = pGrid;
  }
  void GetLabelOffsetX(int* pLeft, int* pRight, int* pTop, int* pBottom) override {
    if (pLeft != nullptr) *pLeft = m_offsets.nLeftX;
    if (pRight != nullptr) *pRight = m_offsets.nRightX;
    if (pTop != nullptr) *pTop = m_offsets.nTopX;
    if (pBottom != nullptr) *pBottom = m_offsets.nBottomX;
  }
  void GetLabelOffsetY(int* pLeft, int* pRight, int* pTop, int* pBottom) override {
    if (pLeft != nullptr) *pLeft = m_offsets.nLeftY;
    if (pRight != nullptr) *pRight = m_offsets.nRightY;
    if (pTop != nullptr) *pTop = m_offsets.nTopY;
    if (pBottom != nullptr) *pBottom = m_offsets.nBottomY;
  }
  void SetLabelOffsetX(int nLeft, int nRight, int nTop, int nBottom) override {
    m_offsets.nLeftX = nLeft;
    m_offsets.nRightX = nRight;
    m_offsets.nTopX = nTop;
    m_offsets.nBottomX = nBottom;
  }
  void SetLabelOffsetY(int nLeft, int nRight, int nTop, int nBottom) override {
    m_offsets.nLeftY = nLeft;
    m_offsets.nRightY = nRight;
    m_offsets.nTopY = nTop;
    m_offsets.nBottomY = nBottom;
  }

 protected:
  CGIS_GridLabelBase() = default;
  ~CGIS_GridLabelBase() = default;
};
