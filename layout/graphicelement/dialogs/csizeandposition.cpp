// The size-and-position page.
#include "layout/graphicelement/dialogs/csizeandposition.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

#include "host/basilo/sgis_types.h"
#include "layout/graphicelement/dialogs/mapdeckedit.h"
#include "layout/graphicelement/dialogs/typeregistry.h"
#include "layout/graphicelement/igis_element.h"
#include "platform/ui/app.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"

namespace {

constexpr int kPositionLimit = 500000;  // accepted on leaving the page
constexpr int kTypingLimit = 5000000;   // accepted while typing
constexpr int kSizeLimit = 5000000;

// The integer at the start of the text the way atoi reads it (white space,
// a sign, digits), saturated far outside every range the page accepts.
long long LeadingInteger(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    if (value < 1000000000000LL) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

md::layout::CGIS_TypeRegistry<md::layout::SizePageLayout>& SizePageLayouts() {
  static md::layout::CGIS_TypeRegistry<md::layout::SizePageLayout> layouts;
  return layouts;
}

}  // namespace

namespace md::layout {

void RegisterSizePageLayout(const std::string& type, SizePageLayout layout) {
  SizePageLayouts().Set(type, std::move(layout));
}

}  // namespace md::layout

CSizeAndPosition::CSizeAndPosition(IGIS_Element* pElement, IGIS_Display* pContext)
    : CPropertyPage(IDD_SIZE_AND_POSITION), m_pElement(pElement), m_pContext(pContext) {
  MapEditFilter(this, IDC_SIZEPOS_X, &FilterSignedIntegerEdit);
  MapEditFilter(this, IDC_SIZEPOS_Y, &FilterSignedIntegerEdit);
  MapEditFilter(this, IDC_SIZEPOS_WIDTH, &FilterUnsignedIntegerEdit);
  MapEditFilter(this, IDC_SIZEPOS_HEIGHT, &FilterUnsignedIntegerEdit);
  MapCommand(EN_CHANGE, IDC_SIZEPOS_X, [this] { OnTypedCoordinate(IDC_SIZEPOS_X, m_nX, m_nLastGoodX); });
  MapCommand(EN_CHANGE, IDC_SIZEPOS_Y, [this] { OnTypedCoordinate(IDC_SIZEPOS_Y, m_nY, m_nLastGoodY); });
  for (int id : {IDC_SIZEPOS_WIDTH, IDC_SIZEPOS_HEIGHT}) {
    MapCommand(EN_CHANGE, id, [this] {
      if (!IsExchangingData()) SetModified(TRUE);
    });
  }
  MapCommand(EN_KILLFOCUS, IDC_SIZEPOS_HEIGHT, [this] { OnSizeEdited(true); });
  MapCommand(EN_KILLFOCUS, IDC_SIZEPOS_WIDTH, [this] { OnSizeEdited(false); });
  MapClicked(IDC_SIZEPOS_KEEPRATIO, [this] { OnKeepRatioClicked(); });
}

void CSizeAndPosition::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_SIZEPOS_X, m_nX);
  DDV_MinMaxInt(pDX, m_nX, -kPositionLimit, kPositionLimit);
  DDX_Text(pDX, IDC_SIZEPOS_Y, m_nY);
  DDV_MinMaxInt(pDX, m_nY, -kPositionLimit, kPositionLimit);
  DDX_Text(pDX, IDC_SIZEPOS_HEIGHT, m_nHeight);
  DDV_MinMaxInt(pDX, m_nHeight, m_nLeastHeight, kSizeLimit);
  DDX_Text(pDX, IDC_SIZEPOS_WIDTH, m_nWidth);
  DDV_MinMaxInt(pDX, m_nWidth, m_nLeastWidth, kSizeLimit);
  DDX_Check(pDX, IDC_SIZEPOS_KEEPRATIO, m_nKeepRatio);
}

void CSizeAndPosition::LayOut() {
  if (m_pElement == nullptr) return;
  if (const md::layout::SizePageLayout layout = SizePageLayouts().Find(m_pElement->GetType()))
    layout(m_pElement);
}

