// The spacing of a grid whose lines follow coordinates: line intervals,
// origin and unit. The graticules use angular units, the measured grid
// linear ones. A spacing is ended only through its Release.
#pragma once

class IGIS_DataBuffer;

// Which unit list of the spatial-reference factory Units indexes
// (GetUnitsType).
enum {
  GIS_GRIDSPACING_UNITS_NONE = 0,
  GIS_GRIDSPACING_UNITS_ANGULAR = 1,
  GIS_GRIDSPACING_UNITS_LINEAR = 2,
};

class IGIS_GridSpacing {
 public:
  // FALSE: the origin of the current coordinate system; TRUE: XOrigin and
  // YOrigin. Stored and copied; the drawings do not consult it.
  virtual void SetFixedOrigin(bool bFixed) = 0;
  virtual bool GetFixedOrigin() = 0;
  // Origin and intervals in the spacing's unit; any value is kept.
  virtual double GetXOrigin() = 0;
  virtual void SetXOrigin(double dOrigin) = 0;
  virtual double GetYOrigin() = 0;
  virtual void SetYOrigin(double dOrigin) = 0;
  virtual double GetXIntervalSize() = 0;
  virtual void SetXIntervalSize(double dSize) = 0;
  virtual double GetYIntervalSize() = 0;
  virtual void SetYIntervalSize(double dSize) = 0;
  virtual void Release() = 0;
  // A new equal spacing, owned by the caller.
  virtual IGIS_GridSpacing* Clone() = 0;
  // Writes the seven keys into the buffer (replacing its content).
  virtual bool Save(IGIS_DataBuffer* pBuffer) = 0;
  // Reads the keys present, as stored (no range rules); FALSE for a NULL or
  // unreadable buffer, which changes nothing.
  virtual bool Open(IGIS_DataBuffer* pBuffer) = 0;
  // Copies the seven values of another spacing; returns this one.
  virtual IGIS_GridSpacing* Copy(IGIS_GridSpacing* pOther) = 0;
  // The unit's position in the list GetUnitsType selects.
  virtual int GetUnits() = 0;
  // Kept when it lies in that list; with no list the unit becomes 0.
  // Negative positions are ignored.
  virtual void SetUnits(int nIndex) = 0;
  virtual int GetUnitsType() = 0;
  // GIS_GRIDSPACING_UNITS_*; other values are ignored.
  virtual void SetUnitsType(int nType) = 0;

 protected:
  IGIS_GridSpacing() = default;
  ~IGIS_GridSpacing() = default;
  IGIS_GridSpacing(const IGIS_GridSpacing&) = delete;
  IGIS_GridSpacing& operator=(const IGIS_GridSpacing&) = delete;
};
