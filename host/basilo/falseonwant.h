// The policy at every call that takes a page whole (the prints, a page's
// drawing, SaveToFile, LoadFromFile, LoadPageFromFile): what the system
// runs out of meanwhile (memory, a thread or process it cannot start)
// ends the call with FALSE and one record naming the cause, under the
// call's name; nothing is thrown at the host, and the next call tries again.
#pragma once

#include <exception>
#include <new>
#include <system_error>

#include "host/basilo/makeornull.h"

namespace md::basilo {

// Writes the one record of a call that ran out of what `e` names.
void LogWant(const FactoryName& call, const std::exception& e);

template <class Body>
BOOL FalseOnWant(FactoryName call, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc& e) {
    LogWant(call, e);
  } catch (const std::system_error& e) {
    LogWant(call, e);
  }
  return FALSE;
}

}  // namespace md::basilo
