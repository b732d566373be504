// The host's main controller: the map it draws, its view, registered
// component files and host commands.
#pragma once

#include <string>
#include <vector>

#include "host/helmora/cgis_mapview.h"
#include "host/helmora/igis_mainobject.h"

class CGIS_MainObject final : public IGIS_MainObject {
 public:
  CGIS_MainObject();
  ~CGIS_MainObject() override;
  CGIS_MainObject(const CGIS_MainObject&) = delete;
  CGIS_MainObject& operator=(const CGIS_MainObject&) = delete;

  void Initialize() override { initialized_ = true; }
  BOOL RegisterComponent(const char* path) override;
  void Start() override { started_ = true; }
  void SetMap(IGIS_Map* map) override;
  IGIS_Map* GetMap() override { return map_; }
  void SetDisplayHandle(HWND handle) override { handle_ = handle; }
  HWND GetDisplayHandle() override { return handle_; }
  BOOL DrawMap(HDC hdc, BOOL print, int left, int top, int right, int bottom) override;
  IGIS_MapView* GetMapView() override { return &view_; }
  BOOL ExecuteCommand(const char* name, IGIS_PropertySet* input, IGIS_PropertySet* output) override;
  void Release() override { delete this; }
  int GetComponentCount() override { return static_cast<int>(components_.size()); }
  const char* GetComponent(int index) override;

  bool IsInitialized() const { return initialized_; }
  bool IsStarted() const { return started_; }

 private:
  // Hears the bound map's messages: the view follows its reference.
  class MapObserver final : public IGIS_Observer {
   public:
    explicit MapObserver(CGIS_MainObject* owner) : owner_(owner) {}
    void Update(const char* message, int argument, IGIS_Element* sender) override;

   private:
    CGIS_MainObject* owner_;
  };

  BOOL ChooseSpatialReference(IGIS_PropertySet* input, IGIS_PropertySet* output);

  CGIS_MapView view_;
  MapObserver observer_{this};
  IGIS_Map* map_ = nullptr;
  HWND handle_ = nullptr;
  bool initialized_ = false;
  bool started_ = false;
  std::vector<std::string> components_;
  IGIS_SpatialReference* answer_ = nullptr;  // the last command's answer, owned
};
