// The registry of the in-process object classes.
#include "platform/ole/objectclass.h"

namespace md::ole {

const std::vector<const ObjectClass*>& RegisteredClasses() {
  static const std::vector<const ObjectClass*> classes = {&PictureClass(), &TextDocumentClass()};
  return classes;
}

const ObjectClass* FindClass(const ClassId& clsid) {
  for (const ObjectClass* c : RegisteredClasses())
    if (c->clsid == clsid) return c;
  return nullptr;
}

const ObjectClass* FindClassByProgId(const std::string& progId) {
  for (const ObjectClass* c : RegisteredClasses())
    if (c->progId == progId) return c;
  return nullptr;
}

}  // namespace md::ole
