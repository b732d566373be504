// The library's two exports that make frame properties.
#include <new>

#include "layout/graphicelement/frame/cgis_frameproperty.h"

extern "C" __attribute__((visibility("default"))) CGIS_FrameProperty* GIS_CreateFramePropertyObject() {
  return new (std::nothrow) CGIS_FrameProperty();
}

extern "C" __attribute__((visibility("default"))) CGIS_FrameProperty* GIS_CreateFramePropertyFromBuffer(
    IGIS_DataBuffer* pBuffer) {
  CGIS_FrameProperty* pFrame = new (std::nothrow) CGIS_FrameProperty();
  if (pFrame != nullptr) pFrame->Open(pBuffer);
  return pFrame;
}