BOOL CSizeAndPosition::OnSetActive() {
  if (m_pElement != nullptr) {
    LayOut();
    const SGIS_Rect r = m_pElement->GetRect();
    m_nX = r.left;
    m_nY = r.bottom;
    m_nWidth = static_cast<int>(std::llabs(static_cast<long long>(r.right) - r.left));
    m_nHeight = static_cast<int>(std::llabs(static_cast<long long>(r.top) - r.bottom));
    m_nBaseHeight = m_nHeight;
    m_nBaseWidth = m_nWidth;
    // A side the element has at 0 (a straight line) may stay at 0, so that
    // the page of a level line can be left and confirmed unedited.
    m_nLeastHeight = std::min(m_nHeight, 1);
    m_nLeastWidth = std::min(m_nWidth, 1);
    m_nLastGoodX = m_nX;
    m_nLastGoodY = m_nY;
    const bool bKeep = m_pElement->GetHVScaleRatio();
    m_nKeepRatio = bKeep ? 1 : 0;
    // An element that keeps its ratio whatever it is told gets a fixed box.
    m_pElement->SetHVScaleRatio(false);
    const bool bFixed = m_pElement->GetHVScaleRatio();
    m_pElement->SetHVScaleRatio(bKeep);
    if (CWnd* pBox = GetDlgItem(IDC_SIZEPOS_KEEPRATIO)) pBox->EnableWindow(bFixed ? FALSE : TRUE);
  }
  UpdateData(FALSE);
  return CPropertyPage::OnSetActive();
}

BOOL CSizeAndPosition::OnKillActive() {
  if (!UpdateData(TRUE)) return FALSE;
  if (m_pElement != nullptr) {
    m_pElement->SetLBpoint(SGIS_Point(m_nX, m_nY, 0));
    // The flag first, so that the element's own resizing follows it.
    m_pElement->SetHVScaleRatio(m_nKeepRatio == 1);
    m_pElement->SetWidthAndHeight(m_nWidth, m_nHeight);
    LayOut();
  }
  return TRUE;
}

BOOL CSizeAndPosition::OnApply() {
  if (!UpdateData(TRUE)) return FALSE;
  if (m_pElement != nullptr) {
    m_pElement->SetLBpoint(SGIS_Point(m_nX, m_nY, 0));
    m_pElement->SetWidthAndHeight(m_nWidth, m_nHeight);
    m_pElement->SetHVScaleRatio(m_nKeepRatio == 1);
    LayOut();
  }
  m_nBaseHeight = m_nHeight;
  m_nBaseWidth = m_nWidth;
  return CPropertyPage::OnApply();
}

void CSizeAndPosition::OnTypedCoordinate(int nId, int& nValue, int& nLastGood) {
  if (IsExchangingData()) return;
  auto* pEdit = static_cast<CEdit*>(GetDlgItem(nId));
  if (pEdit == nullptr || !pEdit->IsWindow()) return;
  const std::string text = pEdit->GetWindowText();
  const long long typed = LeadingInteger(text);
  if (typed >= -kTypingLimit && typed <= kTypingLimit) {
    nValue = static_cast<int>(typed);
    nLastGood = nValue;
  } else {
    nValue = nLastGood;
  }
  // A text that is already canonical keeps the caret where the user types;
  // a rewritten one puts it at the end, so that typing goes on after it.
  int nStart = 0;
  int nEnd = 0;
  pEdit->GetSel(nStart, nEnd);
  UpdateData(FALSE);
  const std::string shown = pEdit->GetWindowText();
  if (shown == text) {
    pEdit->SetSel(nStart, nEnd);
  } else {
    pEdit->SetSel(static_cast<int>(shown.size()), static_cast<int>(shown.size()));
  }
  SetModified(TRUE);
}

void CSizeAndPosition::OnSizeEdited(bool bHeight) {
  if (IsExchangingData()) return;
  if (!UpdateData(TRUE)) return;
  int& nEdited = bHeight ? m_nHeight : m_nWidth;
  int& nOther = bHeight ? m_nWidth : m_nHeight;
  int& nBase = bHeight ? m_nBaseHeight : m_nBaseWidth;
  if (m_nKeepRatio == 0) {
    nBase = nEdited;
    return;
  }
  if (nBase > 0) {
    const double dFactor = static_cast<double>(nEdited) / nBase;
    nOther = md::basilo::detail::RoundToInt32(nOther * dFactor);
  }
  m_nBaseWidth = m_nWidth;
  m_nBaseHeight = m_nHeight;
  UpdateData(FALSE);
}

void CSizeAndPosition::OnKeepRatioClicked() {
  if (IsExchangingData()) return;
  m_nKeepRatio = m_nKeepRatio == 0 ? 1 : 0;
  if (m_pElement != nullptr) m_pElement->SetHVScaleRatio(m_nKeepRatio == 1);
}

namespace {
const md::ui::WindowClassRegistration<CSizeAndPosition> g_sizeAndPositionClass("CSizeAndPosition");
}  // namespace
