// What the plain shapes (rectangle, ellipse, polygon, polyline, point) share:
// binding to a feature with their bookkeeping fields and default symbol,
// committing a changed feature, the nearest-integer rule, the keep-ratio
// factor, symbol copies handed to features, the checks before drawing,
// drawing a device point list with a symbol inside the element clip, running
// a property sheet around a backup copy, and the base classes that move,
// scale and resize a shape held as one rectangle or as a list of vertices.
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "host/basilo/sgis_types.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/shapes/shapesheet.h"
#include "platform/win/wintypes.h"

class IGIS_Display;
class IGIS_DisplayView;
class IGIS_Feature;
class IGIS_Symbol;
class IGIS_SpatialReference;

namespace mapdeck::shapes {

// Commit flags of a changed feature.
constexpr int kCommitSymbol = 8;
constexpr int kCommitGeometry = 64;
constexpr int kCommitPointSymbol = 72;  // geometry and symbol
constexpr int kCommitAll = 127;

// Nearest integer, halves away from zero (NaN and out-of-range values are
// clamped instead of overflowing).
inline int Nearest(double v) { return sgis_detail::RoundToInt32(v); }

// a + b, held to the 32-bit range (page coordinates never wrap around).
inline int AddClamped(int a, int b) { return sgis_detail::ClampToInt32(static_cast<std::int64_t>(a) + b); }

// a - b, held to the 32-bit range.
inline int SubClamped(int a, int b) { return sgis_detail::ClampToInt32(static_cast<std::int64_t>(a) - b); }

// The rectangle moved by (dx, dy).
inline SGIS_Rect OffsetBox(SGIS_Rect r, int dx, int dy) {
  return SGIS_Rect(AddClamped(r.left, dx), AddClamped(r.top, dy), AddClamped(r.right, dx),
                   AddClamped(r.bottom, dy));
}

// The single factor that replaces sx and sy when the ratio of width to
// height is kept: the smaller when either is at least 1.0, the larger when
// both are below 1.0.
double KeepRatioFactor(double sx, double sy);

// The requested size (nWidth, nHeight) replaced by the present one (w, h)
// scaled by the single keep-ratio factor; false, and the request left as it
// is, when w or h is 0 (there is no ratio to keep).
bool KeepRatioSize(int w, int h, int& nWidth, int& nHeight);

// The rectangle a box shape (rectangle, ellipse, point) gets from
// ScaleShape: the left-bottom corner scaled about the origin with the factors
// as given, then width and height scaled with them, or with their smaller one
// when the ratio is kept.
SGIS_Rect ScaleBox(SGIS_Rect r, SGIS_Point origin, double sx, double sy, bool bKeepRatio);

// The rectangle resized to the new width and height (already chosen) about
// its left-bottom corner.
SGIS_Rect ResizeBox(SGIS_Rect r, int nWidth, int nHeight);

// A new default symbol of the type whose part gets the style code; NULL when
// the symbol library has none.
IGIS_Symbol* MakeDefaultSymbol(int nType, int nStyleCode);

// Hands the feature a new default symbol; the symbol is released again when
// the feature refuses it.
void GiveDefaultSymbol(IGIS_Feature* pFeature, int nType, int nStyleCode);

// Hands the feature a copy of the symbol (NULL clears it). FALSE when the
// feature refused it; the copy is released then.
BOOL GiveSymbolCopy(IGIS_Feature* pFeature, IGIS_Symbol* pSymbol);

// Commits the changed feature through the owner's feature class.
BOOL Commit(CGIS_ElementCore& core, IGIS_Feature* pFeature, int nFlags);

// The feature's symbol for GetSymbolPtr (its fill view when bFillView); NULL
// without a feature (recorded) or a symbol.
IGIS_Symbol* FeatureSymbol(CGIS_ElementCore& core, bool bFillView);

// Hands the feature a copy of the symbol and commits it with the flags; a
// refused copy or commit is recorded as "b_ret == NULL" under SetSymbolPtr.
void CommitSymbolCopy(CGIS_ElementCore& core, IGIS_Feature* pFeature, IGIS_Symbol* pSymbol, int nFlags);

// SetSymbolPtr of a shape that takes any symbol: a NULL one is recorded
// (level 4) and clears the feature's; then CommitSymbolCopy.
void SetFeatureSymbol(CGIS_ElementCore& core, IGIS_Symbol* pSymbol, int nFlags);

// The spatial reference of the owner's feature class, or NULL.
IGIS_SpatialReference* PageReference(CGIS_ElementCore& core);

// A new element of the type in the element's owner, seen through its own
// interface; NULL (and nothing left behind) when it cannot be made.
template <class TElement>
TElement* NewSibling(CGIS_ElementCore& core, const char* szType) {
  IGIS_FeatureSet* pOwner = core.m_pFeatureSet;
  if (pOwner == nullptr) return nullptr;
  IGIS_Element* pElement = pOwner->CreateElement(szType);
  if (pElement == nullptr) return nullptr;
  auto* pTyped = dynamic_cast<TElement*>(pElement);
  if (pTyped == nullptr && !pOwner->DeleteElement(pElement)) pElement->Release();
  return pTyped;
}

// How a plain shape binds to its feature.
struct SGIS_ShapeBinding {
  const char* szType = "";
  int nKind = 1024;
  int nSymbolType = 12;  // default symbol: type and style code
  int nSymbolCode = 3361;
  bool bCanConvertBound = false;  // "CanConvert" written on a bound feature
  bool bLogCreateFailure = true;  // record when no feature can be made
};

// The binding every plain shape follows. No owner: unbound. No feature: a new
// one of the kind with "InterfacePtr", "TYPE", "IsLock", "KeepHVScaleRatio"
// and "CanConvert" (false) and the default symbol. A feature: bound, with
// "InterfacePtr", "TYPE" and "CanConvert" rewritten and the default symbol
// given when it has none; its stored flags are left for Archive.
CGIS_ElementCore::Binding BindShape(CGIS_ElementCore& core, IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature,
                                    const SGIS_ShapeBinding& binding);

// "Class::Class", the name of the element's constructor in log records.
std::string ConstructorName(CGIS_ElementCore& core);

// Writes the bookkeeping fields of a feature the element has just made.
void WriteNewFeatureFields(CGIS_ElementCore& core, IGIS_Feature* pFeature, const char* szType);

// The texts OnDraw records when something it needs is missing (the classes
// word some of them differently).
struct SGIS_DrawTexts {
  const char* szNoFeature = "m_pFeature == NULL";
  const char* szNoSymbol = "p_symbol == NULL";
  const char* szNoGeometry = "m_pFeature->GetGeoPtr()== NULL";  // NULL: not recorded
  const char* szGeometryMethodPrefix = "";                      // before "Class::OnDraw" in that record
};

// What a shape is drawn with.
struct SGIS_DrawInputs {
  IGIS_SpatialReference* pReference = nullptr;
  IGIS_Feature* pFeature = nullptr;
  IGIS_Symbol* pSymbol = nullptr;
  IGIS_Geometry* pGeometry = nullptr;
  IGIS_DisplayView* pView = nullptr;
};

// Gathers, in this order, the page reference, the element's feature, the
// renderer (only checked), the feature's symbol, its geometry and the
// display's view. False at the first one missing, recorded at level 3 under
// "Class::OnDraw" ("p_spatialreference== NULL ", the texts given,
// "p_symbolization == NULL", "pDisplay == NULL").
bool GatherDrawInputs(CGIS_ElementCore& core, IGIS_Display* pDisplay, const SGIS_DrawTexts& texts,
                      SGIS_DrawInputs& in);

// Draws the geometry's vertices as one device point list, runs landing on
// the same device point kept once. Fewer than nMinCount vertices: FALSE with
// szTooFew recorded; TRUE once handed to the renderer.
BOOL DrawVertices(CGIS_ElementCore& core, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                  const SGIS_DrawInputs& in, int nMinCount, const char* szTooFew);

// Draws the device points with the symbol through the renderer, inside the
// element clip sequence of the display (saved, narrowed, restored). The
// symbol scale is the display ratio unless dScale is given (> 0).
BOOL DrawDevicePoints(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_Symbol* pSymbol, POINT* pPoints,
                      int nCount, double dScale = 0.0);

// Appends the device point unless it equals the last one appended.
void AppendDistinct(std::vector<POINT>& points, int x, int y);

// The page points converted by the view, runs of points that land on the
// same device point kept once.
void PageToDeviceDistinct(IGIS_DisplayView* pView, IGIS_SpatialReference* pReference,
                          const SGIS_Point* pPoints, int nCount, std::vector<POINT>& out);

// Scale factors the shapes accept: finite, and above 0 (or at least 0 when
// bAllowZero).
inline bool IsUsableFactor(double f, bool bAllowZero) {
  return std::isfinite(f) && (bAllowZero ? f >= 0.0 : f > 0.0);
}

// The backup protocol around a plain shape's property sheet: the library's
// module state for the whole call, a Clone as backup (NULL: record
// "p_element == NULL", FALSE), the sheet run through its registered runner,
// and on anything but OK the element restored from the backup. The backup
// leaves the owner either way. TRUE only when the user pressed OK.
BOOL RunShapeSheet(CGIS_ElementCore& core, GIS_ShapeSheetKind kind, IGIS_Display* pDisplay,
                   const char* szTitle, const std::function<void(IGIS_Element* pBackup)>& restore);

// How a vertex shape treats its vertices.
struct SGIS_VertexRules {
  int nMinToMove = 0;        // fewer vertices: OffsetAllPoints does nothing
  int nMinToFit = 0;         // fewer: ScaleShape, SetWidthAndHeight and SetLBpoint do nothing
  bool bAllowZero = false;   // factors and sizes of 0 accepted (they flatten the shape)
  bool bClosedRing = false;  // a last vertex repeating the first follows the first
};

// The feature's geometry when it has at least nMin vertices, else NULL.
IGIS_Geometry* UsableVertices(IGIS_Feature* pFeature, int nMin);

// Copies the backup's vertices into the element's geometry exactly and
// commits the geometry: a cancelled edit comes back without the rounding a
// restore through the bounding rectangle brings.
void RestoreVertices(CGIS_ElementCore& core, IGIS_Element* pBackup);

// Moves the vertices by (dx, dy), held to the 32-bit range.
void OffsetVertices(IGIS_Geometry* pGeometry, const SGIS_VertexRules& rules, int dx, int dy);

// Scales the vertices: the left-bottom corner of their bound about the
// origin, every vertex about that corner (with the smaller factor for both
// when bKeepRatio).
void ScaleVertices(IGIS_Geometry* pGeometry, const SGIS_VertexRules& rules, SGIS_Rect bound,
                   SGIS_Point origin, double sx, double sy, bool bKeepRatio);

// ---- Base classes -------------------------------------------------------------

// What every plain shape answers alike: its type, no description, no
// conversion, its feature's bound as its rectangle, and SetRect as a move of
// the left-bottom corner followed by a resize.
template <class TInterface>
class CGIS_ShapeImpl : public CGIS_ElementImpl<TInterface> {
 public:
  const char* GetType() override { return m_szType; }
  const char* GetDescription() override { return "暂时没有定义"; }
  bool CanConvert() override { return false; }
  IGIS_Element* ConvertToElement() override { return nullptr; }

