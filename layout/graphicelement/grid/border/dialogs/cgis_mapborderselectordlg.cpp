#include "layout/graphicelement/grid/border/dialogs/cgis_mapborderselectordlg.h"

#include <cmath>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/stratel/igis_stringdlg.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/grid/border/dialogs/borderdialogs.h"
#include "layout/graphicelement/grid/border/dialogs/cgis_newmapborderdlg.h"
#include "layout/graphicelement/grid/border/igis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/igis_mapborderpattern.h"
#include "layout/graphicelement/grid/border/igis_mapbordersimple.h"
#include "platform/win/wingdi.h"

namespace border = md::layout::border;

namespace {

// Half away from zero.
int Round(double d) { return static_cast<int>(d >= 0.0 ? d + 0.5 : d - 0.5); }

// Draws a ring of four corners (closed by repeating the first) or a polyline.
struct Schematic {
  IGIS_SymbolRenderer* pRenderer;
  HDC hdc;
  void Draw(IGIS_Symbol* pSymbol, std::vector<POINT> points) const {
    if (pSymbol == nullptr) return;
    SGIS_DrawParam param;
    param.hdc = hdc;
    param.points = points.data();
    param.pointCount = static_cast<int>(points.size());
    pRenderer->Draw(pSymbol, &param, 0xFCFCFCFC);
  }
  void Ring(IGIS_Symbol* pSymbol, POINT a, POINT b, POINT c, POINT d) const {
    Draw(pSymbol, {a, b, c, d, a});
  }
  void Cell(IGIS_Symbol* pSymbol, int x1, int y1, int x2, int y2) const {
    Ring(pSymbol, {x1, y1}, {x1, y2}, {x2, y2}, {x2, y1});
  }
};

void DrawCalibrated(const Schematic& s, IGIS_MapBorderCalibrated* pBorder, const RECT& r, int d) {
  const int h = r.bottom - r.top;
  const int w = r.right - r.left;
  const int len = h - 2 * d;
  const int n = len < 1 ? 0 : (w - 2 * d) / len;
  IGIS_Symbol* pFore = pBorder->GetForegroundSymbolPtr();
  IGIS_Symbol* pBack = pBorder->GetBackgroundSymbolPtr();
  IGIS_Symbol* pLast = nullptr;
  auto toggle = [&] { pLast = pLast == pBack ? pFore : pBack; };
  const int l = r.left, t = r.top, b = r.bottom;
  if (!pBorder->GetAlternating()) {
    pLast = pFore;
    s.Ring(pFore, {l + d, t + d}, {l + d, b - d}, {l + 2 * d, b - d}, {l + 2 * d, t + 2 * d});
    toggle();
    s.Ring(pLast, {l + d, t + d}, {l + 2 * d, t + 2 * d}, {l + 2 * d + len, t + 2 * d},
           {l + 2 * d + len, t + d});
    for (int k = 1; k <= n - 2; ++k) {
      toggle();
      const int x = l + 2 * d + k * len;
      s.Cell(pLast, x, t + d, x + len, t + 2 * d);
    }
    if (n >= 2) {
      toggle();
      s.Cell(pLast, l + 2 * d + (n - 1) * len, t + d, r.right - d, t + 2 * d);
    }
    return;
  }
  const int e = d / 2;
  s.Ring(pBack, {l + d, t + d}, {l + d, b - d}, {l + d + e, b - d}, {l + d + e, t + d + e});
  s.Ring(pFore, {l + d + e, t + d + e}, {l + d + e, b - d}, {l + 2 * d, b - d}, {l + 2 * d, t + 2 * d});
  pLast = pFore;
  s.Ring(pLast, {l + d, t + d}, {l + d + e, t + d + e}, {l + 2 * d + len, t + d + e},
         {l + 2 * d + len, t + d});
  toggle();
  s.Ring(pLast, {l + d + e, t + d + e}, {l + 2 * d, t + 2 * d}, {l + 2 * d + len, t + 2 * d},
         {l + 2 * d + len, t + d + e});
  for (int k = 1; k <= n - 1; ++k) {
    const int x = l + 2 * d + k * len;
    s.Cell(pLast, x, t + d, x + len, t + d + e);
    toggle();
    s.Cell(pLast, x, t + d + e, x + len, t + 2 * d);
  }
}

void DrawPattern(const Schematic& s, IGIS_MapBorderPattern* pBorder, const RECT& r, int d) {
  const int h = r.bottom - r.top;
  const int w = r.right - r.left;
  const int q = h / 4;
  const int l = r.left, t = r.top;
  s.Cell(pBorder->GetLeftTopSymbolPtr(), l + d, t + d, l + d + q, t + d + q);
  // Cells along one side: length, scale, and where cell j starts and ends.
  auto cells = [&](int length, double scale, auto&& draw) {
    const int count = scale * q <= 0.0 ? 1 : Round(length / scale / q);
    if (count <= 0 || count > 10000) return;
    const double step = (length + 0.0001) / count;
    for (int j = 0; j < count; ++j) draw(Round(j * step), Round((j + 1) * step));
  };
  cells(h - 2 * d - q, pBorder->GetLeftScale(), [&](int a, int b) {
    s.Cell(pBorder->GetLeftSymbolPtr(), l + d, t + d + q + a, l + d + q, t + d + q + b);
  });
  cells(w - 2 * d - q, pBorder->GetTopScale(), [&](int a, int b) {
    s.Cell(pBorder->GetTopSymbolPtr(), l + d + q + a, t + d, l + d + q + b, t + d + q);
  });
}

}  // namespace

