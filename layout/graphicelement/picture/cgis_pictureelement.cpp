// The picture element: import, drawing, storage and the kept picture.
#include "layout/graphicelement/picture/cgis_pictureelement.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>
#include <vector>

#include "host/basilo/falseonwant.h"
#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/elementsheet.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdeckdraw.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/shapes/shapebox.h"
#include "layout/graphicelement/shapes/shapefeature.h"
#include "platform/files/errortext.h"
#include "platform/files/filestore.h"
#include "platform/files/pagepaths.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/helperfences.h"
#include "platform/imaging/loader.h"
#include "platform/imaging/metafilevectors.h"
#include "platform/win/cdc.h"
#include "platform/win/wingdi.h"

using namespace md::layout::shapes;

namespace {

constexpr const char* kClass = "CGIS_PictureElement";
constexpr const char* kFileMethod = "CGIS_PictureElement::Archive";

// The one record a process makes, at its first metafile, of what the
// metafile helper's sandbox leaves unfenced on this system.
const md::imaging::UnfencedHook g_unfencedRecord = [] {
  const auto record = [](const std::string& text) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_PictureElement::DrawMetafile", "%s", text.c_str());
  };
  md::imaging::SetUnfencedHook(record);
  return +record;
}();

// Commit flags of an import (geometry and the file name).
constexpr int kCommitImport = 80;

// The keys of "Custom", in their stored order.
constexpr const char* kKeyFrame = "FrameProperty";
constexpr const char* kKeyDib = "DIB";
constexpr const char* kKeyFileName = "FileName";
constexpr const char* kKeyFileExt = "FileExt";
constexpr const char* kKeySaveInDoc = "SaveInDoc";
constexpr const char* kKeyPictureData = "PictureData";
constexpr const char* kKeyRelative = "RelativeFileName";

using md::layout::DataBufferPtr;
using md::layout::PropertySetPtr;
using CustomKey = md::layout::SGIS_CustomKey;
constexpr CustomKey kCustomKeys[] = {
    {kKeyFrame, GIS_FIELD_TYPE_BUFFER, "地图框架的属性", "FrameProperty"},
    {kKeyDib, GIS_FIELD_TYPE_BUFFER, "位图数据", "位图数据"},
    {kKeyFileName, GIS_FIELD_TYPE_STRING, "文件名称", "FileName"},
    {kKeyFileExt, GIS_FIELD_TYPE_STRING, "文件后缀", "文件后缀"},
    {kKeySaveInDoc, GIS_FIELD_TYPE_BOOL, "是否保存在文档中", "是否保存在文档中"},
    {kKeyPictureData, GIS_FIELD_TYPE_BUFFER, "图片的内容", "图片的内容"},
};
// Written only for a picture the page does not keep, after the keys above.
constexpr CustomKey kRelativeKey{kKeyRelative, GIS_FIELD_TYPE_STRING, "相对路径", "RelativeFileName"};

// Stored names refused on reading and written back as stored.
constexpr unsigned kKeptFileName = 1;
constexpr unsigned kKeptFileExt = 2;
constexpr unsigned kKeptRelative = 4;

// A file is there (a folder of that name is not one).
bool IsFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The description of a key.
const CustomKey& KeyOf(const char* key) {
  for (const CustomKey& k : kCustomKeys) {
    if (std::strcmp(k.key, key) == 0) return k;
  }
  return kCustomKeys[0];
}

// The field of a key, added when missing.
IGIS_Field* FieldOf(IGIS_PropertySet* pSet, const char* key) {
  return md::layout::CustomField(pSet, KeyOf(key));
}

}  // namespace

