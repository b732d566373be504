// The embedded object's container side: creation, the byte image, drawing.
#include "layout/graphicelement/ole/cgis_oleclientitem.h"

#include "layout/graphicelement/element/userinterface.h"
#include "layout/graphicelement/ole/cgis_oleelement.h"
#include "platform/ole/clipformat.h"

namespace {

// Status codes kept as the item's last status.
constexpr long kOk = 0;
constexpr long kFail = static_cast<long>(0x80004005u);
constexpr long kNotImpl = static_cast<long>(0x80004001u);

constexpr const char* kFailedToLaunch = "无法启动对象的服务程序。";

}  // namespace

CGIS_OleClientItem::~CGIS_OleClientItem() { Close(); }

BOOL CGIS_OleClientItem::FinishCreate(std::unique_ptr<md::ole::EmbeddedObject> pObject) {
  if (pObject == nullptr) {
    m_scLast = kFail;
    return FALSE;
  }
  m_pObject = std::move(pObject);
  m_storage = md::ole::Storage{};
  m_pObject->Save(&m_storage);
  m_nItemType = typeEmbedded;
  m_nState = loadedState;
  m_scLast = kOk;
  return TRUE;
}

BOOL CGIS_OleClientItem::CreateNewItem(const md::ole::ObjectClass& objectClass) {
  m_nItemNumber = 4;
  return FinishCreate(objectClass.createNew ? objectClass.createNew() : nullptr);
}

BOOL CGIS_OleClientItem::CreateFromFile(const std::string& path, const md::ole::ObjectClass* pClass) {
  m_nItemNumber = 1;
  std::string error;
  // Without a class, the first registered class that takes the file's content.
  for (const md::ole::ObjectClass* c : md::ole::RegisteredClasses()) {
    if (pClass != nullptr && c != pClass) continue;
    if (auto object = c->createFromFile(path, &error)) return FinishCreate(std::move(object));
  }
  m_scLast = kFail;
  return FALSE;
}

BOOL CGIS_OleClientItem::CreateFromInsertDialog(const md::layout::SGIS_OleInsertChoice& choice) {
  switch (choice.nSelection) {
    case md::layout::SGIS_OleInsertChoice::fromFile:
      return CreateFromFile(choice.path, md::ole::FindClassByProgId(choice.progId));
    case md::layout::SGIS_OleInsertChoice::linkToFile:
      m_scLast = kNotImpl;
      return FALSE;
    default: {
      const md::ole::ObjectClass* c = md::ole::FindClassByProgId(choice.progId);
      if (c == nullptr) {
        m_scLast = kFail;
        return FALSE;
      }
      return CreateNewItem(*c);
    }
  }
}

BOOL CGIS_OleClientItem::ReadItem(const std::uint8_t* pData, std::size_t nSize, std::string* pError) {
  std::string scratch;
  std::string& error = pError != nullptr ? *pError : scratch;
  md::ole::Storage storage;
  if (!md::ole::ReadCompoundFile(pData, nSize, &storage, &error)) {
    m_scLast = kFail;
    return FALSE;
  }
  const md::ole::ObjectClass* c = md::ole::FindClass(storage.clsid);
  if (c == nullptr || !c->createNew) {
    error = "object of an unregistered class: only in-process classes can be loaded";
    m_scLast = kFail;
    return FALSE;
  }
  std::unique_ptr<md::ole::EmbeddedObject> object = c->createNew();
  if (object == nullptr || !object->Load(storage, &error)) {
    m_scLast = kFail;
    return FALSE;
  }
  m_storage = std::move(storage);
  m_pObject = std::move(object);
  m_scLast = kOk;
  return TRUE;
}

BOOL CGIS_OleClientItem::WriteItem(std::vector<std::uint8_t>* pOut, std::string* pError) {
  if (m_pObject == nullptr) return FALSE;
  // Streams the object does not know (another writer's) are kept.
  m_pObject->Save(&m_storage);
  if (!md::ole::WriteCompoundFile(m_storage, pOut, pError)) {
    m_scLast = kFail;
    return FALSE;
  }
  return TRUE;
}

BOOL CGIS_OleClientItem::Draw(HDC hdc, const RECT& rect, int /*nAspect*/) {
  // Every aspect shows the content: the in-process classes have no icons.
  if (m_pObject == nullptr) return FALSE;
  return m_pObject->Draw(hdc, rect) ? TRUE : FALSE;
}

BOOL CGIS_OleClientItem::GetExtent(SIZE* pSize, int /*nAspect*/) {
  if (m_pObject == nullptr || pSize == nullptr) return FALSE;
  SIZE size{};
  if (!m_pObject->GetExtent(&size)) {
    m_scLast = kFail;
    return FALSE;
  }
  *pSize = size;
  m_scLast = kOk;
  return TRUE;
}

BOOL CGIS_OleClientItem::DoVerb(int /*nVerb*/) {
  if (m_pObject == nullptr) return FALSE;
  m_bLinkUnavailable = true;
  m_scLast = kNotImpl;
  md::layout::HostMessageBox(kFailedToLaunch, MB_OK | MB_ICONEXCLAMATION);
  return FALSE;
}

void CGIS_OleClientItem::Close() {
  if (m_pObject != nullptr && m_nState != loadedState && m_nState != emptyState) {
    m_nState = loadedState;
    OnChange(changeState, loadedState);
  }
}

void CGIS_OleClientItem::OnChange(int nCode, DWORD /*dwParameter*/) {
  if (nCode != changeClosed) return;
  if (CGIS_OleElement* pElement = CGIS_OleElement::Current()) pElement->FitToObjectAspect();
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
