// The embedded-object element: binding, drawing, placing and sizing, storage.
#include "layout/graphicelement/ole/cgis_oleelement.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/propertyset_codec.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/elementsheet.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/element/userinterface.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/ole/cgis_oleclientitem.h"

namespace {

constexpr const char* kClass = "CGIS_OleElement";
constexpr const char* kKeyData = "OLEDATA";
constexpr const char* kKeyFrame = "FrameProperty";

using PropertySetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;
using DataBufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;

// The element whose object was last inserted or opened, on the thread that
// edits its page; elements of pages on other threads compare themselves with
// it as they end.
std::atomic<CGIS_OleElement*> g_pCurrentOleElement{nullptr};

std::int32_t N(double v) { return md::basilo::detail::RoundToInt32(v); }

// "FrameProperty" of an element without a frame: a property set holding no
// key, which no frame writes. An empty buffer is what a new element stores
// while it holds its default frame, so it cannot mean "no frame".
const std::vector<BYTE>& NoFrameMark() {
  static const std::vector<BYTE> mark = [] {
    std::vector<BYTE> bytes;
    std::string error;
    md::basilo::PropertySetEncoder().Finish(&bytes, &error);
    return bytes;
  }();
  return mark;
}

}  // namespace

CGIS_OleElement* CGIS_OleElement::Current() { return g_pCurrentOleElement.load(); }

CGIS_OleElement::CGIS_OleElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "Ole对象") {
  if (pOwner == nullptr) return;
  m_pFrame.reset(GIS_CreateFramePropertyObject());
  SGIS_ElementBindOptions options;
  options.szType = GIS_TYPE_GRAPHIC_ELEMENT_OLE;
  options.nKind = GIS_FEATURE_KIND_RECTANGLE;
  options.nLockOnNew = 1;    // a new element starts locked in its feature
  options.nCanConvert = -1;  // "CanConvert" is not written
  const CGIS_ElementCore::Binding binding = m_core.Bind(pOwner, pFeature, options);
  if (binding != CGIS_ElementCore::Binding::Created) return;
  IGIS_FeatureAttributes* pAttr = m_core.m_pFeature->GetAttributes();
  PropertySetPtr set(GIS_CreatePropertySetObject());
  DataBufferPtr buffer(GIS_CreateDataBufferObject(0));
  if (pAttr == nullptr || !set || !buffer) return;
  set->AddProperty(kKeyData, "OLE对象数据", GIS_FIELD_TYPE_BUFFER, 1);
  set->AddProperty(kKeyFrame, "地图框架的属性", GIS_FIELD_TYPE_BUFFER, 1);
  if (set->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0)) pAttr->SetDataBuffer("Custom", buffer.get(), 0);
}

CGIS_OleElement::~CGIS_OleElement() {
  // The object goes with the element; nothing may reach it afterwards.
  CGIS_OleElement* pSelf = this;
  g_pCurrentOleElement.compare_exchange_strong(pSelf, nullptr);
}

const char* CGIS_OleElement::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_OLE; }
bool CGIS_OleElement::GetHVScaleRatio() { return true; }
bool CGIS_OleElement::CanConvert() { return false; }
IGIS_Element* CGIS_OleElement::ConvertToElement() { return nullptr; }
IGIS_Element* CGIS_OleElement::Clone() { return nullptr; }
const char* CGIS_OleElement::GetDescription() { return "暂时没有定义"; }
BOOL CGIS_OleElement::CanActivateObject() { return TRUE; }
IGIS_FrameProperty* CGIS_OleElement::GetFramePropertyPtr() { return m_pFrame.get(); }

BOOL CGIS_OleElement::SetFramePropertyPtr(IGIS_FrameProperty* pFrame) {
  if (pFrame == nullptr)
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("SetFramePropertyPtr").c_str(), "pFrameProperty == NULL");
  if (pFrame != nullptr && pFrame == m_pFrame.get()) return FALSE;
  m_pFrame.reset(pFrame != nullptr ? pFrame->Clone() : nullptr);
  return TRUE;
}

// ---- Drawing ----------------------------------------------------------------

