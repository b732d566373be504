// What the symbol pages of the plain shapes share: a preview control that
// shows the element's symbol through the renderer, and a button that picks
// another symbol in the host's chooser and gives it to the element at once.
#pragma once

#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_Element;
class IGIS_Symbol;
class IGIS_SymbolRenderer;

class CGIS_ShapeSymbolPage : public CPropertyPage {
 public:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // Draws the element's symbol over the preview control's frame.
  void OnPaint() override;

  IGIS_Element* GetElement() const { return m_pElement; }
  IGIS_Display* GetContext() const { return m_pContext; }

 protected:
  // nChooserKind: the chooser's kind (1 point, 2 line, 4 fill); pnChooserState:
  // the process-wide integer the chooser remembers its place in.
  CGIS_ShapeSymbolPage(UINT nTemplateId, int nPreviewId, int nButtonId, int nChooserKind, int* pnChooserState,
                       IGIS_Element* pElement, IGIS_Display* pContext);

  // The element's symbol (not a copy), or NULL.
  virtual IGIS_Symbol* GetSymbol() = 0;
  // Gives the element (a copy of) the chosen symbol.
  virtual void SetSymbol(IGIS_Symbol* pChosen) = 0;
  // The device points the symbol is drawn at for a preview rectangle.
  virtual std::vector<POINT> PreviewPoints(const RECT& rect) = 0;

  // The preview control's rectangle in the page's client coordinates.
  RECT PreviewRect() const;

  CStatic m_preview;

 private:
  void OnChangeSymbol();

  int m_nPreviewId;
  int m_nChooserKind;
  int* m_pnChooserState;
  IGIS_SymbolRenderer* m_pSymbolization = nullptr;
  IGIS_Element* m_pElement;
  IGIS_Display* m_pContext;
};
