// The picture element's own operations, after the 26 of IGIS_Element.
//
// A picture the page does not keep is drawn from its file, looked for first
// by its path from the page's folder when it lay beside or below the page's
// file, so that a page moved together with its pictures still finds them
// (layout/graphicelement/picture/FORMAT.md). One that cannot be drawn from
// its file is crossed out in its rectangle with a record saying why, and
// OnDraw answers FALSE.
#pragma once

#include "layout/graphicelement/igis_element.h"

class IGIS_FrameProperty;

class IGIS_PictureElement : public IGIS_Element {
 public:
  // The element's frame (still owned by the element; may be NULL).
  virtual IGIS_FrameProperty* GetFramePropertyPtr() = 0;
  // Keeps a copy of the given frame (NULL drops it); the caller keeps its own.
  virtual BOOL SetFramePropertyPtr(IGIS_FrameProperty* pFrame) = 0;
  // Makes the element show the picture of the file, fitted into its
  // rectangle; FALSE, nothing changed, when the file is the one shown or
  // cannot be decoded (one record names the file and says why).
  virtual BOOL ImportPictureFromFile(const char* szFileName) = 0;
  // Always 0: the element keeps no device-independent bitmap.
  virtual int GetDIBHeight() = 0;
  virtual int GetDIBWidth() = 0;
  // Whether the picture's bytes are kept in the document.
  virtual bool IsSaveInDoc() = 0;
  // Copies the picture's bytes into the document when bKeep is set.
  virtual void ArchivePictureData(bool bKeep) = 0;
};