CGIS_PictureElement::CGIS_PictureElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_BoxShapeImpl(kClass, "图片", GIS_TYPE_GRAPHIC_ELEMENT_PICTURE) {
  // A new picture keeps its proportions.
  m_core.m_bKeepHVScaleRatio = true;
  if (pOwner == nullptr) return;
  m_pFrame = GIS_CreateFramePropertyObject();

  SGIS_ElementBindOptions options;
  options.szType = GIS_TYPE_GRAPHIC_ELEMENT_PICTURE;
  options.nKind = GIS_FEATURE_KIND_RECTANGLE;
  options.nLockOnNew = 1;  // a new picture starts locked in its feature
  options.nCanConvert = 1;
  if (m_core.Bind(pOwner, pFeature, options) != CGIS_ElementCore::Binding::Created) return;

  IGIS_FeatureAttributes* pAttr = m_core.m_pFeature->GetAttributes();
  PropertySetPtr set(GIS_CreatePropertySetObject());
  if (!set || pAttr == nullptr) return;
  for (const CustomKey& k : kCustomKeys) set->AddProperty(k.key, k.newDescription, k.type, 1);
  // The frame's stored form, so that an empty key can mean "no frame".
  if (IGIS_Field* f = set->GetProperty(kKeyFrame); f != nullptr && m_pFrame != nullptr) {
    m_pFrame->Save(f->GetDataBuffer());
  }
  if (IGIS_Field* f = set->GetProperty(kKeySaveInDoc)) f->SetBool(m_bSaveInDoc);
  md::layout::WriteCustomSet(pAttr, set.get(), m_core.Method("CGIS_PictureElement").c_str());
}

CGIS_PictureElement::~CGIS_PictureElement() {
  if (m_pFrame != nullptr) m_pFrame->Release();
}

void CGIS_PictureElement::WriteRect(IGIS_Feature* pFeature, SGIS_Rect rect, int nFlags) {
  if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) pGeometry->SetRect(rect, 0);
  Commit(m_core, pFeature, nFlags);
}

void CGIS_PictureElement::SetRect(SGIS_Rect rect) {
  // The host's rectangle replaces the one an unfinished import would fit.
  m_bFitPending = false;
  rect.Normalize();
  MoveAndResize(rect);
}

BOOL CGIS_PictureElement::SetFramePropertyPtr(IGIS_FrameProperty* pFrame) {
  if (pFrame == m_pFrame) return TRUE;
  if (m_pFrame != nullptr) m_pFrame->Release();
  m_pFrame = pFrame != nullptr ? pFrame->Clone() : nullptr;
  return TRUE;
}

std::string CGIS_PictureElement::GetPictureDescription() const {
  std::string s = m_strFileExt;
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s + "  Image";
}

// ---- Import -------------------------------------------------------------------

BOOL CGIS_PictureElement::ImportPictureFromFile(const char* szFileName) {
  // A file's decoding may run out of memory: FALSE with its record, never
  // an exception at the host.
  const std::string method = m_core.Method("ImportPictureFromFile");
  return md::basilo::FalseOnWant(method.c_str(), [&] { return ImportPicture(szFileName, method); });
}

BOOL CGIS_PictureElement::ImportPicture(const char* szFileName, const std::string& method) {
  if (szFileName == nullptr || szFileName[0] == '\0') {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "no file named: szFileName is %s",
            szFileName == nullptr ? "NULL" : "empty");
    return FALSE;
  }
  const std::string path(szFileName);
  if (path == m_strFileName && !m_bImportPending) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "%s is the picture's file already: nothing imported",
            path.c_str());
    return FALSE;
  }
  // A longer path cannot be stored whole: refused rather than cut.
  if (path.size() > kMaxPathBytes) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "strlen(szFileName) > %zu", kMaxPathBytes);
    return FALSE;
  }
  IGIS_Feature* pFeature = m_core.RequireFeature("ImportPictureFromFile");
  if (pFeature == nullptr) return FALSE;
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  if (pAttr == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "pAttributes == NULL");
    return FALSE;
  }
  // Decode first: a file that gives no picture changes nothing, and its one
  // record names the file and why. One refused for a passing cause (its
  // helper not started, its time or the drawing's spent) is taken as the
  // element's file all the same, unsized: its next drawing tries again and
  // sizes it, and importing it again tries now.
  const md::imaging::DecodeResult picture = md::imaging::ImageCache::Shared().Load(path);
  const bool passing = !picture && (picture.notRun || picture.timedOut || picture.deferred);
  if (!picture && !passing) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(), "%s: %s", path.c_str(), picture.error.c_str());
    return FALSE;
  }

  m_bSaveInDoc = false;
  m_strFileName = path;
  m_strRelative.clear();
  m_strRelativeBase.clear();
  m_pKept.reset();
  // The user's new picture replaces whatever the stored record held.
  m_strUnread.clear();
  m_nKeptAsStored = 0;
  const std::size_t dot = path.rfind('.');
  if (dot != std::string::npos) m_strFileExt = path.substr(dot + 1);

  PropertySetPtr set = md::layout::ReadCustomSet(pAttr, method.c_str());
  if (set) {
    if (IGIS_Field* f = FieldOf(set.get(), kKeyFileName)) f->SetString(m_strFileName.c_str());
    md::layout::WriteCustomSet(pAttr, set.get(), method.c_str());
  }

  m_bImportPending = m_bFitPending = passing;
  if (passing) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(), "%s: %s: not imported yet, its next drawing tries again",
            path.c_str(), picture.error.c_str());
    return FALSE;
  }
  FitPicture(pFeature, *picture.bitmap);
  return TRUE;
}

