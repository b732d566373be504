#include <algorithm>
#include <new>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/basilo/igis_subject.h"
#include "host/basilo/makeornull.h"

namespace {

// Observers are kept in attach order. While a Notify runs, a detached
// observer's slot is emptied rather than erased (so the walk stays valid)
// and the list is compacted when the outermost Notify ends. A subject
// released inside Notify is ended by that outermost Notify.
class CGIS_Subject final : public IGIS_Subject {
 public:
  BOOL Attach(IGIS_Observer* observer, int /*option*/) override {
    if (observer == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Subject::Attach", "pObserver == NULL");
      return FALSE;
    }
    if (Find(observer) != observers_.end()) return FALSE;
    observers_.push_back(observer);
    return TRUE;
  }

  BOOL Detach(IGIS_Observer* observer, int /*option*/) override {
    auto it = Find(observer);
    if (observer == nullptr || it == observers_.end()) return FALSE;
    if (depth_ > 0) {
      *it = nullptr;
    } else {
      observers_.erase(it);
    }
    return TRUE;
  }

  void DetachAll() override {
    if (depth_ > 0) {
      std::fill(observers_.begin(), observers_.end(), nullptr);
    } else {
      observers_.clear();
    }
  }

  void Notify(const char* message, int argument, IGIS_Element* sender) override {
    ++depth_;
    // Observers attached during this walk (beyond `end`) hear the next message.
    const std::size_t end = observers_.size();
    for (std::size_t i = 0; i < end && i < observers_.size(); ++i) {
      IGIS_Observer* o = observers_[i];
      if (o != nullptr) o->Update(message, argument, sender);
    }
    if (--depth_ == 0) {
      observers_.erase(std::remove(observers_.begin(), observers_.end(), nullptr), observers_.end());
      if (released_) delete this;
    }
  }

  void ReleaseSubject() {
    if (depth_ > 0) {
      DetachAll();
      released_ = true;
    } else {
      delete this;
    }
  }

 private:
  std::vector<IGIS_Observer*>::iterator Find(IGIS_Observer* observer) {
    return std::find(observers_.begin(), observers_.end(), observer);
  }

  std::vector<IGIS_Observer*> observers_;
  int depth_ = 0;
  bool released_ = false;
};

}  // namespace

extern "C" IGIS_Subject* GIS_CreateSubjectObject() {
  return md::basilo::MakeOrNull<CGIS_Subject>("GIS_CreateSubjectObject");
}

extern "C" void GIS_ReleaseSubjectObject(IGIS_Subject* subject) {
  if (subject == nullptr) return;
  auto* s = dynamic_cast<CGIS_Subject*>(subject);
  if (s == nullptr) {
    GIS_LOG(GIS_LOG_LEVEL_CHECK, "GIS_ReleaseSubjectObject", "not a subject of this library");
    return;
  }
  s->ReleaseSubject();
}
