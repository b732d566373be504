// Holding a page for one thread's whole-page call.
#include "host/featra/pagehold.h"

#include <cstdio>

#include "host/basilo/igis_log.h"
#include "host/featra/featra_impl.h"

namespace md::featra {

namespace {

// A token of the calling thread: the address of a variable of its own, which
// no other live thread shares.
const void* ThisThread() {
  thread_local const char token = 0;
  return &token;
}

}  // namespace

bool CGIS_FeatureSet::Hold() {
  const void* const me = ThisThread();
  const void* holder = nullptr;
  // Acquire: what the last holder did to the page is seen by the next.
  if (holder_.compare_exchange_strong(holder, me, std::memory_order_acquire, std::memory_order_relaxed)) {
    holds_ = 1;
    return true;
  }
  if (holder != me) return false;
  ++holds_;
  return true;
}

void CGIS_FeatureSet::Unhold() {
  if (--holds_ == 0) holder_.store(nullptr, std::memory_order_release);
}

std::string CGIS_FeatureSet::Label() {
  const std::lock_guard lock(labelLock_);
  if (!filePath_.empty()) return filePath_;
  char address[32];
  std::snprintf(address, sizeof address, "%p", static_cast<void*>(this));
  return std::string(address) + " (\"" + name_ + "\")";
}

std::string CGIS_FeatureSet::ExchangeFilePath(std::string path) {
  const std::lock_guard lock(labelLock_);
  std::swap(filePath_, path);
  return path;
}

PageHold::PageHold(IGIS_FeatureSet* page, const char* method) {
  auto* set = dynamic_cast<CGIS_FeatureSet*>(page);
  if (set == nullptr) return;
  if (set->Hold()) {
    held_ = set;
    return;
  }
  refused_ = true;
  GIS_LOG(GIS_LOG_LEVEL_CHECK, method,
          "the page %s is in use on another thread: a page is used by one thread at a time",
          set->Label().c_str());
}

PageHold::~PageHold() {
  if (held_ != nullptr) held_->Unhold();
}

}  // namespace md::featra
