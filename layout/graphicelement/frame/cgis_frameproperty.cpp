// The element frame's data: defaults, setters, copies and the stored form.
#include "layout/graphicelement/frame/cgis_frameproperty.h"

#include <cstring>
#include <new>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/basilo/propertyset_codec.h"
#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/element/mapdecksymbol.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr const char* kOpen = "CGIS_FrameProperty::Open";

// Which typed view a symbol field keeps.
enum class View { Line, Fill };

IGIS_Symbol* TypedView(IGIS_Symbol* pSymbol, View view) {
  return view == View::Line ? pSymbol->AsLineSymbol() : pSymbol->AsFillSymbol();
}
IGIS_SymbolV2* TypedView(IGIS_SymbolV2* pSymbol, View view) {
  return view == View::Line ? pSymbol->AsLineSymbol() : pSymbol->AsFillSymbol();
}

// The setter rule of every symbol field: NULL is recorded and clears the
// field; the same pointer changes nothing; otherwise the field keeps the
// typed view of a copy. A copy of the wrong kind has no such view: it is
// released (never leaked) and the field stays clear.
template <class TSymbol>
void SetOwnedSymbol(md::basilo::ReleasePtr<TSymbol>& rField, TSymbol* pSymbol, View view,
                    const char* szMethod) {
  if (pSymbol == nullptr) GIS_LOG(GIS_LOG_LEVEL_FRAME, szMethod, "pSymbol == NULL");
  if (pSymbol == rField.get()) return;
  rField.reset();
  if (pSymbol == nullptr) return;
  TSymbol* pCopy = pSymbol->Clone();
  if (pCopy == nullptr) return;
  TSymbol* pTyped = TypedView(pCopy, view);
  if (pTyped == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_FRAME, szMethod, "pSymbol is not of the field's kind");
    pCopy->Release();
    return;
  }
  rField.reset(pTyped);
}

bool InPercentRange(int nValue) { return nValue >= 0 && nValue <= 100; }

// The four per-side values handed out through the pointers that are given.
template <class T>
void CopySidesOut(T* pLeft, T* pRight, T* pTop, T* pBottom, T left, T right, T top, T bottom) {
  if (pLeft != nullptr) *pLeft = left;
  if (pRight != nullptr) *pRight = right;
  if (pTop != nullptr) *pTop = top;
  if (pBottom != nullptr) *pBottom = bottom;
}

template <class T>
void AssignSides(T& rLeft, T& rRight, T& rTop, T& rBottom, T left, T right, T top, T bottom) {
  rLeft = left;
  rRight = right;
  rTop = top;
  rBottom = bottom;
}

// An X or Y value sets both sides of its axis too.
void SetAxis(int& rAxis, int& rSide1, int& rSide2, int nValue) { rAxis = rSide1 = rSide2 = nValue; }

// ---- Writing ----------------------------------------------------------------

// The stored set is written straight into its bytes: the keys are fixed, so
// no property-set object (a few dozen allocations) is needed.
class Writer {
 public:
  void Int(std::string_view key, std::string_view description, int value) {
    set_.Int(key, description, value);
  }
  void Bool(std::string_view key, std::string_view description, bool value) {
    set_.Bool(key, description, value);
  }
  // The flag key and the buffer key of a symbol; the symbol, when held,
  // writes itself into the buffer, which otherwise stays empty.
  template <class TSave>
  void Symbol(std::string_view flagKey, std::string_view flagDescription, std::string_view key,
              std::string_view description, bool held, TSave save) {
    Bool(flagKey, flagDescription, held);
    // Saved straight into the set's bytes (no scratch buffer, no copy).
    set_.SavedInPlace(key, description, [&](IGIS_DataBuffer* pBuffer) {
      if (held) save(pBuffer);
    });
  }
  // Replaces the buffer's content with the set; false when it cannot.
  bool Finish(IGIS_DataBuffer* pBuffer) { return set_.Finish(pBuffer); }

 private:
  md::layout::StoredSetWriter set_;
};

// ---- Reading ----------------------------------------------------------------

