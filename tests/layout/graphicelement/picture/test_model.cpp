// The picture element's model: a new element's stored state, importing
// pictures of each format, fitting and resizing, and refused imports.
#include <fnmatch.h>

#include "tests/layout/graphicelement/picture/picturetest.h"
#include "tests/platform/imaging/metafiles.h"

namespace md::test {
namespace {

using PictureModel = PicturePage;

TEST_F(PictureModel, ANewElementWritesItsBookkeepingAndSixCustomKeys) {
  CGIS_PictureElement* e = NewPicture();
  ASSERT_NE(e->GetFeaturePtr(), nullptr);
  EXPECT_STREQ(e->GetName(), "图片");
  EXPECT_STREQ(e->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_PICTURE);
  IGIS_FeatureAttributes* a = e->GetFeaturePtr()->GetAttributes();
  EXPECT_STREQ(a->GetString("TYPE"), GIS_TYPE_GRAPHIC_ELEMENT_PICTURE);
  EXPECT_TRUE(a->GetBool("IsLock"));
  EXPECT_TRUE(a->GetBool("KeepHVScaleRatio"));
  EXPECT_TRUE(a->GetBool("CanConvert"));
  EXPECT_FALSE(e->IsLock());
  EXPECT_TRUE(e->GetHVScaleRatio());
  EXPECT_EQ(e->GetOrder(), -10);
  EXPECT_EQ(CustomKeys(e), (std::vector<std::string>{"FrameProperty", "DIB", "FileName", "FileExt",
                                                     "SaveInDoc", "PictureData"}));
  EXPECT_NE(e->GetFramePropertyPtr(), nullptr);
  EXPECT_FALSE(e->IsSaveInDoc());
  EXPECT_EQ(e->GetDIBHeight(), 0);
  EXPECT_EQ(e->GetDIBWidth(), 0);
  EXPECT_EQ(e->Clone(), nullptr);
  EXPECT_EQ(e->ConvertToElement(), nullptr);
  EXPECT_FALSE(e->CanConvert());
  EXPECT_STREQ(e->GetDescription(), "暂时没有定义");
}

TEST_F(PictureModel, TheFactoryBuildsThePicture) {
  IGIS_Element* e = set_->CreateElement(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE);
  ASSERT_NE(e, nullptr);
  EXPECT_NE(dynamic_cast<IGIS_PictureElement*>(e), nullptr);
  EXPECT_STREQ(e->GetType(), GIS_TYPE_GRAPHIC_ELEMENT_PICTURE);
  // Bound to its feature again, as a host reading a page does.
  IGIS_Element* again =
      CGIS_ElementFactory::Create(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, set_, e->GetFeaturePtr());
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->GetID(), e->GetID());
  again->Release();
  set_->DeleteElement(e);
}

TEST_F(PictureModel, ImportTakesEachFormatsPixelSize) {
  struct Row {
    const char* name;
    files::Bytes bytes;
    int w, h;
  } rows[] = {
      {"p.png", files::Png(64, 48, files::Opaque(64, 48), 300), 64, 48},
      {"p.jpg", files::Jpeg(40, 30, files::Opaque(40, 30), 72), 40, 30},
      {"p.gif", files::Gif(21, 13), 21, 13},
      {"p.tif", files::Tiff(12, 34, files::Opaque(12, 34), 200), 12, 34},
      {"p.bmp", files::Bmp(17, 9, 24, 96), 17, 9},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CGIS_PictureElement* e = NewPicture();
    const std::string path = Write(row.name, row.bytes);
    ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
    // One pixel per page unit into an empty rectangle, the left-bottom corner kept.
    EXPECT_EQ(e->GetRect(), SGIS_Rect(0, row.h, row.w, 0));
    EXPECT_EQ(e->GetFileName(), path);
    EXPECT_EQ(e->GetFileExt(), std::string(row.name).substr(2));
    EXPECT_EQ(StoredFileName(e), path);
    EXPECT_FALSE(e->IsSaveInDoc());
  }
}

TEST_F(PictureModel, ImportFitsThePictureIntoTheRectangleWithItsProportions) {
  const std::string path = Quadrants("wide.png", 640, 480);
  struct Row {
    SGIS_Rect before;
    SGIS_Rect after;
  } rows[] = {
      {SGIS_Rect(0, 0, 0, 0), SGIS_Rect(0, 480, 640, 0)},
      {SGIS_Rect(100, 1200, 1100, 200), SGIS_Rect(100, 950, 1100, 200)},  // 1000 x 1000 -> 1000 x 750
      {SGIS_Rect(0, 300, 100, 0), SGIS_Rect(0, 75, 100, 0)},              // 100 x 300 -> 100 x 75
      {SGIS_Rect(-50, 10, 270, -100), SGIS_Rect(-50, 10, 97, -100)},      // 320 x 110 -> 146.67 x 110
  };
  for (const Row& row : rows) {
    CGIS_PictureElement* e = NewPicture();
    e->SetHVScaleRatio(false);
    e->SetRect(row.before);
    e->SetHVScaleRatio(true);
    ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
    EXPECT_EQ(e->GetRect(), row.after);
  }
}

TEST_F(PictureModel, TheExtensionIsWhatFollowsTheLastDotOfThePath) {
  CGIS_PictureElement* e = NewPicture();
  const std::string inFolder = Write("a.b/pic", files::Png(4, 4, files::Opaque(4, 4)));
  ASSERT_TRUE(e->ImportPictureFromFile(inFolder.c_str()));
  EXPECT_EQ(e->GetFileExt(), "b/pic");
  // A path without a dot keeps the extension it had (the folder of the test
  // has a dot in its name, so the file is named relative to it).
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  files::WriteAll("picture", files::Png(4, 4, files::Opaque(4, 4)));
  const BOOL imported = e->ImportPictureFromFile("picture");
  std::filesystem::current_path(before);
  ASSERT_TRUE(imported);
  EXPECT_EQ(e->GetFileName(), "picture");
  EXPECT_EQ(e->GetFileExt(), "b/pic");
}

// A refused import changes nothing and writes one record, under the method's
// name, naming the file and why it was refused.
TEST_F(PictureModel, RefusedImportsChangeNothingAndWriteOneRecord) {
  CGIS_PictureElement* e = NewPicture();
  const std::string good = Quadrants("good.png", 30, 20);
  ASSERT_TRUE(e->ImportPictureFromFile(good.c_str()));
  const SGIS_Rect rect = e->GetRect();
  const files::Bytes custom = CustomBytes(e);

  const auto cut = [](files::Bytes bytes) {
    bytes.resize(bytes.size() / 2);
    return bytes;
  };
  files::Bytes huge = files::Bmp(2, 2, 24);
  huge[18] = 0x60;  // 60000 x 60000 pixels over a few bytes
  huge[19] = 0xEA;
  huge[22] = 0x60;
  huge[23] = 0xEA;
  const struct {
    const char* name;
    files::Bytes bytes;  // none: no such file
    const char* why;     // the record's text after the file's path and ": " ("*" any text)
  } rows[] = {
      {"cut.emf", cut(metafiles::SampleEmf()), "EMF: the records end early"},
      {"cut.wmf", cut(metafiles::SampleWmf()), "WMF: the records end early"},
      {"damaged.jpg", cut(files::Jpeg(50, 50, files::Opaque(50, 50))), "JPEG: *"},
      {"huge.bmp", huge,
       "BMP: picture of 60000 x 60000 pixels needs 13732 MiB, more than the limit of 512 MiB"},
      {"notes.txt", files::Bytes{'h', 'i'}, "not a PNG, JPEG, GIF, TIFF, BMP, ICO, CUR, WMF or EMF picture"},
      {"missing.png", {}, "cannot open *: No such file or directory"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = row.bytes.empty() ? (dir_ / row.name).string() : Write(row.name, row.bytes);
    LogMark mark;
    EXPECT_FALSE(e->ImportPictureFromFile(path.c_str()));
    const std::vector<SGIS_LogRecord> records = mark.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, GIS_LOG_LEVEL_STORAGE);
    EXPECT_EQ(records[0].method, "CGIS_PictureElement::ImportPictureFromFile");
    EXPECT_EQ(fnmatch((path + ": " + row.why).c_str(), records[0].text.c_str(), 0), 0) << records[0].text;
    EXPECT_EQ(e->GetFileName(), good);
    EXPECT_EQ(e->GetFileExt(), "png");
    EXPECT_EQ(e->GetRect(), rect);
    EXPECT_EQ(CustomBytes(e), custom);
  }
  // No file, the file already shown, or a path longer than the stored limit
  // (refused whole): nothing happens, and one record in English says why.
  const std::string longPath = "/" + std::string(CGIS_PictureElement::kMaxPathBytes, 'x') + ".png";
  const struct {
    const char* path;
    std::string said;
  } misuses[] = {
      {nullptr, "no file named: szFileName is NULL"},
      {"", "no file named: szFileName is empty"},
      {good.c_str(), good + " is the picture's file already: nothing imported"},
      {longPath.c_str(), "strlen(szFileName) > " + std::to_string(CGIS_PictureElement::kMaxPathBytes)},
  };
  for (const auto& misuse : misuses) {
    LogMark mark;
    EXPECT_FALSE(e->ImportPictureFromFile(misuse.path));
    EXPECT_EQ(mark.Count(), 1u) << misuse.said;
    EXPECT_EQ(mark.Count(3, "CGIS_PictureElement::ImportPictureFromFile", misuse.said), 1) << misuse.said;
    EXPECT_EQ(e->GetFileName(), good);
    EXPECT_EQ(CustomBytes(e), custom);
  }
}

TEST_F(PictureModel, AnElementWithoutAFeatureRefusesTheImport) {
  auto* unbound = new CGIS_PictureElement(nullptr, nullptr);
  const std::string good = Quadrants("good.png", 3, 2);
  LogMark mark;
  EXPECT_FALSE(unbound->ImportPictureFromFile(good.c_str()));
  EXPECT_TRUE(mark.Has(3, "CGIS_PictureElement::ImportPictureFromFile", "m_pFeature == NULL"));
  EXPECT_EQ(unbound->GetFileName(), "");
  unbound->Release();
}

TEST_F(PictureModel, ResizingKeepsTheRatioByOneFactor) {
  struct Row {
    bool keep;
    int w, h;
    SGIS_Rect after;
  } rows[] = {
      {true, 200, 50, SGIS_Rect(0, 50, 50, 0)},     // sx 2 above 1: the smaller factor 0.5
      {true, 80, 60, SGIS_Rect(0, 80, 80, 0)},      // both below 1: the larger, 0.8
      {true, 100, 300, SGIS_Rect(0, 100, 100, 0)},  // sx exactly 1
      {false, 200, 50, SGIS_Rect(0, 50, 200, 0)},  {false, 80, 60, SGIS_Rect(0, 60, 80, 0)},
      {true, 0, 60, SGIS_Rect(0, 100, 100, 0)},  // below 1: nothing
  };
  for (const Row& row : rows) {
    CGIS_PictureElement* e = NewPicture();
    e->SetHVScaleRatio(false);
    e->SetRect(SGIS_Rect(0, 100, 100, 0));
    e->SetHVScaleRatio(row.keep);
    e->SetWidthAndHeight(row.w, row.h);
    EXPECT_EQ(e->GetRect(), row.after) << row.keep << " " << row.w << " x " << row.h;
  }
}

TEST_F(PictureModel, MovingAndScaling) {
  CGIS_PictureElement* e = NewPicture();
  e->SetHVScaleRatio(false);
  e->SetRect(SGIS_Rect(100, 300, 300, 100));
  e->OffsetAllPoints(10, -20);
  EXPECT_EQ(e->GetRect(), SGIS_Rect(110, 280, 310, 80));
  e->SetLBpoint(SGIS_Point(0, 0, 0));
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 200, 200, 0));
  e->ScaleShape(SGIS_Point(0, 0, 0), 2.0, 0.5);
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 100, 400, 0));
  e->SetHVScaleRatio(true);
  e->ScaleShape(SGIS_Point(100, 0, 0), 0.5, 3.0);  // both factors become 0.5
  EXPECT_EQ(e->GetRect(), SGIS_Rect(50, 50, 250, 0));
  e->ScaleShape(SGIS_Point(0, 0, 0), -1.0, 2.0);  // refused
  EXPECT_EQ(e->GetRect(), SGIS_Rect(50, 50, 250, 0));
}

TEST_F(PictureModel, FrameAndName) {
  CGIS_PictureElement* e = NewPicture();
  IGIS_FrameProperty* own = e->GetFramePropertyPtr();
  EXPECT_TRUE(e->SetFramePropertyPtr(own));
  EXPECT_EQ(e->GetFramePropertyPtr(), own);
  IGIS_FrameProperty* mine = GIS_CreateFramePropertyObject();
  mine->SetBorderX(777);
  EXPECT_TRUE(e->SetFramePropertyPtr(mine));
  EXPECT_NE(e->GetFramePropertyPtr(), mine);  // a copy is kept
  EXPECT_EQ(e->GetFramePropertyPtr()->GetBorderX(), 777);
  mine->Release();
  EXPECT_TRUE(e->SetFramePropertyPtr(nullptr));
  EXPECT_EQ(e->GetFramePropertyPtr(), nullptr);
  LogMark mark;
  e->SetName(nullptr);
  EXPECT_TRUE(mark.Has(3, "CGIS_PictureElement::SetName", "szName为NULL"));
  EXPECT_STREQ(e->GetName(), "图片");
}

}  // namespace
}  // namespace md::test
