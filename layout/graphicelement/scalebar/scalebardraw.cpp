// A scale bar's division width, layout (Refresh) and the drawing every bar
// shares: marks, numeric labels, unit label and the frame's border, all read
// through the bar's interface.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/recentring.h"
#include "host/basilo/releaseptr.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "host/display/igis_display.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/notara/igis_annostyle.h"
#include "host/notaradraw/igis_annodrawer.h"
#include "host/sferon/igis_spatialreference.h"
#include "host/stratel/igis_numericformat.h"
#include "host/tinctor/igis_symbolrenderer.h"
#include "layout/graphicelement/element/mapdeckclip.h"
#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/scalebar/igis_scalebar.h"
#include "layout/graphicelement/scalebar/igis_scalemarks.h"
#include "layout/graphicelement/scalebar/scalebardraw.h"
#include "layout/graphicelement/scalebar/scalebarformats.h"
#include "layout/graphicelement/scalebar/scalebarplaces.h"
#include "layout/graphicelement/shapes/shapedraw.h"
#include "platform/win/cdc.h"

using namespace md::layout::detail;

namespace {

inline int Round(double v) { return md::basilo::detail::RoundToInt32(v); }

// Longest label text a drawing measures and draws.
constexpr std::size_t kMeasuredTextBytes = 999;
constexpr std::size_t kDrawnLabelBytes = 127;

IGIS_SpatialReference* PageReferenceOf(IGIS_ScaleBar* pBar) {
  IGIS_FeatureSet* pOwner = pBar->GetFeatureSetPtr();
  IGIS_FeatureClass* pClass = pOwner != nullptr ? pOwner->GetFeatureClass() : nullptr;
  return pClass != nullptr ? pClass->GetSpatialReference() : nullptr;
}

IGIS_SpatialReference* MapReferenceOf(IGIS_MapElement* pFrame) {
  IGIS_Map* pMap = pFrame != nullptr ? pFrame->GetMap() : nullptr;
  return pMap != nullptr ? pMap->GetSpatialReference() : nullptr;
}

// The page reference a mark or label is drawn with, once the renderer is
// there too; NULL after the record of what is missing.
IGIS_SpatialReference* MarkServices(IGIS_ScaleBar* pBar, const char* szMethod) {
  IGIS_SpatialReference* pReference = PageReferenceOf(pBar);
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_spatialreference== NULL ");
    return nullptr;
  }
  if (GIS_GetSymbolizationObject() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, szMethod, "p_symbolization == NULL");
    return nullptr;
  }
  return pReference;
}

double UnitFactor(IGIS_Unit* pUnit) { return pUnit != nullptr ? pUnit->GetFactor() : 0.0; }

// A point style of the annotation library, owned by the caller; NULL when
// there is none.
IGIS_AnnoPointStyle* NewPointStyle() {
  IGIS_AnnoStyleFactory* pFactory = GIS_GetAnnotationStyleFactoryObject();
  IGIS_AnnoStyleSet* pSet = pFactory != nullptr ? pFactory->CreateStyleSet(1) : nullptr;
  return pSet != nullptr ? pSet->GetPointStyle() : nullptr;
}

// Draws the text standing on the page box's lower-left corner, inside the
// element clip.
void DrawBoxedText(HDC hdc, bool bPrint, IGIS_Display* pDisplay, IGIS_SpatialReference* pReference,
                   IGIS_AnnoDrawer* pDrawer, IGIS_AnnoPointStyle* pStyle, IGIS_Symbol* pTextSymbol,
                   const char* szText, const SGIS_Rect& box, IGIS_FeatureSet* pOwner) {
  IGIS_DisplayView* pView = pDisplay->GetView();
  const SGIS_Rect device = pView->PageToDeviceRect(box, pReference);
  const SGIS_Point anchor(device.left, device.bottom, 0);
  if (pTextSymbol != nullptr) pStyle->SetTextStyle(pTextSymbol);
  pStyle->SetAlignment(GIS_ALIGN_BOTTOM_LEFT);
  CGIS_ElementClipScope clip(hdc, pDisplay);
  DrawWithDrawer(pDrawer, pDisplay, CDC::FromHandle(hdc), bPrint, GetDisplayRatio(pDisplay), pStyle, szText,
                 &anchor, 1, pOwner);
}

}  // namespace

// ---- Free functions ---------------------------------------------------------------

