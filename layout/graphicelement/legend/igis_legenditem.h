// One item of a legend: a vector layer of the followed map, named by its
// layer name, and the chosen class labels of that layer. The item reads its
// look from the format of the legend that owns it; the layer name, not the
// layer object, is its lasting reference.
#pragma once

#include "host/basilo/sgis_types.h"
#include "platform/win/wintypes.h"

class IGIS_DataBuffer;
class IGIS_Display;
class IGIS_LegendClassFormat;
class IGIS_LegendElement;
class IGIS_MapLayer;
class IGIS_Symbol;

class IGIS_LegendItem {
 public:
  virtual int GetColumns() = 0;
  virtual void SetColumns(int nColumns) = 0;
  virtual bool GetItemFlag() = 0;
  virtual void SetItemFlag(bool bFlag) = 0;
  // Finds the layer again and measures the item (GetWidth, GetHeight).
  virtual void CreateGraphics() = 0;
  // Keeps a copy of the class format (NULL: none).
  virtual void SetClassFormat(IGIS_LegendClassFormat* pFormat) = 0;
  virtual IGIS_LegendClassFormat* GetClassFormat() = 0;
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  // Reads the item and finds its layer through the owner's map frame.
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  // The label at the index; NULL out of range.
  virtual const char* GetLabel(int nIndex) = 0;
  // Changes nothing.
  virtual void SetLabel(int nIndex, const char* szLabel) = 0;
  virtual void Release() = 0;
  // A new item of the same owner, owned by the caller.
  virtual IGIS_LegendItem* Clone() = 0;
  virtual void SetShowHeading(bool bShow) = 0;
  virtual void SetShowLayerName(bool bShow) = 0;
  virtual bool GetShowHeading() = 0;
  virtual bool GetShowLayerName() = 0;
  virtual IGIS_Symbol* GetHeadingSymbol() = 0;
  virtual IGIS_Symbol* GetLayerNameSymbol() = 0;
  virtual void SetHeadingSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual void SetLayerNameSymbolPtr(IGIS_Symbol* pSymbol) = 0;
  virtual IGIS_MapLayer* GetLayer() = 0;
  // Keeps the layer; the layer name becomes its name ("" for NULL).
  virtual void SetLayer(IGIS_MapLayer* pLayer) = 0;
  virtual bool AddLabel(const char* szLabel) = 0;
  // Removes the first label equal to the text.
  virtual bool RemoveLabel(const char* szLabel) = 0;
  // Removes the first label equal to the label at the index; FALSE out of range.
  virtual bool RemoveLabelAt(int nIndex) = 0;
  virtual int GetLabelCount() = 0;
  // Draws the item with its lower-left corner at the origin (page units).
  virtual bool OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point origin) = 0;
  virtual bool IsValid() = 0;
  virtual void RemoveAllLabels() = 0;
  virtual double GetWidth() = 0;
  virtual double GetHeight() = 0;

 protected:
  virtual ~IGIS_LegendItem() = default;
};

extern "C" {
// A new item of the legend (which may be NULL), owned by the caller
// (Release); NULL when memory runs out.
__attribute__((visibility("default"))) IGIS_LegendItem* GIS_CreateLegendItemObject(
    IGIS_LegendElement* pOwner);
}
