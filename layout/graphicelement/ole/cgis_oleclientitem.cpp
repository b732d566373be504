// The object's container side: creation, links, the icon view, the byte
// image, drawing, opening in the server, the clipboard data.
#include "layout/graphicelement/ole/cgis_oleclientitem.h"

#include <utility>

#include "host/basilo/igis_log.h"
#include "layout/graphicelement/element/userinterface.h"
#include "layout/graphicelement/ole/cgis_oleelement.h"
#include "platform/ole/link.h"
#include "platform/ole/server.h"
#include "platform/ole/sourcefile.h"

namespace {

constexpr const char* kClass = "CGIS_OleClientItem";

// Status codes kept as the item's last status: 32-bit, failures negative.
constexpr long kOk = 0;
constexpr long kFail = static_cast<std::int32_t>(0x80004005u);
constexpr long kNotImpl = static_cast<std::int32_t>(0x80004001u);
constexpr long kNoInterface = static_cast<std::int32_t>(0x80004002u);
constexpr long kOutOfMemory = static_cast<std::int32_t>(0x8007000Eu);
constexpr long kStatic = static_cast<std::int32_t>(0x8004000Bu);
constexpr long kServerExecFailure = static_cast<std::int32_t>(0x80080005u);
constexpr long kWriteFault = static_cast<std::int32_t>(0x8003001Du);

// The framework's prompts.
constexpr const char* kFailedToLaunch = "无法启动对象的服务程序。";
constexpr const char* kStaticObject = "这是静态对象，不能打开。";
constexpr const char* kFailedToConnect = "无法连接对象。\n链接可能已断开。";
constexpr const char* kNoMemory = "内存不足。";

// The verbs that do nothing visible: hide, and discard the undo state.
constexpr int kVerbHide = -3;
constexpr int kVerbDiscardUndoState = -6;

// The container's name the objects' servers are given.
constexpr const char* kContainerName = "OLE文档";

// A status is a failure when its severity bit is set.
bool Failed(long sc) { return sc < 0; }

}  // namespace

CGIS_OleClientItem::~CGIS_OleClientItem() { Close(); }

// ---- Creating the object ------------------------------------------------------

BOOL CGIS_OleClientItem::FinishCreate(std::unique_ptr<md::ole::EmbeddedObject> pObject,
                                      const std::string& error) {
  if (pObject == nullptr) {
    m_strError = error.empty() ? "the object could not be made" : error;
    m_scLast = kFail;
    return FALSE;
  }
  m_pObject = std::move(pObject);
  m_pUnreadLink.reset();
  m_bUnreadLink = false;
  m_storage = md::ole::Storage{};
  m_view = md::ole::ObjectView{};
  m_pObject->Save(&m_storage);
  m_bLinkUnavailable = false;
  m_strError.clear();
  UpdateItemType();
  SetState(loadedState);
  m_scLast = kOk;
  return TRUE;
}

BOOL CGIS_OleClientItem::CreateNewItem(const md::ole::ObjectClass& objectClass) {
  m_nItemNumber = 4;
  return FinishCreate(objectClass.createNew ? objectClass.createNew() : nullptr, "");
}

BOOL CGIS_OleClientItem::CreateFromFile(const std::string& path, const md::ole::ObjectClass* pClass) {
  m_nItemNumber = 1;
  std::string error;
  // A file that cannot be read says so, whatever its content would be.
  if (!md::ole::IsSourceFile(path, &error))
    return FinishCreate(nullptr, "cannot embed " + md::ole::FileTitle(path) + ": " + error);
  // Without a class, the first registered class that takes the file's content.
  for (const md::ole::ObjectClass* c : md::ole::RegisteredClasses()) {
    if (pClass != nullptr && c != pClass) continue;
    if (auto object = c->createFromFile(path, &error)) return FinishCreate(std::move(object), "");
  }
  if (pClass == nullptr)
    error = "cannot embed " + md::ole::FileTitle(path) +
            ": only PNG pictures and UTF-8 text files can be embedded; files of other programs cannot";
  return FinishCreate(nullptr, error);
}