CGIS_MapBorderSelectordlg::CGIS_MapBorderSelectordlg(CWnd* pParent)
    : CDialog(IDD_GIS_MAPBORDER_SELECTOR, pParent) {
  MapNotify(LVN_ITEMCHANGED, IDC_GIS_BS_LIST, [this](NMHDR* pHeader, LRESULT*) { OnItemChanged(pHeader); });
  MapClicked(IDC_GIS_BS_SAVE, [this] { OnSaveToLibrary(); });
  MapClicked(IDC_GIS_BS_NEW, [this] { OnNew(); });
  MapClicked(IDC_GIS_BS_DELETE, [this] { OnDelete(); });
  MapClicked(IDC_GIS_BS_PROPERTY, [this] { OnProperty(); });
  MapClicked(IDC_GIS_BS_SAME, [this] { OnSameInterval(); });
  MapCommand(EN_UPDATE, IDC_GIS_BS_LEFT, [this] {
    FilterSignedIntegerEdit(&m_editLeft);
    if (m_nSameInterval != 0 && !IsExchangingData())
      border::CopyIntervalText(this, IDC_GIS_BS_LEFT, {IDC_GIS_BS_RIGHT, IDC_GIS_BS_TOP, IDC_GIS_BS_BOTTOM});
  });
  MapCommand(EN_UPDATE, IDC_GIS_BS_RIGHT, [this] { FilterSignedIntegerEdit(&m_editRight); });
  MapCommand(EN_UPDATE, IDC_GIS_BS_TOP, [this] { FilterSignedIntegerEdit(&m_editTop); });
  MapCommand(EN_UPDATE, IDC_GIS_BS_BOTTOM, [this] { FilterSignedIntegerEdit(&m_editBottom); });
  MapCommand(EN_UPDATE, IDC_GIS_BS_WIDTH, [this] { FilterUnsignedIntegerEdit(&m_editWidth); });
}

void CGIS_MapBorderSelectordlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_GIS_BS_LIST, m_list);
  DDX_Control(dx, IDC_GIS_BS_LEFT, m_editLeft);
  DDX_Control(dx, IDC_GIS_BS_RIGHT, m_editRight);
  DDX_Control(dx, IDC_GIS_BS_TOP, m_editTop);
  DDX_Control(dx, IDC_GIS_BS_BOTTOM, m_editBottom);
  DDX_Control(dx, IDC_GIS_BS_WIDTH, m_editWidth);
  DDX_Text(dx, IDC_GIS_BS_LEFT, m_nLeft);
  DDX_Text(dx, IDC_GIS_BS_RIGHT, m_nRight);
  DDX_Text(dx, IDC_GIS_BS_TOP, m_nTop);
  DDX_Text(dx, IDC_GIS_BS_BOTTOM, m_nBottom);
  DDX_Check(dx, IDC_GIS_BS_SAME, m_nSameInterval);
  DDX_Text(dx, IDC_GIS_BS_WIDTH, m_nWidth);
  DDV_MinMaxInt(dx, m_nWidth, 1, 200000);
}

void CGIS_MapBorderSelectordlg::LoadValues() {
  if (m_pMapBorder == nullptr) return;
  m_nLeft = m_pMapBorder->GetLeftOffset();
  m_nBottom = m_pMapBorder->GetBottomOffset();
  m_nRight = m_pMapBorder->GetRightOffset();
  m_nTop = m_pMapBorder->GetTopOffset();
  m_nWidth = m_pMapBorder->GetBorderWidth();
}

