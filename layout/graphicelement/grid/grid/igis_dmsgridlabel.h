// The degrees-minutes-seconds label (label type 0): writes the longitudes
// and latitudes of a graticule's lines as degrees, degrees and minutes, or
// degrees, minutes and seconds through its own longitude-latitude format,
// in one text symbol (standard) or with the minutes and seconds in a second
// symbol beside the degrees (stacked). The graticules make it their default
// label and read its settings through this interface.
#pragma once

#include "layout/graphicelement/grid/grid/igis_gridlabel.h"

// DMS label displays (GetDMSLabelType).
enum {
  GIS_DMSLABEL_STANDARD = 0,
  GIS_DMSLABEL_STACKED = 1,
};

class IGIS_DMSGridLabel : public IGIS_GridLabel {
 public:
  // Makes this label equal to another DMS label (not its grid); returns this one.
  virtual IGIS_DMSGridLabel* Copy(IGIS_DMSGridLabel* pOther) = 0;
  // The symbol of the minutes and seconds in the stacked display (the
  // label's own object, not to be released). The setter keeps a copy of the
  // one given, or makes the one it holds take its settings; NULL removes it
  // (with a record).
  virtual IGIS_SymbolPart* GetSecondsSymbolText() = 0;
  virtual void SetSecondsSymbolTextPtr(IGIS_SymbolPart* pSymbol) = 0;
  // Whether the texts show minutes (display mode 5 or 6) and seconds (mode
  // 5); showing seconds shows minutes, hiding minutes hides seconds.
  virtual bool IsShowMinutes() = 0;
  virtual void SetShowMinutes(bool bShow) = 0;
  virtual bool IsShowSeconds() = 0;
  virtual void SetShowSeconds(bool bShow) = 0;
  // GIS_DMSLABEL_*; other values are ignored by the setter (a stored one is
  // kept as stored and shown as standard).
  virtual int GetDMSLabelType() = 0;
  virtual void SetDMSLabelType(int nType) = 0;
  // Decimal places of the last unit shown (the format's digit count, in
  // the rounding by decimal places).
  virtual int GetDecimalDigits() = 0;
  virtual void SetDecimalDigits(int nDigits) = 0;

 protected:
  ~IGIS_DMSGridLabel() = default;
};
