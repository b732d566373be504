// The frame selector.
#include "layout/graphicelement/frame/dialogs/cgis_frameselectordlg.h"

#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/glyphor2pick/igis_symbolv2chooserdlg.h"
#include "host/pictar2/graphics.h"
#include "host/stratel/igis_stringdlg.h"
#include "host/tinctorkit/igis_symbolpainter.h"
#include "platform/ui/app.h"
#include "platform/win/cdc.h"

namespace {

// What each mode shows: the window caption and the naming prompt.
struct ModeTexts {
  const char* szCaption;
  const char* szPromptCaption;
  const char* szPromptLabel;
};
constexpr ModeTexts kModeTexts[] = {
    {"边框样式", "边界样式", "边界"},
    {"背景样式", "背景样式", "背景"},
    {"阴影样式", "阴影样式", "阴影"},
};

const ModeTexts* TextsOf(int nMode) {
  return nMode >= GIS_FRAME_LIBRARY_BORDER && nMode <= GIS_FRAME_LIBRARY_SHADOW ? &kModeTexts[nMode]
                                                                                : nullptr;
}

// A bitmap selected into a memory context for the scope, filled white.
class WhiteBitmap {
 public:
  WhiteBitmap(HDC reference, int w, int h)
      : m_hdc(CreateCompatibleDC(reference)), m_hBitmap(CreateCompatibleBitmap(reference, w, h)) {
    if (m_hdc == nullptr || m_hBitmap == nullptr) return;
    m_hOld = SelectObject(m_hdc, m_hBitmap);
    const RECT r{0, 0, w, h};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(m_hdc, &r, white);
    DeleteObject(white);
  }
  ~WhiteBitmap() {
    if (m_hdc != nullptr && m_hOld != nullptr) SelectObject(m_hdc, m_hOld);
    if (m_hBitmap != nullptr) DeleteObject(m_hBitmap);
    if (m_hdc != nullptr) DeleteDC(m_hdc);
  }
  WhiteBitmap(const WhiteBitmap&) = delete;
  WhiteBitmap& operator=(const WhiteBitmap&) = delete;
  bool IsValid() const { return m_hOld != nullptr; }
  HDC Dc() const { return m_hdc; }
  HBITMAP Bitmap() const { return m_hBitmap; }
  // Takes the bitmap out of the context (an image list copies it then).
  void Deselect() {
    if (m_hOld != nullptr) SelectObject(m_hdc, m_hOld);
    m_hOld = nullptr;
  }

 private:
  HDC m_hdc;
  HBITMAP m_hBitmap;
  HGDIOBJ m_hOld = nullptr;
};

}  // namespace

CGIS_FrameSelectorDlg::CGIS_FrameSelectorDlg(CWnd* pParent) : CDialog(IDD_FRAME_SELECTOR, pParent) {
  MapNotify(NM_DBLCLK, IDC_FRAMESEL_LIST, [this](NMHDR* pHeader, LRESULT* pResult) {
    OnListDoubleClick(pHeader);
    *pResult = 0;
  });
  MapNotify(LVN_ITEMCHANGED, IDC_FRAMESEL_LIST, [](NMHDR*, LRESULT* pResult) { *pResult = 0; });
  MapClicked(IDC_FRAMESEL_NEW, [this] { OnNewFrameSelector(); });
  MapClicked(IDC_FRAMESEL_EDIT, [this] { OnEditSymbol(); });
  MapClicked(IDC_FRAMESEL_SAVE, [this] { OnSaveToLibrary(); });
  MapClicked(IDC_FRAMESEL_DELETE, [this] { OnDelete(); });
}

CGIS_FrameSelectorDlg::~CGIS_FrameSelectorDlg() {
  if (m_hWnd != nullptr) DestroyWindow();
}

void CGIS_FrameSelectorDlg::SetSymbolPtr(IGIS_SymbolV2* pSymbol) {
  m_pSymbol.reset(pSymbol != nullptr ? pSymbol->Clone() : nullptr);
}

BOOL CGIS_FrameSelectorDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_list.SubclassDlgItem(IDC_FRAMESEL_LIST, this);
  Init();
  FillList();
  EnableDelete(FALSE);
  if (const ModeTexts* pTexts = TextsOf(m_nMode)) SetWindowText(pTexts->szCaption);
  return TRUE;
}

