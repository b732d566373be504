// Following a map frame: attach, detach, relink by stored ID.
#include "layout/graphicelement/mapframe/cgis_mapframelink.h"

#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/igis_mapelement.h"

CGIS_MapFrameLink::~CGIS_MapFrameLink() { DetachFromFrame(); }

IGIS_MapElement* CGIS_MapFrameLink::Frame() const {
  if (m_nFrameHandle == 0) return nullptr;
  // No element has ended since the frame last resolved: it is still there.
  const unsigned long long nCount = GIS_GetElementUnregisterCount();
  if (nCount == m_nCheckedAt.load(std::memory_order_relaxed)) return m_pFrame;
  IGIS_Element* pElement = GIS_ResolveElement(m_nFrameHandle);
  if (pElement == nullptr || pElement != static_cast<IGIS_Element*>(m_pFrame)) return nullptr;
  m_nCheckedAt.store(nCount, std::memory_order_relaxed);
  return m_pFrame;
}

void CGIS_MapFrameLink::DetachFromFrame() {
  if (IGIS_MapElement* pFrame = Frame()) pFrame->Detach(m_pObserver, 0);
  m_nFrameHandle = 0;
  m_pFrame = nullptr;
  m_nCheckedAt.store(kUnchecked, std::memory_order_relaxed);
}

void CGIS_MapFrameLink::Follow(IGIS_MapElement* pFrame) {
  IGIS_MapElement* pCurrent = Frame();
  if (pFrame == pCurrent && (pFrame != nullptr || m_nFrameHandle == 0)) return;
  if (pFrame == nullptr) {
    DetachFromFrame();
    m_nMapElementID = kUnlinked;
    return;
  }
  // Only a registered frame is followed: its handle stops resolving when it
  // ends, so a follower never reaches a released frame.
  const int nHandle = GIS_GetElementHandle(pFrame);
  if (nHandle == 0) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MapFrameLink::Follow", "the map frame is not registered");
    return;
  }
  DetachFromFrame();
  m_nFrameHandle = nHandle;
  m_pFrame = pFrame;
  m_nCheckedAt.store(kUnchecked, std::memory_order_relaxed);
  m_nMapElementID = pFrame->GetID();
  pFrame->Attach(m_pObserver, 0);
}

bool CGIS_MapFrameLink::OnFrameDeleted(IGIS_Element* pSender) {
  IGIS_MapElement* pFrame = Frame();
  if (pFrame == nullptr || pSender == nullptr) return false;
  if (static_cast<IGIS_Element*>(pFrame) != pSender && pFrame->GetID() != pSender->GetID()) return false;
  DetachFromFrame();
  return true;
}

void CGIS_MapFrameLink::Relink(IGIS_FeatureSet* pOwner) {
  if (pOwner == nullptr) return;
  IGIS_Element* pElement = m_nMapElementID >= 0 ? pOwner->GetElement(m_nMapElementID) : nullptr;
  const char* szType = pElement != nullptr ? pElement->GetType() : nullptr;
  auto* pFrame = szType != nullptr && std::strcmp(szType, GIS_TYPE_GRAPHIC_ELEMENT_MAP) == 0
                     ? dynamic_cast<IGIS_MapElement*>(pElement)
                     : nullptr;
  if (pFrame == Frame()) return;  // attached once, never twice
  const int nID = m_nMapElementID;
  if (pFrame == nullptr) {
    DetachFromFrame();
  } else {
    Follow(pFrame);
  }
  m_nMapElementID = nID;
}