BOOL CGIS_OleClientItem::CreateLinkFromFile(const std::string& path) {
  m_nItemNumber = 1;
  std::string error;
  std::unique_ptr<md::ole::LinkedObject> link = md::ole::CreateLinkToFile(path, &error);
  return FinishCreate(std::move(link), error);
}

BOOL CGIS_OleClientItem::CreateStaticFromData(const md::ole::EmbeddedObject& source) {
  m_nItemNumber = 1;
  std::string error;
  return FinishCreate(md::ole::CreateStaticFromObject(source, &error), error);
}

BOOL CGIS_OleClientItem::CreateFromInsertDialog(const md::layout::SGIS_OleInsertChoice& choice) {
  BOOL bMade = FALSE;
  switch (choice.nSelection) {
    case md::layout::SGIS_OleInsertChoice::fromFile:
      // The file's content decides its class.
      bMade = CreateFromFile(choice.path, nullptr);
      break;
    case md::layout::SGIS_OleInsertChoice::linkToFile:
      bMade = CreateLinkFromFile(choice.path);
      break;
    default: {
      const md::ole::ObjectClass* c = md::ole::FindClassByProgId(choice.progId);
      if (c == nullptr) {
        m_strError = "no object class \"" + choice.progId + "\" in this program";
        m_scLast = kFail;
        return FALSE;
      }
      bMade = CreateNewItem(*c);
    }
  }
  if (bMade && choice.bDisplayAsIcon) {
    if (!SetIconicMetafile(nullptr)) return FALSE;
    SetDrawAspect(md::ole::kAspectIcon);
  }
  return bMade;
}

int CGIS_OleClientItem::UpdateItemType() {
  if (m_pObject == nullptr)
    m_nItemType = typeUnknown;
  else if (m_pObject->AsLink() != nullptr)
    m_nItemType = typeLink;
  else
    m_nItemType = m_pObject->IsStatic() ? typeStatic : typeEmbedded;
  return m_nItemType;
}

// ---- Links ----------------------------------------------------------------------

BOOL CGIS_OleClientItem::UpdateLink() {
  // An unread link is no link: GetLastErrorText() keeps why it was refused.
  if (m_pObject == nullptr || m_pObject->AsLink() == nullptr) return FALSE;
  if (ReadLinkSource()) return TRUE;
  if (!m_bLinkUnavailable) {
    GIS_LOG(GIS_LOG_LEVEL_STORAGE, (std::string(kClass) + "::UpdateLink").c_str(),
            "link unavailable, the last presentation is shown: %s", m_strError.c_str());
  }
  m_bLinkUnavailable = true;
  return FALSE;
}

bool CGIS_OleClientItem::ReadLinkSource() {
  std::string error;
  if (m_pObject->AsLink()->Update(&error)) {
    m_bLinkUnavailable = false;
    return true;
  }
  m_strError = error;
  return false;
}

void CGIS_OleClientItem::FollowLink() {
  md::ole::LinkedObject* pLink = m_pObject != nullptr ? m_pObject->AsLink() : nullptr;
  if (pLink != nullptr && pLink->IsFollowing()) UpdateLink();
}

bool CGIS_OleClientItem::IsLinkFollowing() const {
  md::ole::LinkedObject* pLink = m_pObject != nullptr ? m_pObject->AsLink() : nullptr;
  return pLink != nullptr && pLink->IsFollowing();
}

void CGIS_OleClientItem::SetPageFile(const std::string& pageFile) {
  if (md::ole::LinkedObject* pLink = m_pObject != nullptr ? m_pObject->AsLink() : nullptr)
    pLink->SetPageFile(pageFile);
}

std::string CGIS_OleClientItem::GetLinkSource() const {
  md::ole::LinkedObject* pLink = m_pObject != nullptr ? m_pObject->AsLink() : nullptr;
  return pLink != nullptr ? pLink->SourcePath() : std::string();
}