  // The feature's bound; empty without a feature (recorded).
  SGIS_Rect GetRect() override {
    SGIS_Rect r;
    IGIS_Feature* pFeature = this->m_core.RequireFeature("GetRect");
    if (pFeature != nullptr) pFeature->GetBound(&r, 1, 0);
    return r;
  }

  // An empty rectangle (after normalising) is refused.
  void SetRect(SGIS_Rect rect) override {
    rect.Normalize();
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    MoveAndResize(rect);
  }

 protected:
  CGIS_ShapeImpl(const char* szClass, const char* szDefaultName, const char* szType)
      : CGIS_ElementImpl<TInterface>(szClass, szDefaultName), m_szType(szType) {}
  ~CGIS_ShapeImpl() override = default;

  // Moves the left-bottom corner onto the rectangle's, then takes its size.
  void MoveAndResize(const SGIS_Rect& rect) {
    const SGIS_Rect c = this->GetRect();
    this->OffsetAllPoints(SubClamped(rect.left, c.left), SubClamped(rect.bottom, c.bottom));
    this->SetWidthAndHeight(rect.Width(), rect.Height());
  }

  // The restore of a surface shape's property sheet: its rectangle as the
  // backup's (set with the ratio free), the backup's ratio flag, lock and,
  // from a backup of the same interface, its symbol. bKeepWithoutSymbol: a
  // backup without a symbol leaves the present one.
  void RestoreSurface(IGIS_Element* pBackup, bool bKeepWithoutSymbol) {
    this->SetHVScaleRatio(false);
    this->SetRect(pBackup->GetRect());
    this->SetHVScaleRatio(pBackup->GetHVScaleRatio());
    this->SetLock(pBackup->IsLock());
    auto* pOld = dynamic_cast<TInterface*>(pBackup);
    if (pOld == nullptr) return;
    IGIS_Symbol* pSymbol = pOld->GetSymbolPtr();
    if (pSymbol != nullptr || !bKeepWithoutSymbol) this->SetSymbolPtr(pSymbol);
  }