SGIS_DRect ExtendRectToPoint(SGIS_DRect rect, SGIS_DPoint point) {
  rect.x1 = std::min(rect.x1, point.x);
  rect.x2 = std::max(rect.x2, point.x);
  rect.y1 = std::max(rect.y1, point.y);
  rect.y2 = std::min(rect.y2, point.y);
  return rect;
}

double GetGroundDistancePerPageUnit(IGIS_MapElement* pMapElement, int nUnitCode) {
  IGIS_SpatialReference* pReference = MapReferenceOf(pMapElement);
  if (pReference == nullptr) return 0.0;
  SGIS_DRect bound;
  pMapElement->GetMapBound(&bound);
  const double cy = (bound.y1 + bound.y2) / 2.0;
  const double d = (bound.x2 - bound.x1) * 0.01;
  // The measured stretch leaves 1 % out at either side: so does the divisor.
  const double pageWidth = pMapElement->GetRect().Width() * 0.98;
  if (!(pageWidth > 0.0)) return 0.0;
  IGIS_GeoArithmetic* pArithmetic = GIS_CreateGeoArithmeticObject();
  if (pArithmetic == nullptr) return 0.0;
  const double distance = pArithmetic->Distance(bound.x1 + d, cy, bound.x2 - d, cy, pReference, nUnitCode);
  pArithmetic->Release();
  return distance / pageWidth;
}

SGIS_Rect MeasureLabelText(double dValue, IGIS_MapElement* pMapElement, IGIS_NumericFormat* pNumeric,
                           IGIS_NumericFormat* pLatLon, IGIS_Symbol* pTextSymbol) {
  std::string text;
  IGIS_SpatialReference* pReference = MapReferenceOf(pMapElement);
  if (pReference != nullptr && pReference->GetKind() == GIS_SPATIALREFERENCE_GEOGRAPHIC) {
    IGIS_NumericFormat* pPlain = NewPlainFormatLike(pLatLon);
    text = FormatNumber(pPlain, dValue, kMeasuredTextBytes);
    if (pPlain != nullptr) pPlain->Release();
  } else {
    text = FormatNumber(pNumeric, dValue, kMeasuredTextBytes);
  }
  return TextExtent(pTextSymbol, text.c_str());
}

// ---- Division width ---------------------------------------------------------------

