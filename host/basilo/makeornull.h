// The out-of-memory policy at every factory boundary (an exported GIS_
// function, a Create or Clone that hands a new object to its caller): the
// object is made with plain new, and a failed allocation, in the object's own
// construction too, becomes NULL with a level-3 "out of memory" record under
// the factory's name and source line. No std::bad_alloc crosses a factory.
#pragma once

#include <new>
#include <utility>

#include "host/basilo/igis_log.h"

namespace md::basilo {

// The factory's name, with the place it is named at for the log record.
struct FactoryName {
  FactoryName(const char* szName, const char* szFile = __builtin_FILE(), int nLine = __builtin_LINE())
      : name(szName), file(szFile), line(nLine) {}
  const char* name;
  const char* file;
  int line;
};

template <class T, class... Args>
T* MakeOrNull(FactoryName factory, Args&&... args) {
  try {
    return new T(std::forward<Args>(args)...);
  } catch (const std::bad_alloc&) {
    GIS_WriteLogF(GIS_LOG_LEVEL_CHECK, factory.name, factory.file, factory.line, __TIMESTAMP__,
                  "out of memory");
    return nullptr;
  }
}

// A Clone's body: a new T made as MakeOrNull makes it, then Copy of the
// source; NULL (with the record) when it could not be made.
template <class T>
T* CloneOrNull(FactoryName factory, T* pSource) {
  T* pClone = MakeOrNull<T>(factory);
  if (pClone != nullptr) pClone->Copy(pSource);
  return pClone;
}

}  // namespace md::basilo