void CGIS_FrameSelectorDlg::Init() {
  if (TextsOf(m_nMode) == nullptr) return;
  m_library.Load(CGIS_FrameSymbolLibrary::PathForMode(m_nMode));
}

void CGIS_FrameSelectorDlg::SaveToFile() {
  if (TextsOf(m_nMode) == nullptr) return;
  m_library.SaveIfAllowed();
}

void CGIS_FrameSelectorDlg::OnOK() {
  SaveToFile();
  EndDialog(IDOK);
}

void CGIS_FrameSelectorDlg::OnCancel() {
  SaveToFile();
  EndDialog(IDCANCEL);
}

BOOL CGIS_FrameSelectorDlg::DrawSymbol(HDC hdc, IGIS_SymbolV2* pSymbol, int /*nKind*/, const RECT& rect) {
  constexpr const char* kMethod = "CGIS_FrameSelectorDlg::DrawSymbol";
  IGIS_SymbolPainter* pPainter = GIS_GetSymbolizeObject();
  if (pPainter == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_symbolize == NULL");
    return FALSE;
  }
  md::pictar2::Graphics graphics(hdc, md::pictar2::RasterModeBitmap);
  SGIS_PaintParam param;
  param.graphics = &graphics;
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "符号为空，绘制出来的符号是黑色图案");
    return FALSE;
  }
  const double l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  const double d = (rect.bottom - rect.top) / 10;
  std::vector<double> xy;
  switch (m_nKind) {
    case GIS_FRAME_KIND_POINT:
      xy = {static_cast<double>((rect.left + rect.right) / 2),
            static_cast<double>((rect.top + rect.bottom) / 2)};
      break;
    case GIS_FRAME_KIND_LINE:
      xy = {l + d, b - d, l + d, t + d, r - d, t + d};
      break;
    case GIS_FRAME_KIND_FILL:
      xy = {l + d, t + d, l + d, b - d, r - d, b - d, r - d, t + d, l + d, t + d};
      break;
    default:
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "符号类型不对，绘制出来的符号是黑色图案");
      break;
  }
  if (!xy.empty()) pPainter->Paint(pSymbol, &param, xy.data(), static_cast<int>(xy.size() / 2));
  graphics.Update(hdc);
  return TRUE;
}

void CGIS_FrameSelectorDlg::FillList() {
  switch (m_nKind) {
    case GIS_FRAME_KIND_POINT:
      m_nImageWidth = 50, m_nImageHeight = 50;
      break;
    case GIS_FRAME_KIND_LINE:
    case GIS_FRAME_KIND_FILL:
      m_nImageWidth = 66, m_nImageHeight = 20;
      break;
    default:
      m_nImageWidth = 50, m_nImageHeight = 20;
      break;
  }
  if (m_list.m_hWnd == nullptr) return;
  m_list.DeleteAllItems();
  m_imageList.DeleteImageList();
  m_imageList.Create(m_nImageWidth, m_nImageHeight, ILC_COLOR24, 0, 2);
  m_list.SetImageList(&m_imageList, LVSIL_NORMAL);
  CClientDC dc(this);
  const RECT area{0, 0, m_nImageWidth, m_nImageHeight};
  for (int n = 0; n < m_library.GetSymbolCount(); ++n) {
    SGIS_FrameSymbolItem* pItem = m_library.GetSymbolEntry(n);
    WhiteBitmap image(dc.GetSafeHdc(), m_nImageWidth, m_nImageHeight);
    if (image.IsValid()) DrawSymbol(image.Dc(), pItem->pSymbol.get(), m_nKind, area);
    image.Deselect();
    const int nImage =
        image.Bitmap() != nullptr ? m_imageList.Add(image.Bitmap(), static_cast<HBITMAP>(nullptr)) : -1;
    m_list.InsertItem(n, pItem->strName.c_str(), nImage);
  }
}

RECT CGIS_FrameSelectorDlg::PreviewArea() const {
  RECT r{};
  if (CWnd* pBox = GetDlgItem(IDC_FRAMESEL_PREVIEW)) {
    pBox->GetWindowRect(&r);
    ScreenToClient(&r);
  }
  return RECT{r.left + 6, r.top + 20, r.right - 6, r.bottom - 20};
}