BOOL CGIS_MapBorderSelectordlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_thumbnails.Create(kThumbWidth, kThumbHeight, ILC_COLOR24, 0, 2);
  m_list.SetImageList(&m_thumbnails, LVSIL_NORMAL);
  LoadValues();
  UpdateData(FALSE);
  Init();
  FillList();
  m_bInitialised = true;
  if (CWnd* pDelete = GetDlgItem(IDC_GIS_BS_DELETE)) pDelete->EnableWindow(FALSE);
  return TRUE;
}

void CGIS_MapBorderSelectordlg::Init() { m_library.Init(); }

void CGIS_MapBorderSelectordlg::SaveToFile() {
  // A file that could not be read is left as it is (the library refuses it).
  if (!m_library.IsUnreadable()) m_library.SaveToFile();
}

void CGIS_MapBorderSelectordlg::FillList() {
  m_list.DeleteAllItems();
  m_thumbnails.DeleteImageList();
  m_thumbnails.Create(kThumbWidth, kThumbHeight, ILC_COLOR24, 0, 2);
  m_list.SetImageList(&m_thumbnails, LVSIL_NORMAL);
  HDC hdc = GetDC(m_hWnd);
  HDC hMemory = CreateCompatibleDC(hdc);
  HBRUSH hWhite = CreateSolidBrush(RGB(255, 255, 255));
  int n = 0;
  for (int i = 0; i < m_library.GetCount(); ++i) {
    IGIS_MapBorder* pEntry = m_library.GetMapBorder(i);
    if (pEntry == nullptr) continue;
    HBITMAP hBitmap = CreateCompatibleBitmap(hdc, kThumbWidth, kThumbHeight);
    HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
    const RECT rect{0, 0, kThumbWidth, kThumbHeight};
    FillRect(hMemory, &rect, hWhite);
    DrawMapBorder(hMemory, pEntry, 1, rect);
    SelectObject(hMemory, hOld);
    m_thumbnails.Add(hBitmap, static_cast<HBITMAP>(nullptr));
    DeleteObject(hBitmap);
    m_list.InsertItem(n, pEntry->GetName() != nullptr ? pEntry->GetName() : "", n);
    m_list.SetItemData(n, static_cast<DWORD_PTR>(n));
    ++n;
  }
  DeleteObject(hWhite);
  DeleteDC(hMemory);
  ReleaseDC(m_hWnd, hdc);
}

void CGIS_MapBorderSelectordlg::OnPaint() {
  PAINTSTRUCT paint;
  HDC hdc = BeginPaint(&paint);
  CWnd* pFrame = GetDlgItem(IDC_GIS_BS_PREVIEW);
  if (m_pMapBorder != nullptr && pFrame != nullptr && hdc != nullptr) {
    RECT frame;
    pFrame->GetWindowRect(&frame);
    ScreenToClient(&frame);
    const RECT area{frame.left + 6, frame.top + 20, frame.right - 6, frame.bottom - 20};
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w > 0 && h > 0) {
      HDC hMemory = CreateCompatibleDC(hdc);
      HBITMAP hBitmap = CreateCompatibleBitmap(hdc, w, h);
      HGDIOBJ hOld = SelectObject(hMemory, hBitmap);
      HBRUSH hWhite = CreateSolidBrush(RGB(255, 255, 255));
      const RECT rect{0, 0, w, h};
      FillRect(hMemory, &rect, hWhite);
      DrawMapBorder(hMemory, m_pMapBorder.get(), 1, rect);
      BitBlt(hdc, area.left, area.top, w, h, hMemory, 0, 0, SRCCOPY);
      SelectObject(hMemory, hOld);
      DeleteObject(hWhite);
      DeleteObject(hBitmap);
      DeleteDC(hMemory);
    }
  }
  EndPaint(&paint);
}

BOOL CGIS_MapBorderSelectordlg::DrawMapBorder(HDC hdc, IGIS_MapBorder* pBorder, int nMode, RECT rect) {
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  if (pRenderer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapBorderSelectordlg::DrawMapBorder", "p_symbolization == NULL");
    return FALSE;
  }
  if (pBorder == nullptr || (nMode != 0 && nMode != 1)) return TRUE;
  const Schematic s{pRenderer, hdc};
  const int d = (rect.bottom - rect.top) / 10;
  if (auto* pSimple = dynamic_cast<IGIS_MapBorderSimple*>(pBorder)) {
    s.Draw(pSimple->GetLineSymbolPtr(),
           {{rect.left + d, rect.bottom - d}, {rect.left + d, rect.top + d}, {rect.right - d, rect.top + d}});
  } else if (auto* pCalibrated = dynamic_cast<IGIS_MapBorderCalibrated*>(pBorder)) {
    DrawCalibrated(s, pCalibrated, rect, d);
  } else if (auto* pPattern = dynamic_cast<IGIS_MapBorderPattern*>(pBorder)) {
    DrawPattern(s, pPattern, rect, d);
  }
  return TRUE;
}

