// A page held by one thread for a call that takes it whole: printing it,
// drawing it to a display, storing it, reading into it. One page is used by
// one thread at a time: such a call on a page another thread holds answers
// FALSE, with one record naming the page (its file, or its address and name)
// and saying that it is in use on another thread, and the holder's call goes
// on unharmed. The holding thread may call in again (a store inside a
// drawing): holds nest. Holding costs one compare-exchange; nothing waits.
//
// Only feature sets of this library (GIS_CreateFeatureSetObject) are held;
// a set of the host's own, or NULL, is let through unheld.
#pragma once

class IGIS_FeatureSet;

namespace md::featra {

class CGIS_FeatureSet;

class PageHold {
 public:
  // Holds the page for the calling thread; when another thread holds it,
  // writes the record under `method` and holds nothing.
  PageHold(IGIS_FeatureSet* page, const char* method);
  ~PageHold();
  PageHold(const PageHold&) = delete;
  PageHold& operator=(const PageHold&) = delete;

  // False when another thread holds the page: the call answers FALSE.
  explicit operator bool() const { return !refused_; }

 private:
  CGIS_FeatureSet* held_ = nullptr;
  bool refused_ = false;
};

}  // namespace md::featra
