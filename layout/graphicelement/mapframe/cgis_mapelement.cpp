// The map frame: construction, accessors, copies, stored state, the subject
// and the messages of the bound map.
#include "layout/graphicelement/mapframe/cgis_mapelement.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "host/basilo/igis_geopointlist.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/igis_propertyset.h"
#include "host/basilo/makeornull.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/element/cgis_spatialreferenceholder.h"
#include "layout/graphicelement/element/mapdeckutf8.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/mapframe/mapelementstore.h"

namespace {

constexpr const char* kClass = "CGIS_MapElement";
// What Archive records its failures under (the class and the method).
constexpr const char* kArchive = "CGIS_MapElement::Archive";

// Line style of the frame's default border.
constexpr int kDefaultBorderStyle = 0xD04;

using md::layout::detail::DataBufferPtr;
using md::layout::detail::PropertySetPtr;
namespace keys = md::layout::detail::keys;

// The border symbol every new frame starts with.
void GiveDefaultBorder(IGIS_FrameProperty* pFrame) {
  IGIS_SymbolFactory* pFactory = GIS_GetSymbolFactoryObject();
  IGIS_Symbol* pSymbol = pFactory != nullptr ? pFactory->CreateSymbol(GIS_SYMBOL_LINE) : nullptr;
  if (pSymbol == nullptr) return;
  IGIS_SymbolPart* pLine = pSymbol->GetLinePart();
  if (pLine != nullptr) {
    pLine->SetCode(kDefaultBorderStyle);
    pFrame->SetBorderSymbolPtr(pLine);
  }
  pFrame->SetBorderX(0);
  pFrame->SetBorderY(0);
  pSymbol->Release();
}

}  // namespace

// ---- Construction and destruction ------------------------------------------

CGIS_MapElement::CGIS_MapElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature)
    : CGIS_ElementImpl(kClass, "地图框架") {
  if (pOwner == nullptr) return;
  m_pFrame.reset(GIS_CreateFramePropertyObject());
  if (m_pFrame != nullptr) GiveDefaultBorder(m_pFrame.get());
  m_pGrids.reset(md::basilo::MakeOrNull<CGIS_MapGrids>("CGIS_MapElement::CGIS_MapElement"));
  if (m_pGrids != nullptr) m_pGrids->SetMapElement(this);

  SGIS_ElementBindOptions options;
  options.szType = GIS_TYPE_GRAPHIC_ELEMENT_MAP;
  options.nKind = GIS_FEATURE_KIND_RECTANGLE;
  options.nLockOnNew = 1;
  options.nCanConvert = 1;
  const CGIS_ElementCore::Binding binding = m_core.Bind(pOwner, pFeature, options);
  if (binding == CGIS_ElementCore::Binding::Unbound) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method(kClass).c_str(), "不能创建 m_pFeature == NULL");
    return;
  }
  if (binding == CGIS_ElementCore::Binding::Created) {
    IGIS_FeatureAttributes* pAttr = m_core.m_pFeature->GetAttributes();
    PropertySetPtr set(GIS_CreatePropertySetObject());
    DataBufferPtr buffer(GIS_CreateDataBufferObject(0));
    if (pAttr != nullptr && set && buffer) {
      md::layout::detail::DeclareCustomKeys(set.get(), m_strMapName.c_str(), m_dFixScale, m_nExtentType,
                                            m_bDisableAutoControlVectorSubLayer);
      if (set->Archive(buffer.get(), GIS_ARCHIVE_WRITE, 0)) pAttr->SetDataBuffer("Custom", buffer.get(), 0);
    }
  }
  m_pSubject = GIS_CreateSubjectObject();
  // The host's feature set hears every message of the frame.
  if (m_pSubject != nullptr) m_pSubject->Attach(pOwner, 0);
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  if (pFactory != nullptr) m_pSpatialReference.reset(pFactory->CreateSpatialReference(0));
}

CGIS_MapElement::~CGIS_MapElement() {
  // Followers that were not told of the deletion learn of it now, so that
  // none keeps a pointer to this frame.
  if (!m_bDeletionSent && m_pSubject != nullptr) {
    m_bDeletionSent = true;
    m_pSubject->Notify(GIS_MESSAGE_ELEMENT_MAP_DEL, 0, this);
  }
  DetachFromMap();
  m_pMainObject.reset();
  if (m_pSubject != nullptr) {
    m_pSubject->DetachAll();
    GIS_ReleaseSubjectObject(m_pSubject);
    m_pSubject = nullptr;
  }
  m_pFrame.reset();
  m_pGrids.reset();
  m_pSpatialReference.reset();
  m_pInnerBorder.reset();
  m_pOuterBorder.reset();
  ReplaceClipPolygon(nullptr);
}

