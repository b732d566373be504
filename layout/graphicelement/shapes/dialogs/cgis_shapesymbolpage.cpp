// The shared part of the shapes' symbol pages.
#include "layout/graphicelement/shapes/dialogs/cgis_shapesymbolpage.h"

#include "host/basilo/sgis_types.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "platform/ui/app.h"
#include "platform/win/cdc.h"

CGIS_ShapeSymbolPage::CGIS_ShapeSymbolPage(UINT nTemplateId, int nPreviewId, int nButtonId, int nChooserKind,
                                           int* pnChooserState, IGIS_Element* pElement,
                                           IGIS_Display* pContext)
    : CPropertyPage(nTemplateId),
      m_nPreviewId(nPreviewId),
      m_nChooserKind(nChooserKind),
      m_pnChooserState(pnChooserState),
      m_pElement(pElement),
      m_pContext(pContext) {
  MapClicked(static_cast<UINT>(nButtonId), [this] { OnChangeSymbol(); });
}

BOOL CGIS_ShapeSymbolPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_pSymbolization = GIS_GetSymbolizationObject();
  return TRUE;
}

void CGIS_ShapeSymbolPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, m_nPreviewId, m_preview);
}

RECT CGIS_ShapeSymbolPage::PreviewRect() const {
  RECT r{};
  if (CWnd* pPreview = GetDlgItem(m_nPreviewId)) {
    pPreview->GetWindowRect(&r);
    ScreenToClient(&r);
  }
  return r;
}

void CGIS_ShapeSymbolPage::OnPaint() {
  CPaintDC dc(this);
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  IGIS_Symbol* pSymbol = m_pElement != nullptr ? GetSymbol() : nullptr;
  if (pSymbol == nullptr || m_pSymbolization == nullptr) return;
  std::vector<POINT> points = PreviewPoints(PreviewRect());
  SGIS_DrawParam param;
  param.hdc = dc.GetSafeHdc();
  param.points = points.data();
  param.pointCount = static_cast<int>(points.size());
  m_pSymbolization->Draw(pSymbol, &param, GIS_DRAW_CHECK);
}

void CGIS_ShapeSymbolPage::OnChangeSymbol() {
  if (m_pElement == nullptr) return;
  IGIS_SymbolChooserDlg* pChooser = GIS_GetSymbolSelectDlgObject();
  if (pChooser != nullptr && pChooser->Run(GetSymbol(), m_nChooserKind, m_pnChooserState, 0, 0)) {
    if (IGIS_Symbol* pResult = pChooser->GetResult()) {
      SetSymbol(pResult);
      pResult->Release();
    }
    SetModified(TRUE);
  }
  const RECT r = PreviewRect();
  InvalidateRect(&r, TRUE);
}
