// The border selector: the user picks a map frame's inner or outer border
// from the border library, adjusts its intervals and width, edits its
// symbols, makes new borders and adds them to the library. The library file
// is read when the dialog opens and written when it closes (never over a
// file that could not be read).
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/border/cgis_mapborderlibrary.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "platform/ui/cedit.h"
#include "platform/ui/cimagelist.h"
#include "platform/ui/clistctrl.h"
#include "platform/ui/dialog.h"

enum {
  IDD_GIS_MAPBORDER_SELECTOR = 3013,
  IDC_GIS_BS_LIST = 3122,
  IDC_GIS_BS_PREVIEW = 3123,
  IDC_GIS_BS_NEW = 3114,
  IDC_GIS_BS_SAVE = 3071,
  IDC_GIS_BS_DELETE = 3125,
  IDC_GIS_BS_PROPERTY = 3124,
  IDC_GIS_BS_LEFT = 3127,
  IDC_GIS_BS_RIGHT = 3128,
  IDC_GIS_BS_TOP = 3130,
  IDC_GIS_BS_BOTTOM = 3129,
  IDC_GIS_BS_SAME = 3131,
  IDC_GIS_BS_WIDTH = 3132,
};

class CGIS_MapBorderSelectordlg : public CDialog {
 public:
  static constexpr int kThumbWidth = 200;
  static constexpr int kThumbHeight = 50;

  explicit CGIS_MapBorderSelectordlg(CWnd* pParent = nullptr);

  // The current border: given before the dialog runs (the dialog takes it
  // over), read after OK (the dialog keeps it until it is destroyed).
  void SetMapBorder(IGIS_MapBorder* pBorder) { m_pMapBorder.reset(pBorder); }
  IGIS_MapBorder* GetMapBorder() const { return m_pMapBorder.get(); }
  const CGIS_MapBorderLibrary& GetLibrary() const { return m_library; }
  CImageList& GetThumbnails() { return m_thumbnails; }

  // Reads the library file into the library.
  void Init();
  // Writes the library into its file.
  void SaveToFile();
  // A schematic of the border's left and top sides in the device rectangle
  // (y down); drawn for mode 0 or 1 only. FALSE only without a renderer.
  static BOOL DrawMapBorder(HDC hdc, IGIS_MapBorder* pBorder, int nMode, RECT rect);

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnPaint() override;
  void DoDataExchange(CDataExchange* dx) override;

  int m_nLeft = 0, m_nRight = 0, m_nTop = 0, m_nBottom = 0;
  int m_nWidth = 2000;
  int m_nSameInterval = 0;

 private:
  void FillList();
  void LoadValues();
  void OnItemChanged(NMHDR* pHeader);
  void OnSaveToLibrary();
  void OnNew();
  void OnDelete();
  void OnProperty();
  void OnSameInterval();

  md::basilo::ReleasePtr<IGIS_MapBorder> m_pMapBorder;
  CGIS_MapBorderLibrary m_library;
  CImageList m_thumbnails;
  CListCtrl m_list;
  CEdit m_editLeft, m_editRight, m_editTop, m_editBottom, m_editWidth;
  int m_nSelected = -10;
  bool m_bInitialised = false;
  int m_nLineState = 0;
};