BOOL CGIS_OleElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  IGIS_SpatialReference* pReference = pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_spatialreference== NULL ");
    return FALSE;
  }
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_display == NULL");
    return FALSE;
  }
  try {
    const SGIS_Rect r = GetRect();
    if (m_pFrame != nullptr) m_pFrame->OnDraw(hdc, bPrint, pDisplay, r, pReference, GIS_FRAME_PART_UNDER);
    if (m_pFrame != nullptr && m_pFrame->GetDraftMode() && !bPrint) {
      m_pFrame->OnDrawDraftMode(this, hdc, bPrint, pDisplay);
      return TRUE;
    }
    const SGIS_Rect d = pView->PageToDeviceRect(r, pReference);
    std::string failure;
    if (m_pOleItem != nullptr) {
      CGIS_ElementClipScope clip(hdc, pDisplay);
      const RECT device{d.left, d.top, d.right, d.bottom};
      failure = DrawObject(hdc, device);
      if (!failure.empty()) DrawPlaceholder(hdc, d.left, d.top, d.right, d.bottom);
    }
    if (m_pFrame != nullptr) m_pFrame->OnDraw(hdc, bPrint, pDisplay, r, pReference, GIS_FRAME_PART_BORDER);
    if (!failure.empty()) {
      GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(), "\"%s\" (feature %d): the object is not drawn: %s",
              GetName(), GetID(), failure.c_str());
      return FALSE;
    }
  } catch (const std::exception& e) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(), "drawing the object failed: %s", e.what());
    return FALSE;
  }
  return TRUE;
}

std::string CGIS_OleElement::DrawObject(HDC hdc, const RECT& device) {
  if (m_pOleItem->Draw(hdc, device, -1)) return std::string();
  if (!m_strUnread.empty()) return "its stored object cannot be read: " + m_strUnread;
  // An element that never held an object shows its frame alone; an object
  // on less than a device unit has nothing to show.
  const bool bVisible =
      std::abs(device.right - device.left) >= 1 && std::abs(device.bottom - device.top) >= 1;
  return m_pOleItem->HasObject() && bVisible ? "the object could not draw itself" : std::string();
}

// ---- Placing and sizing ----------------------------------------------------

SGIS_Rect CGIS_OleElement::GetRect() { return m_core.FeatureRect(); }

void CGIS_OleElement::WriteRect(IGIS_Feature* pFeature, const SGIS_Rect& rect) {
  IGIS_Geometry* pGeometry = pFeature->GetGeometry();
  if (pGeometry == nullptr) return;
  pGeometry->SetRect(rect, 0);
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  if (pClass != nullptr) pClass->UpdateFeature(pFeature, GIS_UPDATE_GEOMETRY);
}

void CGIS_OleElement::SetRect(SGIS_Rect rect) { m_core.PlaceRect(rect); }

void CGIS_OleElement::SetLBpoint(SGIS_Point point) { m_core.MoveLowerLeftTo(point); }

void CGIS_OleElement::OffsetAllPoints(int dx, int dy) { m_core.OffsetRect(dx, dy); }

double CGIS_OleElement::ObjectRatio() {
  SIZE size{0, 0};
  if (m_pOleItem == nullptr || !m_pOleItem->GetExtent(&size, -1)) size = SIZE{0, 0};
  return size.cy >= 1 ? static_cast<double>(size.cx) / size.cy : 1.0;
}

void CGIS_OleElement::SetWidthAndHeight(int nWidth, int nHeight) {
  if (nWidth < 1 || nHeight < 1) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("SetWidthAndHeight");
  if (pFeature == nullptr) return;
  const SGIS_Rect r = GetRect();
  const int W = r.Width(), H = r.Height();
  if (nWidth == W && nHeight == H) return;
  int w = nWidth;
  if (W != 0 && H != 0) {
    const double sx = static_cast<double>(nWidth) / W, sy = static_cast<double>(nHeight) / H;
    const double s = (sx > 1.0 || sy > 1.0 || sx == 1.0 || sy == 1.0) ? std::min(sx, sy) : std::max(sx, sy);
    w = N(W * s);
  }
  const int h = N(w / ObjectRatio());
  using md::basilo::detail::ClampToInt32;
  WriteRect(pFeature, SGIS_Rect(r.left, ClampToInt32(static_cast<std::int64_t>(r.bottom) + h),
                                ClampToInt32(static_cast<std::int64_t>(r.left) + w), r.bottom));
}

void CGIS_OleElement::FitHeightToObject(IGIS_Feature* pFeature) {
  const SGIS_Rect r = GetRect();
  const int h = N(r.Width() / ObjectRatio());
  using md::basilo::detail::ClampToInt32;
  WriteRect(pFeature, SGIS_Rect(r.left, ClampToInt32(static_cast<std::int64_t>(r.bottom) + h),
                                ClampToInt32(static_cast<std::int64_t>(r.left) + r.Width()), r.bottom));
}

