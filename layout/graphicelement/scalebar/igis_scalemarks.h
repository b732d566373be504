// The tick marks of a scale bar: the lengths of the division and subdivision
// marks, their line symbols, at which places of the bar they stand (mark
// frequency) and where they stand against the bar body (mark position).
#pragma once

#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Symbol;

// Mark frequencies: which places of a bar get marks.
enum {
  GIS_SCALEMARKS_NONE = 0,                // no marks
  GIS_SCALEMARKS_ENDS = 1,                // division marks at both ends
  GIS_SCALEMARKS_ENDS_AND_ZERO = 2,       // both ends and the zero point
  GIS_SCALEMARKS_DIVISIONS = 3,           // every division boundary
  GIS_SCALEMARKS_FIRST_MIDPOINT = 4,      // divisions and the middle of the first one
  GIS_SCALEMARKS_FIRST_SUBDIVISIONS = 5,  // divisions and the subdivisions of the first one
  GIS_SCALEMARKS_ALL_SUBDIVISIONS = 6,    // divisions and every subdivision
};

class IGIS_ScaleMarks {
 public:
  virtual int GetDivisionMarkHeight() = 0;
  virtual void SetDivisionMarkHeight(int nHeight) = 0;
  // Keeps a copy of the line symbol; NULL empties the field (level-4 record).
  virtual void SetDivisionMarkSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // The held symbol (may be NULL); the caller must not release it.
  virtual IGIS_Symbol* GetDivisionMarkSymbol() = 0;
  virtual void SetMarkFrequency(int nFrequency) = 0;
  virtual int GetMarkFrequency() = 0;
  virtual int GetSubdivisionMarkHeight() = 0;
  virtual void SetSubdivisionMarkHeight(int nHeight) = 0;
  virtual int GetMarkPosition() = 0;
  virtual void SetMarkPosition(int nPosition) = 0;
  virtual IGIS_Symbol* GetSubdivisionMarkSymbol() = 0;
  virtual void SetSubdivisionMarkSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // A new object with the same values and its own copies of the symbols.
  virtual IGIS_ScaleMarks* Clone() = 0;
  virtual void Release() = 0;
  // Writes the marks into the buffer
  // (layout/graphicelement/scalebar/FORMAT.md); TRUE.
  virtual BOOL Save(IGIS_DataBuffer* pBuffer) = 0;
  // Reads what Save wrote; missing keys keep their values. FALSE only for a
  // NULL buffer.
  virtual BOOL Open(IGIS_DataBuffer* pBuffer) = 0;

 protected:
  IGIS_ScaleMarks() = default;
  virtual ~IGIS_ScaleMarks() = default;
  IGIS_ScaleMarks(const IGIS_ScaleMarks&) = delete;
  IGIS_ScaleMarks& operator=(const IGIS_ScaleMarks&) = delete;
};
