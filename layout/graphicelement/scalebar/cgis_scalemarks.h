// The tick marks every scale bar owns (see IGIS_ScaleMarks). Starts with
// division marks of 100, subdivision marks of 50 (0.01 mm), frequency 5,
// position 0 and two default line symbols of style code 0xD03.
#pragma once

#include <span>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"

namespace md::layout {
class StoredSetView;
}  // namespace md::layout

class CGIS_ScaleMarks : public IGIS_ScaleMarks {
 public:
  CGIS_ScaleMarks();

  int GetDivisionMarkHeight() override { return m_nDivisionMarkHeight; }
  void SetDivisionMarkHeight(int nHeight) override { m_nDivisionMarkHeight = nHeight; }
  void SetDivisionMarkSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetDivisionMarkSymbol() override { return m_pDivisionMarkSymbol.get(); }
  void SetMarkFrequency(int nFrequency) override { m_nMarkFrequency = nFrequency; }
  int GetMarkFrequency() override { return m_nMarkFrequency; }
  int GetSubdivisionMarkHeight() override { return m_nSubdivisionMarkHeight; }
  void SetSubdivisionMarkHeight(int nHeight) override { m_nSubdivisionMarkHeight = nHeight; }
  int GetMarkPosition() override { return m_nMarkPosition; }
  void SetMarkPosition(int nPosition) override { m_nMarkPosition = nPosition; }
  IGIS_Symbol* GetSubdivisionMarkSymbol() override { return m_pSubdivisionMarkSymbol.get(); }
  void SetSubdivisionMarkSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_ScaleMarks* Clone() override;
  void Release() override { delete this; }
  BOOL Save(IGIS_DataBuffer* pBuffer) override;
  BOOL Open(IGIS_DataBuffer* pBuffer) override;
  // Open from stored bytes read in place; damaged bytes change nothing.
  void OpenStored(std::span<const BYTE> bytes);

 protected:
  ~CGIS_ScaleMarks() override;

 private:
  void Read(const md::layout::StoredSetView& set);
  void ReadLineSymbol(const md::layout::StoredSetView& set, const char* szKey,
                      md::basilo::ReleasePtr<IGIS_Symbol>* pHeld);

  int m_nDivisionMarkHeight = 100;
  int m_nMarkFrequency = 5;
  int m_nMarkPosition = 0;
  int m_nSubdivisionMarkHeight = 50;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pSubdivisionMarkSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pDivisionMarkSymbol;
};