const char* CGIS_MapElement::GetType() { return GIS_TYPE_GRAPHIC_ELEMENT_MAP; }

// ---- Flags and simple state
// ---------------------------------------------------

bool CGIS_MapElement::GetHVScaleRatio() {
  return m_nExtentType == GIS_MAP_EXTENT_FIXED_EXTENT ? true : m_core.m_bKeepHVScaleRatio;
}

void CGIS_MapElement::SetHVScaleRatio(bool bKeep) {
  // A fixed extent fixes the ratio: the flag stays as it was.
  if (m_nExtentType == GIS_MAP_EXTENT_FIXED_EXTENT) return;
  m_core.m_bKeepHVScaleRatio = bKeep;
}

void CGIS_MapElement::SetExtentType(int nType) {
  m_nExtentType = nType;
  if (nType == GIS_MAP_EXTENT_FIXED_EXTENT) m_core.m_bKeepHVScaleRatio = true;
}

SGIS_DRect* CGIS_MapElement::GetMapBound(SGIS_DRect* pBound) {
  if (pBound != nullptr) *pBound = m_bound;
  return pBound;
}

bool CGIS_MapElement::SetFramePropertyPtr(IGIS_FrameProperty* pFrame) {
  if (pFrame == m_pFrame.get()) return true;
  m_pFrame.reset(pFrame != nullptr ? pFrame->Clone() : nullptr);
  return true;
}

IGIS_MapGrids* CGIS_MapElement::GetMapGrids() { return m_pGrids.get(); }

void CGIS_MapElement::SetInnerMapBorder(IGIS_MapBorder* pBorder) {
  ReplaceBorder(&m_pInnerBorder, &m_keptInnerBorder, pBorder);
}

void CGIS_MapElement::SetOuterMapBorder(IGIS_MapBorder* pBorder) {
  ReplaceBorder(&m_pOuterBorder, &m_keptOuterBorder, pBorder);
}

void CGIS_MapElement::ReplaceBorder(md::basilo::ReleasePtr<IGIS_MapBorder>* pHeld,
                                    std::vector<unsigned char>* pKept, IGIS_MapBorder* pBorder) {
  if (pBorder != nullptr && pBorder == pHeld->get()) return;
  // A border given or removed on purpose replaces one kept as stored.
  pKept->clear();
  if (pBorder == pHeld->get()) return;
  pHeld->reset(pBorder != nullptr ? pBorder->Clone() : nullptr);
}

void CGIS_MapElement::CopyMapName(const char* szName) {
  if (szName == nullptr) return;
  const std::size_t n = md::layout::Utf8CutLength(szName, std::strlen(szName), GIS_ELEMENT_NAME_MAX);
  m_strMapName.assign(szName, n);
}

BOOL CGIS_MapElement::OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL /*bWithCommonPages*/) {
  return m_core.OpenPropertySheet(pDisplay, "地图框架属性", "pFrameProperty == NULL");
}

// ---- Copies
// -----------------------------------------------------------------------

IGIS_Element* CGIS_MapElement::Clone() {
  IGIS_FeatureSet* pOwner = m_core.m_pFeatureSet;
  if (pOwner == nullptr) return nullptr;
  IGIS_Element* pElement = pOwner->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_MAP);
  if (pElement == nullptr) return nullptr;
  auto* pCopy = dynamic_cast<IGIS_MapElement*>(pElement);
  if (pCopy == nullptr) {
    if (!pOwner->DeleteElement(pElement)) pElement->Release();
    return nullptr;
  }
  pCopy->SetRect(GetRect());
  pCopy->SetMap(m_pMap);
  pCopy->SetMapBound(m_bound);
  pCopy->SetLock(m_core.m_bLock);
  pCopy->SetFramePropertyPtr(m_pFrame.get());
  pCopy->SetInnerMapBorder(m_pInnerBorder.get());
  pCopy->SetOuterMapBorder(m_pOuterBorder.get());
  pCopy->SetDisableAutoControlVectorSubLayer(m_bDisableAutoControlVectorSubLayer);
  IGIS_MapGrids* pTarget = pCopy->GetMapGrids();
  // The copy covers the new frame's map, not this one's; the entries kept as
  // stored go with it, so storing the copy keeps them.
  auto* pOwnList = dynamic_cast<CGIS_MapGrids*>(pTarget);
  if (m_pGrids != nullptr && pOwnList != nullptr) {
    pOwnList->CopyEntries(*m_pGrids, pCopy);
  } else if (m_pGrids != nullptr && pTarget != nullptr) {
    for (int i = 0; i < m_pGrids->GetCount(); ++i) {
      IGIS_MapGrid* pGrid = m_pGrids->GetMapGrid(i);
      IGIS_MapGrid* pGridCopy = pGrid != nullptr ? pGrid->Clone() : nullptr;
      if (pGridCopy == nullptr) continue;
      pGridCopy->SetMapElement(pCopy);
      if (!pTarget->AddMapGrid(pGridCopy)) pGridCopy->Release();
    }
  }
  return pCopy;
}