// The flag field and the buffer field of one stored symbol (NULL when missing).
struct StoredSymbol {
  const md::basilo::StoredFieldView* pFlag = nullptr;
  const md::basilo::StoredFieldView* pData = nullptr;
};

// Field lists of this thread kept with their capacity, so that reading a
// frame allocates none once one has been read.
std::vector<std::vector<md::basilo::StoredFieldView>>& SpareFieldLists() {
  thread_local std::vector<std::vector<md::basilo::StoredFieldView>> spare;
  return spare;
}

// The stored set read in place; keys are looked up by name (the stored order
// is the written one, so the lookup starts where the last one ended).
class Reader {
 public:
  // bNoBuffer: no buffer was given (recorded; every key is then missing).
  Reader(std::span<const BYTE> bytes, bool bNoBuffer) {
    if (auto& spare = SpareFieldLists(); !spare.empty()) {
      fields_ = std::move(spare.back());
      spare.pop_back();
    }
    if (bNoBuffer) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "pBuffer == NULL");
      return;
    }
    // Empty bytes hold no frame yet (its element was made but never
    // stored): every key is missing and is read so, without a record.
    bNothingStored_ = bytes.empty();
    std::string error;
    if (!md::basilo::DecodePropertySetViews(bytes.data(), bytes.size(), &fields_, &error)) {
      // A damaged buffer reads as an empty set: every key is then missing.
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "damaged frame buffer (%d bytes): %s",
              static_cast<int>(bytes.size()), error.c_str());
      fields_.clear();
    }
  }
  ~Reader() {
    fields_.clear();
    SpareFieldLists().push_back(std::move(fields_));
  }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;
  const md::basilo::StoredFieldView* Find(std::string_view key) {
    // Keys are read in the order they are written: the next field is
    // nearly always the one asked for.
    if (next_ < fields_.size() && fields_[next_].key == key) return &fields_[next_++];
    return md::layout::FindStoredField(fields_, key, &next_);
  }
  // The value of an integer or boolean key; false (value kept) when missing.
  template <class T>
  bool Read(std::string_view key, T* pValue) {
    const md::basilo::StoredFieldView* f = Find(key);
    if (f == nullptr) return false;
    if constexpr (std::is_same_v<T, bool>) {
      *pValue = md::basilo::StoredBool(*f);
    } else {
      *pValue = md::basilo::StoredInt(*f);
    }
    return true;
  }
  // The value of a key, or the fallback when it is missing.
  template <class T>
  void ReadOr(std::string_view key, T* pValue, T fallback) {
    if (!Read(key, pValue)) *pValue = fallback;
  }
  // An integer key; a missing one keeps the value and, with a text, is recorded.
  void ReadIntOrLog(std::string_view key, int* pValue, const char* szMissing) {
    if (!Read(key, pValue) && szMissing != nullptr && !bNothingStored_)
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "%s", szMissing);
  }
  // The flag and buffer fields of a symbol of each library, found in the
  // stored order (flag, buffer, flag 2, buffer 2) so that no lookup scans
  // the set again; the symbols are rebuilt from them later. Records the
  // missing flag keys: the first alone, and both together with the second
  // text.
  void FindSymbolFields(std::string_view flagKey, std::string_view key, std::string_view flag2Key,
                        std::string_view key2, const char* szMissing, const char* szBothMissing,
                        StoredSymbol* pFirst, StoredSymbol* pSecond) {
    *pFirst = {Find(flagKey), Find(key)};
    *pSecond = {Find(flag2Key), Find(key2)};
    const bool bFlag = pFirst->pFlag != nullptr;
    if (bNothingStored_) return;
    if (!bFlag) GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "%s", szMissing);
    if (pSecond->pFlag == nullptr && !bFlag) GIS_LOG(GIS_LOG_LEVEL_CHECK, kOpen, "%s", szBothMissing);
  }

 private:
  std::vector<md::basilo::StoredFieldView> fields_;
  std::size_t next_ = 0;
  bool bNothingStored_ = false;
};

