#include "host/sferon/sferon_transform.h"

#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/recentring.h"

namespace md::sferon {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHalfPi = kPi / 2.0;
constexpr int kMaxPointsPerEdge = 4096;

std::string Num(double v) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.17g", v);
  return buffer;
}

std::string EllipsoidParams(const EllipsoidDef& e) { return " +a=" + Num(e.a) + " +b=" + Num(e.b); }

bool HasShift(const EllipsoidDef& e) {
  return e.shift[0] != 0.0 || e.shift[1] != 0.0 || e.shift[2] != 0.0 || e.rotation[0] != 0.0 ||
         e.rotation[1] != 0.0 || e.rotation[2] != 0.0 || e.scale != 0.0;
}

bool ValidLongitude(double v) { return std::isfinite(v) && v >= -360.0 && v <= 360.0; }

// The PROJ step of a projection, or an empty text with the reason in *why.
std::string ProjectionStep(const ProjectedDef& p, double primeMeridianDegrees, std::string* why) {
  const auto& q = p.projection.params;
  const double lon0 = q[GIS_PROJPARAM_CENTRAL_MERIDIAN] + primeMeridianDegrees;
  if (!ValidLongitude(lon0)) {
    *why = "central meridian out of range";
    return {};
  }
  const std::string ellps = EllipsoidParams(p.geographic.datum.ellipsoid);
  const std::string& model = p.projection.model;
  if (model == GIS_PROJECTION_GAUSS) {
    const double zone = q[GIS_PROJPARAM_ZONE_NUMBER];
    if (!std::isfinite(zone) || zone < 0.0 || zone > 120.0) {
      *why = "zone number out of range";
      return {};
    }
    const double falseEasting = 500000.0 + 1000000.0 * std::floor(zone + 0.5);
    return "+proj=tmerc +lat_0=0 +lon_0=" + Num(lon0) + " +k=1 +x_0=" + Num(falseEasting) + " +y_0=0" + ellps;
  }
  *why = "projection model not supported: " + model;
  return {};
}

void Fail(const char* method, const char* format, const std::string& detail) {
  GIS_LOG(GIS_LOG_LEVEL_CHECK, method, format, detail.c_str());
}

// Made operations are kept for reuse, by their pipeline definition: making
// one parses the definition, which costs far more than transforming a few
// points. A PROJ operation and its context may be used by one thread at a
// time, so each is handed out to one transformation, which gives it back when
// it lets go; transformations on several threads get operations of their own.
class OperationPool {
 public:
  static OperationPool& Shared() {
    static OperationPool pool;
    return pool;
  }
  OperationPool(const OperationPool&) = delete;
  OperationPool& operator=(const OperationPool&) = delete;
  ~OperationPool() {
    for (auto& [definition, idle] : idle_)
      for (const Operation& op : idle) Destroy(op);
  }

  // An operation of the definition, kept or new; {} (the reason recorded
  // under szMethod) when PROJ cannot make it.
  Operation Take(const std::string& definition, const char* szMethod) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = idle_.find(definition);
      if (it != idle_.end() && !it->second.empty()) {
        const Operation op = it->second.back();
        it->second.pop_back();
        return op;
      }
    }
    Operation op;
    op.context = proj_context_create();
    if (op.context == nullptr) {
      Fail(szMethod, "%s", "proj_context_create failed");
      return {};
    }
    proj_context_set_enable_network(op.context, 0);
    proj_log_level(op.context, PJ_LOG_NONE);
    op.operation = proj_create(op.context, definition.c_str());
    if (op.operation == nullptr) {
      proj_context_destroy(op.context);
      Fail(szMethod, "cannot make the operation %s", definition);
      return {};
    }
    return op;
  }

  // Takes an operation back for the next transformation of its definition;
  // beyond a few idle ones per definition (and a bound on definitions) it is
  // destroyed.
  void Give(const std::string& definition, Operation op) {
    if (op.operation == nullptr) return;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = idle_.find(definition);
      if (it == idle_.end() && idle_.size() < kMaxDefinitions)
        it = idle_.emplace(definition, std::vector<Operation>()).first;
      if (it != idle_.end() && it->second.size() < kMaxIdlePerDefinition) {
        it->second.push_back(op);
        return;
      }
    }
    Destroy(op);
  }

 private:
  static constexpr std::size_t kMaxDefinitions = 64;
  static constexpr std::size_t kMaxIdlePerDefinition = 8;
  OperationPool() = default;
  static void Destroy(const Operation& op) {
    proj_destroy(op.operation);
    proj_context_destroy(op.context);
  }
  std::mutex mutex_;
  std::unordered_map<std::string, std::vector<Operation>> idle_;
};

}  // namespace