// ---- Stored state
// -------------------------------------------------------------------

BOOL CGIS_MapElement::Archive(int nRead, int /*nArchiveOption*/) {
  IGIS_Feature* pFeature = m_core.RequireFeature("Archive");
  if (pFeature == nullptr) return FALSE;
  IGIS_FeatureAttributes* pAttr = pFeature->GetAttributes();
  if (pAttr == nullptr) return FALSE;
  // The "Custom" keys are read and written in place.
  if (nRead == 0) {
    m_core.ArchiveCommon(0);
    md::layout::detail::SFrameState state;
    state.szMapName = m_strMapName.c_str();
    state.dRotateAngle = m_dRotateAngle;
    state.bound = m_bound;
    state.dFixScale = m_dFixScale;
    state.nExtentType = m_nExtentType;
    state.bDisableAutoControlVectorSubLayer = m_bDisableAutoControlVectorSubLayer;
    md::layout::CustomSetWriter set(pAttr, kArchive);
    md::layout::detail::WriteFrameValues(set, state);
    // What an object saves under its key; without the object the stored
    // bytes stay.
    auto saved = [&set](const char* szKey, bool bHeld, auto save) {
      md::layout::SGIS_CustomKey key;
      if (!md::layout::detail::KeyFor(szKey, &key)) return;
      if (bHeld) {
        set.Saved(key, save);
      } else {
        set.Keep(key);
      }
    };
    // Without a frame property the key is stored empty: it reads back as none.
    saved(keys::kFrameProperty, true, [this](IGIS_DataBuffer* b) {
      if (m_pFrame != nullptr) m_pFrame->Save(b);
    });
    // Grids whose reference is the frame's store its number only.
    md::layout::grid::ReferenceShare share;
    saved(keys::kSpatialReference, m_pSpatialReference != nullptr, [&](IGIS_DataBuffer* b) {
      if (m_pSpatialReference->Archive(b, GIS_ARCHIVE_WRITE))
        share.Add(md::layout::grid::ReferenceShare::kFrame, md::layout::BufferBytes(b));
    });
    // The grid list's bytes are stored from its writer, which outlives Finish.
    md::layout::StoredSetWriter grids;
    if (md::layout::SGIS_CustomKey key; md::layout::detail::KeyFor(keys::kMapGrids, &key)) {
      if (m_pGrids != nullptr) {
        set.Bytes(key, m_pGrids->Saved(&grids, &share));
      } else {
        set.Keep(key);
      }
    }
    WriteBorder(set, keys::kInnerMapBorder, keys::kInnerMapBorderNull, m_pInnerBorder.get(),
                m_keptInnerBorder);
    WriteBorder(set, keys::kOuterMapBorder, keys::kOuterMapBorderNull, m_pOuterBorder.get(),
                m_keptOuterBorder);
    md::layout::SGIS_CustomKey key;
    if (md::layout::detail::KeyFor(keys::kDisableAutoControlVectorSubLayer, &key))
      set.Bool(key, m_bDisableAutoControlVectorSubLayer);
    if (!set.Finish()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, kArchive,
              "false == p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_WRITE)");
      return FALSE;
    }
    return TRUE;
  }

  const md::layout::StoredSetView set(pAttr, kArchive,
                                      "false == p_property_set->Archive(pDatabuffer,GIS_ARCHIVE_READ)");
  m_core.ArchiveCommon(nRead);
  md::layout::detail::ReadBound(set, &m_bound);
  if (double d = 0.0; set.Read(keys::kFixScale, &d) && std::isfinite(d)) m_dFixScale = d;
  set.Read(keys::kExtentType, &m_nExtentType);
  if (const md::basilo::StoredFieldView* f = set.Find(keys::kMapGrids)) {
    if (m_pGrids == nullptr) {
      m_pGrids.reset(md::basilo::MakeOrNull<CGIS_MapGrids>("CGIS_MapElement::Archive"));
      if (m_pGrids != nullptr) m_pGrids->SetMapElement(this);
    }
    // Reading again replaces the grids rather than adding a second set.
    if (m_pGrids != nullptr) {
      m_pGrids->ReleaseMapGrids();
      // Grids stored with the frame's reference read it from its bytes.
      md::layout::grid::ReferenceShare share;
      if (const md::basilo::StoredFieldView* r = set.Find(keys::kSpatialReference);
          r != nullptr && r->type == GIS_FIELD_TYPE_BUFFER)
        share.Add(md::layout::grid::ReferenceShare::kFrame, r->bytes);
      if (f->type == GIS_FIELD_TYPE_BUFFER) m_pGrids->Open(f->bytes, &share);
    }
  }
  if (const md::basilo::StoredFieldView* f = set.Find(keys::kFrameProperty);
      f != nullptr && f->type == GIS_FIELD_TYPE_BUFFER && f->bytes.empty()) {
    m_pFrame.reset();  // stored without a frame property
  } else if (f != nullptr) {
    if (m_pFrame == nullptr) m_pFrame.reset(GIS_CreateFramePropertyObject());
    // Ours reads the stored bytes in place; another is given a copy.
    if (auto* pOwn = dynamic_cast<CGIS_FrameProperty*>(m_pFrame.get());
        pOwn != nullptr && f->type == GIS_FIELD_TYPE_BUFFER) {
      pOwn->OpenStored(f->bytes);
    } else if (IGIS_DataBuffer* pBuffer = set.Buffer(keys::kFrameProperty);
               m_pFrame != nullptr && pBuffer != nullptr) {
      m_pFrame->Open(pBuffer);
    }
  }
  {
    IGIS_DataBuffer* pBuffer = set.Buffer(keys::kSpatialReference);
    if (pBuffer != nullptr && pBuffer->GetSize() > 0) {
      if (m_pSpatialReference == nullptr) {
        IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
        if (pFactory != nullptr) m_pSpatialReference.reset(pFactory->CreateFromBuffer(pBuffer));
      } else {
        m_pSpatialReference->Archive(pBuffer, GIS_ARCHIVE_READ);
      }
    }
  }
  if (double d = 0.0; set.Read(keys::kRotateAngle, &d) && std::isfinite(d)) m_dRotateAngle = d;
  ReadBorders(set);
  set.Read(keys::kDisableAutoControlVectorSubLayer, &m_bDisableAutoControlVectorSubLayer);
  if (const md::basilo::StoredFieldView* f = set.Find(keys::kMapName);
      f != nullptr && f->type == GIS_FIELD_TYPE_STRING) {
    CopyMapName(std::string(f->text).c_str());
  } else if (IGIS_Field* pField = set.Field(keys::kMapName)) {
    CopyMapName(pField->GetString());
  }
  BindStoredMap();
  return TRUE;
}