// A stored symbol of either library rebuilt from its stored bytes.
IGIS_Symbol* SymbolFromStored(const md::basilo::StoredFieldView* pField, std::string_view key,
                              IGIS_Symbol* /*tag*/) {
  return GetSymbolFromStored(pField, key);
}
IGIS_SymbolV2* SymbolFromStored(const md::basilo::StoredFieldView* pField, std::string_view key,
                                IGIS_SymbolV2* /*tag*/) {
  return GetSymbol2FromStored(pField, key);
}

// The symbol of the buffer key when its flag key is present and true; NULL
// otherwise or when it cannot be rebuilt. The result is a new symbol of the
// wanted kind, owned by the caller.
template <class TSymbol>
TSymbol* ReadSymbol(const StoredSymbol& stored, std::string_view key, View view) {
  if (stored.pFlag == nullptr || !md::basilo::StoredBool(*stored.pFlag)) return nullptr;
  TSymbol* pSymbol = SymbolFromStored(stored.pData, key, static_cast<TSymbol*>(nullptr));
  if (pSymbol == nullptr) return nullptr;
  if (TypedView(pSymbol, view) == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_SYMBOL, kOpen, "%.*s: stored symbol of another kind", static_cast<int>(key.size()),
            key.data());
    pSymbol->Release();
    return nullptr;
  }
  return pSymbol;
}

// A stored symbol replaces the held one: the field keeps its typed view, as
// the setter keeps that of a copy (the symbol read is new and nobody else's,
// so it is kept instead of copied); a false flag, or one that cannot be
// rebuilt, keeps the held one.
template <class TSymbol>
void RestoreSymbol(md::basilo::ReleasePtr<TSymbol>& rField, const StoredSymbol& stored, std::string_view key,
                   View view) {
  TSymbol* pSymbol = ReadSymbol<TSymbol>(stored, key, view);
  if (pSymbol == nullptr) return;
  rField.reset(TypedView(pSymbol, view));
}

}  // namespace

// ---- Life -------------------------------------------------------------------

CGIS_FrameProperty::CGIS_FrameProperty() {
  IGIS_GlobalProperties* pGlobals = GIS_GetGlobalProperties();
  IGIS_Field* pKey =
      pGlobals != nullptr ? pGlobals->GetProperty("GIS_LAYOUT_LEGENDELEMENT_BACKSYMBOL") : nullptr;
  if (pKey == nullptr || !pKey->GetBool()) return;

  if (IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject()) {
    if (IGIS_Symbol* pSymbol = pFactory->CreateSymbol(GIS_SYMBOL_BACKGROUND)) {
      IGIS_SymbolPart* pPart = pSymbol->GetType17Part();
      if (pPart != nullptr) {
        pPart->SetColor(kWhite);
        pPart->SetColor2(kWhite);
        pPart->SetColor3(kWhite);
        m_pBackSymbol.reset(pPart);
      } else {
        pSymbol->Release();
      }
    }
  }
  if (IGIS_SymbolV2Factory* pFactory2 = GIS_GetSymbol2FactoryObject()) {
    const int nKind = GIS_SYMBOLV2_BACKGROUND;
    if (IGIS_SymbolV2* pSymbol = pFactory2->CreateSymbol(nKind)) {
      IGIS_SymbolV2* pFill = pSymbol->AsFillSymbol();
      if (pFill != nullptr) {
        const COLORREF white = kWhite;
        pFill->SetColor(white);
        pFill->SetColor2(white);
        m_pBackSymbol2.reset(pFill);
      } else {
        pSymbol->Release();
      }
    }
  }
}

CGIS_FrameProperty::~CGIS_FrameProperty() = default;

void CGIS_FrameProperty::Release() { delete this; }

// ---- Gaps, flags and roundings ---------------------------------------------

