// The legend element: for the layers of one map frame, a stack of legend
// items under an optional title, inside a frame. Item 0 is the top of the
// stack; the stack grows upwards from the element's lower-left corner.
#pragma once

#include "layout/graphicelement/igis_element.h"

class IGIS_FrameProperty;
class IGIS_LegendFormat;
class IGIS_LegendItem;
class IGIS_MapElement;

// Sent by the host when a layer of a map was deleted; the sender is the layer.
#define GIS_MESSAGE_DOC_MAPLAYER_DELETED "GIS_MESSAGE_DOC_MAPLAYER_DELETED"

class IGIS_LegendElement : public IGIS_Element, public IGIS_Observer {
 public:
  // Follows the map frame (NULL unlinks; the map element ID becomes -100).
  virtual void SetMapElement(IGIS_MapElement* pMapElement) = 0;
  virtual IGIS_MapElement* GetMapElement() = 0;
  virtual bool GetFlag() = 0;
  virtual void SetFlag(bool bFlag) = 0;
  // The legend's own format (never released by the caller).
  virtual IGIS_LegendFormat* GetLegendFormat() = 0;
  // Copies every value of the format (NULL: nothing).
  virtual void SetLegendFormat(IGIS_LegendFormat* pFormat) = 0;
  virtual const char* GetTitle() = 0;
  virtual void SetTitle(const char* szTitle) = 0;
  virtual void SetDirector(bool bDirector) = 0;
  virtual bool GetDirector() = 0;
  // Appends the item; the legend owns it from then on. FALSE for NULL, or
  // when the legend holds as many items as it stores (with a record): the
  // legend then releases it, and the caller never touches it again.
  virtual bool AddItem(IGIS_LegendItem* pItem) = 0;
  virtual void RemoveAllItems() = 0;
  virtual int GetItemCount() = 0;
  // Lays the stack out again and sets the rectangle from it.
  virtual void RecalcRect() = 0;
  // Inserts before the item at the index, or appends past the end; an item
  // refused as AddItem refuses one, the legend releases it too.
  virtual void InsertItem(int nIndex, IGIS_LegendItem* pItem) = 0;
  virtual bool RunWizard() = 0;
  // Takes the item out of the list without releasing it; FALSE out of range.
  virtual bool RemoveItem(int nIndex) = 0;
  virtual IGIS_LegendItem* GetItem(int nIndex) = 0;
  virtual IGIS_FrameProperty* GetFrameProperty() = 0;
  // Keeps a copy (NULL: no frame); the held one itself changes nothing.
  virtual bool SetFrameProperty(IGIS_FrameProperty* pFrame) = 0;

 protected:
  ~IGIS_LegendElement() override = default;
};
