#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/basilo/cgis_propertyset.h"
#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "host/basilo/tempdir.h"

namespace {

// The environment's temporary folder, looked for as the C++ library looks
// for it, without a trailing separator; its variable's name in *variable.
std::string WantedTempDir(std::string* variable) {
  for (const char* name : {"TMPDIR", "TMP", "TEMP", "TEMPDIR"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] == '\0') continue;
    std::string base = value;
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    *variable = name;
    return base;
  }
  return "";
}

// The folder GIS_GetTempDir answers, and the process's own folder it may be.
struct TempDir {
  std::string path;
  std::unique_ptr<md::files::ProcessFolder> own;
  std::string passedOver;  // why the environment's folder, or the system's, was not taken
};

const TempDir& TheTempDir() {
  // Kept for the whole process, the process's own folder held with it: what
  // ends with the process may still write there. Left when the process ends,
  // it is removed by the next process that makes one.
  static const TempDir* dir = [] {
    auto* made = new TempDir();
    std::string variable;
    const std::string wanted = WantedTempDir(&variable);
    made->path = md::basilo::ChooseTempDir(variable, wanted, "/tmp", &made->own, &made->passedOver);
    return made;
  }();
  return *dir;
}

class CGIS_GlobalProperties final : public IGIS_GlobalProperties {
 public:
  IGIS_Field* GetProperty(const char* key) override {
    if (key == nullptr) return nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = index_.find(key);
    return it == index_.end() ? nullptr : it->second;
  }

  BOOL AddProperty(IGIS_Field* field) override {
    auto* f = dynamic_cast<CGIS_Field*>(field);
    if (f == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GlobalProperties::AddProperty", "pField == NULL");
      return FALSE;
    }
    if (f->GetOwner() != CGIS_Field::Owner::None) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GlobalProperties::AddProperty", "%s already belongs to a set",
              f->GetLabel());
      return FALSE;
    }
    if (f->Name().empty()) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GlobalProperties::AddProperty", "the field has no name");
      return FALSE;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (index_.count(f->Name()) != 0) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_GlobalProperties::AddProperty", "%s is already registered",
              f->GetLabel());
      return FALSE;
    }
    fields_.emplace_back(f);
    index_.emplace(f->Name(), f);
    f->SetOwner(CGIS_Field::Owner::Globals, nullptr);
    return TRUE;
  }

  int GetCount() const override {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(fields_.size());
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::unique_ptr<CGIS_Field>> fields_;
  std::unordered_map<std::string, CGIS_Field*> index_;
};

}  // namespace

extern "C" IGIS_GlobalProperties* GIS_GetGlobalProperties() {
  static CGIS_GlobalProperties* globals = new CGIS_GlobalProperties();
  return globals;
}

extern "C" const char* GIS_GetTempDir() { return TheTempDir().path.c_str(); }

void md::basilo::TellTempDirPassedOver() {
  const std::string& note = TheTempDir().passedOver;
  if (!note.empty()) GIS_LOG(GIS_LOG_LEVEL_STORAGE, "GIS_GetTempDir", "%s", note.c_str());
}
