// The link of an element that follows a map frame (legend, scale bars, scale
// text, north arrow, slope rule, three-north diagram) to that frame: the
// frame's stored ID, the observer's attachment to the frame's subject, and
// the rules of linking, unlinking and relinking.
//
// The frame is kept as its element-registry handle, so a frame released
// without telling its followers resolves to NULL instead of dangling.
#pragma once

#include <atomic>

class IGIS_Element;
class IGIS_FeatureSet;
class IGIS_MapElement;
class IGIS_Observer;

class CGIS_MapFrameLink {
 public:
  // "MapElementID" of an element that never followed a frame.
  static constexpr int kNoFrame = -10;
  // "MapElementID" after an explicit unlink.
  static constexpr int kUnlinked = -100;

  explicit CGIS_MapFrameLink(IGIS_Observer* pObserver) : m_pObserver(pObserver) {}
  // Detaches the observer from the followed frame.
  ~CGIS_MapFrameLink();
  CGIS_MapFrameLink(const CGIS_MapFrameLink&) = delete;
  CGIS_MapFrameLink& operator=(const CGIS_MapFrameLink&) = delete;

  // The followed frame, or NULL (none followed, or it no longer exists).
  IGIS_MapElement* Frame() const;
  int GetMapElementID() const { return m_nMapElementID; }
  // The stored ID, as read back; the link itself is made by Relink.
  void SetMapElementID(int nID) { m_nMapElementID = nID; }

  // Follows the frame: the same frame changes nothing; NULL unlinks a
  // followed frame (the ID becomes kUnlinked) and does nothing otherwise;
  // another frame is followed in place of the previous one and its ID kept.
  // A frame missing from the element registry is refused (record).
  void Follow(IGIS_MapElement* pFrame);
  // On the deletion message: when the sender is the followed frame (same
  // element or same ID), detaches and forgets it, keeping the stored ID.
  // True when the link was dropped.
  bool OnFrameDeleted(IGIS_Element* pSender);
  // Follows what the stored ID names in the owner, as a read of the stored
  // form does: the map frame of that ID replaces the followed frame; an ID
  // that names none (negative, gone, another kind) leaves no frame followed
  // and is kept as stored. Without an owner nothing changes.
  void Relink(IGIS_FeatureSet* pOwner);

 private:
  void DetachFromFrame();

  IGIS_Observer* m_pObserver;
  int m_nFrameHandle = 0;
  // The followed frame, valid while its handle resolves to it: a handle is
  // used once, so resolving to the same element is the same live frame.
  IGIS_MapElement* m_pFrame = nullptr;
  // The registry's unregister count when the frame last resolved (kUnchecked:
  // not yet): while it stays, the frame still lives.
  static constexpr unsigned long long kUnchecked = ~0ULL;
  mutable std::atomic<unsigned long long> m_nCheckedAt{kUnchecked};
  int m_nMapElementID = kNoFrame;
};
