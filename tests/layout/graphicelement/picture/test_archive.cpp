// Storing and reading the picture element: the common fields and "Custom"
// keys round trip, a picture kept in the document comes back as a file of
// the temporary folder with the same bytes, shared by every element holding
// that content and removed when the last of them goes.
#include <unistd.h>

#include <fstream>
#include <set>

#include "layout/graphicelement/element/customset.h"
#include "layout/graphicelement/picture/keptpicture.h"
#include "platform/imaging/loader.h"

#include "tests/layout/graphicelement/picture/picturetest.h"

namespace md::test {
namespace {

using PictureArchive = PicturePage;

// In this process's own folder of the temporary folder.
bool InTempFolder(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  return folder.parent_path() == std::filesystem::path(GIS_GetTempDir()) &&
         folder.filename().string().starts_with("kept." + std::to_string(::getpid()) + ".");
}

TEST_F(PictureArchive, StateRoundTripsThroughTheFeature) {
  CGIS_PictureElement* e = NewPicture();
  const std::string path = Quadrants("q.gif", 5, 5);
  ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
  e->SetName("商标");
  e->SetLock(true);
  e->SetHVScaleRatio(false);
  e->SetOrder(7);
  e->GetFramePropertyPtr()->SetBorderX(321);
  ASSERT_TRUE(e->Archive(0, 0));

  auto* again = static_cast<CGIS_PictureElement*>(
      CGIS_ElementFactory::Create(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, set_, e->GetFeaturePtr()));
  owned_.push_back(again);
  ASSERT_TRUE(again->Archive(1, 0));
  EXPECT_STREQ(again->GetName(), "商标");
  EXPECT_TRUE(again->IsLock());
  EXPECT_FALSE(again->GetHVScaleRatio());
  EXPECT_EQ(again->GetOrder(), 7);
  EXPECT_EQ(again->GetFileName(), path);
  EXPECT_EQ(again->GetFileExt(), "gif");
  EXPECT_FALSE(again->IsSaveInDoc());
  ASSERT_NE(again->GetFramePropertyPtr(), nullptr);
  EXPECT_EQ(again->GetFramePropertyPtr()->GetBorderX(), 321);
  EXPECT_EQ(CustomKeys(again), (std::vector<std::string>{"FrameProperty", "DIB", "FileName", "FileExt",
                                                         "SaveInDoc", "PictureData"}));
}

TEST_F(PictureArchive, ARemovedFrameStaysRemoved) {
  CGIS_PictureElement* e = NewPicture();
  ASSERT_TRUE(e->Archive(0, 0));
  e->SetFramePropertyPtr(nullptr);
  ASSERT_TRUE(e->Archive(0, 0));
  ASSERT_TRUE(e->Archive(1, 0));
  EXPECT_EQ(e->GetFramePropertyPtr(), nullptr);
}

TEST_F(PictureArchive, AKeptPictureComesBackFromAStoredPageWithTheSameBytes) {
  CGIS_PictureElement* e = NewPicture();
  const files::Bytes original = files::Jpeg(24, 16, files::Opaque(24, 16), 150);
  const std::string path = Write("photo.jpg", original);
  ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
  LogMark mark;
  e->ArchivePictureData(true);
  EXPECT_TRUE(e->IsSaveInDoc());
  EXPECT_NE(e->GetFileName(), path);
  EXPECT_TRUE(InTempFolder(e->GetFileName()));
  EXPECT_EQ(files::ReadAll(e->GetFileName()), original);
  EXPECT_EQ(PictureData(e), original);
  ASSERT_TRUE(e->Archive(0, 0));
  // The stored name is the one it was kept from, not the copy's.
  EXPECT_EQ(StoredFileName(e), path);

  // Stored in a file and read into a fresh feature set, with the user's file gone.
  const std::string page = (dir_ / "page.mdfs").string();
  ASSERT_TRUE(set_->SaveToFile(page.c_str()));
  std::filesystem::remove(path);
  IGIS_FeatureSet* fresh = GIS_CreateFeatureSetObject(nullptr, "fresh", 0, 0, 0, 0, nullptr);
  fresh->GetFeatureClass()->SetSpatialReference(reference_);
  ASSERT_TRUE(fresh->LoadFromFile(page.c_str()));
  IGIS_Feature* feature = fresh->GetFeature(e->GetID());
  ASSERT_NE(feature, nullptr);
  auto* read = static_cast<CGIS_PictureElement*>(
      CGIS_ElementFactory::Create(feature->GetAttributes()->GetString("TYPE"), fresh, feature));
  ASSERT_NE(read, nullptr);
  ASSERT_TRUE(read->Archive(1, 0));
  EXPECT_TRUE(read->IsSaveInDoc());
  EXPECT_TRUE(InTempFolder(read->GetFileName()));
  EXPECT_EQ(read->GetFileName(), e->GetFileName());  // the content's one file
  EXPECT_EQ(files::ReadAll(read->GetFileName()), original);
  EXPECT_EQ(read->GetRect(), e->GetRect());
  ASSERT_TRUE(read->Archive(0, 0));
  EXPECT_EQ(StoredFileName(read), path);
  // It draws from the restored file.
  ScreenOnRecording screen(0, 2000);
  read->SetHVScaleRatio(false);
  read->SetRect(SGIS_Rect(0, 2000, 2540, 0));
  ASSERT_TRUE(read->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_EQ(screen.Images().size(), 1u);
  read->Release();
  fresh->Release();
  EXPECT_FALSE(mark.Has(1, "CGIS_PictureElement::Archive"));
}

// Files of this process's folders in the temporary folder holding the bytes
// (other tests may write files there at the same time).
std::set<std::string> TempFilesHolding(const files::Bytes& bytes) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(GIS_GetTempDir(), ec)) {
    if (!InTempFolder(entry.path().string())) continue;
    if (entry.is_regular_file(ec) && entry.file_size(ec) == bytes.size() &&
        files::ReadAll(entry.path().string()) == bytes)
      names.insert(entry.path().string());
  }
  return names;
}

TEST_F(PictureArchive, ReadingsShareOneFileOfTheContentRemovedWithTheLastHolder) {
  CGIS_PictureElement* e = NewPicture();
  const files::Bytes original = files::Png(11, 7, files::Opaque(11, 7));
  ASSERT_TRUE(e->ImportPictureFromFile(Write("logo.png", original).c_str()));
  ASSERT_TRUE(TempFilesHolding(original).empty());
  e->ArchivePictureData(true);
  ASSERT_TRUE(e->Archive(0, 0));
  const std::string kept = e->GetFileName();
  // Two elements on the same feature read the kept picture, one many times.
  auto* a = static_cast<CGIS_PictureElement*>(
      CGIS_ElementFactory::Create(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, set_, e->GetFeaturePtr()));
  auto* b = static_cast<CGIS_PictureElement*>(
      CGIS_ElementFactory::Create(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, set_, e->GetFeaturePtr()));
  ASSERT_TRUE(b->Archive(1, 0));
  const std::size_t decodes = md::imaging::ImageCache::Shared().DecodeCount();
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(a->Archive(1, 0));
    ASSERT_TRUE(a->Archive(0, 0));
    ASSERT_TRUE(md::imaging::ImageCache::Shared().Load(a->GetFileName()));
  }
  // One file of the content in the folder, decoded once.
  EXPECT_EQ(TempFilesHolding(original), std::set<std::string>{kept});
  EXPECT_EQ(a->GetFileName(), kept);
  EXPECT_EQ(b->GetFileName(), kept);
  EXPECT_TRUE(InTempFolder(kept));
  EXPECT_EQ(kept.substr(kept.size() - 4), ".png");
  EXPECT_EQ(files::ReadAll(kept), original);
  EXPECT_LE(md::imaging::ImageCache::Shared().DecodeCount(), decodes + 1);