namespace md::layout::detail {

DivisionWidth ComputeDivisionWidth(IGIS_ScaleBar& bar) {
  return ComputeDivisionWidth(bar, bar.GetMapElement());
}

DivisionWidth ComputeDivisionWidth(IGIS_ScaleBar& bar, IGIS_MapElement* pFrame) {
  DivisionWidth w{bar.GetBarWidth(), bar.GetDivision(), bar.GetMapScale()};
  // Without a map shown (none bound, or the one it names cannot be found)
  // there is no scale to measure at: the stored width, division and scale
  // stand, so that the bar prints as it was once the map is back.
  IGIS_Map* pMap = pFrame != nullptr ? pFrame->GetMap() : nullptr;
  if (pMap == nullptr) return w;
  w.dMapScale = pFrame->GetScale();
  if (w.dMapScale == 0.0 || !std::isfinite(w.dMapScale)) return w;
  IGIS_SpatialReferenceFactory* pFactory = GIS_GetSpatialReferenceFactoryObject();
  IGIS_SpatialReference* pReference = pMap->GetSpatialReference();
  if (pFactory == nullptr || pReference == nullptr) return w;
  const double s = pReference->GetUnitFactor();
  const int t = pReference->GetKind();
  const int c = pFactory->GetLinearUnitCount();
  const int nUnits = bar.GetUnits();
  const bool bLinear = nUnits >= 0 && nUnits < c;
  const bool bDegrees = nUnits == c;
  const double f = bLinear ? UnitFactor(pFactory->GetLinearUnit(nUnits)) : 0.0;
  double r = 0.0;
  if (t == GIS_SPATIALREFERENCE_GEOGRAPHIC && (bLinear || bDegrees)) {
    if (bLinear) {
      r = GetGroundDistancePerPageUnit(pFrame, GIS_DISTANCE_METRE) / f;
    } else {
      IGIS_GeographicCoordSys* pSystem = pReference->GetGeographicCoordSys();
      const double a = UnitFactor(pSystem != nullptr ? pSystem->GetAngularUnit() : nullptr);
      const double g = UnitFactor(pFactory->GetUnitByName("度"));
      r = (a / s) * w.dMapScale / g;
    }
  } else if (t == GIS_SPATIALREFERENCE_PROJECTED && (bLinear || bDegrees)) {
    if (bLinear) {
      IGIS_ProjectedCoordSys* pSystem = pReference->GetProjectedCoordSys();
      const double l = UnitFactor(pSystem != nullptr ? pSystem->GetLinearUnit() : nullptr);
      r = (l / s) * w.dMapScale / f;
    } else {
      r = GetGroundDistancePerPageUnit(pFrame, GIS_DISTANCE_DEGREE);
    }
  } else if (t == GIS_SPATIALREFERENCE_NONE) {
    r = w.dMapScale / s;
  } else {
    r = (1.0 / s) * w.dMapScale;  // an unknown unit: map units as they are
  }
  const bool bUsable = r > 0.0 && std::isfinite(r);
  w.nBarWidth = bUsable ? Round(w.dDivision / r) : 1000;
  if (w.nBarWidth == 0) {
    w.nBarWidth = 1000;
    w.dDivision = 1000 * r;
  }
  return w;
}

// ---- Layout -------------------------------------------------------------------------

BarExtent LayOutBarExtent(IGIS_ScaleBar& bar, double dw) {
  IGIS_ScaleMarks* pMarks = bar.GetScaleMarks();
  const int nFrequency = bar.GetLabelFrequency();
  const double V = bar.GetDivision();
  const int n = UsableDivisions(bar.GetDivisions());
  const double W = n * dw;
  const double H = bar.GetBarHeight();
  SGIS_DRect R(0.0, H, W, 0.0);
  if (pMarks != nullptr) {
    const int f = pMarks->GetMarkFrequency();
    auto span = [&](double h) {
      switch (UsablePosition(pMarks->GetMarkPosition())) {
        case GIS_SCALEBAR_POSITION_MIDDLE:
          return std::pair<double, double>((H - h) * 0.5, (H - h) * 0.5 + h);
        case GIS_SCALEBAR_POSITION_BOTTOM:
        case GIS_SCALEBAR_POSITION_BELOW:
          return std::pair<double, double>(0.0, -h);
        default:
          return std::pair<double, double>(H, H + h);
      }
    };
    if (f >= GIS_SCALEMARKS_ENDS && f <= GIS_SCALEMARKS_ALL_SUBDIVISIONS) {
      const auto [a, b] = span(pMarks->GetDivisionMarkHeight());
      R = ExtendRectToPoint(ExtendRectToPoint(R, SGIS_DPoint(0.0, a, 0.0)), SGIS_DPoint(0.0, b, 0.0));
    }
    if (f >= GIS_SCALEMARKS_FIRST_MIDPOINT && f <= GIS_SCALEMARKS_ALL_SUBDIVISIONS) {
      const auto [a, b] = span(pMarks->GetSubdivisionMarkHeight());
      R = ExtendRectToPoint(ExtendRectToPoint(R, SGIS_DPoint(0.0, a, 0.0)), SGIS_DPoint(0.0, b, 0.0));
    }
  }
  const double k = SymbolScale(&bar);
  const double textH = TextHeight(bar.GetLabelSymbol(), k);
  const double gap = bar.GetLabelGap();
  const int nLabelPosition = UsablePosition(bar.GetLabelPosition());
  double yL = H + gap + textH;
  if (nLabelPosition == GIS_SCALEBAR_POSITION_MIDDLE) yL = H * 0.5 + gap + textH;
  if (nLabelPosition >= GIS_SCALEBAR_POSITION_BOTTOM) yL = -(gap + textH);
  if (nFrequency >= GIS_SCALEBAR_LABELS_ENDS && nFrequency <= GIS_SCALEBAR_LABELS_ALL_SUBDIVISIONS) {
    IGIS_MapElement* pFrame = bar.GetMapElement();
    const double first = bar.GetDivisionsBeforeZero() ? V : 0.0;
    const double last = bar.GetDivisionsBeforeZero() ? (n - 1) * V : n * V;
    const SGIS_Rect w1 =
        MeasureLabelText(first, pFrame, bar.GetNumericFormat(), bar.GetLatLonFormat(), bar.GetLabelSymbol());
    const SGIS_Rect w2 =
        MeasureLabelText(last, pFrame, bar.GetNumericFormat(), bar.GetLatLonFormat(), bar.GetLabelSymbol());
    R = ExtendRectToPoint(R, SGIS_DPoint(-w1.Width() * k * 0.5, yL, 0.0));
    R = ExtendRectToPoint(R, SGIS_DPoint(W + w2.Width() * k * 0.5, yL, 0.0));
  }
  const SGIS_Rect U = TextExtent(bar.GetUnitLabelSymbol(), bar.GetUnitLabel());
  const double uh = U.Height() * k;
  const double uw = U.Width() * k;
  const double gu = bar.GetUnitLabelGap();
  double yU = H + gap + uh;
  if (nLabelPosition == GIS_SCALEBAR_POSITION_MIDDLE) yU = H * 0.5 + gap + uh;
  if (nLabelPosition >= GIS_SCALEBAR_POSITION_BOTTOM) yU = 0.0;
  const double centre = (R.x1 + R.x2) / 2.0;
  SGIS_DPoint q;
  switch (UsableUnitPosition(bar.GetUnitLabelPosition())) {
    case GIS_SCALEBAR_UNIT_ABOVE:
      q = SGIS_DPoint(centre, R.y1 + gu + uh, 0.0);
      break;
    case GIS_SCALEBAR_UNIT_BEFORE_LABELS:
      q = SGIS_DPoint(R.x1 - gu - uw, yU, 0.0);
      break;
    case GIS_SCALEBAR_UNIT_BEFORE_BAR:
      q = SGIS_DPoint(-gu - uw, uh, 0.0);
      break;
    case GIS_SCALEBAR_UNIT_AFTER_BAR:
      q = SGIS_DPoint(W + gu + uw, uh, 0.0);
      break;
    case GIS_SCALEBAR_UNIT_BELOW:
      q = SGIS_DPoint(centre, R.y2 - gu - uh, 0.0);
      break;
    default:
      q = SGIS_DPoint(R.x2 + gu + uw, yU, 0.0);
      break;
  }
  R = ExtendRectToPoint(R, q);
  BarExtent extent;
  extent.nBarX = Round(-R.x1);
  extent.nBarY = Round(-R.y2);
  extent.dWidth = R.Width();
  extent.dHeight = R.Height();
  return extent;
}

// ---- Layout of a bar just read ----------------------------------------------------

namespace {

// Every input of LayOutBarExtent but the stored forms and texts: values as
// the bar's getters give them, doubles by their bits.
struct LayoutValues {
  std::uint64_t dw = 0;
  std::uint64_t division = 0;
  std::uint64_t unitRatio = 0;
  int divisions = 0;
  int barHeight = 0;
  int labelFrequency = 0;
  int labelGap = 0;
  int labelPosition = 0;
  int unitLabelGap = 0;
  int unitLabelPosition = 0;
  bool beforeZero = false;
  bool geographic = false;
  bool marks = false;
  int markFrequency = 0;
  int markPosition = 0;
  int divisionMarkHeight = 0;
  int subdivisionMarkHeight = 0;
  // The classes of the two symbols and two formats, which read the forms.
  std::array<const std::type_info*, 4> types{};
  bool operator==(const LayoutValues&) const = default;
};

class ReadLayoutMemo {
 public:
  struct Inputs {
    LayoutValues values;
    std::string_view unitLabel;
    std::string_view engine;
    std::array<std::span<const BYTE>, 4> forms;
  };