void CGIS_PictureElement::FitPicture(IGIS_Feature* pFeature, const md::imaging::Bitmap& bitmap) {
  const int w = bitmap.width, h = bitmap.height;
  const SGIS_Rect r = GetRect();
  int width = w, height = h;
  if (r.Width() != 0 && r.Height() != 0) {
    // Fitted into the rectangle with the picture's own proportions.
    const double s = std::min(static_cast<double>(r.Width()) / w, static_cast<double>(r.Height()) / h);
    width = Nearest(w * s);
    height = Nearest(h * s);
  }
  WriteRect(pFeature, ResizeBox(SGIS_Rect(r.left, r.bottom, r.left, r.bottom), width, height), kCommitImport);
}

// ---- Drawing ------------------------------------------------------------------

BOOL CGIS_PictureElement::OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  const std::string method = m_core.Method("OnDraw");
  IGIS_SpatialReference* pReference = PageReference(m_core);
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "p_spatialreference== NULL ");
    return FALSE;
  }
  if (m_core.RequireFeature("OnDraw") == nullptr) return FALSE;
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "pDisplay == NULL");
    return FALSE;
  }
  const bool draft = m_pFrame != nullptr && m_pFrame->GetDraftMode() && !bPrint;
  // Without a file there is no picture to draw.
  std::string path;
  const bool named = NamesAPicture();
  md::imaging::DecodeResult picture;
  if (named && !draft) picture = LoadPicture(&path);
  if (picture && m_bImportPending) {
    // An import left unfinished for a passing cause ends here: sized as the
    // import would have (unless the host placed it since).
    m_bImportPending = false;
    if (m_bFitPending) {
      m_bFitPending = false;
      FitPicture(m_core.m_pFeature, *picture.bitmap);
    }
  }
  const SGIS_Rect r = GetRect();
  const SGIS_Rect d = pView->PageToDeviceRect(r, pReference);
  bool drawn = true;

  if (m_pFrame != nullptr) m_pFrame->OnDraw(hdc, bPrint, pDisplay, r, pReference, GIS_FRAME_PART_UNDER);
  if (draft) {
    m_pFrame->OnDrawDraftMode(this, hdc, bPrint, pDisplay);
    return TRUE;
  }
  {
    CGIS_ElementClipScope clipScope(hdc, pDisplay);
    // While the view clips, printing keeps the picture on the paper: the
    // paper spans (0, 0) to (width, -height) in the context's units.
    RECT paper{0, 0, 0, 0};
    if (clipScope.IsClipping()) {
      if (auto* pPrinter =
              static_cast<IGIS_DisplayPrinter*>(pDisplay->GetInterface(GIS_INTERFACE_DISP_PRINTER))) {
        paper = RECT{0, 0, pPrinter->GetPaperWidth(), -pPrinter->GetPaperHeight()};
      }
    }
    // No paper known: nothing to keep the picture inside.
    const bool paperKnown = paper.right != paper.left && paper.bottom != paper.top;

    if (!named) {
      // No picture was ever imported: crossed out, saying so, rather than an
      // empty box.
      GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(),
              "\"%s\" (feature %d): not drawn: no picture was imported", GetName(), GetID());
      DrawPlaceholder(hdc, d.left, d.top, d.right, d.bottom);
      drawn = false;
    } else if (!picture) {
      // Not drawn (gone, refused, past its time or the drawing's budget, or
      // named by nothing usable): the picture says so, naming the file it
      // shows (a kept picture's own, not this process's copy of it).
      std::string error = picture.error;
      if (DrawsKeptCopy()) {
        const std::string copy = "the copy";
        for (std::size_t at = 0; (at = error.find(path, at)) != std::string::npos; at += copy.size())
          error.replace(at, path.size(), copy);
        path = KeptName();
      }
      if (path.empty())
        GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(), "\"%s\" (feature %d): %s", GetName(), GetID(),
                error.c_str());
      else
        GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(), "%s: %s", path.c_str(), error.c_str());
      DrawPlaceholder(hdc, d.left, d.top, d.right, d.bottom);
      drawn = false;
    } else {
      // The picture's top-left corner on the rectangle's top-left corner and
      // its bottom-right on the bottom-right, whichever way the context's
      // axes run: upright on screens (y down) and on paper (y up).
      const int x = d.left, y = d.top;
      const int width = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(d.right) - d.left);
      const int height = md::basilo::detail::ClampToInt32(static_cast<std::int64_t>(d.bottom) - d.top);
      const md::imaging::Bitmap& bitmap = *picture.bitmap;
      const int technology = GetDeviceCaps(hdc, TECHNOLOGY);
      // What fell short of drawing a metafile as it means it.
      md::imaging::MetafileShortfall shortfall;
      BOOL painted = TRUE;
      if (!bPrint) {
        painted = md::imaging::DrawBitmap(hdc, bitmap, x, y, width, height, nullptr, &shortfall);
      } else if (technology == DT_RASDISPLAY) {
        painted = md::imaging::DrawBitmap(hdc, bitmap, x, y, width, height, paperKnown ? &paper : nullptr,
                                          &shortfall);
      } else if (technology == DT_RASPRINTER) {
        // Printers draw on the view's own context, which must know its resolution.
        CDC* pDC = pView->GetClipContext();
        HDC target = pDC != nullptr && pDC->GetSafeHdc() != nullptr ? pDC->GetSafeHdc() : hdc;
        if (GetDeviceCaps(target, LOGPIXELSX) > 0 && GetDeviceCaps(target, LOGPIXELSY) > 0)
          painted = md::imaging::DrawBitmap(target, bitmap, x, y, width, height,
                                            paperKnown ? &paper : nullptr, &shortfall);
      } else {
        painted = md::imaging::DrawBitmap(hdc, bitmap, x, y, width, height, nullptr, &shortfall);
      }
      // A metafile's records, as its decoding's, name its file, then its kind.
      const auto shown = [&] {
        return (DrawsKeptCopy() ? KeptName() : path) +
               (bitmap.format == md::imaging::Format::Emf ? ": EMF" : ": WMF");
      };
      if (!painted && !shortfall.why.empty()) {
        // A metafile not drawn at all (its time spent before any painting of
        // it was kept, its helper unable to paint it): crossed out, saying why.
        GIS_LOG(GIS_LOG_LEVEL_STORAGE, method.c_str(), "%s: not drawn: %s", shown().c_str(),
                shortfall.why.c_str());
        DrawPlaceholder(hdc, d.left, d.top, d.right, d.bottom);
        drawn = false;
      } else if (!shortfall.why.empty() && shortfall.spent) {
        // Drawn whole from its pixels: nothing is lost, and the drawing
        // succeeds, but its record says why, at each drawing.
        GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "%s: drawn from its pixels, as %s", shown().c_str(),
                shortfall.why.c_str());
      } else if (!shortfall.why.empty() &&
                 (m_nVectorsRefusedTold != bitmap.id.value() || m_strVectorsRefusal != shortfall.why)) {
        // Its drawing as vectors refused (drawn from its pixels), or a paint
        // of it left out: its first drawing here saying why.
        m_nVectorsRefusedTold = bitmap.id.value();
        m_strVectorsRefusal = shortfall.why;
        if (shortfall.partial)
          GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "%s: drawn as vectors, but %s", shown().c_str(),
                  shortfall.why.c_str());
        else
          GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(),
                  "%s: drawn from its pixels, as its drawing is not read: %s", shown().c_str(),
                  shortfall.why.c_str());
      }
      // Raster operations of what lies below drawn as their nearest
      // painting: one record at each drawing, naming them.
      if (painted && shortfall.nearestRops != 0)
        GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "%s: drawn with raster operations as their nearest: %s",
                shown().c_str(), md::imaging::NearestRopsNamed(shortfall.nearestRops).c_str());
    }
  }
  if (m_pFrame != nullptr) m_pFrame->OnDraw(hdc, bPrint, pDisplay, r, pReference, GIS_FRAME_PART_BORDER);
  return drawn ? TRUE : FALSE;
}

