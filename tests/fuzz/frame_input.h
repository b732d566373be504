// Arbitrary bytes read as a stored element frame. Reading always gives a
// usable frame; stored again it reads back to the same stored form, and
// reading over a frame already set up behaves the same way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "layout/graphicelement/frame/cgis_frameproperty.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

inline void ReadFrameInput(const std::uint8_t* data, std::size_t size) {
  IGIS_DataBuffer* input = fuzz::BufferOf(data, size);
  CGIS_FrameProperty* f = GIS_CreateFramePropertyFromBuffer(input);
  fuzz::Check(f != nullptr);
  int l = 0, r = 0, t = 0, b = 0;
  f->GetBorderGaps(&l, &r, &t, &b);
  fuzz::Check(f->GetBackRounding() >= 0 && f->GetBackRounding() <= 100);
  fuzz::Check(f->GetBorderRounding() >= 0 && f->GetBorderRounding() <= 100);
  IGIS_DataBuffer* first = GIS_CreateDataBufferObject(0);
  fuzz::Check(f->Save(first));
  CGIS_FrameProperty* again = GIS_CreateFramePropertyFromBuffer(first);
  fuzz::Check(again != nullptr);
  IGIS_DataBuffer* second = GIS_CreateDataBufferObject(0);
  fuzz::Check(again->Save(second));
  fuzz::Check(fuzz::BufferBytes(first) == fuzz::BufferBytes(second));

  // The same bytes read over the frame just read.
  fuzz::Check(again->Open(input));
  IGIS_DataBuffer* third = GIS_CreateDataBufferObject(0);
  fuzz::Check(again->Save(third));
  third->Release();
  second->Release();
  again->Release();
  first->Release();
  f->Release();
  input->Release();
}

}  // namespace md::test