void CGIS_FrameProperty::SetBorderX(int nValue) {
  SetAxis(m_nBorderX, m_nBorderLeft, m_nBorderRight, nValue);
}
void CGIS_FrameProperty::SetBorderY(int nValue) {
  SetAxis(m_nBorderY, m_nBorderTop, m_nBorderBottom, nValue);
}
void CGIS_FrameProperty::GetBorderVisible(bool* pLeft, bool* pRight, bool* pTop, bool* pBottom) {
  CopySidesOut(pLeft, pRight, pTop, pBottom, m_bBorderLeftVisible, m_bBorderRightVisible, m_bBorderTopVisible,
               m_bBorderBottomVisible);
}
void CGIS_FrameProperty::SetBorderVisible(bool bLeft, bool bRight, bool bTop, bool bBottom) {
  AssignSides(m_bBorderLeftVisible, m_bBorderRightVisible, m_bBorderTopVisible, m_bBorderBottomVisible, bLeft,
              bRight, bTop, bBottom);
}
void CGIS_FrameProperty::GetBorderGaps(int* pLeft, int* pRight, int* pTop, int* pBottom) {
  CopySidesOut(pLeft, pRight, pTop, pBottom, m_nBorderLeft, m_nBorderRight, m_nBorderTop, m_nBorderBottom);
}
void CGIS_FrameProperty::SetBorderGaps(int nLeft, int nRight, int nTop, int nBottom) {
  AssignSides(m_nBorderLeft, m_nBorderRight, m_nBorderTop, m_nBorderBottom, nLeft, nRight, nTop, nBottom);
}
void CGIS_FrameProperty::SetBackX(int nValue) { SetAxis(m_nBackX, m_nBackLeft, m_nBackRight, nValue); }
void CGIS_FrameProperty::SetBackY(int nValue) { SetAxis(m_nBackY, m_nBackTop, m_nBackBottom, nValue); }
void CGIS_FrameProperty::GetBackGaps(int* pLeft, int* pRight, int* pTop, int* pBottom) {
  CopySidesOut(pLeft, pRight, pTop, pBottom, m_nBackLeft, m_nBackRight, m_nBackTop, m_nBackBottom);
}
void CGIS_FrameProperty::SetBackGaps(int nLeft, int nRight, int nTop, int nBottom) {
  AssignSides(m_nBackLeft, m_nBackRight, m_nBackTop, m_nBackBottom, nLeft, nRight, nTop, nBottom);
}
void CGIS_FrameProperty::SetShowOffsetRounding(int nValue) {
  if (InPercentRange(nValue)) m_nShowOffsetRounding = nValue;
}
void CGIS_FrameProperty::SetBorderRounding(int nValue) {
  if (InPercentRange(nValue)) m_nBorderRounding = nValue;
}
void CGIS_FrameProperty::SetBackRounding(int nValue) {
  if (InPercentRange(nValue)) m_nBackRounding = nValue;
}

// ---- Symbols ------------------------------------------------------------------

void CGIS_FrameProperty::SetBorderSymbolPtr(IGIS_Symbol* pSymbol) {
  SetOwnedSymbol(m_pBorderSymbol, pSymbol, View::Line, "CGIS_FrameProperty::SetBorderSymbolPtr");
}
void CGIS_FrameProperty::SetBorderSymbol2Ptr(IGIS_SymbolV2* pSymbol) {
  SetOwnedSymbol(m_pBorderSymbol2, pSymbol, View::Line, "CGIS_FrameProperty::SetBorderSymbol2Ptr");
}
void CGIS_FrameProperty::SetBackSymbolPtr(IGIS_Symbol* pSymbol) {
  SetOwnedSymbol(m_pBackSymbol, pSymbol, View::Fill, "CGIS_FrameProperty::SetBackSymbolPtr");
}
void CGIS_FrameProperty::SetBackSymbol2Ptr(IGIS_SymbolV2* pSymbol) {
  SetOwnedSymbol(m_pBackSymbol2, pSymbol, View::Fill, "CGIS_FrameProperty::SetBackSymbol2Ptr");
}
void CGIS_FrameProperty::SetShadowSymbolPtr(IGIS_Symbol* pSymbol) {
  SetOwnedSymbol(m_pShadowSymbol, pSymbol, View::Fill, "CGIS_FrameProperty::SetShadowSymbolPtr");
}
void CGIS_FrameProperty::SetShadowSymbol2Ptr(IGIS_SymbolV2* pSymbol) {
  SetOwnedSymbol(m_pShadowSymbol2, pSymbol, View::Fill, "CGIS_FrameProperty::SetShadowSymbol2Ptr");
}

