// A display on a printer device context. The display puts the context in a
// 0.01 mm mapping with y up and the paper's top-left corner at logical
// (0, 0), so page coordinates reach the context after a shift only: the page
// point given as the paper's top-left corner lands there. Element drawing
// clips to the paper, and symbols and texts keep their real size.
#pragma once

#include "host/display/cgis_pageview.h"

class CGIS_PrintDisplay final : public IGIS_Display, public IGIS_DisplayPrinter {
 public:
  // hdc: a printer context, kept, not owned; paper size in 0.01 mm.
  CGIS_PrintDisplay(HDC hdc, int paperWidth, int paperHeight, SGIS_Point pageTopLeft);
  ~CGIS_PrintDisplay() override = default;
  CGIS_PrintDisplay(const CGIS_PrintDisplay&) = delete;
  CGIS_PrintDisplay& operator=(const CGIS_PrintDisplay&) = delete;

  // (Re)sets the context's mapping; FALSE without a usable printer context.
  BOOL PrepareDC();
  CGIS_PageView* GetPageView() { return &m_view; }

  HWND GetWindowHandle() override { return nullptr; }
  IGIS_DisplayView* GetView() override { return &m_view; }
  void* GetInterface(const char* name) override;

  int GetPaperWidth() override { return m_nPaperWidth; }
  int GetPaperHeight() override { return m_nPaperHeight; }

 private:
  CGIS_PageView m_view;
  int m_nPaperWidth;
  int m_nPaperHeight;
};