 private:
  const char* m_szType;
};

// A shape held as one rectangle in its feature (rectangle, ellipse, point):
// moved, scaled and resized as that rectangle, each change written with
// WriteBox and committed as a geometry change. Sizes below 1 are refused;
// a resize keeps the left-bottom corner.
template <class TInterface>
class CGIS_BoxShapeImpl : public CGIS_ShapeImpl<TInterface> {
 public:
  void OffsetAllPoints(int dx, int dy) override {
    if (dx == 0 && dy == 0) return;
    IGIS_Feature* pFeature = this->m_core.RequireFeature("OffsetAllPoints");
    if (pFeature == nullptr) return;
    CommitBox(pFeature, OffsetBox(this->GetRect(), dx, dy));
  }

  void SetLBpoint(SGIS_Point point) override {
    const SGIS_Rect r = this->GetRect();
    this->OffsetAllPoints(SubClamped(point.x, r.left), SubClamped(point.y, r.bottom));
  }

  void ScaleShape(SGIS_Point origin, double sx, double sy) override {
    if (!IsUsableFactor(sx, false) || !IsUsableFactor(sy, false)) return;
    IGIS_Feature* pFeature = this->m_core.RequireFeature("ScaleShape");
    if (pFeature == nullptr) return;
    CommitBox(pFeature, ScaleBox(this->GetRect(), origin, sx, sy, this->GetHVScaleRatio()));
  }