// ---- Copy ---------------------------------------------------------------------

CGIS_FrameProperty* CGIS_FrameProperty::Clone() {
  auto* pCopy = md::basilo::MakeOrNull<CGIS_FrameProperty>("CGIS_FrameProperty::Clone");
  if (pCopy == nullptr) return nullptr;
  // Through the copy's own setters, so the per-side gaps set last win over
  // the X and Y values. A symbol the source lacks clears the copy's (its
  // default background too) without the record a caller's NULL gets.
  auto symbol = [pCopy](auto set, auto& rCopyField, auto* pSymbol) {
    if (pSymbol != nullptr) {
      (pCopy->*set)(pSymbol);
    } else {
      rCopyField.reset();
    }
  };
  symbol(&CGIS_FrameProperty::SetBackSymbolPtr, pCopy->m_pBackSymbol, m_pBackSymbol.get());
  symbol(&CGIS_FrameProperty::SetBackSymbol2Ptr, pCopy->m_pBackSymbol2, m_pBackSymbol2.get());
  pCopy->SetBackX(m_nBackX);
  pCopy->SetBackY(m_nBackY);
  symbol(&CGIS_FrameProperty::SetBorderSymbolPtr, pCopy->m_pBorderSymbol, m_pBorderSymbol.get());
  symbol(&CGIS_FrameProperty::SetBorderSymbol2Ptr, pCopy->m_pBorderSymbol2, m_pBorderSymbol2.get());
  pCopy->SetBorderX(m_nBorderX);
  pCopy->SetBorderY(m_nBorderY);
  symbol(&CGIS_FrameProperty::SetShadowSymbolPtr, pCopy->m_pShadowSymbol, m_pShadowSymbol.get());
  symbol(&CGIS_FrameProperty::SetShadowSymbol2Ptr, pCopy->m_pShadowSymbol2, m_pShadowSymbol2.get());
  pCopy->SetShadowOffSetX(m_nShadowOffSetX);
  pCopy->SetShadowOffSetY(m_nShadowOffSetY);
  pCopy->SetBackRounding(m_nBackRounding);
  pCopy->SetBorderRounding(m_nBorderRounding);
  pCopy->SetShowOffsetRounding(m_nShowOffsetRounding);
  pCopy->SetBorderVisible(m_bBorderLeftVisible, m_bBorderRightVisible, m_bBorderTopVisible,
                          m_bBorderBottomVisible);
  pCopy->SetBorderGaps(m_nBorderLeft, m_nBorderRight, m_nBorderTop, m_nBorderBottom);
  pCopy->SetBackGaps(m_nBackLeft, m_nBackRight, m_nBackTop, m_nBackBottom);
  pCopy->SetDraftMode(m_bDraftMode);
  return pCopy;
}

// ---- Stored form ----------------------------------------------------------------