std::string CGIS_PictureElement::KeptName() const {
  return m_strKeptFrom.empty() ? "the picture kept in the page" : m_strKeptFrom + " (kept in the page)";
}

bool CGIS_PictureElement::NamesAPicture() const {
  return !m_strFileName.empty() || !m_strUnread.empty() || (m_nKeptAsStored & kKeptFileName) != 0;
}

md::imaging::DecodeResult CGIS_PictureElement::LoadPicture(std::string* pPath) const {
  *pPath = GetSourcePath();
  if (pPath->empty() && (!m_strUnread.empty() || (m_nKeptAsStored & kKeptFileName) != 0)) {
    md::imaging::DecodeResult unnamed;
    char refused[64];
    std::snprintf(refused, sizeof refused, "its stored %s is longer than %zu bytes", kKeyFileName,
                  kMaxPathBytes);
    unnamed.error = !m_strUnread.empty() ? m_strUnread : std::string(refused);
    return unnamed;
  }
  struct stat st {};
  if (::stat(pPath->c_str(), &st) != 0) {
    md::imaging::DecodeResult gone;
    gone.error = md::files::ErrorText(errno);
    const std::string beside = DrawsKeptCopy() ? std::string() : RelativePlace();
    if (!beside.empty() && beside != *pPath) gone.error += ", nor beside the page as " + beside;
    return gone;
  }
  return md::imaging::ImageCache::Shared().Load(*pPath);
}

