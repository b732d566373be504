// The north arrow page.
#include "layout/graphicelement/furniture/dialogs/cgis_northarrow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "host/basilo/igis_log.h"
#include "host/basilo/sgis_types.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/furniture/cgis_northarrowelement.h"
#include "layout/graphicelement/furniture/dialogs/furniturepages.h"
#include "layout/graphicelement/furniture/igis_northarrowelement.h"
#include "platform/ui/app.h"
#include "platform/win/cdc.h"

namespace {
int g_nArrowChooserState = 0;

constexpr int kCalibrationLimit = 360;
constexpr int kSizeLimit = 1000000;

int Nearest(double v) { return md::basilo::detail::RoundToInt32(v); }

long long Height(const SGIS_Rect& r) { return std::llabs(static_cast<long long>(r.top) - r.bottom); }
long long Width(const SGIS_Rect& r) { return std::llabs(static_cast<long long>(r.right) - r.left); }

// Only point symbols are previewed.
bool IsPreviewed(IGIS_Symbol* pSymbol) {
  const int nType = pSymbol->GetType();
  return nType == GIS_SYMBOL_POINT || nType == GIS_SYMBOL_POINT5 || nType == GIS_SYMBOL_POINT7;
}
}  // namespace

CGIS_NorthArrow::CGIS_NorthArrow(IGIS_NorthArrowElement* pElement, IGIS_Display* pDisplay)
    : CPropertyPage(IDD_NORTHARROW_PAGE), m_pElement(pElement), m_pDisplay(pDisplay) {
  md::layout::furniture::MapSymbolButton(
      this,
      {IDC_NORTHARROW_SYMBOL, GIS_CHOOSE_POINT,
       [this] { return m_pElement != nullptr ? m_pElement->GetSymbolPtr() : nullptr; },
       [this](IGIS_Symbol* p) {
         if (m_pElement != nullptr) m_pElement->SetSymbolPtr(p);
       },
       true},
      &g_nArrowChooserState);
  MapCommand(EN_CHANGE, IDC_NORTHARROW_CALIBRATION, [this] { OnChangeCalibrationAngle(); });
  md::layout::furniture::MapModifiedOnChange(this, {IDC_NORTHARROW_SIZE});
  MapEditFilter(this, IDC_NORTHARROW_SIZE, &FilterUnsignedIntegerEdit);
  MapEditFilter(this, IDC_NORTHARROW_CALIBRATION, &FilterSignedIntegerEdit);
}

void CGIS_NorthArrow::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_NORTHARROW_CALIBRATION, m_editCalibration);
  DDX_Control(pDX, IDC_NORTHARROW_SIZE, m_editSize);
  DDX_Control(pDX, IDC_NORTHARROW_PREVIEW, m_preview);
  DDX_Text(pDX, IDC_NORTHARROW_ANGLE, m_nAngle);
  DDX_Text(pDX, IDC_NORTHARROW_SIZE, m_nSize);
  DDV_MinMaxInt(pDX, m_nSize, 1, kSizeLimit);
  DDX_Text(pDX, IDC_NORTHARROW_CALIBRATION, m_nCalibrationAngle);
  DDV_MinMaxInt(pDX, m_nCalibrationAngle, -kCalibrationLimit, kCalibrationLimit);
}

BOOL CGIS_NorthArrow::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_bInitialised = true;
  m_spinCalibration.SubclassDlgItem(IDC_NORTHARROW_CALIBRATION_SPIN, this);
  m_spinSize.SubclassDlgItem(IDC_NORTHARROW_SIZE_SPIN, this);
  InitSpinButton(&m_editCalibration, &m_spinCalibration, -kCalibrationLimit, kCalibrationLimit, 10);
  m_spinCalibration.SetPos32(m_nCalibrationAngle);
  InitSpinButton(&m_editSize, &m_spinSize, 0, kSizeLimit, 10);
  m_spinSize.SetPos32(m_nSize);
  return TRUE;
}