  // Released one by one: the file goes with the last holder.
  a->Release();
  b->Release();
  EXPECT_TRUE(std::filesystem::exists(kept));
  owned_.erase(std::find(owned_.begin(), owned_.end(), e));
  e->Release();
  EXPECT_FALSE(std::filesystem::exists(kept));
  EXPECT_TRUE(TempFilesHolding(original).empty());
}

TEST_F(PictureArchive, ReadingKeptBytesAgainReusesTheTemporaryFileHoldingThem) {
  CGIS_PictureElement* e = NewPicture();
  const files::Bytes original = files::Png(9, 9, files::Opaque(9, 9));
  ASSERT_TRUE(e->ImportPictureFromFile(Write("logo.png", original).c_str()));
  e->ArchivePictureData(true);
  ASSERT_TRUE(e->Archive(0, 0));
  // Two elements on the same feature read the kept picture, then one reads
  // twice: the file the stored name gives holds the bytes, and is kept.
  auto* a = static_cast<CGIS_PictureElement*>(
      CGIS_ElementFactory::Create(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, set_, e->GetFeaturePtr()));
  auto* b = static_cast<CGIS_PictureElement*>(
      CGIS_ElementFactory::Create(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, set_, e->GetFeaturePtr()));
  owned_.push_back(a);
  owned_.push_back(b);
  ASSERT_TRUE(a->Archive(1, 0));
  ASSERT_TRUE(b->Archive(1, 0));
  ASSERT_TRUE(a->Archive(1, 0));
  EXPECT_EQ(a->GetFileName(), e->GetFileName());
  EXPECT_EQ(b->GetFileName(), e->GetFileName());
  // A stored name whose file holds other bytes gets a new file of its own.
  files::Bytes other = original;
  other.back() ^= 0x5a;
  std::ofstream(e->GetFileName(), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(other.data()), static_cast<std::streamsize>(other.size()));
  ASSERT_TRUE(a->Archive(1, 0));
  EXPECT_NE(a->GetFileName(), e->GetFileName());
  EXPECT_TRUE(InTempFolder(a->GetFileName()));
  EXPECT_EQ(files::ReadAll(a->GetFileName()), original);
  EXPECT_EQ(a->GetFileName().substr(a->GetFileName().size() - 4), ".png");
}