BOOL CGIS_OleClientItem::FreezeLink() {
  if (m_pObject == nullptr || m_pObject->AsLink() == nullptr) return FALSE;
  Close();
  // What the link shows now, its drawing aspect and icon with it.
  const md::ole::ObjectView view = m_view;
  const unsigned nItemNumber = m_nItemNumber;
  std::unique_ptr<md::ole::EmbeddedObject> pLink = std::move(m_pObject);
  if (!CreateStaticFromData(*pLink)) {
    m_pObject = std::move(pLink);
    m_nItemNumber = nItemNumber;
    UpdateItemType();
    return FALSE;
  }
  m_view = view;
  OnChange(changeState, static_cast<DWORD>(m_nState));
  return TRUE;
}

// ---- The icon view ---------------------------------------------------------------

BOOL CGIS_OleClientItem::SetIconicMetafile(const md::ole::IconicPicture* pPicture) {
  if (m_pObject == nullptr) return FALSE;
  if (pPicture != nullptr) m_view.icon = *pPicture;
  return TRUE;
}

md::ole::IconicPicture CGIS_OleClientItem::IconForDrawing() const {
  if (m_view.icon) return *m_view.icon;
  const std::string source = GetLinkSource();
  return md::ole::IconOfClass(Shown()->Class(), source.empty() ? "" : md::ole::FileTitle(source));
}

const md::ole::EmbeddedObject* CGIS_OleClientItem::Shown() const {
  return m_pObject != nullptr ? m_pObject.get() : m_pUnreadLink.get();
}

BOOL CGIS_OleClientItem::GetIconicMetafile(md::ole::IconicPicture* pOut) {
  if (m_pObject == nullptr) return FALSE;
  if (!m_view.icon) {
    const md::ole::IconicPicture made = IconForDrawing();
    SetIconicMetafile(&made);
  }
  if (pOut != nullptr) *pOut = *m_view.icon;
  return TRUE;
}

void CGIS_OleClientItem::SetDrawAspect(int nAspect) {
  if (nAspect != md::ole::kAspectContent && nAspect != md::ole::kAspectIcon) return;
  if (nAspect == md::ole::kAspectIcon) {
    SetIconicMetafile(nullptr);
    GetIconicMetafile(nullptr);
  }
  m_view.drawAspect = nAspect;
}

// ---- The byte image --------------------------------------------------------------

BOOL CGIS_OleClientItem::ReadItem(const std::uint8_t* pData, std::size_t nSize, std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  md::ole::Storage storage;
  md::ole::ObjectView view;
  std::unique_ptr<md::ole::EmbeddedObject> object;
  const bool bStorage = md::ole::ReadCompoundFile(pData, nSize, &storage, &error);
  if (!bStorage || (object = md::ole::LoadObject(storage, &error)) == nullptr ||
      !md::ole::ReadObjectView(storage, &view, &error)) {
    m_strError = error;
    m_scLast = kFail;
    // A link that cannot be read: what it showed, when its content stream
    // holds it, and how (a "View" record that cannot be read shows the content).
    if (bStorage && object == nullptr && storage.streams.count(md::ole::kLinkStream) != 0) {
      Close();
      m_pObject.reset();
      m_pUnreadLink = md::ole::LoadLinkPresentation(storage, nullptr);
      m_view = md::ole::ObjectView{};
      if (m_pUnreadLink != nullptr && !md::ole::ReadObjectView(storage, &m_view, nullptr))
        m_view = md::ole::ObjectView{};
      m_bUnreadLink = true;
      UpdateItemType();
      SetState(emptyState);
    }
    return FALSE;
  }
  m_storage = std::move(storage);
  m_pObject = std::move(object);
  m_pUnreadLink.reset();
  m_bUnreadLink = false;
  m_view = std::move(view);
  m_bLinkUnavailable = false;
  m_scLast = kOk;
  UpdateItemType();
  SetState(loadedState);
  return TRUE;
}

BOOL CGIS_OleClientItem::WriteItem(std::vector<std::uint8_t>* pOut, std::string* pError) {
  if (m_pObject == nullptr) return FALSE;
  FollowLink();
  // Streams the object does not know (another writer's) are kept.
  m_pObject->Save(&m_storage);
  md::ole::WriteObjectView(&m_storage, m_view);
  if (!md::ole::WriteCompoundFile(m_storage, pOut, pError)) {
    m_scLast = kFail;
    return FALSE;
  }
  return TRUE;
}