void CGIS_OleElement::FitToObjectAspect() {
  IGIS_Feature* pFeature = GetFeaturePtr();
  if (pFeature == nullptr) return;
  FitHeightToObject(pFeature);
  IGIS_DisplayView* pView = m_pDisplay != nullptr ? m_pDisplay->GetView() : nullptr;
  if (pView != nullptr) pView->Redraw(0, 1);
}

void CGIS_OleElement::ScaleShape(SGIS_Point origin, double sx, double sy) {
  if (!(sx > 0.0) || !(sy > 0.0) || !std::isfinite(sx) || !std::isfinite(sy)) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("ScaleShape");
  if (pFeature == nullptr) return;
  const SGIS_Rect r = GetRect();
  const double W = r.Width(), H = r.Height();
  const int left = N((static_cast<double>(r.left) - origin.x) * sx + origin.x);
  const int bottom = N((static_cast<double>(r.bottom) - origin.y) * sy + origin.y);
  // The object keeps its proportions: both factors become the smaller.
  const double s = std::min(sx, sy);
  WriteRect(pFeature, SGIS_Rect(left, N(H * s + bottom), N(W * s + left), bottom));
}

// ---- The object -----------------------------------------------------------

void CGIS_OleElement::PlaceItemOnPage() {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  const char* szPage = pOwner != nullptr ? pOwner->GetFilePath() : nullptr;
  if (m_pOleItem != nullptr && szPage != nullptr) m_pOleItem->SetPageFile(szPage);
}

BOOL CGIS_OleElement::UpdateLink() {
  if (m_pOleItem == nullptr) return FALSE;
  PlaceItemOnPage();
  return m_pOleItem->UpdateLink();
}

BOOL CGIS_OleElement::ActivateObject(IGIS_Display* pDisplay) {
  // The server runs while DoVerb does: its closing must find this element
  // current and its display remembered.
  m_pDisplay = pDisplay;
  g_pCurrentOleElement = this;
  PlaceItemOnPage();
  if (m_pOleItem != nullptr && m_pOleItem->DoVerb(-2)) return TRUE;
  // The failure's one record: the item's DoVerb writes none.
  GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("ActivateObject").c_str(),
          "\"%s\" (feature %d): the object was not opened: %s", GetName(), GetID(),
          m_pOleItem != nullptr ? m_pOleItem->GetLastErrorText().c_str() : "the element holds no object");
  return FALSE;
}

BOOL CGIS_OleElement::InsertObject(IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("InsertObject");
  md::layout::SGIS_OleInsertChoice choice;
  if (!md::layout::RunInsertObjectDialog(&choice)) return FALSE;
  auto item = std::make_unique<CGIS_OleClientItem>();
  if (!item->CreateFromInsertDialog(choice)) {
    // Nothing was inserted: the object held before stays, and a refused
    // file loses nothing.
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "the object could not be made: %s",
            item->GetLastErrorText().c_str());
    md::layout::HostMessageBox(("无法插入对象：\n" + item->GetLastErrorText()).c_str(),
                               MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
  }
  m_pOleItem = std::move(item);
  m_strUnread.clear();
  if (IGIS_Feature* pFeature = GetFeaturePtr()) {
    // An element without a size takes the object's natural size (page units
    // are 0.01 mm, as the extent); one placed before keeps its width and
    // takes the object's proportions.
    const SGIS_Rect r = GetRect();
    SIZE size{};
    if (r.Width() != 0 && r.Height() != 0)
      FitHeightToObject(pFeature);
    else if (m_pOleItem->GetExtent(&size, -1))
      WriteRect(pFeature, SGIS_Rect(r.left, r.bottom + size.cy, r.left + size.cx, r.bottom));
  }
  g_pCurrentOleElement = this;
  m_pDisplay = pDisplay;
  // A new object opens in its server at once, as this element's.
  if (choice.nSelection == md::layout::SGIS_OleInsertChoice::createNew) m_pOleItem->DoVerb(-2);
  return TRUE;
}

// ---- The property sheet ------------------------------------------------------

BOOL CGIS_OleElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return m_core.OpenPropertySheet(pDisplay, "OLE对象属性", "pFrameProperty == NULL");
}

// ---- Storage ----------------------------------------------------------------