void CGIS_FrameProperty::SaveKey(std::vector<BYTE>* pKey) {
  pKey->clear();
  auto put = [pKey](const void* p, std::size_t n) {
    const auto* b = static_cast<const BYTE*>(p);
    pKey->insert(pKey->end(), b, b + n);
  };
  const int values[] = {m_nBackX,
                        m_nBackY,
                        m_nBorderX,
                        m_nBorderY,
                        m_nShadowOffSetX,
                        m_nShadowOffSetY,
                        m_nBorderLeft,
                        m_nBorderRight,
                        m_nBorderTop,
                        m_nBorderBottom,
                        m_nBackLeft,
                        m_nBackRight,
                        m_nBackTop,
                        m_nBackBottom,
                        m_nBackRounding,
                        m_nBorderRounding,
                        m_nShowOffsetRounding};
  const bool flags[] = {m_bBorderLeftVisible, m_bBorderRightVisible, m_bBorderTopVisible,
                        m_bBorderBottomVisible, m_bDraftMode};
  put(values, sizeof values);
  put(flags, sizeof flags);
  if (m_pSymbolBytes == nullptr) m_pSymbolBytes.reset(GIS_CreateDataBufferObject(0));
  IGIS_DataBuffer* b = m_pSymbolBytes.get();
  auto symbol = [&](bool bHeld, auto save) {
    const BYTE held = bHeld ? 1 : 0;
    put(&held, 1);
    if (!bHeld || b == nullptr || !b->SetSize(0)) return;
    save(b);
    const int n = b->GetSize();
    put(&n, sizeof n);
    if (n > 0 && b->GetData() != nullptr) put(b->GetData(), static_cast<std::size_t>(n));
  };
  symbol(m_pBackSymbol != nullptr, [this](IGIS_DataBuffer* p) { m_pBackSymbol->Save(p); });
  symbol(m_pBackSymbol2 != nullptr, [this](IGIS_DataBuffer* p) { m_pBackSymbol2->Save(p, FALSE); });
  symbol(m_pBorderSymbol != nullptr, [this](IGIS_DataBuffer* p) { m_pBorderSymbol->Save(p); });
  symbol(m_pBorderSymbol2 != nullptr, [this](IGIS_DataBuffer* p) { m_pBorderSymbol2->Save(p, FALSE); });
  symbol(m_pShadowSymbol != nullptr, [this](IGIS_DataBuffer* p) { m_pShadowSymbol->Save(p); });
  symbol(m_pShadowSymbol2 != nullptr, [this](IGIS_DataBuffer* p) { m_pShadowSymbol2->Save(p, FALSE); });
}

bool CGIS_FrameProperty::Save(IGIS_DataBuffer* pBuffer) {
  if (pBuffer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_FrameProperty::Save", "pBuffer == NULL");
    return true;
  }
  // The stored bytes follow from the key alone: an unchanged one gives the
  // bytes kept from the last save.
  SaveKey(&m_nextKey);
  if (!m_saved.empty() && m_nextKey == m_savedKey && pBuffer->SetSize(static_cast<int>(m_saved.size()))) {
    std::memcpy(pBuffer->GetData(), m_saved.data(), m_saved.size());
    return true;
  }
  m_saved.clear();
  Writer w;
  auto save1 = [](IGIS_Symbol* s) { return [s](IGIS_DataBuffer* b) { s->Save(b); }; };
  auto save2 = [](IGIS_SymbolV2* s) { return [s](IGIS_DataBuffer* b) { s->Save(b, FALSE); }; };

  w.Int("BackX", "背景X", m_nBackX);
  w.Int("BackY", "背景Y", m_nBackY);
  w.Symbol("IsBackSymbol", "是否存在背景符号", "BackSymbol", "背景符号", m_pBackSymbol != nullptr,
           save1(m_pBackSymbol.get()));
  w.Symbol("IsBackSymbol2", "是否存在背景符号", "BackSymbol2", "背景符号", m_pBackSymbol2 != nullptr,
           save2(m_pBackSymbol2.get()));
  w.Int("BorderX", "边界X", m_nBorderX);
  w.Int("BorderY", "边界Y", m_nBorderY);
  w.Symbol("IsBorderSymbol", "是否存在边界符号", "BorderSymbol", "边界符号", m_pBorderSymbol != nullptr,
           save1(m_pBorderSymbol.get()));
  w.Symbol("IsBorderSymbol2", "是否存在边界符号", "BorderSymbol2", "边界符号", m_pBorderSymbol2 != nullptr,
           save2(m_pBorderSymbol2.get()));
  w.Int("ShadowOffSetX", "阴影X", m_nShadowOffSetX);
  w.Int("ShadowOffSetY", "阴影Y", m_nShadowOffSetY);
  w.Symbol("IsShadowOffSetSymbol", "是否存在阴影符号", "ShadowOffSetSymbol", "阴影符号",
           m_pShadowSymbol != nullptr, save1(m_pShadowSymbol.get()));
  w.Symbol("IsShadowOffSetSymbol2", "是否存在阴影符号", "ShadowOffSetSymbol2", "阴影符号",
           m_pShadowSymbol2 != nullptr, save2(m_pShadowSymbol2.get()));
  w.Int("BorderLeft", "BorderLeft", m_nBorderLeft);
  w.Int("BorderRight", "BorderRight", m_nBorderRight);
  w.Int("BorderTop", "BorderTop", m_nBorderTop);
  w.Int("BorderBottom", "BorderBottom", m_nBorderBottom);
  w.Bool("BorderLeftVisible", "BorderLeftVisible", m_bBorderLeftVisible);
  w.Bool("BorderRightVisible", "BorderRightVisible", m_bBorderRightVisible);
  w.Bool("BorderTopVisible", "BorderTopVisible", m_bBorderTopVisible);
  w.Bool("BorderBottomVisible", "BorderBottomVisible", m_bBorderBottomVisible);
  w.Int("BackLeft", "BackLeft", m_nBackLeft);
  w.Int("BackRight", "BackRight", m_nBackRight);
  w.Int("BackTop", "BackTop", m_nBackTop);
  w.Int("BackBottom", "BackBottom", m_nBackBottom);
  w.Int("BackRounding", "BackRounding", m_nBackRounding);
  w.Int("BorderRounding", "BorderRounding", m_nBorderRounding);
  w.Int("ShowOffsetRounding", "ShowOffsetRounding", m_nShowOffsetRounding);
  w.Bool("DraftMode", "DraftMode", m_bDraftMode);
  if (w.Finish(pBuffer) && pBuffer->GetSize() > 0 && pBuffer->GetData() != nullptr) {
    m_saved.assign(pBuffer->GetData(), pBuffer->GetData() + pBuffer->GetSize());
    m_savedKey.swap(m_nextKey);
  }
  return true;
}

