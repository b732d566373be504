// Tracing lines of longitude and latitude for the grids that follow them
// (the graticules): where a figure in degrees is laid (device coordinates
// when a grid draws, page coordinates when it converts), the line tracer
// that samples a stretch of a meridian or parallel, carries the samples into
// that space and cuts them at the map frame, and the tick that stands where
// a traced line first meets the frame.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "host/basilo/sgis_types.h"
#include "host/calcora/igis_geoarithmetic.h"
#include "layout/graphicelement/grid/grid/gridlines.h"

class IGIS_DisplayView;
class IGIS_MapView;
class IGIS_SpatialReference;

namespace md::layout::grid {

class GeographicFrame;

// ---- Where a figure is laid ----------------------------------------------

class GeoSpace {
 public:
  // The geographic point (degrees) in this space, unrounded; false when it
  // cannot be carried there.
  virtual bool FromDegrees(double dLon, double dLat, SGIS_DPoint* pOut) = 0;
  // Points of this space to the page (0.01 mm, y up) and back; lengths of
  // ticks are measured on the page.
  virtual SGIS_DPoint ToPage(SGIS_DPoint point) = 0;
  virtual SGIS_DPoint FromPage(SGIS_DPoint point) = 0;

 protected:
  ~GeoSpace() = default;
};

// Device coordinates of a drawing: degrees go to the map through the
// geographic frame (aimed at the map), then through the map frame's map
// view; page points go through the display's view with the page's
// reference.
class GeoDeviceSpace final : public GeoSpace {
 public:
  GeoDeviceSpace(GeographicFrame& geo, IGIS_MapView* pMapView, IGIS_DisplayView* pView,
                 IGIS_SpatialReference* pPage)
      : m_geo(geo), m_pMapView(pMapView), m_pView(pView), m_pPage(pPage) {}
  bool FromDegrees(double dLon, double dLat, SGIS_DPoint* pOut) override;
  SGIS_DPoint ToPage(SGIS_DPoint point) override;
  SGIS_DPoint FromPage(SGIS_DPoint point) override;

 private:
  GeographicFrame& m_geo;
  IGIS_MapView* m_pMapView;
  IGIS_DisplayView* m_pView;
  IGIS_SpatialReference* m_pPage;
};

// Page coordinates of a conversion: degrees go to the map, then onto the
// page by the frame's shown bound and scale (MapToPage).
class GeoPageSpace final : public GeoSpace {
 public:
  GeoPageSpace(GeographicFrame& geo, const SGIS_DRect& bound, const SGIS_Rect& frame, double dScale)
      : m_geo(geo), m_bound(bound), m_frame(frame), m_dScale(dScale) {}
  bool FromDegrees(double dLon, double dLat, SGIS_DPoint* pOut) override;
  SGIS_DPoint ToPage(SGIS_DPoint point) override { return point; }
  SGIS_DPoint FromPage(SGIS_DPoint point) override { return point; }

 private:
  GeographicFrame& m_geo;
  SGIS_DRect m_bound;
  SGIS_Rect m_frame;
  double m_dScale;
};

// ---- What is laid ---------------------------------------------------------

// Receives the pieces of a figure in the order they are laid, as points of
// the space, rounded half away from zero.
class GeoFigureSink {
 public:
  // A meridian or parallel cut at the frame (at least 2 points).
  virtual void Line(const SGIS_Point* /*pPoints*/, int /*nCount*/) {}
  // A mark at a crossing of a meridian and a parallel.
  virtual void Marker(SGIS_Point /*point*/) {}
  virtual void Tick(bool /*bSub*/, SGIS_Point /*from*/, SGIS_Point /*to*/) {}

