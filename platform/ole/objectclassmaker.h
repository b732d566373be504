// How the built-in classes are described: an object type whose whole state
// is one stream's bytes, set through SetContent(bytes, error) and given back
// by Content(). A file is read only when it can be a source (sourcefile.h).
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/filestore.h"
#include "platform/ole/objectclass.h"
#include "platform/ole/sourcefile.h"

namespace md::ole::detail {

template <class TObject>
ObjectClass MakeStreamObjectClass(const ClassId& clsid, const char* szProgId, const char* szUserType,
                                  const char* szFileHint, const char* szStream, std::size_t maxFileBytes,
                                  std::vector<std::uint8_t> (*defaultContent)()) {
  ObjectClass k;
  k.clsid = clsid;
  k.progId = szProgId;
  k.userType = szUserType;
  k.fileHint = szFileHint;
  k.contentStream = szStream;
  k.createNew = [defaultContent]() -> std::unique_ptr<EmbeddedObject> {
    auto p = std::make_unique<TObject>();
    std::string error;
    if (!p->SetContent(defaultContent(), &error)) return nullptr;
    return p;
  };
  k.createFromFile = [maxFileBytes](const std::string& path,
                                    std::string* pError) -> std::unique_ptr<EmbeddedObject> {
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!IsSourceFile(path, &why) || !md::files::ReadWholeFile(path.c_str(), maxFileBytes, &bytes, &why)) {
      *pError = "cannot read " + path + ": " + why;
      return nullptr;
    }
    auto p = std::make_unique<TObject>();
    if (!p->SetContent(std::move(bytes), pError)) return nullptr;
    return p;
  };
  k.createFromContent = [](std::vector<std::uint8_t> bytes,
                           std::string* pError) -> std::unique_ptr<EmbeddedObject> {
    auto p = std::make_unique<TObject>();
    if (!p->SetContent(std::move(bytes), pError)) return nullptr;
    return p;
  };
  return k;
}

}  // namespace md::ole::detail