// ---- The file -----------------------------------------------------------------

std::string CGIS_PictureElement::PageFile() const {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  const char* szPage = pOwner != nullptr ? pOwner->GetFilePath() : nullptr;
  return szPage != nullptr && szPage[0] != '\0' ? md::files::AbsolutePath(szPage) : std::string();
}

std::string CGIS_PictureElement::RelativePlace() const {
  if (m_strRelative.empty()) return std::string();
  const std::string base = m_strRelativeBase.empty() ? PageFile() : m_strRelativeBase;
  return base.empty() ? std::string() : md::files::PathBesidePage(base, m_strRelative);
}

std::string CGIS_PictureElement::GetSourcePath() const {
  if (DrawsKeptCopy()) return m_strFileName;
  const std::string beside = RelativePlace();
  return IsFile(beside) ? beside : m_strFileName;
}

// ---- Storage ------------------------------------------------------------------

bool CGIS_PictureElement::KeepBytes(const void* pData, std::size_t nSize) {
  if (m_pKept == nullptr || !m_pKept->Holds(pData, nSize, m_strFileExt) || !m_pKept->Intact()) {
    std::string attempted;
    md::layout::KeptPicturePtr kept =
        md::layout::KeepPicture(GIS_GetTempDir(), pData, nSize, m_strFileExt, &attempted);
    if (kept == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_STORAGE, kFileMethod, "cannot write the picture's copy %s", attempted.c_str());
      return false;
    }
    m_pKept = std::move(kept);
  }
  if (m_strFileName != m_pKept->Path()) m_strKeptFrom = m_strFileName;
  m_strFileName = m_pKept->Path();
  return true;
}

bool CGIS_PictureElement::DrawsKeptCopy() const {
  return m_bSaveInDoc && m_pKept != nullptr && m_strFileName == m_pKept->Path();
}

