#include <algorithm>
#include <mutex>
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
// The list is used under the subject's lock, held through a Notify's walk
// (observers attach and detach inside Update on the same thread): pages on
// several threads attach their frames to the one map they show.
class CGIS_Subject final : public IGIS_Subject {
 public:
  BOOL Attach(IGIS_Observer* observer, int /*option*/) override {
    if (observer == nullptr) {
      GIS_LOG(GIS_LOG_LEVEL_CHECK, "CGIS_Subject::Attach", "pObserver == NULL");
      return FALSE;
    }
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Find(observer) != observers_.end()) return FALSE;
    observers_.push_back(observer);
    return TRUE;
  }

  BOOL Detach(IGIS_Observer* observer, int /*option*/) override {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
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
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (depth_ > 0) {
      std::fill(observers_.begin(), observers_.end(), nullptr);
    } else {
      observers_.clear();
    }
  }

  void Notify(const char* message, int argument, IGIS_Element* sender) override {
    bool end = false;
    {
      std::lock_guard<std::recursive_mutex> lock(mutex_);
      ++depth_;
      // Observers attached during this walk (beyond `count`) hear the next message.
      const std::size_t count = observers_.size();
      for (std::size_t i = 0; i < count && i < observers_.size(); ++i) {
        IGIS_Observer* o = observers_[i];
        if (o != nullptr) o->Update(message, argument, sender);
      }
      if (--depth_ == 0) {
        observers_.erase(std::remove(observers_.begin(), observers_.end(), nullptr), observers_.end());
        end = released_;
      }
    }
    if (end) delete this;
  }

  void ReleaseSubject() {
    {
      std::lock_guard<std::recursive_mutex> lock(mutex_);
      if (depth_ > 0) {
        DetachAll();
        released_ = true;
        return;
      }
    }
    delete this;
  }

 private:
  std::vector<IGIS_Observer*>::iterator Find(IGIS_Observer* observer) {
    return std::find(observers_.begin(), observers_.end(), observer);
  }

  std::recursive_mutex mutex_;
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
