// The mixed-font grid label (GridLabelType 1): the grid coordinates of a
// measured grid split into a first part in the label's text symbol and a
// second part (by default the last two digits) in a second, larger symbol,
// optionally after the projection's zone number in a third. Its operations
// after the 21 of IGIS_GridLabel.
#pragma once

#include "layout/graphicelement/grid/grid/igis_gridlabel.h"

class IGIS_NumericFormat;

class IGIS_MixedFontGridLabel : public IGIS_GridLabel {
 public:
  // How many trailing characters form the second part while the text is
  // split by count; stored as given (a count below 0 splits as 0).
  virtual void SetNumGroupedDigits(int nDigits) = 0;
  virtual int GetNumGroupedDigits() = 0;
  // True: split by count; false: split at the decimal point.
  virtual void SetGroupedDigitsType(bool bByCount) = 0;
  virtual bool GetGroupedDigitsType() = 0;
  // Keeps a copy (text part) of the second part's symbol; NULL removes it
  // (with a record); the pointer already held changes nothing.
  virtual void SetSecondarySymbolTextPtr(IGIS_SymbolPart* pSymbol) = 0;
  // The held symbol itself (may be NULL), still owned by the label.
  virtual IGIS_SymbolPart* GetSecondarySymbolText() = 0;
  // A held format takes the given one's seven settings (it stays the same
  // object); without one the label keeps a clone. NULL removes the held
  // format (with a record). The caller keeps its own object.
  virtual void SetNumericFormatPtr(IGIS_NumericFormat* pFormat) = 0;
  // The held format itself (may be NULL), still owned by the label.
  virtual IGIS_NumericFormat* GetNumericFormat() = 0;
  // The common copy, then every own setting of the other; returns this label.
  virtual IGIS_MixedFontGridLabel* Copy(IGIS_MixedFontGridLabel* pOther) = 0;
  // The zone number's symbol, as the second part's.
  virtual void SetZoneSymbolTextPtr(IGIS_SymbolPart* pSymbol) = 0;
  virtual IGIS_SymbolPart* GetZoneSymbolText() = 0;
  // Whether the projection's zone number stands before the first parts of
  // the bottom and top labels.
  virtual void SetShowZone(bool bShow) = 0;
  virtual bool GetShowZone() = 0;
  // Which labels keep their first part: 0 all, 1 the first and last of each
  // side, 2 those whose first part differs from the one before, 3 as 2 and
  // the last of each side. Other values are ignored.
  virtual void SetPosition(int nPosition) = 0;
  virtual int GetPosition() = 0;

 protected:
  ~IGIS_MixedFontGridLabel() = default;
};
