// The parts of the mixed-font label: splitting, the position rule, the zone
// number and the placing of a label's parts.
#include "layout/graphicelement/grid/label/mixedlabelparts.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/sferon/igis_spatialreference.h"

namespace md::layout::label {

namespace {

// The byte offsets at which the UTF-8 characters of the text start.
std::vector<std::size_t> CharacterStarts(const std::string& text) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Continuation bytes (10xxxxxx) start no character.
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  }
  return starts;
}

// Half away from zero, for values known to be finite and small.
double RoundHalfAway(double d) { return d < 0.0 ? std::ceil(d - 0.5) : std::floor(d + 0.5); }

// The zone numbers a label writes: the zone text has at most three digits.
constexpr int kMaxZone = 999;
// The zones round the world.
constexpr int kZonesOf3Degrees = 120;
constexpr int kZonesOf6Degrees = 60;

constexpr const char* kZoneProjections[] = {"墨卡托投影", "通用墨卡托投影", GIS_PROJECTION_GAUSS};

}  // namespace

void SplitLabelText(const std::string& text, bool bByCount, int nDigits, std::string* pFirst,
                    std::string* pSecond) {
  if (bByCount) {
    const std::size_t n = std::max(nDigits, 0);
    const std::vector<std::size_t> starts = CharacterStarts(text);
    if (starts.size() > n) {
      const std::size_t cut = n == 0 ? text.size() : starts[starts.size() - n];
      *pFirst = text.substr(0, cut);
      *pSecond = text.substr(cut);
    } else {
      pFirst->assign(1, '0');
      *pSecond = text;
    }
    return;
  }
  const std::size_t point = text.find('.');
  if (point != std::string::npos && point > 0) {
    *pFirst = text.substr(0, point);
    *pSecond = text.substr(point);
  } else {
    *pFirst = text;
    pSecond->clear();
  }
}

void BlankFirstParts(std::vector<MixedLabel>* pLabels, int nPosition) {
  std::vector<MixedLabel>& labels = *pLabels;
  if (labels.size() < 2 || nPosition < 1 || nPosition > 3) return;
  const std::size_t last = labels.size() - 1;
  std::string kept = labels[0].first;
  for (std::size_t j = 1; j < labels.size(); ++j) {
    std::string& first = labels[j].first;
    if (nPosition == 1) {
      if (j != last) first.clear();
    } else if (first == kept) {
      if (nPosition == 2 || j != last) first.clear();
    } else {
      kept = first;
    }
  }
}

int ZoneNumber(double dCentralMeridian, double dZoneWidth, double dZoneNumber) {
  if (std::isfinite(dZoneNumber) && dZoneNumber > 0.0) {
    const double zone = RoundHalfAway(std::min(dZoneNumber, kMaxZone + 1.0));
    return zone <= kMaxZone ? static_cast<int>(zone) : 0;
  }
  if (!std::isfinite(dCentralMeridian)) return 0;
  // The meridian counted east from Greenwich over 0 to 360 degrees.
  double east = std::fmod(dCentralMeridian, 360.0);
  if (east < 0.0) east += 360.0;
  if (dZoneWidth == 3.0) {
    // Zone n is centred on 3n degrees east; 0 degrees is zone 120's centre.
    const int zone = static_cast<int>(RoundHalfAway(east / 3.0));
    return zone == 0 ? kZonesOf3Degrees : zone;
  }
  // Zone n spans 6(n - 1) to 6n degrees east: 1 to 30 east of Greenwich, 31
  // to 60 west of it. At each zone's central meridian this is the count
  // (L - 3) / 6 + 1 east of Greenwich and (L + 180 - 3) / 6 + 1 + 30 west.
  return std::min(static_cast<int>(std::floor(east / 6.0)) + 1, kZonesOf6Degrees);
}

bool ProjectionHasZones(IGIS_Projection* pProjection) {
  const char* szName = pProjection != nullptr ? pProjection->GetName() : nullptr;
  if (szName == nullptr) return false;
  return std::any_of(std::begin(kZoneProjections), std::end(kZoneProjections),
                     [szName](const char* szZoned) { return std::strcmp(szName, szZoned) == 0; });
}

int ZoneNumberOf(IGIS_Projection* pProjection) {
  if (pProjection == nullptr) return 0;
  double meridian = NAN, width = 0.0, number = 0.0;
  if (!pProjection->GetParameter(GIS_PROJPARAM_CENTRAL_MERIDIAN, &meridian)) meridian = NAN;
  if (!pProjection->GetParameter(GIS_PROJPARAM_ZONE_WIDTH, &width)) width = 0.0;
  if (!pProjection->GetParameter(GIS_PROJPARAM_ZONE_NUMBER, &number)) number = 0.0;
  return ZoneNumber(meridian, width, number);
}

MixedPartAnchors PlaceMixedParts(LabelSide side, bool bTurned, SGIS_DPoint point, const MixedPartSizes& s) {
  const double x = point.x, y = point.y;
  const double hMax = std::max(s.dFirstHeight, s.dSecondHeight);
  const double wF = s.dFirstWidth, wS = s.dSecondWidth, wZ = s.dZoneWidth;
  MixedPartAnchors a{point, point, point};
  if (!bTurned) {
    switch (side) {
      case LabelSide::Bottom:
        a.first = SGIS_DPoint(x - wF, y - hMax);
        a.second = SGIS_DPoint(x, y - hMax);
        a.zone = SGIS_DPoint(x - wF - wZ, y - s.dZoneHeight);
        break;
      case LabelSide::Top:
        a.first = SGIS_DPoint(x - wF, y);
        a.second = SGIS_DPoint(x, y);
        a.zone = SGIS_DPoint(x - wF - wZ, y + hMax - s.dZoneHeight);
        break;
      case LabelSide::Left:
        a.first = SGIS_DPoint(x - wF - wS, y + hMax - s.dFirstHeight);
        a.second = SGIS_DPoint(x - wS, y);
        break;
      case LabelSide::Right:
        a.first = SGIS_DPoint(x, y + hMax - s.dFirstHeight);
        a.second = SGIS_DPoint(x + wF, y);
        break;
    }
    return a;
  }
  // Turned a quarter counter-clockwise, a part's level bottom edge is the
  // right edge of what is drawn, x: the parts share it.
  switch (side) {
    case LabelSide::Bottom: {
      const double e = x + hMax / 2.0;
      a.second = SGIS_DPoint(e, y - wS);
      a.first = SGIS_DPoint(e, y - wS - wF);
      a.zone = SGIS_DPoint(e, y - wS - wF - wZ);
      break;
    }
    case LabelSide::Top: {
      const double e = x + hMax / 2.0;
      a.zone = SGIS_DPoint(e, y);
      a.first = SGIS_DPoint(e, y + wZ);
      a.second = SGIS_DPoint(e, y + wZ + wF);
      break;
    }
    case LabelSide::Left:
      a.first = SGIS_DPoint(x, y - wF);
      a.second = SGIS_DPoint(x, y);
      break;
    case LabelSide::Right:
      a.first = SGIS_DPoint(x + hMax, y - wF);
      a.second = SGIS_DPoint(x + hMax, y);
      break;
  }
  return a;
}

}  // namespace md::layout::label
