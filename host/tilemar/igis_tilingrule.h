// Tiling rules: how a map series divides the ground into sheets, and the
// extent of a sheet given its number.
//
// Rule GIS_TILINGRULE_NATIONAL numbers the sheets of the national series of
// topographic maps, 1:1,000,000 down to 1:5,000, north of the equator and
// below 60 degrees north (where the sheets are not merged):
// - 1:1,000,000: a row letter A..O of 4-degree bands counted from the
//   equator and a column 01..60 of 6-degree bands counted east from 180
//   degrees west, e.g. "J50" (114..120E, 36..40N);
// - larger scales: the 1:1,000,000 sheet, a scale letter, a three-digit row
//   counted from the sheet's north edge and a three-digit column counted
//   from its west edge, e.g. "J50E001009" (1:50,000, 116°00′..116°15′E,
//   39°50′..40°00′N). Scale letters and sheets per side of a 1:1,000,000
//   sheet: B 1:500,000 (2), C 1:250,000 (4), D 1:100,000 (12), E 1:50,000
//   (24), F 1:25,000 (48), G 1:10,000 (96), H 1:5,000 (192).
// Letters may be given in either case; blanks around the number are
// ignored. Anything else is malformed.
#pragma once

#include "host/basilo/sgis_types.h"
#include "host/sferon/igis_spatialreference.h"
#include "platform/win/wintypes.h"

enum { GIS_TILINGRULE_NATIONAL = 20 };

class IGIS_TilingRule {
 public:
  virtual int GetNumber() = 0;
  virtual const char* GetName() = 0;
  // The scale denominator of a well-formed sheet number (1000000 .. 5000),
  // 0 with a log record for a malformed one.
  virtual int GetSheetScale(const char* sheetNumber) = 0;
  // The sheet's extent in degrees east and north (x1 west, x2 east, y1
  // north, y2 south). FALSE with a log record, and *bounds unchanged, for a
  // malformed number or NULL.
  virtual BOOL GetSheetBounds(const char* sheetNumber, SGIS_DRect* bounds) = 0;
  // The sheet's extent in the coordinates of the reference (whose datum the
  // sheet lines are taken on), rounded outwards to integers: the bounding
  // box of the sheet's outline, sampled at 64 points per edge when flag is
  // non-zero and at its corners only when flag is 0. A malformed number, a
  // reference of kind 0 or NULL, an outline that cannot be transformed or an
  // extent beyond the integer range gives FALSE, a log record and an
  // all-zero *extent.
  virtual BOOL GetSheetExtent(const char* sheetNumber, IGIS_SpatialReference* reference, int flag,
                              SGIS_Rect* extent) = 0;

 protected:
  virtual ~IGIS_TilingRule() = default;
};

class IGIS_TilingRuleManager {
 public:
  // The rule of that number (owned by the manager), or NULL with a log record.
  virtual IGIS_TilingRule* GetTilingRule(int number) = 0;

 protected:
  virtual ~IGIS_TilingRuleManager() = default;
};

extern "C" {
// The process-wide manager; never NULL, never released.
IGIS_TilingRuleManager* GIS_GetTilingRuleManagerPtr();
}
