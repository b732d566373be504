// The state and the conventions every element class shares: binding to a
// feature of the owner feature set, the bookkeeping fields, the common part
// of Archive, the name, and opening the property sheet.
#pragma once

#include <string>

#include "host/featra/igis_feature.h"
#include "layout/graphicelement/igis_element.h"

class IGIS_FeatureAttributes;

// How a class binds to its feature. The values are written in the
// constructor; classes that keep more state add it after Bind.
struct SGIS_ElementBindOptions {
  const char* szType = "";                 // "TYPE" written on a new feature
  int nKind = GIS_FEATURE_KIND_RECTANGLE;  // kind code of a new feature
  int nLockOnNew = -1;                     // "IsLock" on a new feature: 0, 1, or -1 the element's lock flag
  int nCanConvert = 0;                     // "CanConvert" on a new feature: 0, 1, or -1 not written
  bool bRewriteType = false;               // a bound feature gets "TYPE" again
  bool bRewriteCanConvert = false;         // a bound feature gets the new one's "CanConvert" again
  int nRequiredKind = 0;                   // a bound feature of another kind is refused (0: any kind)
  // The record written when no feature can be made (NULL: none).
  const char* szNoFeature = "m_pFeature == NULL";
};

class CGIS_ElementCore {
 public:
  enum class Binding { Unbound, Created, Bound };

  // pSelf: the element this state belongs to; szClass its class name for log
  // records; szDefaultName the name it starts with. Registers the element so
  // that its feature can name it in "InterfacePtr".
  CGIS_ElementCore(IGIS_Element* pSelf, const char* szClass, const char* szDefaultName);
  ~CGIS_ElementCore();
  CGIS_ElementCore(const CGIS_ElementCore&) = delete;
  CGIS_ElementCore& operator=(const CGIS_ElementCore&) = delete;

  // The constructor convention: no owner leaves the element unbound; no
  // feature makes a new one with the bookkeeping fields; a given feature is
  // bound (a feature of the wrong kind is refused and a new one made). The
  // stored "IsLock" and "KeepHVScaleRatio" of a bound feature are left alone.
  Binding Bind(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, const SGIS_ElementBindOptions& options);

  // Asks the owner for the feature of the element's ID and keeps it. With a
  // required kind, a feature of another kind is refused with a record and
  // NULL answered. The kept pointer is valid only until the owner's content
  // changes (a reload frees it): callers fetch again instead of keeping it.
  IGIS_Feature* FetchFeature(int nRequiredKind = 0);

  // Fetches the feature through the element (its own GetFeaturePtr) and logs
  // "m_pFeature == NULL" under the method when there is none.
  IGIS_Feature* RequireFeature(const char* szOperation);

  // The common fields: writes (nRead 0) or reads (non-zero) "IsLock",
  // "KeepHVScaleRatio", "ElementName" and "ElementOrder". Hands the feature's
  // attributes out for the class's own state. FALSE without a feature.
  BOOL ArchiveCommon(int nRead, IGIS_FeatureAttributes** ppAttributes = nullptr);

  // OnDraw of an element drawn with its feature's symbol at its geometry's
  // points: the owner's spatial reference, the feature, its symbol and its
  // points, then DrawSymbolAtPagePoints. FALSE with a level-3 record when
  // any is missing.
  BOOL DrawFeatureSymbol(HDC hdc, bool bPrint, IGIS_Display* pDisplay);

  // The placing and sizing every element with a rectangle shares; a kind's
  // GetRect, SetRect, SetLBpoint and OffsetAllPoints call these.
  // The feature's bounding rectangle; the empty one (and a record under
  // "GetRect") without a feature.
  SGIS_Rect FeatureRect();
  // Moves the element so that its rectangle's lower-left corner lies on the
  // point, through the element's own GetRect and OffsetAllPoints.
  void MoveLowerLeftTo(SGIS_Point point);
  // Places the element on the rectangle (normalised first) through the
  // element's own SetLBpoint and SetWidthAndHeight.
  void PlaceRect(SGIS_Rect rect);
  // Moves a feature whose geometry is its rectangle by (dx, dy), held to the
  // 32-bit range, and commits the geometry; nothing for (0, 0), a record
  // under "OffsetAllPoints" without a feature.
  void OffsetRect(int dx, int dy);

  // Sets the name, cut to 999 bytes at a character boundary; NULL is refused.
  void SetName(const char* szName);
  const char* GetName() const;

  // OnOpenPropertyDlg of every element: hands the element's sheet request to
  // the sheet host (element/elementsheet.h), which takes the element's stored
  // form, runs the sheet registered for the element's type and reads the
  // stored form back after anything but OK. szNoBackup is the log text when
  // the stored form cannot be taken. TRUE only when the user confirmed.
  BOOL OpenPropertySheet(IGIS_Display* pDisplay, const char* szTitle, const char* szNoBackup,
                         BOOL bWithCommonPages = TRUE);

  // "Class::Operation", for log records.
  std::string Method(const char* szOperation) const;

  IGIS_Element* Self() const { return m_pSelf; }
  int Handle() const { return m_nHandle; }
  int& ID() { return m_pSelf->m_nID; }

  IGIS_Feature* m_pFeature = nullptr;
  IGIS_FeatureSet* m_pFeatureSet = nullptr;
  bool m_bLock = false;
  bool m_bKeepHVScaleRatio = false;
  int m_nOrder = -10;

 private:
  IGIS_Feature* CreateOwnFeature(const SGIS_ElementBindOptions& options);

  IGIS_Element* m_pSelf;
  const char* m_szClass;
  int m_nHandle = 0;
};

// The operations every element answers the same way, over a
// CGIS_ElementCore. TInterface is the class's own interface (derived from
// IGIS_Element).
template <class TInterface>
class CGIS_ElementImpl : public TInterface {
 public:
  void Release() override { delete this; }
  IGIS_Feature* GetFeaturePtr() override { return m_core.FetchFeature(); }
  IGIS_FeatureSet* GetFeatureSetPtr() override { return m_core.m_pFeatureSet; }
  int GetID() override { return this->m_nID; }
  BOOL Archive(int nRead, int /*nArchiveOption*/) override { return m_core.ArchiveCommon(nRead); }
  bool IsLock() override { return m_core.m_bLock; }
  void SetLock(bool bLock) override { m_core.m_bLock = bLock; }
  bool GetHVScaleRatio() override { return m_core.m_bKeepHVScaleRatio; }
  void SetHVScaleRatio(bool bKeep) override { m_core.m_bKeepHVScaleRatio = bKeep; }
  void SetOrder(int nOrder) override { m_core.m_nOrder = nOrder; }
  int GetOrder() override { return m_core.m_nOrder; }
  const char* GetName() override { return m_core.GetName(); }
  void SetName(const char* szName) override { m_core.SetName(szName); }

 protected:
  CGIS_ElementImpl(const char* szClass, const char* szDefaultName) : m_core(this, szClass, szDefaultName) {}
  ~CGIS_ElementImpl() override = default;

  CGIS_ElementCore m_core;
};