  static ReadLayoutMemo& Shared() {
    static ReadLayoutMemo memo;
    return memo;
  }

  bool Find(const Inputs& in, BarExtent* pExtent) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto* e = m_entries.Find([&in](const Key& k) { return Matches(k, in); });
    if (e == nullptr) return false;
    *pExtent = e->value;
    return true;
  }

  void Keep(const Inputs& in, const BarExtent& extent) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    auto& e = m_entries.Renew();
    Assign(&e.key, in);
    e.value = extent;
  }

  struct Key {
    LayoutValues values;
    std::string unitLabel;
    std::string engine;
    std::array<std::vector<BYTE>, 4> forms;
  };

  static void Assign(Key* pKey, const Inputs& in) {
    pKey->values = in.values;
    pKey->unitLabel.assign(in.unitLabel);
    pKey->engine.assign(in.engine);
    for (std::size_t i = 0; i < pKey->forms.size(); ++i)
      pKey->forms[i].assign(in.forms[i].begin(), in.forms[i].end());
  }

  static bool Matches(const Key& k, const Inputs& in) {
    if (!(k.values == in.values) || k.unitLabel != in.unitLabel || k.engine != in.engine) return false;
    for (std::size_t i = 0; i < k.forms.size(); ++i) {
      const std::span<const BYTE> s = in.forms[i];
      if (!std::equal(k.forms[i].begin(), k.forms[i].end(), s.begin(), s.end())) return false;
    }
    return true;
  }

