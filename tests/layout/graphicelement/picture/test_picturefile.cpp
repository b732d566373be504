// New files for kept pictures: exclusive, unique, complete, and always inside
// their folder.
#include <sys/stat.h>

#include <set>

#include "layout/graphicelement/picture/picturefile.h"
#include "tests/layout/graphicelement/picture/picturetest.h"

namespace md::test {
namespace {

using PictureFile = PicturePage;

TEST_F(PictureFile, NamesAreUniqueAndFilesComplete) {
  const std::string folder = dir_.string();
  const files::Bytes bytes = files::Png(3, 3, files::Opaque(3, 3));
  std::set<std::string> names;
  for (int i = 0; i < 50; ++i) {
    std::string attempted;
    const std::string path =
        md::layout::WriteNewFile(folder, "kept", "png", bytes.data(), bytes.size(), &attempted);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path, attempted);
    EXPECT_EQ(std::filesystem::path(path).parent_path(), dir_);
    EXPECT_EQ(std::filesystem::path(path).extension(), ".png");
    EXPECT_EQ(files::ReadAll(path), bytes);
    names.insert(path);
  }
  EXPECT_EQ(names.size(), 50u);
  // Nothing but the owner may read a kept picture of the temporary folder.
  struct stat st {};
  ASSERT_EQ(::stat(names.begin()->c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(PictureFile, ExtensionsThatAreNotPlainWordsAreLeftOff) {
  const std::string folder = dir_.string();
  const char data[] = "x";
  for (const char* ext : {"../../escape", "b/pic", "a.b", "", "很长", "0123456789abcdefg"}) {
    SCOPED_TRACE(ext);
    const std::string path = md::layout::WriteNewFile(folder, "kept", ext, data, 1, nullptr);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(std::filesystem::path(path).parent_path(), dir_);
    EXPECT_EQ(std::filesystem::path(path).extension(), "");
  }
  EXPECT_EQ(std::filesystem::path(md::layout::WriteNewFile(folder, "kept", "tif_2-x", data, 1, nullptr))
                .extension(),
            ".tif_2-x");
}

TEST_F(PictureFile, AFolderThatCannotTakeFilesGivesNoPath) {
  std::string attempted;
  const std::string path =
      md::layout::WriteNewFile((dir_ / "missing").string(), "kept", "png", "x", 1, &attempted);
  EXPECT_TRUE(path.empty());
  EXPECT_EQ(std::filesystem::path(attempted).parent_path(), dir_ / "missing");
}

TEST_F(PictureFile, AStoredExtensionNeverLeadsAKeptPictureOutOfTheTemporaryFolder) {
  CGIS_PictureElement* e = NewPicture();
  ASSERT_TRUE(e->ImportPictureFromFile(Quadrants("q.png", 4, 4).c_str()));
  e->ArchivePictureData(true);
  ASSERT_TRUE(e->Archive(0, 0));
  IGIS_FeatureAttributes* a = e->GetFeaturePtr()->GetAttributes();
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->Archive(a->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
  set->GetProperty("FileExt")->SetString("/../../../picture-escape");
  IGIS_DataBuffer* out = GIS_CreateDataBufferObject(0);
  set->Archive(out, GIS_ARCHIVE_WRITE, 0);
  a->SetDataBuffer("Custom", out, 0);
  out->Release();
  set->Release();
  ASSERT_TRUE(e->Archive(1, 0));
  // In the process's own folder of the temporary folder.
  EXPECT_EQ(std::filesystem::path(e->GetFileName()).parent_path().parent_path(),
            std::filesystem::path(GIS_GetTempDir()));
  EXPECT_EQ(e->GetFileExt(), "/../../../picture-escape");
}

}  // namespace
}  // namespace md::test