BOOL CGIS_PictureElement::Archive(int nRead, int /*nArchiveOption*/) {
  const std::string method = m_core.Method("Archive");
  IGIS_Feature* pFeature = m_core.RequireFeature("Archive");
  if (pFeature == nullptr) return FALSE;
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  if (pAttr == nullptr) return FALSE;

  // The "Custom" keys are read and written in place; a write keeps the keys
  // it does not write ("DIB", "PictureData").
  if (nRead == 0) {
    pAttr->SetBool("IsLock", m_core.m_bLock);
    pAttr->SetBool("KeepHVScaleRatio", m_core.m_bKeepHVScaleRatio);
    pAttr->SetInt("ElementOrder", m_core.m_nOrder);
    pAttr->SetString("ElementName", GetName());
    // A stored set that could not be read stays as it was stored.
    if (!m_strUnread.empty()) return TRUE;
    md::layout::CustomSetWriter set(pAttr, method.c_str());
    // Without a frame the key holds no bytes, so that a removed frame does
    // not come back from what an earlier write stored.
    DataBufferPtr frame(GIS_CreateDataBufferObject(0));
    if (!frame) return FALSE;
    if (m_pFrame != nullptr) m_pFrame->Save(frame.get());
    const int frameSize = frame->GetSize();
    set.Bytes(KeyOf(kKeyFrame), std::span<const BYTE>(frame->GetData(), frameSize > 0 ? frameSize : 0));
    set.Bool(KeyOf(kKeySaveInDoc), m_bSaveInDoc);
    set.Keep(KeyOf(kKeyPictureData));
    // A kept picture is drawn from this process's copy of its bytes, whose
    // name depends on the temporary folder: the stored name stays the one
    // it was kept from, so that the stored form does not change with it.
    if (DrawsKeptCopy()) {
      set.Keep(KeyOf(kKeyFileName));
    } else {
      // The file is named by where it is found, and by its path from the
      // folder of the page's file now (from where the relative path pointed
      // when it is found nowhere). A refused stored name is written back as
      // stored while no file is found in its place.
      const std::string place = GetSourcePath();
      const bool found = IsFile(place);
      const std::string from = found || m_strRelative.empty() ? place : RelativePlace();
      const std::string page = PageFile();
      std::string relative = md::files::PathFromPageFolder(md::files::AbsolutePath(from), page);
      if (relative.size() > kMaxPathBytes) relative.clear();
      if (place.size() <= kMaxPathBytes) m_strFileName = place;
      if (found) m_nKeptAsStored &= ~kKeptFileName;
      m_strRelative = std::move(relative);
      m_strRelativeBase = page;
      if ((m_nKeptAsStored & kKeptFileName) != 0)
        set.Keep(KeyOf(kKeyFileName));
      else
        set.String(KeyOf(kKeyFileName), m_strFileName);
      // Absent and empty alike mean no relative path.
      if ((m_nKeptAsStored & kKeptRelative) != 0)
        set.Keep(kRelativeKey);
      else if (!m_strRelative.empty() || set.IsStored(kKeyRelative))
        set.String(kRelativeKey, m_strRelative);
    }
    if ((m_nKeptAsStored & kKeptFileExt) != 0)
      set.Keep(KeyOf(kKeyFileExt));
    else
      set.String(KeyOf(kKeyFileExt), m_strFileExt);
    return set.Finish() ? TRUE : FALSE;
  }

  if (!m_core.ArchiveCommon(nRead)) return FALSE;
  const md::layout::StoredSetView set(pAttr, method.c_str());
  m_strUnread.clear();
  m_nKeptAsStored = 0;
  m_bImportPending = m_bFitPending = false;
  if (set.Damaged()) {
    // Nothing of the set can be read (recorded): the element holds no
    // picture, is crossed out where it lies, and keeps the stored bytes.
    m_strUnread = "its stored \"Custom\" set cannot be read";
    m_strFileName.clear();
    m_strFileExt.clear();
    m_strRelative.clear();
    m_strRelativeBase.clear();
    m_bSaveInDoc = false;
    m_pKept.reset();
    return TRUE;
  }
  if (IGIS_Field* f = set.Field(kKeyFrame)) {
    IGIS_DataBuffer* pBuffer = f->GetDataBuffer();
    if (pBuffer != nullptr && pBuffer->GetSize() == 0) {
      if (m_pFrame != nullptr) m_pFrame->Release();
      m_pFrame = nullptr;
    } else {
      if (m_pFrame == nullptr) m_pFrame = GIS_CreateFramePropertyObject();
      if (m_pFrame != nullptr && pBuffer != nullptr) m_pFrame->Open(pBuffer);
    }
  }
  set.Read(kKeySaveInDoc, &m_bSaveInDoc);
  // Names longer than a path may be are refused whole (recorded), not cut:
  // the element holds none, and writes keep the stored one.
  auto readName = [&](const char* key, unsigned kept, std::string* pOut) {
    std::string s;
    if (!set.Read(key, &s)) return;
    if (s.size() > kMaxPathBytes) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "%s longer than %zu bytes", key, kMaxPathBytes);
      m_nKeptAsStored |= kept;
      pOut->clear();
      return;
    }
    *pOut = std::move(s);
  };
  readName(kKeyFileName, kKeptFileName, &m_strFileName);
  readName(kKeyFileExt, kKeptFileExt, &m_strFileExt);
  // The relative path is taken against the page file read from; a record
  // without one (written before there were any) has none, and one that
  // would leave the page's folder is refused (and written back as stored).
  m_strRelative.clear();
  m_strRelativeBase = PageFile();
  std::string relative;
  if (set.Read(kKeyRelative, &relative) && !relative.empty()) {
    if (relative.size() <= kMaxPathBytes && md::files::IsPathBelowFolder(relative)) {
      m_strRelative = std::move(relative);
    } else {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, method.c_str(), "%s does not lie below the page's folder: not used",
              kKeyRelative);
      m_nKeptAsStored |= kKeptRelative;
    }
  }
  const md::basilo::StoredFieldView* pData = m_bSaveInDoc ? set.Find(kKeyPictureData) : nullptr;
  if (pData != nullptr && pData->type == GIS_FIELD_TYPE_BUFFER && !pData->bytes.empty()) {
    KeepBytes(pData->bytes.data(), pData->bytes.size());
  } else if (m_pKept != nullptr && m_strFileName != m_pKept->Path()) {
    m_pKept.reset();
  }
  return TRUE;
}

