// A small value object of the legend: a text symbol, two integers and two
// doubles, stored as one binary block (layout/graphicelement/legend/FORMAT.md).
#pragma once

class IGIS_DataBuffer;
class IGIS_Symbol;

class IGIS_LegendClassFormat {
 public:
  // The held text symbol (still owned by the format), or NULL.
  virtual IGIS_Symbol* GetSymbolPtr() = 0;
  // Keeps a copy (NULL: none); the held symbol itself changes nothing.
  virtual void SetSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual int GetIntValue2() = 0;
  virtual void SetIntValue2(int nValue) = 0;
  virtual int GetIntValue1() = 0;
  virtual void SetIntValue1(int nValue) = 0;
  virtual double GetDoubleValue1() = 0;
  virtual void SetDoubleValue1(double dValue) = 0;
  virtual void SetDoubleValue2(double dValue) = 0;
  // Reads a block Save wrote; a refused block changes nothing.
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  // Sizes the buffer to the block and fills it.
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  virtual double GetDoubleValue2() = 0;
  // Releases the held symbol; the format then holds none.
  virtual void ReleaseSymbol() = 0;
  // A new format with copies of all values, owned by the caller, who ends it
  // with delete.
  virtual IGIS_LegendClassFormat* Clone() = 0;

  virtual ~IGIS_LegendClassFormat() = default;
};