BOOL CGIS_NorthArrow::OnSetActive() {
  if (m_pElement != nullptr) {
    m_nSize = static_cast<int>(std::min<long long>(Height(m_pElement->GetRect()), kSizeLimit));
    m_nAngle = Nearest(m_pElement->GetAngle());
    m_nCalibrationAngle = Nearest(m_pElement->GetCalibrationAngle());
    m_nLastValidCalibration = m_nCalibrationAngle;
  }
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

void CGIS_NorthArrow::WriteElement(bool bApplying) {
  if (m_pElement == nullptr) return;
  const SGIS_Rect r = m_pElement->GetRect();
  const long long h = Height(r);
  double factor = 1.0;
  if (h > 0) {
    factor = static_cast<double>(m_nSize) / static_cast<double>(h);
  } else if (bApplying) {
    factor = 0.0;
  }
  int nWidth = Nearest(static_cast<double>(Width(r)) * factor);
  if (bApplying && factor <= 0.0) nWidth = 10;
  m_pElement->SetCalibrationAngle(static_cast<double>(m_nCalibrationAngle));
  m_pElement->SetWidthAndHeight(nWidth, m_nSize);
}

BOOL CGIS_NorthArrow::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteElement(false);
  return CPropertyPage::OnKillActive();
}

BOOL CGIS_NorthArrow::OnApply() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteElement(true);
  return CPropertyPage::OnApply();
}

void CGIS_NorthArrow::OnChangeCalibrationAngle() {
  // Changes made by the page's own exchange are not the user's typing.
  if (!m_bInitialised || IsExchangingData()) return;
  UpdateData(TRUE);
  std::string text;
  m_editCalibration.GetWindowText(text);
  m_nCalibrationAngle = std::atoi(text.c_str());
  if (m_nCalibrationAngle < -kCalibrationLimit || m_nCalibrationAngle > kCalibrationLimit) {
    m_nCalibrationAngle = m_nLastValidCalibration;
  } else {
    m_nLastValidCalibration = m_nCalibrationAngle;
  }
  // Only a text that differs is rewritten, so the caret stays where the user
  // types.
  const std::string shown = std::to_string(m_nCalibrationAngle);
  if (shown != text) m_editCalibration.SetWindowText(shown.c_str());
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  const RECT r = PreviewRect();
  InvalidateRect(&r, TRUE);
  SetModified(TRUE);
}

RECT CGIS_NorthArrow::PreviewRect() const {
  RECT r{};
  if (CWnd* pPreview = GetDlgItem(IDC_NORTHARROW_PREVIEW)) {
    pPreview->GetWindowRect(&r);
    ScreenToClient(&r);
  }
  return r;
}

void CGIS_NorthArrow::OnPaint() {
  CPaintDC dc(this);
  IGIS_SymbolRenderer* pRenderer = GIS_GetSymbolizationObject();
  const RECT r = PreviewRect();
  IGIS_Symbol* pSymbol = m_pElement != nullptr ? m_pElement->GetSymbolPtr() : nullptr;
  if (pSymbol == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_NorthArrow::OnPaint", "p_arrowStyle == NULL");
    return;
  }
  IGIS_Symbol* pPoint = pSymbol->AsPointSymbol();
  if (pPoint == nullptr || pRenderer == nullptr) return;
  // The live symbol turns with the page's angles; a cancelled sheet puts the
  // element's own angle back.
  pPoint->SetAngle(static_cast<double>(m_nAngle) + static_cast<double>(m_nCalibrationAngle));
  if (!IsPreviewed(pPoint)) return;
  // The turned symbol's bounds fit the box, and the drawing keeps to it.
  const double angle = static_cast<double>(m_nAngle) + static_cast<double>(m_nCalibrationAngle);
  const double scale = CGIS_NorthArrowElement::FitScale(pPoint, r.right - r.left, r.bottom - r.top,
                                                        dc.GetDeviceCaps(LOGPIXELSY), angle);
  POINT anchor{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  const int saved = SaveDC(dc.GetSafeHdc());
  IntersectClipRect(dc.GetSafeHdc(), r.left, r.top, r.right, r.bottom);
  SGIS_DrawParam param;
  param.hdc = dc.GetSafeHdc();
  param.symbolScale = scale;
  param.points = &anchor;
  param.pointCount = 1;
  pRenderer->Draw(pSymbol, &param, GIS_DRAW_CHECK);
  RestoreDC(dc.GetSafeHdc(), saved);
}

namespace {
const md::ui::WindowClassRegistration<CGIS_NorthArrow> g_northArrowPageClass("CGIS_NorthArrow");
}  // namespace
