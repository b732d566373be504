// Arbitrary bytes read as a stored element frame. Reading always gives a
// usable frame; stored again it reads back to the same stored form, and
// reading over a frame already set up behaves the same way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "tests/fuzz/fuzzcheck.h"

namespace md::test {

inline void ReadFrameInput(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* input = BufferOf(data, size);
  CGIS_FrameProperty* f = GIS_CreateFramePropertyFromBuffer(input);
  FuzzCheck(f != nullptr);
  int l = 0, r = 0, t = 0, b = 0;
  f->GetBorderGaps(&l, &r, &t, &b);
  FuzzCheck(f->GetBackRounding() >= 0 && f->GetBackRounding() <= 100);
  FuzzCheck(f->GetBorderRounding() >= 0 && f->GetBorderRounding() <= 100);
  IGIS_DataBuffer* first = GIS_CreateDataBufferObject(0);
  FuzzCheck(f->Save(first));
  CGIS_FrameProperty* again = GIS_CreateFramePropertyFromBuffer(first);
  FuzzCheck(again != nullptr);
  IGIS_DataBuffer* second = GIS_CreateDataBufferObject(0);
  FuzzCheck(again->Save(second));
  FuzzCheck(BufferBytes(first) == BufferBytes(second));

  // The same bytes read over the frame just read.
  FuzzCheck(again->Open(input));
  IGIS_DataBuffer* third = GIS_CreateDataBufferObject(0);
  FuzzCheck(again->Save(third));
  third->Release();
  second->Release();
  again->Release();
  first->Release();
  f->Release();
  input->Release();
}

}  // namespace md::test
