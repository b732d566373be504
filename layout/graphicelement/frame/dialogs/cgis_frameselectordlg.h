// The dialog "边框选择器": picks the second-kind symbol of a frame's border,
// background or shadow from the mode's symbol library, shows it, makes or
// edits one in the host's chooser, adds it to the library under a name and
// deletes entries. The library file is written when the dialog closes.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "layout/graphicelement/frame/cgis_framesymbollibrary.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"

enum {
  IDD_FRAME_SELECTOR = 3016,
  IDC_FRAMESEL_LIST = 3143,
  IDC_FRAMESEL_PREVIEW = 3144,
  IDC_FRAMESEL_EDIT = 3145,
  IDC_FRAMESEL_SAVE = 3146,
  IDC_FRAMESEL_NEW = 3147,
  IDC_FRAMESEL_DELETE = 3148,
};

// Symbol kinds of the selector.
enum {
  GIS_FRAME_KIND_POINT = 0,
  GIS_FRAME_KIND_LINE = 1,
  GIS_FRAME_KIND_FILL = 2,
};

class CGIS_FrameSelectorDlg : public CDialog {
 public:
  explicit CGIS_FrameSelectorDlg(CWnd* pParent = nullptr);
  ~CGIS_FrameSelectorDlg() override;

  // Keeps a copy of the symbol (NULL: none) as the current symbol.
  void SetSymbolPtr(IGIS_SymbolV2* pSymbol);
  // The current symbol, owned by the dialog; NULL when there is none.
  IGIS_SymbolV2* GetSymbolPtr() const { return m_pSymbol.get(); }

  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void OnPaint() override;

  // Reads the mode's library.
  void Init();
  // Writes the library back (see CGIS_FrameSymbolLibrary::SaveIfAllowed).
  void SaveToFile();
  // Draws a symbol over the rectangle with the dialog's kind; FALSE without
  // a painter or a symbol (recorded).
  BOOL DrawSymbol(HDC hdc, IGIS_SymbolV2* pSymbol, int nKind, const RECT& rect);
  // Rebuilds the list and its images from the library.
  void FillList();
  // Paints the current symbol into the preview box.
  void DrawPreview(HDC hdc);
  void OnNewFrameSelector();

  const CGIS_FrameSymbolLibrary& GetLibrary() const { return m_library; }
  CImageList& GetImageList() { return m_imageList; }
  int GetSelectedIndex() const { return m_nSelected; }

  int m_nKind = GIS_FRAME_KIND_POINT;      // 0 point, 1 line, 2 fill
  int m_nMode = GIS_FRAME_LIBRARY_BORDER;  // 0 border, 1 background, 2 shadow

 private:
  void OnListDoubleClick(NMHDR* pHeader);
  void OnEditSymbol();
  void OnSaveToLibrary();
  void OnDelete();
  // The preview area: the box's rectangle less 6 pixels at either side and
  // 20 at top and bottom, in client coordinates.
  RECT PreviewArea() const;
  void EnableDelete(BOOL bEnable);

  md::basilo::ReleasePtr<IGIS_SymbolV2> m_pSymbol;
  CGIS_FrameSymbolLibrary m_library;
  CImageList m_imageList;
  CListCtrl m_list;
  int m_nImageWidth = 50;
  int m_nImageHeight = 50;
  int m_nSelected = -1;
};
