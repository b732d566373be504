#include "host/helmora/cgis_mainobject.h"
#include "host/basilo/makeornull.h"

#include <cstring>

#include "host/basilo/igis_log.h"
#include "host/helmora/cgis_map.h"
#include "host/helmora/cgis_spatialreferencedlg.h"
#include "host/sferon/igis_spatialreference.h"
#include "platform/files/filestore.h"
#include "platform/win/wingdi.h"

CGIS_MainObject::CGIS_MainObject() = default;

CGIS_MainObject::~CGIS_MainObject() {
  if (map_) map_->Detach(&observer_, 0);
  if (answer_) answer_->Release();
}

BOOL CGIS_MainObject::RegisterComponent(const char* path) {
  if (path == nullptr || *path == '\0') {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MainObject::RegisterComponent", "no path");
    return FALSE;
  }
  for (const auto& c : components_)
    if (c == path) return TRUE;
  // Found readable without opening it: a named pipe would wait for a writer.
  std::string why;
  if (!md::files::IsReadableFile(path, &why)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MainObject::RegisterComponent", "cannot read component %s: %s", path,
            why.c_str());
    return FALSE;
  }
  components_.emplace_back(path);
  return TRUE;
}

const char* CGIS_MainObject::GetComponent(int index) {
  if (index < 0 || index >= GetComponentCount()) return nullptr;
  return components_[index].c_str();
}

void CGIS_MainObject::SetMap(IGIS_Map* map) {
  if (map == map_) return;
  if (map_) map_->Detach(&observer_, 0);
  map_ = map;
  if (map_) map_->Attach(&observer_, 0);
  view_.BindMap(map_);
}

void CGIS_MainObject::MapObserver::Update(const char* message, int, IGIS_Element*) {
  if (message == nullptr || owner_->map_ == nullptr) return;
  if (std::strcmp(message, GIS_MESSAGE_DOC_MAP_SPATIALREFERENCE_CHANGED) == 0) {
    owner_->view_.AdoptReference(owner_->map_->GetSpatialReference());
  } else if (std::strcmp(message, GIS_MESSAGE_DOC_MAP_RELEASED) == 0) {
    // The map ends: forget it without detaching (its subject is going too).
    owner_->map_ = nullptr;
    owner_->view_.BindMap(nullptr);
  }
}

BOOL CGIS_MainObject::DrawMap(HDC hdc, BOOL print, int left, int top, int right, int bottom) {
  const char* method = "CGIS_MainObject::DrawMap";
  if (hdc == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "hdc == NULL");
    return FALSE;
  }
  CGIS_Map* map = dynamic_cast<CGIS_Map*>(map_);
  if (map == nullptr || !map->CanDraw()) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "no map that can draw");
    return FALSE;
  }
  const SGIS_Rect rect(left, top, right, bottom);
  if (rect != view_.GetDeviceRectangle() && !view_.SetDeviceRect(rect)) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "empty device rectangle");
    return FALSE;
  }
  view_.SetContext(hdc);
  const int saved = SaveDC(hdc);
  IntersectClipRect(hdc, std::min(left, right), std::min(top, bottom), std::max(left, right),
                    std::max(top, bottom));
  const BOOL drawn = map->DrawLayers(hdc, print, &view_);
  RestoreDC(hdc, saved);
  return drawn;
}

BOOL CGIS_MainObject::ExecuteCommand(const char* name, IGIS_PropertySet* input, IGIS_PropertySet* output) {
  if (name && std::strcmp(name, GIS_COMMAND_PROJECT_SET_SPATIALREFERENCE) == 0)
    return ChooseSpatialReference(input, output);
  GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_MainObject::ExecuteCommand", "unknown command %s",
          name ? name : "(NULL)");
  return FALSE;
}

BOOL CGIS_MainObject::ChooseSpatialReference(IGIS_PropertySet* input, IGIS_PropertySet* output) {
  const char* method = "CGIS_MainObject::ExecuteCommand";
  if (output == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "no output set");
    return FALSE;
  }
  IGIS_SpatialReference* current = nullptr;
  if (input) {
    IGIS_Field* f = input->GetProperty(GIS_COMMAND_KEY_SPATIALREFERENCE);
    if (f) current = static_cast<IGIS_SpatialReference*>(f->GetObject());
  }
  IGIS_SpatialReference* chosen = GIS_ChooseSpatialReference(current);
  if (chosen == nullptr) return FALSE;
  if (!output->SetObject(GIS_COMMAND_KEY_SPATIALREFERENCE, chosen, 1)) {
    chosen->Release();
    GIS_LOG(GIS_LOG_LEVEL_CHECK, method, "answer not stored");
    return FALSE;
  }
  if (answer_) answer_->Release();
  answer_ = chosen;
  return TRUE;
}

extern "C" IGIS_MainObject* HM_CreateMainObject(int) {
  return md::basilo::MakeOrNull<CGIS_MainObject>("HM_CreateMainObject");
}
