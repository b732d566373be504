// The common page "框架": the gaps, shadow offset, draft mode and visible
// sides of an element's frame, with per-side gaps in an advanced mode, and
// the frame selector for its border, background and shadow symbols.
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_Element;
class IGIS_FrameProperty;
class IGIS_SymbolV2;

enum {
  IDD_LAYOUT_FRAME = 31582,
  IDC_FRAME_BORDER_STYLE = 1069,
  IDC_FRAME_BACK_STYLE = 1070,
  IDC_FRAME_SHADOW_STYLE = 1074,
  IDC_FRAME_BORDER_X = 1086,
  IDC_FRAME_BORDER_X_SPIN = 1088,
  IDC_FRAME_BORDER_Y = 1089,
  IDC_FRAME_BORDER_Y_SPIN = 1090,
  IDC_FRAME_BACK_X = 1087,
  IDC_FRAME_BACK_X_SPIN = 1047,
  IDC_FRAME_BACK_Y = 1095,
  IDC_FRAME_BACK_Y_SPIN = 1096,
  IDC_FRAME_SHADOW_X = 1099,
  IDC_FRAME_SHADOW_X_SPIN = 1100,
  IDC_FRAME_SHADOW_Y = 1101,
  IDC_FRAME_SHADOW_Y_SPIN = 1102,
  IDC_FRAME_DRAFT = 3076,
  IDC_FRAME_ADVANCED = 3170,
  IDC_FRAME_LEFT_VISIBLE = 3166,
  IDC_FRAME_TOP_VISIBLE = 3167,
  IDC_FRAME_BOTTOM_VISIBLE = 3168,
  IDC_FRAME_RIGHT_VISIBLE = 3169,
  IDC_FRAME_BORDER_LEFT = 1002,
  IDC_FRAME_BORDER_TOP = 1003,
  IDC_FRAME_BORDER_RIGHT = 1004,
  IDC_FRAME_BORDER_BOTTOM = 1005,
  IDC_FRAME_BACK_LEFT = 1006,
  IDC_FRAME_BACK_TOP = 1007,
  IDC_FRAME_BACK_RIGHT = 1008,
  IDC_FRAME_BACK_BOTTOM = 1009,
};

class CLayoutFrame : public CPropertyPage {
 public:
  // A page with no element; it edits the frame stored in m_pFrame.
  CLayoutFrame() : CLayoutFrame(nullptr, nullptr) {}
  CLayoutFrame(IGIS_Element* pElement, IGIS_Display* pContext);

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;
  // Reads the frame and sets the controls' states.
  BOOL OnSetActive() override;
  // Validates and writes the frame; FALSE keeps the page.
  BOOL OnKillActive() override;
  BOOL OnApply() override;

  // The frame to edit, set by the sheet's owner before the sheet runs; not owned.
  IGIS_FrameProperty* m_pFrame = nullptr;

  int m_nBorderX = 0;
  int m_nBorderY = 0;
  int m_nBackX = 0;
  int m_nBackY = 0;
  int m_nShadowX = 0;
  int m_nShadowY = 0;
  int m_nDraftMode = 0;
  int m_nAdvanced = 0;  // the page's own switch, never part of the frame
  int m_nLeftVisible = 0;
  int m_nRightVisible = 0;
  int m_nTopVisible = 0;
  int m_nBottomVisible = 0;
  int m_nBorderLeft = 0;
  int m_nBorderRight = 0;
  int m_nBorderTop = 0;
  int m_nBorderBottom = 0;
  int m_nBackLeft = 0;
  int m_nBackRight = 0;
  int m_nBackTop = 0;
  int m_nBackBottom = 0;

 private:
  // Runs the frame selector for a part (0 border, 1 background, 2 shadow).
  void OnStyle(int nMode);
  void OnAdvanced();
  // Enables the per-side controls or the X/Y controls after the switch.
  void EnableForMode(bool bSideChecks);
  // Writes the fields into the frame, the background pair first on Apply.
  void WriteFrame(bool bBackFirst);
  void Toggle(int& nField);

  IGIS_Element* m_pElement;
  IGIS_Display* m_pContext;
  IGIS_SymbolV2* m_pBorderSymbol = nullptr;
  IGIS_SymbolV2* m_pBackSymbol = nullptr;
  IGIS_SymbolV2* m_pShadowSymbol = nullptr;
};