bool CGIS_FrameProperty::Open(IGIS_DataBuffer* pBuffer) {
  const int size = pBuffer != nullptr ? pBuffer->GetSize() : 0;
  const BYTE* data = size > 0 ? pBuffer->GetData() : nullptr;
  const bool bNoBuffer = pBuffer == nullptr || (size > 0 && data == nullptr);
  return OpenFrom(
      bNoBuffer ? std::span<const BYTE>() : std::span<const BYTE>(data, static_cast<std::size_t>(size)),
      bNoBuffer);
}

bool CGIS_FrameProperty::OpenStored(std::span<const BYTE> bytes) { return OpenFrom(bytes, false); }

bool CGIS_FrameProperty::OpenFrom(std::span<const BYTE> bytes, bool bNoBuffer) {
  Reader r(bytes, bNoBuffer);
  r.ReadIntOrLog("BackX", &m_nBackX, nullptr);
  r.ReadIntOrLog("BackY", &m_nBackY, "BackY 属性为空");
  StoredSymbol back, back2, border, border2, shadow, shadow2;
  r.FindSymbolFields("IsBackSymbol", "BackSymbol", "IsBackSymbol2", "BackSymbol2", "IsBackSymbol 属性为空",
                     "IsBackSymbol、IsBackSymbol2 属性全为空", &back, &back2);
  r.ReadIntOrLog("BorderX", &m_nBorderX, "BorderX 属性为空");
  r.ReadIntOrLog("BorderY", &m_nBorderY, "BorderY 属性为空");
  r.FindSymbolFields("IsBorderSymbol", "BorderSymbol", "IsBorderSymbol2", "BorderSymbol2",
                     "IsBorderSymbol 属性为空", "BorderSymbol、BorderSymbol2 属性全为空", &border, &border2);
  r.ReadIntOrLog("ShadowOffSetX", &m_nShadowOffSetX, "ShadowOffSetX 属性为空");
  r.ReadIntOrLog("ShadowOffSetY", &m_nShadowOffSetY, "ShadowOffSetY 属性为空");
  r.FindSymbolFields("IsShadowOffSetSymbol", "ShadowOffSetSymbol", "IsShadowOffSetSymbol2",
                     "ShadowOffSetSymbol2", "IsShadowOffSetSymbol 属性为空",
                     "IsShadowOffSetSymbol、IsShadowOffSetSymbol2 属性全为空", &shadow, &shadow2);

  // Per-side values; a buffer written before they existed derives them from
  // the X and Y values just read, with every side visible.
  r.ReadOr("BorderLeft", &m_nBorderLeft, m_nBorderX);
  r.ReadOr("BorderRight", &m_nBorderRight, m_nBorderX);
  r.ReadOr("BorderTop", &m_nBorderTop, m_nBorderY);
  r.ReadOr("BorderBottom", &m_nBorderBottom, m_nBorderY);
  r.ReadOr("BorderLeftVisible", &m_bBorderLeftVisible, true);
  r.ReadOr("BorderRightVisible", &m_bBorderRightVisible, true);
  r.ReadOr("BorderTopVisible", &m_bBorderTopVisible, true);
  r.ReadOr("BorderBottomVisible", &m_bBorderBottomVisible, true);
  r.ReadOr("BackLeft", &m_nBackLeft, m_nBackX);
  r.ReadOr("BackRight", &m_nBackRight, m_nBackX);
  r.ReadOr("BackTop", &m_nBackTop, m_nBackY);
  r.ReadOr("BackBottom", &m_nBackBottom, m_nBackY);
  // Roundings go through their setters: a stored value outside 0..100
  // leaves the field as it is, like a typed one.
  int nRounding = 0;
  if (r.Read("BackRounding", &nRounding)) SetBackRounding(nRounding);
  if (r.Read("BorderRounding", &nRounding)) SetBorderRounding(nRounding);
  if (r.Read("ShowOffsetRounding", &nRounding)) SetShowOffsetRounding(nRounding);
  r.Read("DraftMode", &m_bDraftMode);

  // Symbols: a stored one replaces the held one (a copy is kept); a false
  // flag, or one that cannot be rebuilt, keeps what is held.
  RestoreSymbol(m_pBackSymbol, back, "BackSymbol", View::Fill);
  RestoreSymbol(m_pBackSymbol2, back2, "BackSymbol2", View::Fill);
  RestoreSymbol(m_pBorderSymbol, border, "BorderSymbol", View::Line);
  RestoreSymbol(m_pBorderSymbol2, border2, "BorderSymbol2", View::Line);
  RestoreSymbol(m_pShadowSymbol, shadow, "ShadowOffSetSymbol", View::Fill);
  RestoreSymbol(m_pShadowSymbol2, shadow2, "ShadowOffSetSymbol2", View::Fill);
  return true;
}

