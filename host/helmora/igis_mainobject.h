// The host's main controller: holds the map to draw and its view, draws the
// map into a device rectangle, registers component files and runs host
// commands by name.
#pragma once

#include "host/basilo/igis_propertyset.h"
#include "host/helmora/igis_map.h"
#include "host/helmora/igis_mapview.h"

// Command: choose a spatial reference. The input set may hold the current
// reference under "spatialreference" (SetObject); on confirmation the output
// set receives the chosen reference under the same key. That reference
// belongs to the main object until its next command or Release: callers copy
// it (CopyFrom).
#define GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE "GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE"
#define GIS_COMMAND_KEY_SPATIALREFERENCE "spatialreference"

// The component list map frames read: one component file a line (its first
// word), beside the running program or else in the library's data folder.
#define GIS_OTHER_COMPONENTS_FILE "othercomponents.cfg"

class IGIS_MainObject {
 public:
  virtual void Initialize() = 0;
  // Registers one component file by its path: TRUE when the file exists and
  // is readable; a path registered before answers TRUE again.
  virtual BOOL RegisterComponent(const char* path) = 0;
  virtual void Start() = 0;
  // The map DrawMap draws (not owned); NULL unbinds. The view follows the
  // map's reference and full extent.
  virtual void SetMap(IGIS_Map* map) = 0;
  virtual IGIS_Map* GetMap() = 0;
  virtual void SetDisplayHandle(HWND handle) = 0;
  virtual HWND GetDisplayHandle() = 0;
  // Draws the bound map into the device rectangle (l, t, r, b) of the
  // context, clipped to it; the view's device rectangle becomes that
  // rectangle. FALSE (log record, nothing drawn) without a context or a map
  // that can draw, or for a rectangle of zero width or height.
  virtual BOOL DrawMap(HDC hdc, BOOL print, int left, int top, int right, int bottom) = 0;
  // The controller's view; the same object for the controller's life.
  virtual IGIS_MapView* GetMapView() = 0;
  // Runs a host command. FALSE (log record) for an unknown name, a NULL
  // output set, or when the user cancelled.
  virtual BOOL ExecuteCommand(const char* name, IGIS_PropertySet* input, IGIS_PropertySet* output) = 0;
  virtual void Release() = 0;

  // The components registered so far, in order.
  virtual int GetComponentCount() = 0;
  virtual const char* GetComponent(int index) = 0;

 protected:
  virtual ~IGIS_MainObject() = default;
};

extern "C" {
// A new main controller, owned by the caller (Release). The argument is not used.
IGIS_MainObject* HM_CreateMainObject(int option);
}
