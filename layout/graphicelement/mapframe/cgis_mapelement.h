// The map frame element (IGIS_MapElement): a named map of the host's
// document drawn through the host's main controller inside a rectangle of
// the layout page, with the frame property, borders and grids around and
// over it.
//
// The feature (kind 1024) holds the frame rectangle as a closed ring; the
// frame's own state lies in the "Custom" property set (FORMAT.md).
#pragma once

#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/helmora/igis_mainobject.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/grid/grid/cgis_mapgrids.h"
#include "layout/graphicelement/igis_mapelement.h"

class CGIS_MapGrids;
class IGIS_DataBuffer;
class IGIS_PropertySet;
class IGIS_SpatialReference;

// Double rectangles of map coordinates.
// Orders x1 <= x2 and y1 <= y2 (unlike SGIS_DRect::Normalize, which leaves y1 >= y2).
void NormalizeDoubleRect(SGIS_DRect* pRect);
// Each coordinate of b within |a| x 1e-15 of a's (a zero of a must match exactly).
bool IsEqualDoubleRect(const SGIS_DRect& a, const SGIS_DRect& b);
// Each coordinate rounded half away from zero (clamped to 32 bits; NaN gives 0).
SGIS_Rect DoubleRectToIntRect(double x1, double x2, double y1, double y2);

class IGIS_MapView;

class CGIS_MapElement final : public CGIS_ElementImpl<IGIS_MapElement> {
 public:
  // Most extents the history keeps; the oldest entries give way beyond.
  static constexpr int kMaxExtentHistory = 256;
  // Most component lines read from the component list.
  static constexpr int kMaxComponents = 1024;
  // Points sampled on each edge of the bound when it moves into another
  // spatial reference.
  static constexpr int kBoundSamplesPerEdge = 16;

  // No owner leaves the frame unusable (no objects made). No feature makes a
  // new one with the "Custom" keys and their defaults; a given feature is
  // bound and its state is read by Archive with a non-zero flag.
  CGIS_MapElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  // IGIS_Element
  const char* GetType() override;
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  BOOL Archive(int nRead, int nArchiveOption) override;
  bool GetHVScaleRatio() override;
  void SetHVScaleRatio(bool bKeep) override;
  bool CanConvert() override { return true; }
  void SetRect(SGIS_Rect rect) override;
  SGIS_Rect GetRect() override;
  IGIS_Element* ConvertToElement() override;
  void SetWidthAndHeight(int nWidth, int nHeight) override;
  void OffsetAllPoints(int dx, int dy) override;
  void ScaleShape(SGIS_Point origin, double sx, double sy) override;
  void SetLBpoint(SGIS_Point point) override;
  IGIS_Element* Clone() override;
  const char* GetDescription() override { return "暂时没有定义"; }

  // IGIS_MapElement
  SGIS_DRect* GetMapBound(SGIS_DRect* pBound) override;
  void SetMapBound(SGIS_DRect bound) override;
  void SetMap(IGIS_Map* pMap) override;
  IGIS_Map* GetMap() override { return m_pMap; }
  double GetScale() override;
  void SetScale(double dScale) override;
  void SetExtentType(int nType) override;
  int GetExtentType() override { return m_nExtentType; }
  IGIS_FrameProperty* GetFramePropertyPtr() override { return m_pFrame.get(); }
  bool SetFramePropertyPtr(IGIS_FrameProperty* pFrame) override;
  IGIS_MainObject* GetMainObject() override;
  bool CanGoPreviousExtent() override;
  bool CanGoNextExtent() override;
  bool GoPreviousExtent() override;
  bool GoNextExtent() override;
  bool FullExtent() override;
  IGIS_MapGrids* GetMapGrids() override;
  IGIS_GeoPolygon* GetClipPolygonPtr() override { return m_pClipPolygon; }
  void SetClipPolygonPtr(IGIS_GeoPolygon* pPolygon) override;
  double GetRotateAngle() override;
  void SetRotateAngle(double dAngle) override;
  void SetMapName(const char* szName) override;
  const char* GetMapName() override { return m_strMapName.c_str(); }
  IGIS_MapBorder* GetInnerMapBorder() override { return m_pInnerBorder.get(); }
  void SetInnerMapBorder(IGIS_MapBorder* pBorder) override;
  IGIS_MapBorder* GetOuterMapBorder() override { return m_pOuterBorder.get(); }
  void SetOuterMapBorder(IGIS_MapBorder* pBorder) override;
  bool GetDisableAutoControlVectorSubLayer() override { return m_bDisableAutoControlVectorSubLayer; }
  void SetDisableAutoControlVectorSubLayer(bool bDisable) override {
    m_bDisableAutoControlVectorSubLayer = bDisable;
  }
  bool GetScaleSymbolsWithMap() override { return true; }
  void SetScaleSymbolsWithMap(bool) override {}

  // IGIS_Observer: messages of the bound map.
  void Update(const char* szMessage, int nArgument, IGIS_Element* pSender) override;

  // IGIS_Subject: followers of the frame.
  BOOL Attach(IGIS_Observer* pObserver, int nOption) override;
  BOOL Detach(IGIS_Observer* pObserver, int nOption) override;
  void DetachAll() override;
  void Notify(const char* szMessage, int nArgument, IGIS_Element* pSender) override;

  // The frame's spatial reference: that of its bound map (empty without one).
  IGIS_SpatialReference* GetSpatialReference() { return m_pSpatialReference.get(); }
  // The visited extents and the current position in them.
  const std::vector<SGIS_DRect>& GetExtentHistory() const { return m_history; }
  int GetExtentHistoryIndex() const { return m_nHistoryIndex; }