void CGIS_PictureElement::ArchivePictureData(bool bKeep) {
  // A picture kept already stays kept; one the user does not keep is left
  // referring to its file.
  if (m_bSaveInDoc || !bKeep) return;
  IGIS_Feature* pFeature = m_core.RequireFeature("Archive");
  if (pFeature == nullptr) return;
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  if (pAttr == nullptr) return;
  const std::string method = m_core.Method("Archive");
  PropertySetPtr set = md::layout::ReadCustomSet(pAttr, method.c_str());
  if (!set) return;
  IGIS_Field* pPicture = FieldOf(set.get(), kKeyPictureData);
  IGIS_DataBuffer* pBuffer = pPicture != nullptr ? pPicture->GetDataBuffer() : nullptr;
  if (pBuffer == nullptr) return;

  std::vector<std::uint8_t> bytes;
  std::string why;
  const std::string source = GetSourcePath();
  if (source.empty()) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, kFileMethod, "cannot read the picture's file: the element names no file");
    return;
  }
  if (!md::files::ReadWholeFile(source.c_str(), md::imaging::kDefaultMemoryLimit, &bytes, &why)) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, kFileMethod, "cannot read the file %s: %s", source.c_str(), why.c_str());
    return;
  }
  if (!KeepBytes(bytes.data(), bytes.size())) return;

  pBuffer->SetSize(static_cast<int>(bytes.size()));
  if (!bytes.empty()) std::memcpy(pBuffer->GetData(), bytes.data(), bytes.size());
  // "FileName" keeps the name of the file the bytes were kept from.
  if (IGIS_Field* f = FieldOf(set.get(), kKeySaveInDoc)) f->SetBool(true);
  if (!md::layout::WriteCustomSet(pAttr, set.get(), method.c_str())) return;
  Commit(m_core, pFeature, GIS_UPDATE_ALL);
  m_bSaveInDoc = true;
}

// ---- Property sheet -------------------------------------------------------------

BOOL CGIS_PictureElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  // The sheet keeps the picture in the document when the user confirms with
  // its box checked.
  return m_core.OpenPropertySheet(pDisplay, "图片属性", "p_frameProperty == NULL");
}
