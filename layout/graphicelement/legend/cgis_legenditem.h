// The legend item (IGIS_LegendItem): the layer name and chosen class labels
// of one vector layer, measured and drawn with its legend's format.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/helmora/igis_map.h"
#include "layout/graphicelement/element/mapdeckdrawer.h"
#include "layout/graphicelement/legend/igis_legendclassformat.h"
#include "layout/graphicelement/legend/igis_legenditem.h"
#include "layout/graphicelement/legend/legendmarks.h"

class IGIS_MapElement;
namespace md::layout {
class StoredSetWriter;
}

class CGIS_LegendItem final : public IGIS_LegendItem {
 public:
  // Most labels an item holds (and reads from a stored item): AddLabel
  // refuses more, with a record.
  static constexpr int kMaxStoredLabels = 1 << 16;

  explicit CGIS_LegendItem(IGIS_LegendElement* pOwner);

  int GetColumns() override { return m_nColumns; }
  void SetColumns(int nColumns) override {
    m_nColumns = nColumns;
    m_bStoredKept = false;
  }
  bool GetItemFlag() override { return m_bItemFlag; }
  void SetItemFlag(bool bFlag) override { m_bItemFlag = bFlag; }
  void CreateGraphics() override { CreateGraphics(false); }
  // As CreateGraphics; bLayerFound tells that the layer was just looked up
  // and found, with nothing changed since, so it is not looked up again.
  void CreateGraphics(bool bLayerFound);
  void SetClassFormat(IGIS_LegendClassFormat* pFormat) override;
  IGIS_LegendClassFormat* GetClassFormat() override { return m_pClassFormat.get(); }
  bool Save(IGIS_DataBuffer* pBuffer) override;
  bool Open(IGIS_DataBuffer* pBuffer) override;
  const char* GetLabel(int nIndex) override;
  void SetLabel(int, const char*) override {}
  void Release() override { delete this; }
  IGIS_LegendItem* Clone() override;
  void SetShowHeading(bool bShow) override { m_bShowHeading = bShow; }
  void SetShowLayerName(bool bShow) override { m_bShowLayerName = bShow; }
  bool GetShowHeading() override { return m_bShowHeading; }
  bool GetShowLayerName() override { return m_bShowLayerName; }
  IGIS_Symbol* GetHeadingSymbol() override { return HeldSymbol(&m_pHeadingSymbol, &m_bHeadingSymbolMade); }
  IGIS_Symbol* GetLayerNameSymbol() override {
    return HeldSymbol(&m_pLayerNameSymbol, &m_bLayerNameSymbolMade);
  }
  void SetHeadingSymbolPtr(IGIS_Symbol* pSymbol) override;
  void SetLayerNameSymbolPtr(IGIS_Symbol* pSymbol) override;
  IGIS_MapLayer* GetLayer() override { return m_pLayer; }
  void SetLayer(IGIS_MapLayer* pLayer) override;
  bool AddLabel(const char* szLabel) override;
  bool RemoveLabel(const char* szLabel) override;
  bool RemoveLabelAt(int nIndex) override;
  int GetLabelCount() override { return static_cast<int>(m_labels.size()); }
  bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point origin) override;
  bool IsValid() override { return true; }
  void RemoveAllLabels() override;
  double GetWidth() override { return m_dWidth; }
  double GetHeight() override { return m_dHeight; }

  // ---- Used by the legend element ----

  // Reads the stored labels, columns and layer name; FALSE when the buffer
  // holds no readable item (nothing is read then).
  bool ReadStored(IGIS_DataBuffer* pBuffer);
  // The same from the stored bytes, read in place.
  bool ReadStored(std::span<const BYTE> bytes);
  // Adds the item to the writer as Save stores it, under the key.
  void SaveInto(md::layout::StoredSetWriter* pParent, std::string_view key);
  // Makes the item what a new item of the owner is, keeping only storage
  // (its label texts' room) for the next ReadStoredAfterReset.
  void ResetForRead(IGIS_LegendElement* pOwner);
  // After ResetForRead: what ReadStored gives a new item, the kept label
  // texts refilled in place.
  bool ReadStoredAfterReset(std::span<const BYTE> bytes) { return ReadStoredFrom(bytes, 0); }
  // ResetForRead and ReadStoredAfterReset in one; bytes equal to those the
  // item last wrote, with nothing stored changed since, are not decoded.
  bool RefillFromStored(IGIS_LegendElement* pOwner, std::span<const BYTE> bytes);
  // Finds the layer under the layer name through the owner's map frame and
  // keeps it; records under szMethod as Open does. FALSE when no layer. An
  // index of that frame's map, when given, answers in place of a walk.
  bool ResolveLayer(const char* szMethod, bool bLogNoFrame,
                    const VectorDrawerIndex<IGIS_Map>* pIndex = nullptr);
  // The same with the owner's map frame given (looked up once for many items).
  bool ResolveLayerIn(IGIS_MapElement* pFrame, const char* szMethod, bool bLogNoFrame,
                      const VectorDrawerIndex<IGIS_Map>* pIndex);
  // Forgets the found layer and keeps the name (the legend left its frame).
  void ForgetLayer() { m_pLayer = nullptr; }
  // The legend that holds the item (items move with AddItem and InsertItem).
  void SetOwner(IGIS_LegendElement* pOwner) { m_pOwner = pOwner; }
  const std::string& GetLayerName() const { return m_strLayerName; }
  const std::vector<std::string>& Labels() const { return m_labels; }
  // TRUE when CreateGraphics would measure the item without a record: its
  // layer is found and holds its data, and the format has a label symbol.
  // *pVector tells whether the layer is a vector layer (others take no room).
  bool MeasuresQuietly(bool* pVector);
  // The size CreateGraphics measures for an item of these labels and layer
  // name, in the same format.
  void TakeSize(double dWidth, double dHeight) {
    m_dWidth = dWidth;
    m_dHeight = dHeight;
  }
  // The marks of the item with its lower-left corner at the origin; FALSE
  // (records under szMethod) when the frame, map, layer, format or label
  // symbol is missing. Nothing is added for a layer that is no vector layer.
  bool Layout(SGIS_Point origin, md::layout::legend::LegendMarks* pMarks, const char* szMethod);

 private:
  ~CGIS_LegendItem() override;
  // A held text symbol; the default one is made when first asked for, so
  // that items read and dropped again make none.
  // Reads the stored item with its labels written from label nFirst on
  // (over the texts there) and the labels after them dropped.
  bool ReadStoredFrom(std::span<const BYTE> bytes, std::size_t nFirst);
  // The item's stored fields.
  void Fill(md::layout::StoredSetWriter* pSet) const;
  static IGIS_Symbol* HeldSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, bool* pMade);
  // ResetForRead for the members that are not stored.
  void ResetUnstored(IGIS_LegendElement* pOwner);

  // ResetForRead gives each member below its value in a new item.
  int m_nColumns = 0;
  std::unique_ptr<IGIS_LegendClassFormat> m_pClassFormat;
  bool m_bItemFlag = true;
  IGIS_LegendElement* m_pOwner;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pHeadingSymbol;
  IGIS_MapLayer* m_pLayer = nullptr;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pLayerNameSymbol;
  // Whether the symbols above were made or set (until then they stand for a
  // new default text symbol each).
  bool m_bHeadingSymbolMade = false;
  bool m_bLayerNameSymbolMade = false;
  bool m_bShowHeading = true;
  std::string m_strLayerName;
  bool m_bShowLayerName = true;
  std::vector<std::string> m_labels;
  double m_dHeight = 0.0;
  double m_dWidth = 0.0;
  // The item's stored form as SaveInto last wrote it, while m_bStoredKept:
  // until then nothing stored (labels, columns, layer name) has changed.
  std::vector<BYTE> m_stored;
  bool m_bStoredKept = false;
};