TEST_F(PictureArchive, AContentChangedUnderAnElementGetsItsOwnFile) {
  CGIS_PictureElement* e = NewPicture();
  ASSERT_TRUE(e->ImportPictureFromFile(Write("one.png", files::Png(4, 4, files::Opaque(4, 4))).c_str()));
  e->ArchivePictureData(true);
  const std::string first = e->GetFileName();
  const files::Bytes other = files::Png(5, 3, files::Opaque(5, 3));
  ASSERT_TRUE(e->ImportPictureFromFile(Write("two.png", other).c_str()));
  // The first content is no longer held: its file is gone.
  EXPECT_FALSE(std::filesystem::exists(first));
  e->ArchivePictureData(true);
  EXPECT_NE(e->GetFileName(), first);
  EXPECT_EQ(files::ReadAll(e->GetFileName()), other);
  const std::size_t alive = md::layout::KeptPictureCount();
  EXPECT_GE(alive, 1u);
  owned_.erase(std::find(owned_.begin(), owned_.end(), e));
  const std::string second = e->GetFileName();
  e->Release();
  EXPECT_FALSE(std::filesystem::exists(second));
  EXPECT_EQ(md::layout::KeptPictureCount(), alive - 1);
}

TEST_F(PictureArchive, KeepingIsRefusedWithoutAReadableFileAndChangesNothing) {
  // A file gone since its import, or none imported: the record says which.
  const std::string path = Quadrants("gone.png", 4, 4);
  const struct {
    bool imported;
    std::string said;  // the record's start
  } rows[] = {
      {true, "cannot read the file " + path + ": "},
      {false, "cannot read the picture's file: the element names no file"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.said);
    CGIS_PictureElement* e = NewPicture();
    if (row.imported) {
      Quadrants("gone.png", 4, 4);
      ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
      std::filesystem::remove(path);
    }
    const files::Bytes custom = CustomBytes(e);
    LogMark mark;
    e->ArchivePictureData(true);
    const std::vector<SGIS_LogRecord> records = mark.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 1);
    EXPECT_EQ(records[0].method, "CGIS_PictureElement::Archive");
    EXPECT_TRUE(records[0].text.starts_with(row.said)) << records[0].text;
    EXPECT_FALSE(e->IsSaveInDoc());
    EXPECT_EQ(e->GetFileName(), row.imported ? path : "");
    EXPECT_EQ(CustomBytes(e), custom);
  }
  CGIS_PictureElement* e = NewPicture();
  // Not asked to keep: nothing is copied.
  const std::string other = Quadrants("other.png", 4, 4);
  ASSERT_TRUE(e->ImportPictureFromFile(other.c_str()));
  e->ArchivePictureData(false);
  EXPECT_FALSE(e->IsSaveInDoc());
  EXPECT_EQ(e->GetFileName(), other);
  EXPECT_TRUE(PictureData(e).empty());
}