  // Registers each component named in "othercomponents.cfg" of the folder
  // with the controller: one name per line (its first word). FALSE when the
  // file cannot be read or a component is refused (the others are still
  // registered); *pMissing, when given, tells whether no list is there.
  static bool RegisterComponentsOfFolder(IGIS_MainObject* pMainObject, const std::string& folder,
                                         bool* pMissing = nullptr);
  // Registers the components of the first folder that holds a list ("" is
  // passed over): the frame looks beside the program, then in the data folder
  // installed with the library. FALSE when no folder holds one or that list
  // fails; *pLists names the list read or, when none was found, every place
  // looked in.
  static bool RegisterComponentLists(IGIS_MainObject* pMainObject, const std::vector<std::string>& folders,
                                     std::string* pLists);

 protected:
  ~CGIS_MapElement() override;

 private:
  // Creates and starts the main controller when there is none; szOperation
  // names the caller in log records.
  void EnsureMainObject(const char* szOperation);
  bool RegisterOtherComponentsCfgFile(std::string* pLists);
  // The map inside the frame's device rectangle, through the main controller.
  void DrawMap(HDC hdc, bool bPrint, IGIS_Display* pDisplay, const SGIS_Rect& rect,
               IGIS_SpatialReference* pReference);
  // Shows the stored bound in the main view, fitted into the frame's device
  // rectangle cut to the display's clip; false (view untouched) when the
  // frame lies outside the clip. *pDev: the device rectangle shown.
  bool FitMainView(bool bPrint, IGIS_Display* pDisplay, const SGIS_Rect& rect,
                   IGIS_SpatialReference* pReference, SGIS_Rect* pDev);
  // The map's "GIS_DISP_WORLD_RECT", or its full extent rounded to integers.
  static SGIS_DRect WorldRect(IGIS_Map* pMap);
  // A new reference owned by the caller, equal to the source.
  static IGIS_SpatialReference* CopySpatialReference(IGIS_SpatialReference* pSource);
  // What changed before bound and scale are fitted again.
  enum class ScaleChange {
    Frame = 1,  // the frame's rectangle
    Scale = 2,  // the kept scale
    Bound = 3,  // the map bound
  };
  // Re-fits bound and scale after the change; 1 when a change was made and
  // announced, 0 when only the view was told or nothing was done yet, -1
  // when refused.
  int UpdateScale(ScaleChange change);
  void PushExtentHistory();
  double CalcMapScale();
  bool MoveInHistory(int nStep);
  void CommitGeometry(IGIS_Feature* pFeature, const SGIS_Rect& rect);
  // The layout's spatial reference (the owner's feature class's), or NULL.
  IGIS_SpatialReference* PageReference();
  // The bound as a five-point polygon in the main view's reference.
  IGIS_GeoPolygon* RectToGeoPolygon(const SGIS_DRect& rect, IGIS_SpatialReference* pReference);
  void ReplaceClipPolygon(IGIS_GeoPolygon* pPolygon);
  // Binds the document's map of the stored name at the end of reading.
  void BindStoredMap();
  // Carries a bound read in the frame's stored reference into the map's,
  // which the frame then takes: the place shown moves with the references,
  // the bound's size and the printed scale stay. References that cannot be
  // related change nothing and write a record.
  void CarryStoredBound(IGIS_SpatialReference* pMapReference);
  IGIS_Map* FindDocumentMap(const char* szOperation, const char* szName, bool* pReached);
  // The record of a page without a map layer, written once per page: the
  // page's first frame keeps that it was written.
  void RecordNoMapLayer(const std::string& method, const char* szName);
  void DetachFromMap();
  void ReadBorders(const md::layout::StoredSetView& set);
  void WriteBorder(md::layout::CustomSetWriter& set, const char* szKey, const char* szNullKey,
                   IGIS_MapBorder* pBorder, const std::vector<unsigned char>& kept);
  void CopyMapName(const char* szName);
  // Keeps a clone of the border (NULL removes it) and forgets a kept one.
  static void ReplaceBorder(md::basilo::ReleasePtr<IGIS_MapBorder>* pHeld, std::vector<unsigned char>* pKept,
                            IGIS_MapBorder* pBorder);

  SGIS_DRect m_bound;
  IGIS_Map* m_pMap = nullptr;
  std::string m_strMapName;
  md::basilo::ReleasePtr<IGIS_MainObject> m_pMainObject;
  IGIS_Subject* m_pSubject = nullptr;
  int m_nExtentType = GIS_MAP_EXTENT_AUTOMATIC;
  double m_dFixScale = 10.0;
  md::basilo::ReleasePtr<IGIS_FrameProperty> m_pFrame;
  std::vector<SGIS_DRect> m_history;
  int m_nHistoryIndex = 0;
  md::basilo::ReleasePtr<CGIS_MapGrids> m_pGrids;
  IGIS_GeoPolygon* m_pClipPolygon = nullptr;
  double m_dRotateAngle = 0.0;
  md::basilo::ReleasePtr<IGIS_SpatialReference> m_pSpatialReference;
  md::basilo::ReleasePtr<IGIS_MapBorder> m_pInnerBorder;
  md::basilo::ReleasePtr<IGIS_MapBorder> m_pOuterBorder;
  // Stored borders of a kind the library could not rebuild: written back as read.
  std::vector<unsigned char> m_keptInnerBorder;
  std::vector<unsigned char> m_keptOuterBorder;
  bool m_bDisableAutoControlVectorSubLayer = true;
  bool m_bFrameSized = false;
  // Set once GIS_MESSAGE_ELEMENT_MAP_DEL went to the followers.
  bool m_bDeletionSent = false;
  // Set on the page's first frame once a frame of the page recorded that the
  // page has no map layer.
  bool m_bNoMapLayerRecorded = false;
};