namespace {

std::string PipelineOf(const Side& source, const Side& target);

// The sides and pipeline of the pairs of references transformed lately:
// making them formats every parameter of both references, which costs more
// than transforming a few points.
class PlanCache {
 public:
  static PlanCache& Shared() {
    static PlanCache cache;
    return cache;
  }
  bool Find(const ReferenceDef& s, const ReferenceDef& t, Side* pSource, Side* pTarget,
            std::string* pDefinition) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto* e = plans_.FindNewest([&](const Pair& p) { return p.source == s && p.target == t; });
    if (e == nullptr) return false;
    *pSource = e->value.sourceSide;
    *pTarget = e->value.targetSide;
    *pDefinition = e->value.definition;
    return true;
  }
  void Keep(const ReferenceDef& s, const ReferenceDef& t, const Side& source, const Side& target,
            const std::string& definition) {
    std::lock_guard<std::mutex> lock(mutex_);
    plans_.Insert(Pair{s, t}, Plan{source, target, definition});
  }

 private:
  static constexpr std::size_t kMaxPlans = 16;
  struct Pair {
    ReferenceDef source, target;
  };
  struct Plan {
    Side sourceSide, targetSide;
    std::string definition;
  };
  std::mutex mutex_;
  md::basilo::RecentRing<Pair, Plan, kMaxPlans> plans_;
};

// The bounds of rectangles transformed lately, by everything their points'
// transformation depends on: a map grid's drawing asks for the degrees of
// the same map bound once for its lines, once for its hatches and once for
// its labels. Only bounds that some point reached are kept (a bound that
// none reached is logged each time).
class RectCache {
 public:
  struct Key {
    int mode = 0;
    Side source, target;
    std::string definition;
    SGIS_DRect rect;
    int pointsPerEdge = 0;
    bool forward = true;
  };
  static RectCache& Shared() {
    static RectCache cache;
    return cache;
  }
  bool Find(const Key& key, SGIS_DRect* pRect, bool* pAll) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto* e = bounds_.FindNewest([&](const Key& k) { return Same(k, key); });
    if (e == nullptr) return false;
    *pRect = e->value.rect;
    *pAll = e->value.all;
    return true;
  }
  void Keep(const Key& key, const SGIS_DRect& rect, bool all) {
    std::lock_guard<std::mutex> lock(mutex_);
    bounds_.Insert(key, Bound{rect, all});
  }

 private:
  static constexpr std::size_t kMaxBounds = 16;
  struct Bound {
    SGIS_DRect rect;
    bool all = false;
  };
  // Doubles compared to the bit, so that -0 and 0 or two NaNs never stand
  // for each other.
  static bool Bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
  static bool Same(const Side& a, const Side& b) {
    return a.valid == b.valid && a.projected == b.projected && Bits(a.unitToBase, b.unitToBase) &&
           Bits(a.unitFactor, b.unitFactor) && Bits(a.origin[0], b.origin[0]) &&
           Bits(a.origin[1], b.origin[1]) && Bits(a.primeMeridian, b.primeMeridian) &&
           a.projection == b.projection && a.datumKey == b.datumKey && a.cartesian == b.cartesian &&
           a.helmert == b.helmert;
  }
  static bool Same(const Key& a, const Key& b) {
    return a.mode == b.mode && a.pointsPerEdge == b.pointsPerEdge && a.forward == b.forward &&
           Bits(a.rect.x1, b.rect.x1) && Bits(a.rect.y1, b.rect.y1) && Bits(a.rect.x2, b.rect.x2) &&
           Bits(a.rect.y2, b.rect.y2) && a.definition == b.definition && Same(a.source, b.source) &&
           Same(a.target, b.target);
  }
  std::mutex mutex_;
  md::basilo::RecentRing<Key, Bound, kMaxBounds> bounds_;
};

}  // namespace

