// The common page "大小和位置": the element's lower-left corner, width and
// height in 0.01 mm, and its keep-ratio flag.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_Element;

// Template and control IDs of the page.
enum {
  IDD_SIZE_AND_POSITION = 1021,
  IDC_SIZEPOS_X = 1055,
  IDC_SIZEPOS_Y = 1056,
  IDC_SIZEPOS_WIDTH = 1053,
  IDC_SIZEPOS_HEIGHT = 1054,
  IDC_SIZEPOS_KEEPRATIO = 1103,
};

class CSizeAndPosition : public CPropertyPage {
 public:
  // A page with no element: it shows its start values and writes nothing.
  CSizeAndPosition() : CSizeAndPosition(nullptr, nullptr) {}
  CSizeAndPosition(IGIS_Element* pElement, IGIS_Display* pContext);

  // Reads the element (rectangle, ratio flag; whether the flag can be
  // cleared) into the page.
  BOOL OnSetActive() override;
  // Validates and writes corner, ratio flag and size; FALSE keeps the page.
  BOOL OnKillActive() override;
  // Validates and writes corner, size and ratio flag.
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_nX = 0;
  int m_nY = 0;
  int m_nHeight = 10;
  int m_nWidth = 10;
  int m_nKeepRatio = 0;

 private:
  // A typed X or Y within +-5000000 is taken (and remembered), else the last
  // good value comes back; the edit then shows the canonical number.
  void OnTypedCoordinate(int nId, int& nValue, int& nLastGood);
  // Leaving the height (bHeight) or width edit with the ratio kept scales
  // the other side by the same factor.
  void OnSizeEdited(bool bHeight);
  void OnKeepRatioClicked();
  // Runs the layout registered for the element's type, if any.
  void LayOut();

  IGIS_Element* m_pElement;
  IGIS_Display* m_pContext;
  int m_nLastGoodX = 0;
  int m_nLastGoodY = 0;
  int m_nBaseHeight = 0;
  int m_nBaseWidth = 0;
  // The least height and width accepted on leaving: 1, or 0 for a side the
  // element had at 0 when the page was shown.
  int m_nLeastHeight = 1;
  int m_nLeastWidth = 1;
};

namespace md::layout {

// What a kind adds to the size page: the element laid out again before the
// page reads its rectangle and after the page writes one, for a kind whose
// rectangle follows its layout (the scale bars). Registered once per element
// type by the kind's dialogs; an empty function removes it.
using SizePageLayout = std::function<void(IGIS_Element* pElement)>;
void RegisterSizePageLayout(const std::string& type, SizePageLayout layout);

}  // namespace md::layout
