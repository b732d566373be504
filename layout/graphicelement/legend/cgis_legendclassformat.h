// The legend class format (IGIS_LegendClassFormat): a text symbol, two
// integers and two doubles, stored as one binary block (FORMAT.md).
#pragma once

#include <cmath>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/legend/igis_legendclassformat.h"

class CGIS_LegendClassFormat final : public IGIS_LegendClassFormat {
 public:
  // Size of the block without the symbol's bytes.
  static constexpr int kHeaderSize = 46;

  // Zero values and a new text symbol.
  CGIS_LegendClassFormat();
  ~CGIS_LegendClassFormat() override;

  IGIS_Symbol* GetSymbolPtr() override { return m_pSymbol.get(); }
  void SetSymbolPtr(IGIS_Symbol* pSymbol) override;
  int GetIntValue2() override { return m_nIntValue2; }
  void SetIntValue2(int nValue) override { m_nIntValue2 = nValue; }
  int GetIntValue1() override { return m_nIntValue1; }
  void SetIntValue1(int nValue) override { m_nIntValue1 = nValue; }
  double GetDoubleValue1() override { return m_dDoubleValue1; }
  // Values that are not finite are refused (the value kept).
  void SetDoubleValue1(double dValue) override {
    if (std::isfinite(dValue)) m_dDoubleValue1 = dValue;
  }
  void SetDoubleValue2(double dValue) override {
    if (std::isfinite(dValue)) m_dDoubleValue2 = dValue;
  }
  bool Open(IGIS_DataBuffer* pBuffer) override;
  bool Save(IGIS_DataBuffer* pBuffer) override;
  double GetDoubleValue2() override { return m_dDoubleValue2; }
  void ReleaseSymbol() override;
  IGIS_LegendClassFormat* Clone() override;

 private:
  md::basilo::ReleasePtr<IGIS_Symbol> m_pSymbol;
  int m_nIntValue1 = 0;
  int m_nIntValue2 = 0;
  double m_dDoubleValue1 = 0.0;
  double m_dDoubleValue2 = 0.0;
};