BOOL CGIS_OleElement::Archive(int nRead, int /*nArchiveOption*/) {
  const std::string method = m_core.Method("Archive");
  IGIS_Feature* pFeature = m_core.RequireFeature("Archive");
  if (pFeature == nullptr) return FALSE;
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  if (pAttr == nullptr) return FALSE;
  // The "Custom" keys are read and written in place.
  static const md::layout::SGIS_CustomKey kFrameKey{kKeyFrame, GIS_FIELD_TYPE_BUFFER, kKeyFrame, kKeyFrame};
  static const md::layout::SGIS_CustomKey kDataKey{kKeyData, GIS_FIELD_TYPE_BUFFER, kKeyData, kKeyData};
  try {
    if (nRead == 0) {
      pAttr->SetBool("IsLock", m_core.m_bLock);
      pAttr->SetBool("KeepHVScaleRatio", m_core.m_bKeepHVScaleRatio);
      pAttr->SetInt("ElementOrder", m_core.m_nOrder);
      pAttr->SetString("ElementName", GetName());
      md::layout::CustomSetWriter set(pAttr, method.c_str());
      DataBufferPtr frame(GIS_CreateDataBufferObject(0));
      if (!frame) return FALSE;
      if (m_pFrame != nullptr) {
        m_pFrame->Save(frame.get());
        const int n = frame->GetSize();
        set.Bytes(kFrameKey,
                  std::span<const BYTE>(frame->GetData(), n > 0 ? static_cast<std::size_t>(n) : 0));
      } else {
        set.Bytes(kFrameKey, NoFrameMark());
      }
      // Without an object (never made, or its stored bytes could not be
      // read) the stored bytes stay as they are: nothing overwrites them.
      std::vector<std::uint8_t> bytes;
      if (m_pOleItem != nullptr && m_pOleItem->HasObject()) {
        PlaceItemOnPage();
        std::string error;
        if (!m_pOleItem->WriteItem(&bytes, &error)) {
          GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(), "writing the object failed: %s", error.c_str());
          return FALSE;
        }
        if (bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
          GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(), "FALSE == NULL");
          return FALSE;
        }
        set.Bytes(kDataKey, std::span<const BYTE>(bytes.data(), bytes.size()));
      } else {
        set.Keep(kDataKey);
      }
      if (!set.Finish()) return FALSE;
      // Written either way; a failed commit is a failure.
      IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
      IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
      if (pClass == nullptr || !pClass->UpdateFeature(pFeature, GIS_UPDATE_ALL)) {
        GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "b_ret == NULL");
        return FALSE;
      }
      return TRUE;
    }

    if (!m_core.ArchiveCommon(nRead)) return FALSE;
    const md::layout::StoredSetView set(pAttr, method.c_str());
    if (const md::basilo::StoredFieldView* f = set.Find(kKeyFrame)) {
      const bool bBytes = f->type == GIS_FIELD_TYPE_BUFFER;
      if (bBytes && std::ranges::equal(f->bytes, NoFrameMark())) {
        m_pFrame.reset();
      } else if (bBytes && f->bytes.empty()) {
        m_pFrame.reset(GIS_CreateFramePropertyObject());  // a new element's default frame
      } else {
        if (m_pFrame == nullptr) m_pFrame.reset(GIS_CreateFramePropertyObject());
        if (IGIS_DataBuffer* b = bBytes ? set.Buffer(kKeyFrame) : nullptr;
            m_pFrame != nullptr && b != nullptr)
          m_pFrame->Open(b);
      }
    }
    if (const md::basilo::StoredFieldView* f = set.Find(kKeyData)) {
      auto item = std::make_unique<CGIS_OleClientItem>();
      const std::size_t n = f->type == GIS_FIELD_TYPE_BUFFER ? f->bytes.size() : 0;
      std::string error;
      const bool bRead = n == 0 || item->ReadItem(f->bytes.data(), n, &error);
      m_pOleItem = std::move(item);
      m_strUnread = bRead ? std::string() : error;
      if (!bRead && m_pOleItem->HoldsUnreadLink()) {
        // The page still reads: the element keeps the stored bytes and shows
        // what was stored with the link.
        SIZE shown{};
        GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(),
                "\"%s\" (feature %d): its link cannot be read: %s; the stored object is kept as it is, "
                "shows %s and cannot be updated",
                GetName(), GetID(), error.c_str(),
                m_pOleItem->GetExtent(&shown, -1) ? "its last presentation" : "a placeholder");
        return TRUE;
      }
      if (!bRead) {
        GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(), "the stored object was refused: %s", error.c_str());
        return FALSE;
      }
      PlaceItemOnPage();
    }
    return TRUE;
  } catch (const std::exception& e) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(), "%s", e.what());
    return FALSE;
  }
}