 private:
  std::mutex m_mutex;
  md::basilo::RecentRing<Key, BarExtent, 8> m_entries;
};

template <class T>
const std::type_info* TypeOf(T* p) {
  return p != nullptr ? &typeid(*p) : nullptr;
}

}  // namespace

namespace {

// The memo's inputs of the bar's layout, with the given forms.
ReadLayoutMemo::Inputs InputsOf(IGIS_ScaleBar& bar, IGIS_MapElement* pFrame, double dw,
                                const std::array<std::span<const BYTE>, 4>& forms) {
  ReadLayoutMemo::Inputs in;
  LayoutValues& v = in.values;
  v.dw = std::bit_cast<std::uint64_t>(dw);
  v.division = std::bit_cast<std::uint64_t>(bar.GetDivision());
  v.unitRatio = std::bit_cast<std::uint64_t>(SymbolScale(&bar));
  v.divisions = bar.GetDivisions();
  v.barHeight = bar.GetBarHeight();
  v.labelFrequency = bar.GetLabelFrequency();
  v.labelGap = bar.GetLabelGap();
  v.labelPosition = bar.GetLabelPosition();
  v.unitLabelGap = bar.GetUnitLabelGap();
  v.unitLabelPosition = bar.GetUnitLabelPosition();
  v.beforeZero = bar.GetDivisionsBeforeZero();
  IGIS_SpatialReference* pReference = MapReferenceOf(pFrame);
  v.geographic = pReference != nullptr && pReference->GetKind() == GIS_SPATIALREFERENCE_GEOGRAPHIC;
  if (IGIS_ScaleMarks* pMarks = bar.GetScaleMarks()) {
    v.marks = true;
    v.markFrequency = pMarks->GetMarkFrequency();
    v.markPosition = pMarks->GetMarkPosition();
    v.divisionMarkHeight = pMarks->GetDivisionMarkHeight();
    v.subdivisionMarkHeight = pMarks->GetSubdivisionMarkHeight();
  }
  v.types = {TypeOf(bar.GetLabelSymbol()), TypeOf(bar.GetUnitLabelSymbol()), TypeOf(bar.GetNumericFormat()),
             TypeOf(bar.GetLatLonFormat())};
  const char* szUnitLabel = bar.GetUnitLabel();
  in.unitLabel = szUnitLabel != nullptr ? szUnitLabel : "";
  const char* szEngine = GIS_GetSymbolTextEngine();
  in.engine = szEngine != nullptr ? szEngine : "";
  in.forms = forms;
  return in;
}

std::array<std::span<const BYTE>, 4> FormsOf(const ReadLayoutForms& forms) {
  return {forms.labelSymbol, forms.unitLabelSymbol, forms.numericFormat, forms.latLonFormat};
}

}  // namespace

BarExtent LayOutReadBarExtent(IGIS_ScaleBar& bar, IGIS_MapElement* pFrame, double dw,
                              const ReadLayoutForms& forms) {
  const ReadLayoutMemo::Inputs in = InputsOf(bar, pFrame, dw, FormsOf(forms));
  BarExtent extent;
  if (!ReadLayoutMemo::Shared().Find(in, &extent)) {
    extent = LayOutBarExtent(bar, dw);
    ReadLayoutMemo::Shared().Keep(in, extent);
  }
  return extent;
}

// ---- The layout a bar holds --------------------------------------------------------

