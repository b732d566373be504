// The library's process-wide objects in their load order, the application
// object and the exported element factory.
#include "layout/graphicelement/dialogs/cgis_mapdeckapp.h"

#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/element/libraryunload.h"

namespace {

// Process-wide objects, constructed at load in this order (one translation
// unit keeps the order) and destroyed in reverse order at unload.

// 1. The library's module state.
AFX_MODULE_STATE g_moduleState("mapdeck");

// 2. The start-up record of the imaging layer used around picture drawing:
// version 1, no debug callback, neither suppression flag.
struct SGIS_ImagingStartupInput {
  unsigned version = 1;
  void* debugCallback = nullptr;
  BOOL suppressBackgroundThread = FALSE;
  BOOL suppressExternalCodecs = FALSE;
} g_imagingStartup;

// 3. The process-wide symbol chooser the scale bars use.
IGIS_SymbolChooserDlg* g_pSymbolSelectDlg = GIS_GetSymbolSelectDlgObject();

// 4. The application object, attached to the library's module state.
CGIS_MapdeckApp g_theApp;

// The library's attach and detach: InitInstance at load, ExitInstance at
// unload, before the application object goes. The parts of the library set
// up their own process-wide state (the element factory its hooks, embedded
// objects their clipboard formats) and leave what ends with the library to
// ExitInstance (element/libraryunload.h).
struct SGIS_ModuleLifetime {
  SGIS_ModuleLifetime() {
    AFX_MANAGE_STATE(&g_moduleState);
    g_theApp.InitInstance();
  }
  ~SGIS_ModuleLifetime() {
    AFX_MANAGE_STATE(&g_moduleState);
    g_theApp.ExitInstance();
  }
} g_moduleLifetime;

}  // namespace

AFX_MODULE_STATE* AfxGetStaticModuleState() { return &g_moduleState; }

CGIS_MapdeckApp::CGIS_MapdeckApp() : CWinApp(nullptr, &g_moduleState) {}

BOOL CGIS_MapdeckApp::InitInstance() { return CWinApp::InitInstance(); }

int CGIS_MapdeckApp::ExitInstance() {
  md::layout::RunLibraryUnload();
  return CWinApp::ExitInstance();
}

int CGIS_MapdeckApp::DoMessageBox(LPCTSTR prompt, UINT type, UINT helpId) {
  EnableModeless(FALSE);
  HWND hTop = nullptr;
  CWnd* pOwner = CWnd::GetSafeOwner(nullptr, &hTop);

  // The help context of the box: the owner's top-level window's, else ours.
  DWORD* pContext = &m_dwPromptContext;
  if (pOwner != nullptr && hTop != nullptr) {
    if (CWnd* pTop = CWnd::FromHandle(hTop)) {
      if (auto* p = reinterpret_cast<DWORD*>(pTop->SendMessage(WM_HELPPROMPTADDR))) pContext = p;
    }
  }
  const DWORD oldContext = *pContext;
  if (helpId != 0) *pContext = helpId + 0x30000;

  if ((type & MB_ICONMASK) == 0) {
    switch (type & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
      case MB_YESNOCANCEL:
      case MB_YESNO:
        type |= MB_ICONEXCLAMATION;
        break;
      default:
        break;
    }
  }
  const int result = ::MessageBox(pOwner != nullptr ? pOwner->GetSafeHwnd() : nullptr, prompt,
                                  MAPDECK_MESSAGEBOX_CAPTION, type);

  *pContext = oldContext;
  if (hTop != nullptr) {
    if (CWnd* pTop = CWnd::FromHandle(hTop)) pTop->EnableWindow(TRUE);
  }
  EnableModeless(TRUE);
  return result;
}

namespace md::layout {

CGIS_MapdeckApp& TheApp() { return g_theApp; }

IGIS_SymbolChooserDlg* SymbolSelectDlg() { return g_pSymbolSelectDlg; }

}  // namespace md::layout