bool MakeSide(const ReferenceDef& def, Side* side, std::string* why) {
  *side = Side();
  const GeographicDef* g = nullptr;
  if (def.kind == GIS_SPATIALREFERENCE_GEOGRAPHIC) {
    g = &def.geographic;
    side->unitToBase = g->unit.factor;
    side->primeMeridian = g->primeMeridian.value * kPi / 180.0;
  } else if (def.kind == GIS_SPATIALREFERENCE_PROJECTED) {
    g = &def.projected.geographic;
    side->projected = true;
    side->unitToBase = def.projected.unit.factor;
    side->projection = ProjectionStep(def.projected, g->primeMeridian.value, why);
    if (side->projection.empty()) return false;
  } else {
    *why = "reference without coordinate system";
    return false;
  }
  if (!std::isfinite(side->unitToBase) || side->unitToBase <= 0.0 || !std::isfinite(side->primeMeridian)) {
    *why = "bad unit or prime meridian";
    return false;
  }
  const EllipsoidDef& e = g->datum.ellipsoid;
  if (!std::isfinite(e.a) || !std::isfinite(e.b) || e.a <= 0.0 || e.b <= 0.0 || e.b > e.a) {
    *why = "bad ellipsoid";
    return false;
  }
  side->unitFactor = def.unitFactor;
  side->origin[0] = def.origin[0];
  side->origin[1] = def.origin[1];
  side->cartesian = "+proj=cart" + EllipsoidParams(e);
  if (HasShift(e)) {
    side->helmert = "+proj=helmert +x=" + Num(e.shift[0]) + " +y=" + Num(e.shift[1]) +
                    " +z=" + Num(e.shift[2]) + " +rx=" + Num(e.rotation[0]) + " +ry=" + Num(e.rotation[1]) +
                    " +rz=" + Num(e.rotation[2]) + " +s=" + Num(e.scale) + " +convention=position_vector";
  }
  side->datumKey = side->cartesian + "|" + side->helmert;
  side->valid = true;
  return true;
}

CCoordTransform::CCoordTransform(const char* name, const char* description)
    : m_name(name != nullptr ? name : ""), m_description(description != nullptr ? description : "") {}

CCoordTransform::~CCoordTransform() { Clear(); }

void CCoordTransform::Clear() {
  OperationPool::Shared().Give(m_definition, m_op);
  m_op = {};
  m_definition.clear();
  m_mode = Mode::kEmpty;
  m_source = Side();
  m_target = Side();
}

void CCoordTransform::SetSourceAndTarget(IGIS_SpatialReference* source, IGIS_SpatialReference* target) {
  Clear();
  if (source == nullptr && target == nullptr) return;
  const ReferenceDef* s = DefinitionOf(source);
  const ReferenceDef* t = DefinitionOf(target);
  if (s == nullptr || t == nullptr) {
    m_mode = Mode::kBroken;
    Fail("CGIS_CoordTransform::SetSourceAndTarget", "%s", "source or target reference missing");
    return;
  }
  // Two references without a coordinate system, or two equal definitions,
  // share their coordinates.
  if ((s->kind == GIS_SPATIALREFERENCE_NONE && t->kind == GIS_SPATIALREFERENCE_NONE) || *s == *t) {
    m_mode = Mode::kIdentity;
    return;
  }
  if (!PlanCache::Shared().Find(*s, *t, &m_source, &m_target, &m_definition)) {
    std::string why;
    if (!MakeSide(*s, &m_source, &why) || !MakeSide(*t, &m_target, &why)) {
      m_mode = Mode::kBroken;
      Fail("CGIS_CoordTransform::SetSourceAndTarget", "cannot transform: %s", why);
      return;
    }
    m_definition = PipelineOf(m_source, m_target);
    PlanCache::Shared().Keep(*s, *t, m_source, m_target, m_definition);
  }
  if (m_definition.empty()) {
    m_mode = Mode::kUnits;
    return;
  }
  m_op = OperationPool::Shared().Take(m_definition, "CGIS_CoordTransform::SetSourceAndTarget");
  m_mode = m_op.operation != nullptr ? Mode::kProj : Mode::kBroken;
}

namespace {

// The PROJ pipeline between two sides; empty when only units differ.
std::string PipelineOf(const Side& source, const Side& target) {
  std::string steps;
  if (source.projected) steps += " +step +inv " + source.projection;
  if (source.datumKey != target.datumKey) {
    steps += " +step " + source.cartesian;
    if (!source.helmert.empty()) steps += " +step " + source.helmert;
    if (!target.helmert.empty()) steps += " +step +inv " + target.helmert;
    steps += " +step +inv " + target.cartesian;
  }
  if (target.projected) steps += " +step " + target.projection;
  return steps.empty() ? std::string() : "+proj=pipeline" + steps;
}

}  // namespace