// ---- Rectangles -----------------------------------------------------------------

namespace {
std::int32_t Sum(std::int32_t a, std::int64_t b) { return md::basilo::detail::ClampToInt32(a + b); }
}  // namespace

SGIS_Rect CGIS_FrameProperty::BorderRect(const SGIS_Rect& e) const {
  return SGIS_Rect(Sum(e.left, -std::int64_t{m_nBorderLeft}), Sum(e.top, m_nBorderTop),
                   Sum(e.right, m_nBorderRight), Sum(e.bottom, -std::int64_t{m_nBorderBottom}));
}
SGIS_Rect CGIS_FrameProperty::BackRect(const SGIS_Rect& e) const {
  return SGIS_Rect(Sum(e.left, -std::int64_t{m_nBackLeft}), Sum(e.top, m_nBackTop),
                   Sum(e.right, m_nBackRight), Sum(e.bottom, -std::int64_t{m_nBackBottom}));
}
SGIS_Rect CGIS_FrameProperty::ShadowRect(const SGIS_Rect& e) const {
  return SGIS_Rect(Sum(e.left, m_nShadowOffSetX), Sum(e.top, m_nShadowOffSetY),
                   Sum(e.right, m_nShadowOffSetX), Sum(e.bottom, m_nShadowOffSetY));
}

int CGIS_FrameProperty::VisibleSides() const {
  return (m_bBorderLeftVisible ? GIS_FRAME_SIDE_LEFT : 0) |
         (m_bBorderRightVisible ? GIS_FRAME_SIDE_RIGHT : 0) | (m_bBorderTopVisible ? GIS_FRAME_SIDE_TOP : 0) |
         (m_bBorderBottomVisible ? GIS_FRAME_SIDE_BOTTOM : 0);
}
