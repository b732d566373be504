// The look of one legend: class patch size, the gaps between the legend's
// parts, the show flags and the four text symbols (title, layer name,
// heading, label). Lengths are in page units (0.01 mm).
#pragma once

class IGIS_DataBuffer;
class IGIS_Symbol;

class IGIS_LegendFormat {
 public:
  // The getters of symbols return the format's own symbol (not to be
  // released); the setters keep a copy and clear the symbol for NULL.
  virtual IGIS_Symbol* GetTitleSymbol() = 0;
  virtual void SetTitleSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual int GetDefaultLinePatch() = 0;
  virtual void SetDefaultLinePatch(int nValue) = 0;
  virtual int GetDefaultAreaPatch() = 0;
  virtual void SetDefaultAreaPatch(int nValue) = 0;
  virtual int GetTitlePosition() = 0;
  virtual void SetTitlePosition(int nValue) = 0;
  virtual bool GetShowTitle() = 0;
  virtual void SetShowTitle(bool bShow) = 0;
  virtual int GetDefaultPatchHeight() = 0;
  virtual void SetDefaultPatchHeight(int nValue) = 0;
  virtual int GetDefaultPatchWidth() = 0;
  virtual void SetDefaultPatchWidth(int nValue) = 0;
  virtual int GetHorizontalItemGap() = 0;
  virtual void SetHorizontalItemGap(int nValue) = 0;
  virtual int GetTitleAndLegendGap() = 0;
  virtual void SetTitleAndLegendGap(int nValue) = 0;
  virtual int GetVerticalItemGap() = 0;
  virtual void SetVerticalItemGap(int nValue) = 0;
  // Writes every stored value as one property set into the buffer.
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  // Reads what Save wrote; a missing key leaves its value as it was.
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  virtual int GetPatchAndLabelsGap() = 0;
  virtual void SetPatchAndLabelsGap(int nValue) = 0;
  virtual void Release() = 0;
  virtual int GetLayerNameGap() = 0;
  virtual int GetHeadingGap() = 0;
  virtual void SetHeadingGap(int nValue) = 0;
  virtual void SetLayerNameGap(int nValue) = 0;
  virtual int GetLabelPosition() = 0;
  virtual void SetLabelPosition(int nValue) = 0;
  // A new format equal to this one, owned by the caller.
  virtual IGIS_LegendFormat* Clone() = 0;
  virtual int GetItemGap() = 0;
  virtual void SetItemGap(int nValue) = 0;
  // Takes every value of the source (symbols copied); returns this format.
  virtual IGIS_LegendFormat* CopyFrom(IGIS_LegendFormat* pSource) = 0;
  virtual IGIS_Symbol* GetLayerNameSymbol() = 0;
  virtual void SetLayerNameSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetHeadingSymbol() = 0;
  virtual void SetHeadingSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_Symbol* GetLabelSymbol() = 0;
  virtual void SetLabelSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  // Scales sizes, gaps and text sizes by the smaller factor (nothing for a
  // negative or non-finite factor).
  virtual void Scale(double sx, double sy) = 0;
  virtual bool GetShowLabel() = 0;
  virtual void SetShowLabel(bool bShow) = 0;
  virtual void SetShowHeading(bool bShow) = 0;
  virtual void SetShowLayerName(bool bShow) = 0;
  virtual bool GetShowHeading() = 0;
  virtual bool GetShowLayerName() = 0;

 protected:
  virtual ~IGIS_LegendFormat() = default;
};

extern "C" {
// A new format with the default look, owned by the caller (Release); NULL
// when memory runs out.
__attribute__((visibility("default"))) IGIS_LegendFormat* GIS_CreateLegendFormatObject();
}
