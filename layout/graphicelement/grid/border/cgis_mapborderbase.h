// What every map border kind has: four offsets, a width and a name, stored
// under the base keys, compared and copied; the kinds derive from
// CGIS_MapBorderBase<their interface>.
#pragma once

#include <climits>
#include <string>

#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"

namespace md::layout::border {

// The base values and their stored form.
struct MapBorderValues {
  int nRightOffset = 0;
  int nLeftOffset = 0;
  int nTopOffset = 0;
  int nBottomOffset = 0;
  int nBorderWidth = 200;  // never negative through the setter; Open keeps what was stored
  std::string name;        // at most kMaxNameBytes bytes, cut at a character

  static constexpr std::size_t kMaxNameBytes = 999;

  // Reads the set already in the buffer, adds the base keys with the kind
  // code and stores the whole set back.
  bool Save(IGIS_DataBuffer* pBuffer, int nType) const;
  // Missing keys keep their values; FALSE (with a record) for a NULL buffer.
  bool Open(IGIS_DataBuffer* pBuffer);
  // The base keys with the kind code added to a kind's set (a key it has
  // already is set in its place), and read from a set already decoded.
  void AddKeys(IGIS_PropertySet* pSet, int nType) const;
  void ReadKeys(IGIS_PropertySet* pSet);
  // The same, written after a kind's keys straight into its new stored set,
  // and read from a stored set read in place.
  void AddKeys(md::layout::StoredSetWriter& set, int nType) const;
  void ReadKeys(const md::layout::StoredSetView& set);
  // NULL is refused with a record.
  void SetName(const char* szName);
  // The width used when drawing and converting: a negative stored width is 0.
  int DrawingWidth() const { return nBorderWidth > 0 ? nBorderWidth : 0; }
};

// The frame rectangle pushed out by the offsets, computed without overflow
// (results beyond the 32-bit range are clamped).
SGIS_Rect OuterRectOf(const MapBorderValues& values, SGIS_Rect frameRect);

}  // namespace md::layout::border

template <class TKind>
class CGIS_MapBorderBase : public TKind {
 public:
  bool Save(IGIS_DataBuffer* pBuffer) override { return m_base.Save(pBuffer, this->GetType()); }
  bool Open(IGIS_DataBuffer* pBuffer) override { return m_base.Open(pBuffer); }
  int GetLeftOffset() override { return m_base.nLeftOffset; }
  void SetLeftOffset(int n) override { m_base.nLeftOffset = n; }
  int GetRightOffset() override { return m_base.nRightOffset; }
  void SetRightOffset(int n) override { m_base.nRightOffset = n; }
  int GetBottomOffset() override { return m_base.nBottomOffset; }
  void SetBottomOffset(int n) override { m_base.nBottomOffset = n; }
  int GetTopOffset() override { return m_base.nTopOffset; }
  void SetTopOffset(int n) override { m_base.nTopOffset = n; }
  int GetBorderWidth() override { return m_base.nBorderWidth; }
  // The absolute value (the most negative int becomes the largest).
  void SetBorderWidth(int n) override { m_base.nBorderWidth = n >= 0 ? n : (n == INT_MIN ? INT_MAX : -n); }
  SGIS_Rect GetOuterRect(SGIS_Rect frameRect) override {
    return md::layout::border::OuterRectOf(m_base, frameRect);
  }
  const char* GetName() override { return m_base.name.c_str(); }
  void SetName(const char* szName) override { m_base.SetName(szName); }

  // The base copy: offsets and width through the other's getters; not the name.
  void CopyFrom(IGIS_MapBorder& other) {
    m_base.nRightOffset = other.GetRightOffset();
    m_base.nLeftOffset = other.GetLeftOffset();
    m_base.nTopOffset = other.GetTopOffset();
    m_base.nBottomOffset = other.GetBottomOffset();
    m_base.nBorderWidth = other.GetBorderWidth();
  }
  // The base equality: the four offsets and the width; the name takes no part.
  bool operator==(IGIS_MapBorder& other) {
    return m_base.nRightOffset == other.GetRightOffset() && m_base.nLeftOffset == other.GetLeftOffset() &&
           m_base.nTopOffset == other.GetTopOffset() && m_base.nBottomOffset == other.GetBottomOffset() &&
           m_base.nBorderWidth == other.GetBorderWidth();
  }
  bool operator!=(IGIS_MapBorder& other) { return !(*this == other); }

 protected:
  // Stores the kind's keys followed by the base keys into the buffer, in one
  // write; FALSE when it fails.
  bool StoreWithBase(IGIS_PropertySet* pKindSet, IGIS_DataBuffer* pBuffer) {
    if (pKindSet == nullptr) {
      m_base.Save(pBuffer, this->GetType());
      return false;
    }
    m_base.AddKeys(pKindSet, this->GetType());
    return pKindSet->Archive(pBuffer, GIS_ARCHIVE_WRITE, 0) != FALSE;
  }
  // The same for a kind's keys written straight into a new stored set.
  bool StoreWithBase(md::layout::StoredSetWriter& kindSet, IGIS_DataBuffer* pBuffer) {
    m_base.AddKeys(kindSet, this->GetType());
    return kindSet.Finish(pBuffer);
  }
  // The base values from the kind's set already read from the stored bytes.
  void OpenBase(IGIS_PropertySet* pKindSet) { m_base.ReadKeys(pKindSet); }
  void OpenBase(const md::layout::StoredSetView& kindSet) { m_base.ReadKeys(kindSet); }

  md::layout::border::MapBorderValues m_base;
};
