// The picture element: a raster picture from an image file drawn into the
// element's rectangle, inside an optional frame. The picture can be kept in
// the document ("PictureData"): reading the element back then draws it from
// the temporary folder's file of that content, which every element holding
// the same content shares.
//
// A picture the page does not keep is drawn from its file. The element keeps
// the file's absolute path and, when the file lies beside or below the page's
// file, its path from the page's folder too, which is looked at first: a
// page moved together with its pictures still finds them. Storing the page
// names the file by where it was found and makes the relative path again
// for the file the page goes into.
//
// A picture that cannot be drawn from its file (gone, unreadable, damaged,
// refused by the metafile helper, past its time or its drawing's budget for
// metafiles) is crossed out in its rectangle, one record names the file and
// why, and OnDraw answers FALSE; so is an element no picture was imported
// into. An import refused for a passing cause (the metafile helper not
// started, its time spent) answers FALSE but names the file: the next
// drawing tries again and, decoding it, sizes the rectangle as the import
// would have.
//
// A stored record the element cannot take keeps its bytes: a "Custom" set
// that cannot be read is left as stored by every write (the element holds no
// picture and is crossed out) until a picture is imported, and a name that
// is refused (too long, or a relative path leaving the page's folder) is
// written back as stored while the element draws from what else it names.
//
// The feature (kind 1024) holds the rectangle; the file name, its relative
// path, extension, keep-in-document flag, kept bytes and frame live in its
// "Custom" property set (FORMAT.md).
#pragma once

#include <cstdint>
#include <string>

#include "layout/graphicelement/picture/igis_pictureelement.h"
#include "layout/graphicelement/picture/keptpicture.h"
#include "layout/graphicelement/shapes/cgis_boxshapeimpl.h"

namespace md::imaging {
struct Bitmap;
struct DecodeResult;
}  // namespace md::imaging

class CGIS_PictureElement : public md::layout::shapes::CGIS_BoxShapeImpl<IGIS_PictureElement> {
 public:
  // Longest file name and extension kept, in bytes; longer ones are refused.
  static constexpr std::size_t kMaxPathBytes = 999;

  CGIS_PictureElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature);

  // IGIS_Element
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override;
  BOOL OnOpenPropertyDlg(IGIS_Display* pDisplay, BOOL bWithCommonPages) override;
  BOOL Archive(int nRead, int nArchiveOption) override;
  void SetRect(SGIS_Rect rect) override;
  IGIS_Element* Clone() override { return nullptr; }

  // IGIS_PictureElement
  IGIS_FrameProperty* GetFramePropertyPtr() override { return m_pFrame; }
  BOOL SetFramePropertyPtr(IGIS_FrameProperty* pFrame) override;
  BOOL ImportPictureFromFile(const char* szFileName) override;
  int GetDIBHeight() override { return 0; }
  int GetDIBWidth() override { return 0; }
  bool IsSaveInDoc() override { return m_bSaveInDoc; }
  void ArchivePictureData(bool bKeep) override;

  // The file the element names (its absolute path when the page does not
  // keep the picture), and the extension of the imported file.
  const std::string& GetFileName() const { return m_strFileName; }
  // The file's path from the page's folder; empty when it does not lie
  // beside or below the page's file, or the page has no file.
  const std::string& GetRelativeFileName() const { return m_strRelative; }
  // The file drawn from: beside the page by the relative path when a file
  // is there, else the file the element names.
  std::string GetSourcePath() const;
  const std::string& GetFileExt() const { return m_strFileExt; }
  // What the picture page shows: the extension in capitals and "  Image".
  std::string GetPictureDescription() const;

 protected:
  ~CGIS_PictureElement() override;

 private:
  // Sizes the rectangle for the picture as an import does: fitted into it
  // with the picture's proportions, or one pixel a page unit when empty.
  BOOL ImportPicture(const char* szFileName, const std::string& method);
  void FitPicture(IGIS_Feature* pFeature, const md::imaging::Bitmap& bitmap);
  // Writes the rectangle into the feature and commits it with the flags.
  void WriteRect(IGIS_Feature* pFeature, SGIS_Rect rect, int nFlags);
  // Draws from the temporary folder's file of the bytes (made when no
  // element holds it yet); false (recorded, the element unchanged) when it
  // could not be written whole.
  bool KeepBytes(const void* pData, std::size_t nSize);
  // The picture is kept and drawn from this process's copy of its bytes.
  bool DrawsKeptCopy() const;
  // The page's file, absolute; "" when the page has none.
  std::string PageFile() const;
  // The place the relative path names, against the page file it was made
  // for (or the page's file); "" without one.
  std::string RelativePlace() const;
  // The decoded picture of the file drawn from; *pPath names that file
  // ("" when the stored record names none the element can use).
  md::imaging::DecodeResult LoadPicture(std::string* pPath) const;
  // The stored record names a picture: a file name, one it refused, or a
  // "Custom" set it could not read.
  // What records call the picture the page keeps: the file it was kept from.
  std::string KeptName() const;
  bool NamesAPicture() const;

  IGIS_FrameProperty* m_pFrame = nullptr;
  std::string m_strFileName;
  std::string m_strRelative;
  // The page file m_strRelative was made against; "" for the page's file.
  std::string m_strRelativeBase;
  std::string m_strFileExt;
  bool m_bSaveInDoc = false;
  // The kept picture's file while the element draws from it, and the name of
  // the file it was kept from, which records about the picture name.
  md::layout::KeptPicturePtr m_pKept;
  std::string m_strKeptFrom;
  // Why the stored "Custom" set could not be read; while set, writes leave
  // the stored set as it is.
  std::string m_strUnread;
  // The stored keys refused on reading (kKept* bits), written back as stored.
  unsigned m_nKeptAsStored = 0;
  // The file imported last was refused for a passing cause: not yet decoded
  // (importing it again tries again), and its rectangle not yet sized for
  // it (its first drawing that decodes it sizes it, unless SetRect came
  // since).
  bool m_bImportPending = false;
  bool m_bFitPending = false;
  // The picture (md::imaging::Bitmap::id) whose drawing as vectors was
  // refused and said so, and why: the element's later drawings of it for
  // that reason say nothing more.
  mutable std::uint64_t m_nVectorsRefusedTold = 0;
  mutable std::string m_strVectorsRefusal;
};
