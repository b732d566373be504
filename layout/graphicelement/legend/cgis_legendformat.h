// The legend format (IGIS_LegendFormat): patch size, gaps, show flags and
// four owned text symbols. Stored as one property set (FORMAT.md).
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "platform/win/wintypes.h"

namespace md::basilo {
struct StoredFieldView;
}

class CGIS_LegendFormat final : public IGIS_LegendFormat {
 public:
  // The defaults, with four new text symbols (title, layer name, heading, label).
  CGIS_LegendFormat();

  IGIS_Symbol* GetTitleSymbol() override { return m_pTitleSymbol.get(); }
  void SetTitleSymbolPtr(IGIS_Symbol* pSymbol) override;
  int GetDefaultLinePatch() override { return m_nDefaultLinePatch; }
  void SetDefaultLinePatch(int nValue) override { Assign(&m_nDefaultLinePatch, nValue); }
  int GetDefaultAreaPatch() override { return m_nDefaultAreaPatch; }
  void SetDefaultAreaPatch(int nValue) override { Assign(&m_nDefaultAreaPatch, nValue); }
  int GetTitlePosition() override { return m_nTitlePosition; }
  void SetTitlePosition(int nValue) override { Assign(&m_nTitlePosition, nValue); }
  bool GetShowTitle() override { return m_bShowTitle; }
  void SetShowTitle(bool bShow) override { Assign(&m_bShowTitle, bShow); }
  int GetDefaultPatchHeight() override { return m_nDefaultPatchHeight; }
  void SetDefaultPatchHeight(int nValue) override { Assign(&m_nDefaultPatchHeight, nValue); }
  int GetDefaultPatchWidth() override { return m_nDefaultPatchWidth; }
  void SetDefaultPatchWidth(int nValue) override { Assign(&m_nDefaultPatchWidth, nValue); }
  int GetHorizontalItemGap() override { return m_nHorizontalItemGap; }
  void SetHorizontalItemGap(int nValue) override { Assign(&m_nHorizontalItemGap, nValue); }
  int GetTitleAndLegendGap() override { return m_nTitleAndLegendGap; }
  void SetTitleAndLegendGap(int nValue) override { Assign(&m_nTitleAndLegendGap, nValue); }
  int GetVerticalItemGap() override { return m_nVerticalItemGap; }
  void SetVerticalItemGap(int nValue) override { Assign(&m_nVerticalItemGap, nValue); }
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  // Open from stored bytes read in place.
  bool OpenStored(std::span<const BYTE> bytes);
  // After OpenStored: the title, label and layer-name symbols are what
  // reading their stored bytes makes (read now, or held and saving them).
  bool SymbolsAsStored() const { return m_bSymbolsAsStored; }
  int GetPatchAndLabelsGap() override { return m_nPatchAndLabelsGap; }
  void SetPatchAndLabelsGap(int nValue) override { Assign(&m_nPatchAndLabelsGap, nValue); }
  void Release() override { delete this; }
  int GetLayerNameGap() override { return m_nLayerNameGap; }
  int GetHeadingGap() override { return m_nHeadingGap; }
  void SetHeadingGap(int nValue) override { Assign(&m_nHeadingGap, nValue); }
  void SetLayerNameGap(int nValue) override { Assign(&m_nLayerNameGap, nValue); }
  int GetLabelPosition() override { return m_nLabelPosition; }
  void SetLabelPosition(int nValue) override { Assign(&m_nLabelPosition, nValue); }
  IGIS_LegendFormat* Clone() override;
  int GetItemGap() override { return m_nItemGap; }
  void SetItemGap(int nValue) override { Assign(&m_nItemGap, nValue); }
  IGIS_LegendFormat* CopyFrom(IGIS_LegendFormat* pSource) override;
  IGIS_Symbol* GetLayerNameSymbol() override { return m_pLayerNameSymbol.get(); }
  void SetLayerNameSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetHeadingSymbol() override { return m_pHeadingSymbol.get(); }
  void SetHeadingSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_Symbol* GetLabelSymbol() override { return m_pLabelSymbol.get(); }
  void SetLabelSymbolPtr(IGIS_Symbol* pSymbol) override;
  void Scale(double sx, double sy) override;
  bool GetShowLabel() override { return m_bShowLabel; }
  void SetShowLabel(bool bShow) override { Assign(&m_bShowLabel, bShow); }
  void SetShowHeading(bool bShow) override { Assign(&m_bShowHeading, bShow); }
  void SetShowLayerName(bool bShow) override { Assign(&m_bShowLayerName, bShow); }
  bool GetShowHeading() override { return m_bShowHeading; }
  bool GetShowLayerName() override { return m_bShowLayerName; }

 private:
  ~CGIS_LegendFormat() override;

  using SymbolPtr = md::basilo::ReleasePtr<IGIS_Symbol>;
  // A stored value set: the kept stored form no longer holds it.
  template <class T>
  void Assign(T* pMember, T value) {
    *pMember = value;
    m_bStoredKept = false;
  }
  // Keeps the bytes just saved as the stored form and finds its symbols.
  void KeepStored(std::span<const BYTE> bytes);
  // The four symbols (title, label, layer name, heading) save what the kept
  // stored form holds.
  bool SymbolsSaveAsKept();
  // The setters' common rule: NULL is logged under szMethod and clears the
  // symbol; the held symbol itself changes nothing; otherwise a copy is kept.
  void ReplaceSymbol(SymbolPtr* pHeld, unsigned bit, IGIS_Symbol* pSymbol, const char* szMethod,
                     const char* szText);
  // Reads the stored symbol field (NULL when missing) into the held one (bit
  // of m_factoryMade); true when it is then what the stored bytes make.
  bool ReadSymbol(const md::basilo::StoredFieldView* pField, const char* szKey, SymbolPtr* pHeld,
                  unsigned bit);

  int m_nDefaultAreaPatch = 1;
  int m_nDefaultLinePatch = 1;
  int m_nDefaultPatchHeight = 1000;
  int m_nDefaultPatchWidth = 2000;
  int m_nHorizontalItemGap = 300;
  bool m_bShowTitle = true;
  int m_nTitleAndLegendGap = 600;
  int m_nTitlePosition = 100;
  SymbolPtr m_pTitleSymbol;
  int m_nVerticalItemGap = 500;
  int m_nPatchAndLabelsGap = 500;
  int m_nHeadingGap = 400;
  int m_nLayerNameGap = 250;
  int m_nItemGap = 400;
  int m_nLabelPosition = 0;
  SymbolPtr m_pLayerNameSymbol;
  SymbolPtr m_pHeadingSymbol;
  SymbolPtr m_pLabelSymbol;
  bool m_bShowLabel = true;
  bool m_bShowHeading = false;
  bool m_bShowLayerName = true;
  // The held symbols the symbol factory made (new, read or copied from
  // such), by bit: the others may be of a host's own kind.
  static constexpr unsigned kTitleBit = 1, kLabelBit = 2, kLayerNameBit = 4, kHeadingBit = 8;
  unsigned m_factoryMade = kTitleBit | kLabelBit | kLayerNameBit | kHeadingBit;
  bool m_bSymbolsAsStored = false;
  // The stored form Save last wrote, while m_bStoredKept: no value but the
  // symbols has changed since (each symbol is compared when it counts), and
  // where each symbol's bytes lie in it (title, label, layer name, heading).
  std::vector<BYTE> m_stored;
  std::array<std::pair<std::size_t, std::size_t>, 4> m_symbolAt{};
  bool m_bStoredKept = false;
};