  void SetWidthAndHeight(int nWidth, int nHeight) override {
    if (nWidth <= 0 || nHeight <= 0) return;
    IGIS_Feature* pFeature = this->m_core.RequireFeature("SetWidthAndHeight");
    if (pFeature == nullptr) return;
    const SGIS_Rect r = this->GetRect();
    if (nWidth == r.Width() && nHeight == r.Height()) return;
    if (!FitSize(pFeature, r.Width(), r.Height(), nWidth, nHeight)) return;
    CommitBox(pFeature, ResizeBox(r, nWidth, nHeight));
  }

 protected:
  using CGIS_ShapeImpl<TInterface>::CGIS_ShapeImpl;
  ~CGIS_BoxShapeImpl() override = default;

  // Turns the requested size into the one the box takes (w, h: its present
  // size); false leaves the box as it is. Here: the request, or with the
  // ratio kept (and one to keep) the present size scaled by one factor.
  virtual bool FitSize(IGIS_Feature* /*pFeature*/, int w, int h, int& nWidth, int& nHeight) {
    if (this->GetHVScaleRatio()) KeepRatioSize(w, h, nWidth, nHeight);
    return true;
  }

  // Writes the rectangle into the geometry; here as a rectangle.
  virtual void WriteBox(IGIS_Geometry* pGeometry, SGIS_Rect rect) { pGeometry->SetRect(rect, 0); }

