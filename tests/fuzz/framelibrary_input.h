// One input of the frame symbol libraries' reader: the bytes as a library
// file's property set, each field's symbol rebuilt by the second symbol
// factory and the set stored again; then the bytes as a library file, loaded
// and written to another file. Shared by the fuzz target and the regular test
// that replays seeds and crash inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_propertyset.h"
#include "host/glyphor2/igis_symbolv2.h"
#include "layout/graphicelement/frame/cgis_framesymbollibrary.h"

namespace md::test::framelibraryinput {

// The folder the library files of an input are written in: a memory-backed
// one when the system has it, since each save reaches the disk (fsync of the
// file and its folder), which on a disk would take most of an input's time.
inline const std::string& FileFolder() {
  static const std::string folder = [] {
    struct stat st {};
    const char* memory = "/dev/shm";
    if (::stat(memory, &st) == 0 && S_ISDIR(st.st_mode) && ::access(memory, W_OK | X_OK) == 0)
      return std::string(memory);
    return std::string(GIS_GetTempDir());
  }();
  return folder;
}

inline void Feed(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* bytes = GIS_CreateDataBufferObject(static_cast<int>(size));
  if (size > 0) std::memcpy(bytes->GetData(), data, size);
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  if (set->Archive(bytes, GIS_ARCHIVE_READ, 0)) {
    const int count = set->GetCount();
    IGIS_Field* field = set->GetFirstPosition();
    for (int i = 0; i < count && field != nullptr; ++i, field = set->GetNext(field)) {
      IGIS_SymbolV2* symbol = GIS_GetSymbol2FactoryObject()->CreateSymbolFromBuffer(field->GetDataBuffer());
      if (symbol == nullptr) continue;
      IGIS_DataBuffer* again = GIS_CreateDataBufferObject(0);
      symbol->Save(again, FALSE);
      symbol->Release();
      again->Release();
    }
    IGIS_DataBuffer* out = GIS_CreateDataBufferObject(1024);
    set->Archive(out, GIS_ARCHIVE_WRITE, 0);
    out->Release();
  }
  set->Release();
  bytes->Release();

  const std::string path = FileFolder() + "/framelibrary-input." + std::to_string(::getpid());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  CGIS_FrameSymbolLibrary library;
  library.Load(path);
  library.Save(path + ".out");
  ::unlink(path.c_str());
  ::unlink((path + ".out").c_str());
}

}  // namespace md::test::framelibraryinput