namespace {

// The inputs of the bar's layout now: with the forms just read, or with the
// objects saved into the buffers; false when a buffer cannot be made.
bool InputsNow(IGIS_ScaleBar& bar, IGIS_MapElement* pFrame, double dw, const ReadLayoutForms* pForms,
               std::array<md::basilo::ReleasePtr<IGIS_DataBuffer>, 4>& saved,
               ReadLayoutMemo::Inputs* pInputs) {
  // The labels are measured with one number format, the lat/lon one on a
  // geographic map, and with none without labels: the other leaves the
  // layout as it is and is not compared.
  const int nFrequency = bar.GetLabelFrequency();
  const bool bLabels =
      nFrequency >= GIS_SCALEBAR_LABELS_ENDS && nFrequency <= GIS_SCALEBAR_LABELS_ALL_SUBDIVISIONS;
  IGIS_SpatialReference* pReference = MapReferenceOf(pFrame);
  const bool bGeographic = pReference != nullptr && pReference->GetKind() == GIS_SPATIALREFERENCE_GEOGRAPHIC;
  const std::array<bool, 4> measured = {true, true, bLabels && !bGeographic, bLabels && bGeographic};
  std::array<std::span<const BYTE>, 4> forms;
  if (pForms != nullptr) {
    forms = FormsOf(*pForms);
  } else {
    // The saved forms of the objects as they are now, edits through the
    // pointers the bar hands out included.
    if (!saved[0]) {
      for (auto& b : saved) b.reset(GIS_CreateDataBufferObject(0));
    }
    IGIS_Symbol* symbols[2] = {bar.GetLabelSymbol(), bar.GetUnitLabelSymbol()};
    IGIS_NumericFormat* formats[2] = {bar.GetNumericFormat(), bar.GetLatLonFormat()};
    for (std::size_t i = 0; i < 4; ++i) {
      IGIS_DataBuffer* b = saved[i].get();
      if (b == nullptr) return false;
      if (!measured[i]) continue;
      b->SetSize(0);
      if (i < 2) {
        if (symbols[i] != nullptr) symbols[i]->Save(b);
      } else {
        SaveNumericFormat(formats[i - 2], b);
      }
      const int n = b->GetSize();
      forms[i] =
          n > 0 ? std::span<const BYTE>(b->GetData(), static_cast<std::size_t>(n)) : std::span<const BYTE>();
    }
  }
  std::array<std::span<const BYTE>, 4> compared;
  for (std::size_t i = 0; i < 4; ++i)
    if (measured[i]) compared[i] = forms[i];
  *pInputs = InputsOf(bar, pFrame, dw, compared);
  return true;
}

}  // namespace

struct HeldBarLayout::Inputs : ReadLayoutMemo::Key {};

HeldBarLayout::HeldBarLayout() = default;
HeldBarLayout::~HeldBarLayout() = default;

BarExtent HeldBarLayout::LayOut(IGIS_ScaleBar& bar, IGIS_MapElement* pFrame, double dw,
                                const ReadLayoutForms* pForms) {
  ReadLayoutMemo::Inputs in;
  if (!InputsNow(bar, pFrame, dw, pForms, m_saved, &in)) return LayOutBarExtent(bar, dw);
  if (m_pInputs && ReadLayoutMemo::Matches(*m_pInputs, in)) return m_extent;
  m_extent = pForms != nullptr ? LayOutReadBarExtent(bar, pFrame, dw, *pForms) : LayOutBarExtent(bar, dw);
  if (!m_pInputs) m_pInputs = std::make_unique<Inputs>();
  ReadLayoutMemo::Assign(m_pInputs.get(), in);
  return m_extent;
}

void HeldBarLayout::Keep(IGIS_ScaleBar& bar, IGIS_MapElement* pFrame, double dw,
                         const ReadLayoutForms* pForms, const BarExtent& extent) {
  ReadLayoutMemo::Inputs in;
  if (!InputsNow(bar, pFrame, dw, pForms, m_saved, &in)) return;
  m_extent = extent;
  if (!m_pInputs) m_pInputs = std::make_unique<Inputs>();
  ReadLayoutMemo::Assign(m_pInputs.get(), in);
}

// ---- Drawing --------------------------------------------------------------------------

BOOL DrawBarCommon(IGIS_ScaleBar& bar, HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  IGIS_SpatialReference* pReference = PageReferenceOf(&bar);
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_ScaleBar::OnDraw", "p_spatialreference== NULL ");
    return FALSE;
  }
  bar.OnDrawLabel(hdc, bPrint, pDisplay);
  if (IGIS_FrameProperty* pFrame = bar.GetFrameProperty()) {
    pFrame->OnDraw(hdc, bPrint, pDisplay, bar.GetRect(), pReference, GIS_FRAME_PART_BORDER);
  }
  return TRUE;
}