TEST_F(PictureArchive, ANewImportStopsKeepingUntilKeptAgain) {
  CGIS_PictureElement* e = NewPicture();
  const files::Bytes first = files::Bmp(4, 4, 24);
  ASSERT_TRUE(e->ImportPictureFromFile(Write("first.bmp", first).c_str()));
  e->ArchivePictureData(true);
  ASSERT_TRUE(e->IsSaveInDoc());
  e->ArchivePictureData(true);  // kept already: no second copy
  const std::string kept = e->GetFileName();
  EXPECT_EQ(e->GetFileName(), kept);
  const files::Bytes second = files::Bmp(6, 2, 24);
  ASSERT_TRUE(e->ImportPictureFromFile(Write("second.bmp", second).c_str()));
  EXPECT_FALSE(e->IsSaveInDoc());
  EXPECT_EQ(PictureData(e), first);  // the old bytes stay until kept again
  e->ArchivePictureData(true);
  EXPECT_EQ(PictureData(e), second);
}

TEST_F(PictureArchive, StoredNamesLongerThanAPathAreRefused) {
  CGIS_PictureElement* e = NewPicture();
  const std::string path = Quadrants("q.png", 4, 4);
  ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
  ASSERT_TRUE(e->Archive(0, 0));
  IGIS_FeatureAttributes* a = e->GetFeaturePtr()->GetAttributes();
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  set->Archive(a->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0);
  set->GetProperty("FileName")->SetString(std::string(2000, 'y').c_str());
  IGIS_DataBuffer* out = GIS_CreateDataBufferObject(0);
  set->Archive(out, GIS_ARCHIVE_WRITE, 0);
  a->SetDataBuffer("Custom", out, 0);
  out->Release();
  set->Release();
  LogMark mark;
  ASSERT_TRUE(e->Archive(1, 0));
  EXPECT_EQ(e->GetFileName(), "");
  EXPECT_TRUE(mark.Has(3, "CGIS_PictureElement::Archive"));
}

