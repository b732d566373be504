// The point element's page.
#include "layout/graphicelement/shapes/dialogs/cgis_pointpage.h"

#include <cstdlib>

#include "host/basilo/sgis_types.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/shapes/igis_pointelement.h"
#include "platform/ui/app.h"

namespace {
int g_nPointChooserState = 0;

constexpr double kAngleLimit = 360.0;
constexpr double kSizeLimit = 1000000.0;

int Nearest(double v) { return md::basilo::detail::RoundToInt32(v); }

IGIS_PointElement* AsPoint(IGIS_Element* pElement) { return dynamic_cast<IGIS_PointElement*>(pElement); }
}  // namespace

CGIS_PointPage::CGIS_PointPage(IGIS_Element* pElement, IGIS_Display* pContext)
    : CGIS_ShapeSymbolPage(IDD_POINT_PAGE, IDC_POINT_PREVIEW, IDC_POINT_SYMBOL, GIS_CHOOSE_POINT,
                           &g_nPointChooserState, AsPoint(pElement), pContext) {
  MapEditFilter(this, IDC_POINT_SIZE, &FilterUnsignedIntegerEdit);
  MapEditFilter(this, IDC_POINT_ANGLE, &FilterSignedDecimalEdit);
}

void CGIS_PointPage::DoDataExchange(CDataExchange* pDX) {
  CGIS_ShapeSymbolPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_POINT_ANGLE, m_editAngle);
  DDX_Control(pDX, IDC_POINT_SIZE, m_editSize);
  DDX_Control(pDX, IDC_POINT_SIZE_SPIN, m_spinSize);
  DDX_Control(pDX, IDC_POINT_ANGLE_SPIN, m_spinAngle);
  DDX_Text(pDX, IDC_POINT_ANGLE, m_dAngle);
  DDV_MinMaxDouble(pDX, m_dAngle, -kAngleLimit, kAngleLimit);
  DDX_Text(pDX, IDC_POINT_SIZE, m_dSize);
  DDV_MinMaxDouble(pDX, m_dSize, 1.0, kSizeLimit);
}

BOOL CGIS_PointPage::OnInitDialog() {
  CGIS_ShapeSymbolPage::OnInitDialog();
  m_spinAngle.SetBuddy(&m_editAngle);
  m_spinAngle.SetPos32(Nearest(m_dAngle));
  m_spinAngle.SetRange32(-static_cast<int>(kAngleLimit), static_cast<int>(kAngleLimit));
  m_spinSize.SetBuddy(&m_editSize);
  m_spinSize.SetRange32(0, static_cast<int>(kSizeLimit));
  m_spinSize.SetPos32(12);
  return TRUE;
}

BOOL CGIS_PointPage::OnSetActive() {
  if (IGIS_PointElement* pPoint = AsPoint(GetElement())) {
    const SGIS_Rect r = pPoint->GetRect();
    m_dSize = std::llabs(static_cast<long long>(r.top) - r.bottom);
    m_spinSize.SetPos32(Nearest(m_dSize));
    IGIS_Symbol* pSymbol = pPoint->GetSymbolPtr();
    m_dAngle = pSymbol != nullptr ? pSymbol->GetAngle() : 0.0;
    m_spinAngle.SetPos32(Nearest(m_dAngle));
  }
  UpdateData(FALSE);
  return CGIS_ShapeSymbolPage::OnSetActive();
}

bool CGIS_PointPage::WriteElement() {
  IGIS_PointElement* pPoint = AsPoint(GetElement());
  if (pPoint == nullptr) return true;
  const SGIS_Rect r = pPoint->GetRect();
  const long long nHeight = std::llabs(static_cast<long long>(r.top) - r.bottom);
  if (IGIS_Symbol* pSymbol = pPoint->GetSymbolPtr()) pSymbol->SetAngle(m_dAngle);
  if (nHeight <= 0) return false;
  const double k = m_dSize / static_cast<double>(nHeight);
  const long long nWidth = std::llabs(static_cast<long long>(r.right) - r.left);
  pPoint->SetWidthAndHeight(Nearest(static_cast<double>(nWidth) * k), Nearest(m_dSize));
  return true;
}

BOOL CGIS_PointPage::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  if (!WriteElement()) return FALSE;
  return CGIS_ShapeSymbolPage::OnKillActive();
}

BOOL CGIS_PointPage::OnApply() {
  if (!UpdateData(TRUE)) return FALSE;
  WriteElement();
  return CGIS_ShapeSymbolPage::OnApply();
}

IGIS_Symbol* CGIS_PointPage::GetSymbol() {
  IGIS_PointElement* pPoint = AsPoint(GetElement());
  return pPoint != nullptr ? pPoint->GetSymbolPtr() : nullptr;
}

void CGIS_PointPage::SetSymbol(IGIS_Symbol* pChosen) {
  if (IGIS_PointElement* pPoint = AsPoint(GetElement())) pPoint->SetSymbolPtr(pChosen->AsPointSymbol());
}

std::vector<POINT> CGIS_PointPage::PreviewPoints(const RECT& r) {
  return {{(r.left + r.right) / 2, (r.top + r.bottom) / 2}};
}

namespace {
const md::ui::WindowClassRegistration<CGIS_PointPage> g_pointPageClass("CGIS_PointPage");
}  // namespace
