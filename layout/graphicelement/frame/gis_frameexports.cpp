// The library's two exports that make frame properties.
#include "host/basilo/makeornull.h"
#include "layout/graphicelement/frame/cgis_frameproperty.h"

extern "C" __attribute__((visibility("default"))) CGIS_FrameProperty* GIS_CreateFramePropertyObject() {
  return md::basilo::MakeOrNull<CGIS_FrameProperty>("GIS_CreateFramePropertyObject");
}

extern "C" __attribute__((visibility("default"))) CGIS_FrameProperty* GIS_CreateFramePropertyFromBuffer(
    IGIS_DataBuffer* pBuffer) {
  CGIS_FrameProperty* pFrame =
      md::basilo::MakeOrNull<CGIS_FrameProperty>("GIS_CreateFramePropertyFromBuffer");
  if (pFrame != nullptr) pFrame->Open(pBuffer);
  return pFrame;
}