// Stores the text as the key's value, bytes and all, at the end of the
// element's "Custom" set.
void StoreText(IGIS_Element* e, std::string_view key, std::string_view text) {
  IGIS_FeatureAttributes* attributes = e->GetFeaturePtr()->GetAttributes();
  const md::layout::StoredSetView view{md::layout::BufferBytes(attributes->GetDataBuffer("Custom"))};
  md::layout::StoredSetWriter out;
  for (const md::basilo::StoredFieldView& f : view.Fields())
    if (f.key != key) out.Stored(f);
  out.String(key, key, text);
  md::layout::DataBufferPtr buffer(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(out.Finish(buffer.get()));
  attributes->SetDataBuffer("Custom", buffer.get(), 0);
}

// A record the element cannot take (a NUL leaves the whole set unreadable; a
// name too long or leaving the page's folder is refused) is drawn with what
// resolves, crossed out with one record otherwise, and written back as stored.
TEST_F(PictureArchive, ARecordItCannotTakeIsWrittenBackAsStored) {
  const std::string path = Quadrants("q.png", 4, 4);
  const std::tuple<const char*, std::string, bool> rows[] = {
      // the key, its text, drawn
      {"RelativeFileName", std::string("img\0q.png", 9), false},
      {"FileName", path + '\0' + ".png", false},
      {"FileName", std::string(1000, 'y'), false},
      {"FileExt", std::string(1000, 'p'), true},
      {"RelativeFileName", std::string(1000, 'r'), true},
      {"RelativeFileName", "../q.png", true}};
  for (const auto& [key, text, drawn] : rows) {
    SCOPED_TRACE(std::string(key) + " of " + std::to_string(text.size()) + " bytes");
    CGIS_PictureElement* e = NewPicture();
    ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
    e->SetRect(SGIS_Rect(0, 2000, 2540, 0));
    ASSERT_TRUE(e->Archive(0, 0));
    StoreText(e, key, text);
    const files::Bytes stored = CustomBytes(e);
    owned_.push_back(CGIS_ElementFactory::Create(GIS_TYPE_GRAPHIC_ELEMENT_PICTURE, set_, e->GetFeaturePtr()));
    ASSERT_TRUE(owned_.back()->Archive(1, 0));
    ScreenOnRecording screen(0, 2000);
    LogMark mark;
    EXPECT_EQ(owned_.back()->OnDraw(screen.hdc, false, &screen.display) != FALSE, drawn);
    EXPECT_EQ(screen.Images().size(), drawn ? 1u : 0u);
    EXPECT_EQ(mark.Count(), drawn ? 0u : 1u);
    ASSERT_TRUE(owned_.back()->Archive(0, 0));
    EXPECT_EQ(CustomBytes(owned_.back()), stored);
  }
}

// A picture beside or below its page also stores its path from the page's
// folder, and is drawn from there after the page's folder has moved.
TEST_F(PictureArchive, APictureBesideOrBelowItsPageIsFoundWhereverThePageMovesWithIt) {
  std::vector<CGIS_PictureElement*> placed;
  for (const char* picture : {"a/pic.png", "a/img/pic.png", "b/pic.png"}) {  // the page lies in "a"
    std::filesystem::create_directories((dir_ / picture).parent_path());
    files::WriteAll((dir_ / picture).string(), files::Png(8, 8, files::Opaque(8, 8)));
    placed.push_back(NewPicture());
    ASSERT_TRUE(placed.back()->ImportPictureFromFile((dir_ / picture).c_str()));
    placed.back()->SetRect(SGIS_Rect(2540, 17460, 5080, 14920));
  }
  ASSERT_TRUE(set_->SaveToFile((dir_ / "a/page.mdfs").c_str()));
  std::filesystem::rename(dir_ / "a", dir_ / "moved");
  IGIS_FeatureSet* moved = GIS_CreateFeatureSetObject(nullptr, "moved", 0, 0, 0, 0, nullptr);
  ASSERT_TRUE(moved->LoadPageFromFile((dir_ / "moved/page.mdfs").c_str()));
  moved->GetFeatureClass()->SetSpatialReference(reference_);
  std::vector<std::pair<std::string, std::size_t>> stored;  // the relative path, the pictures drawn
  for (CGIS_PictureElement* e : placed) {
    ScreenOnRecording screen;
    const bool drawn = moved->GetElement(e->GetID())->OnDraw(screen.hdc, false, &screen.display);
    stored.emplace_back(StoredString(e, "RelativeFileName"), drawn ? screen.Images().size() : 0);
  }
  EXPECT_EQ(stored,
            (std::vector<std::pair<std::string, std::size_t>>{{"pic.png", 1}, {"img/pic.png", 1}, {"", 1}}));
  moved->Release();
}

}  // namespace
}  // namespace md::test
