// The picture's server: the picture shown fitted into the window, its size
// in pixels, and its replacement from a PNG file.
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/ole/objectclass.h"
#include "platform/oleserver/oleservers.h"
#include "platform/oleserver/serverwindow.h"
#include "platform/ui/ui.h"
#include "platform/win/cdc.h"
#include "platform/win/wingdi.h"

namespace md::oleserver {
namespace {

// Natural sizes are in 0.01 mm at 96 pixels to the inch.
constexpr double kHimetricPerPixel = 2540.0 / 96.0;

class CPictureServer : public CServerWindow {
 public:
  explicit CPictureServer(const md::ole::ServerRequest& request)
      : CServerWindow(IDD_PICTURE_SERVER, request) {
    MapClicked(IDC_PICTURE_SERVER_REPLACE, [this] { OnReplace(); });
  }

  BOOL OnInitDialog() override {
    CServerWindow::OnInitDialog();
    ShowSize();
    return TRUE;
  }

  void OnPaint() override {
    CPaintDC dc(this);
    const RECT area = ViewArea();
    const md::ole::EmbeddedObject& shown = Kept() != nullptr ? *Kept() : Object();
    SIZE extent{};
    if (!shown.GetExtent(&extent) || extent.cx < 1 || extent.cy < 1) return;
    // Fitted into the area, proportions kept, centred.
    const double w = area.right - area.left, h = area.bottom - area.top;
    const double s = std::min(w / extent.cx, h / extent.cy);
    const int dw = static_cast<int>(std::lround(extent.cx * s)),
              dh = static_cast<int>(std::lround(extent.cy * s));
    const int left = area.left + (static_cast<int>(w) - dw) / 2,
              top = area.top + (static_cast<int>(h) - dh) / 2;
    shown.Draw(dc.GetSafeHdc(), RECT{left, top, left + dw, top + dh});
  }

 private:
  // Inside the view's frame, a little in from its edge.
  RECT ViewArea() const {
    RECT r{};
    if (CWnd* pView = GetDlgItem(IDC_PICTURE_SERVER_VIEW)) {
      pView->GetWindowRect(&r);
      ScreenToClient(&r);
    }
    return RECT{r.left + 4, r.top + 4, r.right - 4, r.bottom - 4};
  }

  void ShowSize() {
    const md::ole::EmbeddedObject& shown = Kept() != nullptr ? *Kept() : Object();
    SIZE extent{};
    std::string text;
    if (shown.GetExtent(&extent))
      text = std::to_string(std::lround(extent.cx / kHimetricPerPixel)) + " × " +
             std::to_string(std::lround(extent.cy / kHimetricPerPixel)) + " 像素";
    SetDlgItemText(IDC_PICTURE_SERVER_SIZE, text.c_str());
  }

  void OnReplace() {
    CFileDialog dialog(TRUE, "png", nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                       "PNG 图片 (*.png)|*.png|所有文件 (*.*)|*.*||", this);
    if (dialog.DoModal() != IDOK) return;
    const md::ole::ObjectClass& c = Object().Class();
    std::string error;
    std::unique_ptr<md::ole::EmbeddedObject> picture =
        c.createFromFile ? c.createFromFile(dialog.GetPathName(), &error) : nullptr;
    if (picture == nullptr) {
      AfxMessageBox(("无法读取图片：\n" + error).c_str(), MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    Keep(std::move(picture));
    ShowSize();
    const RECT area = ViewArea();
    InvalidateRect(&area, TRUE);
  }
};

}  // namespace

md::ole::ServerResult RunPictureServer(const md::ole::ServerRequest& request) {
  CPictureServer window(request);
  return window.Run();
}

}  // namespace md::oleserver