// ---- Drawing ---------------------------------------------------------------------

BOOL CGIS_OleClientItem::Draw(HDC hdc, const RECT& rect, int nAspect) {
  if (Shown() == nullptr) return FALSE;
  if (nAspect == -1) nAspect = m_view.drawAspect;
  FollowLink();
  if (nAspect == md::ole::kAspectIcon) return md::ole::DrawIconicPicture(hdc, rect, IconForDrawing());
  return Shown()->Draw(hdc, rect) ? TRUE : FALSE;
}

BOOL CGIS_OleClientItem::GetExtent(SIZE* pSize, int nAspect) {
  if (Shown() == nullptr || pSize == nullptr) return FALSE;
  if (nAspect == -1) nAspect = m_view.drawAspect;
  if (nAspect == md::ole::kAspectIcon) {
    *pSize = md::ole::IconicExtent(IconForDrawing());
    m_scLast = kOk;
    return TRUE;
  }
  FollowLink();
  SIZE size{};
  if (!Shown()->GetExtent(&size)) {
    m_scLast = kFail;
    return FALSE;
  }
  *pSize = size;
  m_scLast = kOk;
  return TRUE;
}

// ---- Opening in the server ---------------------------------------------------------

void CGIS_OleClientItem::SetState(int nState) {
  if (m_nState == nState) return;
  m_nState = nState;
  OnChange(changeState, static_cast<DWORD>(nState));
}

long CGIS_OleClientItem::TakeSaved(std::unique_ptr<md::ole::EmbeddedObject> pSaved) {
  if (&pSaved->Class() != &m_pObject->Class()) {
    m_strError = "the server saved an object of another class";
    return kFail;
  }
  if (md::ole::LinkedObject* pLink = m_pObject->AsLink()) {
    // A link's content is its source's: the source file takes the change.
    std::string error;
    if (!pLink->WriteSource(*pSaved, &error)) {
      m_strError = "the link's source was not written: " + error;
      md::layout::HostMessageBox(("无法保存链接的源文件：\n" + error).c_str(), MB_OK | MB_ICONEXCLAMATION);
      return kWriteFault;
    }
  } else {
    m_pObject = std::move(pSaved);
  }
  m_pObject->Save(&m_storage);
  return kOk;
}

long CGIS_OleClientItem::Activate(int nVerb) {
  if (nVerb == kVerbHide || nVerb == kVerbDiscardUndoState) return kOk;
  const std::string& userType = m_pObject->Class().userType;
  if (m_pObject->IsStatic()) {
    m_strError = "a static object opens in no server";
    return kStatic;
  }
  // Why the source could not be read is kept for the caller's record.
  if (m_pObject->AsLink() != nullptr && !ReadLinkSource()) return kFail;
  const md::ole::ObjectServer server = md::ole::FindObjectServer(m_pObject->Class().clsid);
  if (!server) {
    m_strError = "no server is installed for the " + userType;
    return kServerExecFailure;
  }
  md::ole::ServerRequest request;
  request.pObject = m_pObject.get();
  const std::string source = GetLinkSource();
  request.title = source.empty() ? kContainerName : md::ole::FileTitle(source);
  // The server's window shows (open state) until the user closes it.
  const int nStateBefore = m_nState;
  SetState(openState);
  md::ole::ServerResult result = server(request);
  if (!result.bStarted) {
    SetState(nStateBefore);
    m_strError = "the server of the " + userType + " did not start";
    return kServerExecFailure;
  }
  SetState(loadedState);
  if (!result.bConfirmed) return kOk;  // closed by Cancel: nothing changes
  if (result.pSaved != nullptr) {
    const long sc = TakeSaved(std::move(result.pSaved));
    if (Failed(sc)) return sc;
    OnChange(changeSaved, 0);
    OnChange(changeView, static_cast<DWORD>(m_view.drawAspect));
  }
  OnChange(changeClosed, 0);
  return kOk;
}