bool CCoordTransform::TransformOne(double* x, double* y, bool forward) {
  if (!std::isfinite(*x) || !std::isfinite(*y)) return false;
  const Side& from = forward ? m_source : m_target;
  const Side& to = forward ? m_target : m_source;
  // Map coordinates to radians east of Greenwich or to projection metres.
  double u = (*x + from.origin[0]) / from.unitFactor * from.unitToBase;
  double v = (*y + from.origin[1]) / from.unitFactor * from.unitToBase;
  if (!from.projected) {
    u += from.primeMeridian;
    if (v < -kHalfPi - 1e-12 || v > kHalfPi + 1e-12) return false;
    v = std::clamp(v, -kHalfPi, kHalfPi);
  }
  if (m_mode == Mode::kProj) {
    proj_errno_reset(m_op.operation);
    PJ_COORD c = proj_coord(u, v, 0.0, 0.0);
    c = proj_trans(m_op.operation, forward ? PJ_FWD : PJ_INV, c);
    if (proj_errno(m_op.operation) != 0 || !std::isfinite(c.xy.x) || !std::isfinite(c.xy.y) ||
        c.xy.x == HUGE_VAL || c.xy.y == HUGE_VAL) {
      return false;
    }
    u = c.xy.x;
    v = c.xy.y;
  }
  if (!to.projected) u -= to.primeMeridian;
  const double rx = u / to.unitToBase * to.unitFactor - to.origin[0];
  const double ry = v / to.unitToBase * to.unitFactor - to.origin[1];
  if (!std::isfinite(rx) || !std::isfinite(ry)) return false;
  *x = rx;
  *y = ry;
  return true;
}

BOOL CCoordTransform::TransformPoint(int count, SGIS_DPoint* points, int direction) {
  if (count <= 0) return TRUE;
  if (points == nullptr) return FALSE;
  if (m_mode == Mode::kEmpty || m_mode == Mode::kIdentity) return TRUE;
  if (m_mode == Mode::kBroken) return FALSE;
  bool all = true;
  for (int i = 0; i < count; ++i) {
    if (!TransformOne(&points[i].x, &points[i].y, direction != 0)) all = false;
  }
  return all ? TRUE : FALSE;
}

BOOL CCoordTransform::TransformRect(SGIS_DRect* rect, int pointsPerEdge, int direction) {
  if (rect == nullptr) return FALSE;
  if (m_mode == Mode::kEmpty || m_mode == Mode::kIdentity) {
    rect->Normalize();
    return TRUE;
  }
  if (m_mode == Mode::kBroken) return FALSE;
  SGIS_DRect r = *rect;
  r.Normalize();
  const int n = std::clamp(pointsPerEdge, 2, kMaxPointsPerEdge);
  RectCache::Key key;
  key.mode = static_cast<int>(m_mode);
  key.source = m_source;
  key.target = m_target;
  key.definition = m_definition;
  key.rect = r;
  key.pointsPerEdge = n;
  key.forward = direction != 0;
  bool kept = false;
  if (RectCache::Shared().Find(key, rect, &kept)) return kept ? TRUE : FALSE;
  // The outline, corner to corner: bottom, right, top and left edges.
  const double cx[5] = {r.x1, r.x2, r.x2, r.x1, r.x1};
  const double cy[5] = {r.y2, r.y2, r.y1, r.y1, r.y2};
  bool any = false;
  bool all = true;
  double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
  for (int edge = 0; edge < 4; ++edge) {
    for (int i = 0; i < n - 1; ++i) {
      const double t = static_cast<double>(i) / (n - 1);
      double x = cx[edge] + (cx[edge + 1] - cx[edge]) * t;
      double y = cy[edge] + (cy[edge + 1] - cy[edge]) * t;
      if (!TransformOne(&x, &y, direction != 0)) {
        all = false;
        continue;
      }
      if (!any) {
        minX = maxX = x;
        minY = maxY = y;
        any = true;
      } else {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
    }
  }
  if (!any) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_CoordTransform::TransformRect",
            "no point of the rectangle could be transformed");
    return FALSE;
  }
  rect->x1 = minX;
  rect->x2 = maxX;
  rect->y1 = maxY;
  rect->y2 = minY;
  RectCache::Shared().Keep(key, *rect, all);
  return all ? TRUE : FALSE;
}

}  // namespace md::sferon