void CGIS_MapElement::WriteBorder(md::layout::CustomSetWriter& set, const char* szKey, const char* szNullKey,
                                  IGIS_MapBorder* pBorder, const std::vector<unsigned char>& kept) {
  bool bStored = false;
  md::layout::SGIS_CustomKey key;
  if (md::layout::detail::KeyFor(szKey, &key)) {
    if (pBorder != nullptr) {
      set.Saved(key, [&](IGIS_DataBuffer* b) { bStored = pBorder->Save(b); });
    } else if (!kept.empty()) {
      set.Bytes(key, std::span<const BYTE>(kept.data(), kept.size()));
      bStored = true;
    } else {
      set.Keep(key);
    }
  }
  if (md::layout::detail::KeyFor(szNullKey, &key)) set.Bool(key, bStored);
}

void CGIS_MapElement::ReadBorders(const md::layout::StoredSetView& set) {
  IGIS_MapBorderFactory* pFactory = GIS_GetMapBorderFactoryObject();
  struct Slot {
    const char* szKey;
    const char* szNullKey;
    md::basilo::ReleasePtr<IGIS_MapBorder>* pBorder;
    std::vector<unsigned char>* pKept;
  };
  const Slot slots[] = {
      {keys::kOuterMapBorder, keys::kOuterMapBorderNull, &m_pOuterBorder, &m_keptOuterBorder},
      {keys::kInnerMapBorder, keys::kInnerMapBorderNull, &m_pInnerBorder, &m_keptInnerBorder},
  };
  for (const Slot& slot : slots) {
    bool bStored = false;
    if (!set.Read(slot.szNullKey, &bStored)) continue;
    // Stored without that border: the frame has none after the read either.
    if (!bStored) {
      slot.pBorder->reset();
      slot.pKept->clear();
      continue;
    }
    IGIS_DataBuffer* pBuffer = set.Buffer(slot.szKey);
    if (pBuffer == nullptr) continue;
    slot.pBorder->reset(pFactory != nullptr ? pFactory->CreateMapborderFromBuffer(pBuffer) : nullptr);
    slot.pKept->clear();
    // A border of a kind that cannot be rebuilt here is kept as stored.
    if (*slot.pBorder == nullptr) md::layout::detail::GetBytes(pBuffer, slot.pKept);
  }
}