 protected:
  ~GeoFigureSink() = default;
};

// ---- Tracing --------------------------------------------------------------

// The sides of a frame, in the order their ticks are laid.
enum class TickSide { Bottom = 0, Top = 1, Left = 2, Right = 3 };

// The stretch of one line in degrees (x longitude, y latitude), from where
// it is sampled first to where last.
struct GeoRun {
  SGIS_DPoint from;
  SGIS_DPoint to;
};

// The ends of a sampled line's cut at a rectangle, as the cut of the whole
// line by IGIS_GeoArithmetic::ClipPolylineToRect gives them: the number of
// points that cut keeps (counted up to 2), the first and the last of them.
struct LineCutEnds {
  int nKept = 0;
  SGIS_Point first, last;
};

// Sample j of a line, carried and rounded into *pOut; false when it is left
// out. Each sample is asked for at most once.
using GridSampleSource = std::function<bool(int j, SGIS_Point* pOut)>;

// The ends of the cut of a line of nSamples samples, found by carrying the
// samples from the start up to the first stretch between two of them that
// reaches the rectangle and, when bLast, from the end back to the last such
// stretch: the samples in between are carried only in the rare case that
// both stretches keep one and the same point. Without bLast, last is the
// end of the first stretch's cut and nKept counts that stretch's points
// only. A line that never reaches the rectangle has had every sample
// carried.
LineCutEnds CutLineEnds(IGIS_GeoArithmetic& clipper, SGIS_Point lowerLeft, SGIS_Point upperRight,
                        int nSamples, const GridSampleSource& sampleAt, bool bLast);

// The same ends for a line whose coordinate across each edge of the
// rectangle changes one way only along it (a meridian or parallel across a
// map frame), carrying few samples beyond those about the stretches that
// reach the rectangle: where the line crosses the lines of the edges its
// ends lie beyond is searched for among the samples, and the samples
// before it entered (after it left) are taken to lie outside.
LineCutEnds CutCrossingLineEnds(IGIS_GeoArithmetic& clipper, SGIS_Point lowerLeft, SGIS_Point upperRight,
                                int nSamples, const GridSampleSource& sampleAt, bool bLast);

// Samples stretches of lines, carries them into a space and cuts them at
// the frame (a rectangle of that space). The buffers are made once and
// reused by every line.
class GeoLineTracer {
 public:
  GeoLineTracer(GeoSpace& space, const SGIS_Rect& frame);
  GeoLineTracer(const GeoLineTracer&) = delete;
  GeoLineTracer& operator=(const GeoLineTracer&) = delete;

  // False without the geometric-arithmetic object that cuts the lines.
  bool Ready() const { return m_pClipper != nullptr; }
  GeoSpace& Space() const { return m_space; }
  // The frame, normalised.
  const SGIS_Rect& Frame() const { return m_frame; }

  // The run sampled at nSteps + 1 points, carried and cut at the frame; the
  // number of points kept (0 when none), which Kept() then holds in order:
  // Kept()[0] is where the run first meets the frame.
  int Trace(const GeoRun& run, int nSteps);
  const SGIS_Point* Kept() const { return m_kept.data(); }
  // Where Trace would first meet the frame, found without carrying the
  // samples beyond the first stretch that reaches it: true with that point
  // as Kept()[0], false (nothing kept) when the run never meets the frame.
  bool TraceToFrame(const GeoRun& run, int nSteps);
  // TraceToFrame for a tick line: a meridian or parallel that enters the
  // frame across the edge its start lies beyond (its coordinate across that
  // edge changing one way only). The stretch where it crosses that edge's
  // line is searched for among the samples and only the samples the search
  // needs are carried; false when that stretch passes beside the frame (the
  // line could come in only across the ends of the side then, which gives
  // no tick). A line whose start lies beyond no edge it crosses is walked as
  // TraceToFrame walks it.
  bool TraceToEdge(const GeoRun& run, int nSteps);

  // The tick of a side that stands at the first point the last trace kept
  // and runs dLength along the page away from the frame (a negative length
  // into it), in the space, rounded; it begins dOffset beyond that point
  // the same way. False when that point lies on one of the two edges across
  // the side (a bottom tick whose line enters through the left or right
  // edge), which gives no tick.
  bool TickAtFirst(TickSide side, double dLength, SGIS_Point* pFrom, SGIS_Point* pTo, double dOffset = 0.0);

 private:
  GeoSpace& m_space;
  SGIS_Rect m_frame;
  md::basilo::ReleasePtr<IGIS_GeoArithmetic> m_pClipper;
  GridPointCarrier m_carry;
  std::vector<SGIS_Point> m_carried;
  std::vector<SGIS_Point> m_kept;
  // Which samples of the line TraceToEdge searches have been carried, and
  // where to.
  std::vector<unsigned char> m_sampleState;
  std::vector<SGIS_Point> m_samplePoints;

  // The samples of lines that TraceToFrame carried whole without meeting
  // the frame, kept for the same line walked the other way (the ticks of
  // the opposite side), whose samples are then taken from here wherever
  // they start from the same degrees to the bit.
  struct CarriedSample {
    SGIS_DPoint input;
    bool bKept = false;
    SGIS_Point point;
  };
  struct MissedLine {
    GeoRun run;
    int nSteps = 0;
    std::vector<CarriedSample> samples;
  };
  static constexpr std::size_t kMaxMissedLines = 256;
  std::vector<MissedLine> m_missed;
  std::vector<CarriedSample> m_trail;  // the samples of the current trace

  // The ends of the tick lines TraceToEdge carried, by their degrees' bits.
  struct EndKey {
    std::uint64_t x, y;
    bool operator==(const EndKey& o) const { return x == o.x && y == o.y; }
  };
  struct EndKeyHash {
    std::size_t operator()(const EndKey& k) const { return std::hash<std::uint64_t>()(k.x * 31u ^ k.y); }
  };
  struct CarriedEnd {
    bool bKept = false;
    SGIS_Point point;
  };
  static constexpr std::size_t kMaxEnds = 4096;
  std::unordered_map<EndKey, CarriedEnd, EndKeyHash> m_ends;
};

}  // namespace md::layout::grid