BOOL DrawBarLabels(IGIS_ScaleBar& bar, HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  IGIS_SpatialReference* pReference = PageReferenceOf(&bar);
  if (pReference == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_ScaleBar::OnDrawLabel", "p_spatialreference== NULL ");
    return FALSE;
  }
  if (pDisplay == nullptr || pDisplay->GetView() == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_ScaleBar::OnDrawLabel", "pDisplay == NULL");
    return FALSE;
  }
  const BarPlaces p = PlaceBar(&bar, "IGIS_ScaleBar::OnDrawLabel");
  for (int x : p.divisionMarks) {
    bar.AddMainMark(hdc, bPrint, pDisplay, SGIS_Point(x, p.divisionFrom, 0), SGIS_Point(x, p.divisionTo, 0));
  }
  for (int x : p.subdivisionMarks) {
    bar.AddSubMainMark(hdc, bPrint, pDisplay, SGIS_Point(x, p.subdivisionFrom, 0),
                       SGIS_Point(x, p.subdivisionTo, 0));
  }
  for (const BarLabel& label : p.labels) {
    bar.AddLabel(hdc, bPrint, pDisplay, SGIS_Point(label.x, p.labelY, 0), label.value);
  }
  IGIS_AnnoDrawer* pDrawer = GIS_GetAnnotationDrawerObject();
  const md::basilo::ReleasePtr<IGIS_AnnoPointStyle> style(NewPointStyle());
  if (!style) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "IGIS_ScaleBar::OnDrawLabel", "FALSE == NULL");
    return FALSE;
  }
  DrawBoxedText(hdc, bPrint, pDisplay, pReference, pDrawer, style.get(), bar.GetUnitLabelSymbol(),
                bar.GetUnitLabel(), p.unitBox, bar.GetFeatureSetPtr());
  return TRUE;
}

void DrawBarLabel(IGIS_ScaleBar& bar, HDC hdc, bool bPrint, IGIS_Display* pDisplay, SGIS_Point position,
                  double dValue) {
  const char* kMethod = "IGIS_ScaleBar::AddLabel";
  IGIS_SpatialReference* pReference = MarkServices(&bar, kMethod);
  if (pReference == nullptr) return;
  IGIS_AnnoDrawer* pDrawer = GIS_GetAnnotationDrawerObject();
  if (pDrawer == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_drawer == NULL");
    return;
  }
  const md::basilo::ReleasePtr<IGIS_AnnoPointStyle> style(NewPointStyle());
  if (!style) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, kMethod, "p_annoPointStyle == NULL");
    return;
  }
  if (pDisplay == nullptr || pDisplay->GetView() == nullptr) return;
  const std::string text = FormatNumber(bar.GetNumericFormat(), dValue, kDrawnLabelBytes);
  const SGIS_Rect t = TextExtent(bar.GetLabelSymbol(), text.c_str());
  const double k = SymbolScale(&bar);
  SGIS_Rect box;
  box.left = Round(position.x - t.Width() * k * 0.5);
  box.right = Round(position.x + t.Width() * k * 0.5);
  box.bottom = position.y;
  box.top = Round(position.y + t.Height() * k);
  DrawBoxedText(hdc, bPrint, pDisplay, pReference, pDrawer, style.get(), bar.GetLabelSymbol(), text.c_str(),
                box, bar.GetFeatureSetPtr());
}

void DrawBarMark(IGIS_ScaleBar& bar, bool bDivision, HDC hdc, bool bPrint, IGIS_Display* pDisplay,
                 SGIS_Point from, SGIS_Point to) {
  const char* szMethod = bDivision ? "IGIS_ScaleBar::AddMainMark" : "IGIS_ScaleBar::AddSubMainMark";
  IGIS_ScaleMarks* pMarks = bar.GetScaleMarks();
  IGIS_Symbol* pSymbol = pMarks == nullptr ? nullptr
                         : bDivision       ? pMarks->GetDivisionMarkSymbol()
                                           : pMarks->GetSubdivisionMarkSymbol();
  IGIS_SpatialReference* pReference = MarkServices(&bar, szMethod);
  if (pReference == nullptr) return;
  IGIS_DisplayView* pView = pDisplay != nullptr ? pDisplay->GetView() : nullptr;
  if (pView == nullptr || pSymbol == nullptr) return;
  POINT device[2] = {};
  for (int i = 0; i < 2; ++i) {
    const SGIS_Point p = pView->PageToDevicePoint(i == 0 ? from : to, pReference);
    device[i].x = p.x;
    device[i].y = p.y;
  }
  md::layout::shapes::DrawDevicePoints(hdc, bPrint, pDisplay, pSymbol, device, 2);
}

}  // namespace md::layout::detail