// ---- Subject
// ---------------------------------------------------------------------------

BOOL CGIS_MapElement::Attach(IGIS_Observer* pObserver, int nOption) {
  return m_pSubject != nullptr ? m_pSubject->Attach(pObserver, nOption) : FALSE;
}

BOOL CGIS_MapElement::Detach(IGIS_Observer* pObserver, int nOption) {
  return m_pSubject != nullptr ? m_pSubject->Detach(pObserver, nOption) : FALSE;
}

void CGIS_MapElement::DetachAll() {
  if (m_pSubject != nullptr) m_pSubject->DetachAll();
}

void CGIS_MapElement::Notify(const char* szMessage, int nArgument, IGIS_Element* pSender) {
  if (m_pSubject == nullptr) return;
  if (szMessage != nullptr && pSender == this && std::strcmp(szMessage, GIS_MESSAGE_ELEMENT_MAP_DEL) == 0) {
    m_bDeletionSent = true;
  }
  m_pSubject->Notify(szMessage, nArgument, pSender);
}

// ---- Observer: messages of the bound map
// ------------------------------------------------

void CGIS_MapElement::Update(const char* szMessage, int nArgument, IGIS_Element* pSender) {
  if (szMessage == nullptr) return;
  if (std::strcmp(szMessage, GIS_MESSAGE_FEATURE_TOBE_UPDATED) == 0) {
    if (GetFeaturePtr() == nullptr)
      GIS_LOG(GIS_LOG_LEVEL_CHECK, m_core.Method("Update").c_str(), "m_pFeature == NULL");
    return;
  }
  if (std::strcmp(szMessage, GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED) == 0) {
    if (m_pMap == nullptr) return;
    IGIS_SpatialReference* pNew = m_pMap->GetSpatialReference();
    CGIS_SpatialReferenceHolder holder;
    holder.Create(m_pSpatialReference.get(), pNew, nullptr, nullptr);
    if (holder.Get() != nullptr) holder.Get()->TransformRect(&m_bound, kBoundSamplesPerEdge, 1);
    m_history.clear();
    m_nHistoryIndex = 0;
    const SGIS_Rect rect = GetRect();
    if (rect.Width() < 1 || rect.Height() < 1) {
      SetMapBound(m_bound);
    } else {
      const double sx = m_bound.Width() / rect.Width();
      const double sy = m_bound.Height() / rect.Height();
      m_dFixScale = sx < sy ? sx : sy;
      SetScale(m_dFixScale);
    }
    if (m_pSpatialReference != nullptr && pNew != nullptr) m_pSpatialReference->CopyFrom(pNew);
    Notify(szMessage, nArgument, pSender);
    return;
  }
  if (std::strcmp(szMessage, GIS_MESSAGE_DOC_MAP_RENAMED) == 0) {
    if (m_pMap != nullptr && m_pMap->GetName() != nullptr) CopyMapName(m_pMap->GetName());
  }
}

// ---- Rotation
// ---------------------------------------------------------------------------------

double CGIS_MapElement::GetRotateAngle() {
  m_dRotateAngle = m_pMap != nullptr ? m_pMap->GetRotateAngle() : 0.0;
  return m_dRotateAngle;
}

void CGIS_MapElement::SetRotateAngle(double dAngle) {
  if (!std::isfinite(dAngle) || dAngle == m_dRotateAngle) return;
  m_dRotateAngle = dAngle;
  Notify(GIS_MESSAGE_ELEMENT_MAP_RORATE, 0, nullptr);
}