  void CommitBox(IGIS_Feature* pFeature, SGIS_Rect rect) {
    if (IGIS_Geometry* pGeometry = pFeature->GetGeometry()) WriteBox(pGeometry, rect);
    Commit(this->m_core, pFeature, kCommitGeometry);
  }
};

// A shape held as a list of vertices (polygon, polyline): moved and scaled
// vertex by vertex and resized by scaling about its bound's left-bottom
// corner, each change committed as a geometry change.
template <class TInterface>
class CGIS_VertexShapeImpl : public CGIS_ShapeImpl<TInterface> {
 public:
  void OffsetAllPoints(int dx, int dy) override {
    if (dx == 0 && dy == 0) return;
    IGIS_Feature* pFeature = nullptr;
    IGIS_Geometry* pGeometry = Vertices("OffsetAllPoints", m_rules.nMinToMove, &pFeature);
    if (pGeometry == nullptr) return;
    OffsetVertices(pGeometry, m_rules, dx, dy);
    Commit(this->m_core, pFeature, kCommitGeometry);
  }

  void SetLBpoint(SGIS_Point point) override {
    if (Vertices("SetLBpoint", m_rules.nMinToFit, nullptr) == nullptr) return;
    const SGIS_Rect c = this->GetRect();
    this->OffsetAllPoints(SubClamped(point.x, c.left), SubClamped(point.y, c.bottom));
  }

  void ScaleShape(SGIS_Point origin, double sx, double sy) override {
    if (!IsUsableFactor(sx, m_rules.bAllowZero) || !IsUsableFactor(sy, m_rules.bAllowZero)) return;
    IGIS_Feature* pFeature = nullptr;
    IGIS_Geometry* pGeometry = Vertices("ScaleShape", m_rules.nMinToFit, &pFeature);
    if (pGeometry == nullptr) return;
    ScaleVertices(pGeometry, m_rules, this->GetRect(), origin, sx, sy, this->GetHVScaleRatio());
    Commit(this->m_core, pFeature, kCommitGeometry);
  }

  void SetWidthAndHeight(int nWidth, int nHeight) override {
    IGIS_Feature* pFeature = this->m_core.RequireFeature("SetWidthAndHeight");
    if (pFeature == nullptr) return;
    const int nMinSize = m_rules.bAllowZero ? 0 : 1;
    if (nWidth < nMinSize || nHeight < nMinSize) return;
    if (UsableVertices(pFeature, m_rules.nMinToFit) == nullptr) return;
    const SGIS_Rect r = this->GetRect();
    const int w = r.Width();
    const int h = r.Height();
    if (nWidth == w && nHeight == h) return;
    double sx = w != 0 ? static_cast<double>(nWidth) / w : 1.0;
    double sy = h != 0 ? static_cast<double>(nHeight) / h : 1.0;
    if (this->GetHVScaleRatio()) sx = sy = KeepRatioFactor(sx, sy);
    this->ScaleShape(SGIS_Point(r.left, r.bottom, 0), sx, sy);
  }

 protected:
  CGIS_VertexShapeImpl(const char* szClass, const char* szDefaultName, const char* szType,
                       const SGIS_VertexRules& rules)
      : CGIS_ShapeImpl<TInterface>(szClass, szDefaultName, szType), m_rules(rules) {}
  ~CGIS_VertexShapeImpl() override = default;

 private:
  // The geometry an operation works on: the feature's (missing: recorded
  // under the operation) with at least nMin vertices; NULL otherwise.
  IGIS_Geometry* Vertices(const char* szOperation, int nMin, IGIS_Feature** ppFeature) {
    IGIS_Feature* pFeature = this->m_core.RequireFeature(szOperation);
    if (ppFeature != nullptr) *ppFeature = pFeature;
    return pFeature != nullptr ? UsableVertices(pFeature, nMin) : nullptr;
  }

  SGIS_VertexRules m_rules;
};

}  // namespace mapdeck::shapes