void CGIS_FrameSelectorDlg::DrawPreview(HDC hdc) {
  if (!m_pSymbol || hdc == nullptr) return;
  const RECT area = PreviewArea();
  const int w = area.right - area.left;
  const int h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return;
  WhiteBitmap image(hdc, w, h);
  if (!image.IsValid()) return;
  DrawSymbol(image.Dc(), m_pSymbol.get(), m_nKind, RECT{0, 0, w, h});
  BitBlt(hdc, area.left, area.top, w, h, image.Dc(), 0, 0, SRCCOPY);
}

void CGIS_FrameSelectorDlg::OnPaint() {
  CPaintDC dc(this);
  DrawPreview(dc.GetSafeHdc());
}

void CGIS_FrameSelectorDlg::EnableDelete(BOOL bEnable) {
  if (CWnd* pDelete = GetDlgItem(IDC_FRAMESEL_DELETE)) pDelete->EnableWindow(bEnable);
}

void CGIS_FrameSelectorDlg::OnListDoubleClick(NMHDR* pHeader) {
  const int nItem = pHeader != nullptr ? reinterpret_cast<NMITEMACTIVATE*>(pHeader)->iItem : -1;
  SGIS_FrameSymbolItem* pItem = m_library.GetSymbolEntry(nItem);
  m_nSelected = pItem != nullptr ? nItem : -1;
  if (pItem == nullptr) return;
  m_pSymbol.reset(pItem->pSymbol->Clone());
  EnableDelete(TRUE);
  const RECT area = PreviewArea();
  InvalidateRect(&area, TRUE);
}

void CGIS_FrameSelectorDlg::OnNewFrameSelector() {
  IGIS_SymbolV2ChooserDlg* pChooser = GIS_GetSymbol2SelectDlgObject();
  if (pChooser == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FrameSelectorDlg::OnNewFrameSelector", "p_selDlg == NULL");
    return;
  }
  int nState = 0;
  if (pChooser->RunNew(&m_nKind, 0, &nState) != 0) return;
  if (IGIS_SymbolV2* pResult = pChooser->GetResult()) {
    m_pSymbol.reset(pResult);
    const RECT area = PreviewArea();
    InvalidateRect(&area, TRUE);
  }
}

void CGIS_FrameSelectorDlg::OnEditSymbol() {
  IGIS_SymbolV2ChooserDlg* pChooser = GIS_GetSymbol2SelectDlgObject();
  if (pChooser == nullptr) return;
  int nState = 0;
  if (pChooser->RunEdit(m_pSymbol.get(), 0, &nState) != 0) return;
  if (IGIS_SymbolV2* pResult = pChooser->GetResult()) {
    m_pSymbol.reset(pResult);
    const RECT area = PreviewArea();
    InvalidateRect(&area, TRUE);
  }
}

void CGIS_FrameSelectorDlg::OnSaveToLibrary() {
  if (!m_pSymbol) return;
  const ModeTexts* pTexts = TextsOf(m_nMode);
  IGIS_StringDlg* pNameDlg = GIS_GetStringDlgObject();
  if (pTexts == nullptr || pNameDlg == nullptr) return;
  pNameDlg->SetCaption(pTexts->szPromptCaption);
  pNameDlg->SetLabel(pTexts->szPromptLabel);
  if (!pNameDlg->DoModal()) return;
  const char* szName = pNameDlg->GetString();
  if (szName == nullptr || szName[0] == '\0') {
    MessageBox("名称不能为空，请重新输入！", "错误", MB_OK);
    return;
  }
  if (m_library.HasName(szName)) {
    MessageBox("名称重复，请重新输入！", "错误", MB_OK);
    return;
  }
  m_library.Add(m_pSymbol.get(), szName);
  FillList();
  EnableDelete(FALSE);
}

void CGIS_FrameSelectorDlg::OnDelete() {
  m_library.RemoveSymbolEntry(m_nSelected);
  m_nSelected = -1;
  EnableDelete(FALSE);
  FillList();
}