void CGIS_MapBorderSelectordlg::OnItemChanged(NMHDR* pHeader) {
  if (!m_bInitialised) return;
  const auto* pInfo = reinterpret_cast<const NMLISTVIEW*>(pHeader);
  if (!(pInfo->uNewState & LVIS_SELECTED)) return;
  m_nSelected = pInfo->iItem;
  if (IGIS_MapBorder* pEntry = m_library.GetMapBorder(m_nSelected)) {
    m_pMapBorder.reset(pEntry->Clone());
    if (CWnd* pDelete = GetDlgItem(IDC_GIS_BS_DELETE)) pDelete->EnableWindow(TRUE);
  }
  if (m_pMapBorder != nullptr) {
    LoadValues();
    UpdateData(FALSE);
    Invalidate();
  }
}

void CGIS_MapBorderSelectordlg::OnSaveToLibrary() {
  if (m_pMapBorder == nullptr) return;
  IGIS_StringDlg* pAsk = GIS_GetStringDlgObject();
  if (pAsk == nullptr) return;
  pAsk->SetCaption("图廓名称");
  pAsk->SetLabel("图廓");
  if (pAsk->DoModal() != IDOK) return;
  if (!UpdateData(TRUE)) return;
  md::basilo::ReleasePtr<IGIS_MapBorder> entry(m_pMapBorder->Clone());
  if (entry == nullptr) return;
  entry->SetName(pAsk->GetString());
  entry->SetLeftOffset(m_nLeft);
  entry->SetRightOffset(m_nRight);
  entry->SetBottomOffset(m_nBottom);
  entry->SetTopOffset(m_nTop);
  entry->SetBorderWidth(m_nWidth);
  UpdateData(FALSE);
  m_library.AddMapBorder(entry.get());
  FillList();
  if (CWnd* pDelete = GetDlgItem(IDC_GIS_BS_DELETE)) pDelete->EnableWindow(FALSE);
}

void CGIS_MapBorderSelectordlg::OnNew() {
  CGIS_NewMapBorderDlg dlg;
  dlg.m_nWidth = m_nWidth;
  if (dlg.DoModal() != IDOK || dlg.GetResult() == nullptr) return;
  m_pMapBorder.reset(dlg.GetResult()->Clone());
  m_nLeft = dlg.m_nLeft;
  m_nRight = dlg.m_nRight;
  m_nTop = dlg.m_nTop;
  m_nBottom = dlg.m_nBottom;
  m_nWidth = dlg.m_nWidth;
  UpdateData(FALSE);
  Invalidate();
}

void CGIS_MapBorderSelectordlg::OnDelete() {
  m_library.RemoveMapBorder(m_nSelected);
  if (CWnd* pDelete = GetDlgItem(IDC_GIS_BS_DELETE)) pDelete->EnableWindow(FALSE);
  FillList();
}

void CGIS_MapBorderSelectordlg::OnProperty() {
  if (m_pMapBorder == nullptr || !UpdateData(TRUE)) return;
  if (m_pMapBorder->GetType() == 1) {
    border::ChooseSimpleBorderLine(m_pMapBorder.get(), &m_nLineState);
  } else if (m_pMapBorder->GetType() == 2) {
    if (border::RunCalibratedEditor(m_pMapBorder.get(), &m_nWidth)) {
      LoadValues();
      UpdateData(FALSE);
    }
  } else if (m_pMapBorder->GetType() == 3) {
    border::RunPatternEditor(m_pMapBorder.get());
  }
  Invalidate();
}

void CGIS_MapBorderSelectordlg::OnSameInterval() {
  border::OnSameIntervalBox(this, IDC_GIS_BS_SAME, IDC_GIS_BS_LEFT,
                            {IDC_GIS_BS_RIGHT, IDC_GIS_BS_TOP, IDC_GIS_BS_BOTTOM}, &m_nSameInterval);
}

void CGIS_MapBorderSelectordlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  if (m_pMapBorder != nullptr) {
    m_pMapBorder->SetLeftOffset(m_nLeft);
    m_pMapBorder->SetRightOffset(m_nRight);
    m_pMapBorder->SetBottomOffset(m_nBottom);
    m_pMapBorder->SetTopOffset(m_nTop);
    m_pMapBorder->SetBorderWidth(m_nWidth);
  }
  SaveToFile();
  EndDialog(IDOK);
}

void CGIS_MapBorderSelectordlg::OnCancel() {
  SaveToFile();
  CDialog::OnCancel();
}
