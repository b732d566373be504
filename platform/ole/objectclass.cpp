// The registry of the in-process object classes.
#include "platform/ole/objectclass.h"

#include <fstream>

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

bool ReadWholeFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>* pOut,
                   std::string* pError) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    *pError = "cannot open " + path;
    return false;
  }
  const std::streamoff n = in.tellg();
  if (n < 0 || static_cast<std::uint64_t>(n) > maxBytes) {
    *pError = "file too large: " + path;
    return false;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
  in.seekg(0);
  if (n > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), n)) {
    *pError = "cannot read " + path;
    return false;
  }
  *pOut = std::move(bytes);
  return true;
}

}  // namespace md::ole