BOOL CGIS_OleClientItem::DoVerb(int nVerb) {
  if (m_pObject == nullptr) {
    // An unread link keeps why it was refused.
    if (m_strError.empty()) m_strError = "the item holds no object";
    return FALSE;
  }
  const long sc = Activate(nVerb);
  m_scLast = sc;
  m_bLinkUnavailable = Failed(sc);
  if (!Failed(sc)) return TRUE;
  // A failed write of a link's source has had its own prompt.
  if (sc != kWriteFault && !ReportError(sc))
    md::layout::HostMessageBox(kFailedToLaunch, MB_OK | MB_ICONEXCLAMATION);
  return FALSE;
}

BOOL CGIS_OleClientItem::ReportError(long sc) {
  const char* szPrompt = nullptr;
  if (sc == kStatic)
    szPrompt = kStaticObject;
  else if (sc == kNotImpl || sc == kNoInterface || sc == kFail)
    szPrompt = kFailedToConnect;
  else if (sc == kOutOfMemory)
    szPrompt = kNoMemory;
  if (szPrompt == nullptr) return FALSE;
  md::layout::HostMessageBox(szPrompt, MB_OK | MB_ICONEXCLAMATION);
  return TRUE;
}

void CGIS_OleClientItem::Close() {
  if (m_pObject != nullptr && m_nState != loadedState && m_nState != emptyState) SetState(loadedState);
}

void CGIS_OleClientItem::OnChange(int nCode, DWORD /*dwParameter*/) {
  if (nCode != changeClosed) return;
  if (CGIS_OleElement* pElement = CGIS_OleElement::Current()) pElement->FitToObjectAspect();
}

// ---- The clipboard -------------------------------------------------------------------

std::unique_ptr<md::ole::DataSource> CGIS_OleClientItem::OnGetClipboardData(BOOL bIncludeLink) {
  if (m_pObject == nullptr) return nullptr;
  const unsigned* formats = GIS_OleClipboardFormats();
  auto source = std::make_unique<md::ole::DataSource>();
  // A copy of the storage as it would be written now.
  md::ole::Storage copy = m_storage;
  m_pObject->Save(&copy);
  md::ole::WriteObjectView(&copy, m_view);
  std::vector<std::uint8_t> file;
  if (!md::ole::WriteCompoundFile(copy, &file, nullptr)) return nullptr;
  source->CacheData(formats[3], std::move(file));

  md::ole::ObjectDescriptor descriptor;
  descriptor.clsid = m_pObject->Class().clsid;
  descriptor.drawAspect = m_view.drawAspect;
  GetExtent(&descriptor.extent, -1);
  descriptor.status = m_pObject->IsStatic() ? 8u : 0u;  // the static bit of the object's status
  descriptor.userType = m_pObject->Class().userType;
  const std::string path = GetLinkSource();
  descriptor.sourceOfCopy = path.empty() ? kContainerName : path;
  source->CacheData(formats[6], md::ole::EncodeObjectDescriptor(descriptor));
  if (bIncludeLink && !path.empty()) {
    source->CacheData(formats[5], md::ole::EncodeLinkSource(descriptor.clsid, path));
    source->CacheData(formats[7], md::ole::EncodeObjectDescriptor(descriptor));
  }
  return source;
}

const unsigned* GIS_OleClipboardFormats() {
  static const auto table = [] {
    static const char* const kNames[12] = {
        "Native",       "OwnerLink",   "ObjectLink",        "Embedded Object",
        "Embed Source", "Link Source", "Object Descriptor", "Link Source Descriptor",
        "FileName",     "FileNameW",   "Rich Text Format",  "RichEdit Text and Objects"};
    std::array<unsigned, 12> t{};
    for (int i = 0; i < 12; ++i) t[i] = md::ole::RegisterClipboardFormat(kNames[i]);
    return t;
  }();
  return table.data();
}

namespace {
// The formats are registered when the library loads, before any object exists.
const unsigned* const g_pClipboardFormats = GIS_OleClipboardFormats();
}  // namespace
