// The embedded-object element: its stored form, sizing by the object's
// proportions, storage round trips of each object class, damaged objects.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tests/layout/graphicelement/ole/oletest.h"
#include "tests/support/forwardingset.h"
#include "tests/support/logmark.h"

namespace {

using md::test::OlePage;

class OleElement : public OlePage {};

TEST_F(OleElement, NewElementWritesItsFieldsAndEmptyKeys) {
  CGIS_OleElement* e = NewOle();
  IGIS_FeatureAttributes* a = e->GetFeaturePtr()->GetAttributes();
  EXPECT_EQ(e->GetFeaturePtr()->GetKind(), GIS_FEATURE_KIND_RECTANGLE);
  EXPECT_STREQ(a->GetString("TYPE"), "GIS_TYPE_GRAPHIC_ELEMENT_OLE");
  EXPECT_TRUE(a->GetBool("IsLock"));
  EXPECT_FALSE(e->IsLock());
  EXPECT_FALSE(a->GetBool("KeepHVScaleRatio"));
  EXPECT_EQ(a->GetFieldType("CanConvert"), 0);
  auto custom = Custom(e);
  ASSERT_EQ(custom->GetCount(), 2);
  IGIS_Field* first = custom->GetFirstPosition();
  EXPECT_STREQ(first->GetLabel(), "OLEDATA");
  EXPECT_STREQ(first->GetDescription(), "OLE对象数据");
  EXPECT_STREQ(custom->GetNext(first)->GetLabel(), "FrameProperty");
  EXPECT_TRUE(StoredObject(e).empty());
  EXPECT_STREQ(e->GetName(), "Ole对象");
  EXPECT_EQ(e->GetOrder(), -10);
  EXPECT_FALSE(e->CanConvert());
  EXPECT_EQ(e->Clone(), nullptr);
  EXPECT_EQ(e->ConvertToElement(), nullptr);
  EXPECT_NE(e->GetFramePropertyPtr(), nullptr);
  EXPECT_EQ(e->GetClientItem(), nullptr);
}

TEST_F(OleElement, ProportionsAlwaysKeptAndTheStoredFlagStays) {
  CGIS_OleElement* e = NewOle();
  for (bool keep : {true, false}) {
    e->SetHVScaleRatio(keep);
    EXPECT_TRUE(e->GetHVScaleRatio());
    ASSERT_TRUE(e->Archive(0, 0));
    EXPECT_FALSE(e->GetFeaturePtr()->GetAttributes()->GetBool("KeepHVScaleRatio"));
  }
}

TEST_F(OleElement, AFailedCommitAfterWritingIsAFailure) {
  CGIS_OleElement* e = NewOle();
  md::test::CommitRefusingSet refusing(set_);
  // The same feature, on an owner whose commits fail.
  auto* refused = new CGIS_OleElement(&refusing, e->GetFeaturePtr());
  refused->SetLock(true);
  md::test::LogMark mark;
  EXPECT_FALSE(refused->Archive(0, 0));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_OleElement::Archive", "b_ret == NULL"));
  EXPECT_TRUE(e->GetFeaturePtr()->GetAttributes()->GetBool("IsLock"));  // written all the same
  refused->Release();                                                   // before its owner goes
}

TEST_F(OleElement, SizeFollowsTheObjectsProportions) {
  // 160 x 40 pixels: an extent of 4233 x 1058, four times wider than high.
  CGIS_OleElement* e = Inserted(FileOf(md::test::WritePng("wide.png", 160, 40)), SGIS_Rect(0, 1000, 1000, 0));
  e->SetWidthAndHeight(2000, 500);  // s = min(2, 0.5) = 0.5
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 125, 500, 0));
  e->SetWidthAndHeight(500, 125);  // unchanged size: nothing happens
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 125, 500, 0));
  e->SetWidthAndHeight(0, 100);
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 125, 500, 0));
  e->SetRect(SGIS_Rect(100, 900, 900, 100));  // moved, then sized by width
  EXPECT_EQ(e->GetRect(), SGIS_Rect(100, 300, 900, 100));

  // Without an object the element counts as square.
  CGIS_OleElement* plain = NewOle();
  plain->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(0, 1000, 1000, 0), 0);
  plain->SetWidthAndHeight(2000, 3000);
  EXPECT_EQ(plain->GetRect(), SGIS_Rect(0, 2000, 2000, 0));
}

TEST_F(OleElement, ScalingMovesAndKeepsProportions) {
  CGIS_OleElement* e = NewOle();
  e->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(100, 200, 200, 100), 0);
  e->ScaleShape(SGIS_Point(0, 0, 0), 2, 3);
  EXPECT_EQ(e->GetRect(), SGIS_Rect(200, 500, 400, 300));
  e->ScaleShape(SGIS_Point(0, 0, 0), 0, 3);  // refused
  e->ScaleShape(SGIS_Point(0, 0, 0), std::nan(""), 3);
  EXPECT_EQ(e->GetRect(), SGIS_Rect(200, 500, 400, 300));
  e->OffsetAllPoints(-200, -300);
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 200, 200, 0));
  e->SetLBpoint(SGIS_Point(10, 20, 0));
  EXPECT_EQ(e->GetRect(), SGIS_Rect(10, 220, 210, 20));
}

TEST_F(OleElement, InsertRunsTheDialogAndCancelOrAFailureKeepsWhatWasThere) {
  CGIS_OleElement* e = NewOle();
  confirm_ = false;
  EXPECT_FALSE(e->InsertObject(nullptr));
  EXPECT_EQ(dialogRuns_, 1);
  EXPECT_EQ(e->GetClientItem(), nullptr);
  confirm_ = true;
  choice_ = NewOf("Mapdeck.TextDocument");
  EXPECT_TRUE(e->InsertObject(nullptr));
  ASSERT_NE(e->GetClientItem(), nullptr);
  EXPECT_TRUE(e->GetClientItem()->HasObject());
  EXPECT_EQ(e->GetClientItem()->GetItemNumber(), 4u);
  EXPECT_EQ(e->GetClientItem()->GetItemState(), CGIS_OleClientItem::loadedState);
  EXPECT_EQ(CGIS_OleElement::Current(), e);
  // A new object takes its natural size on an element without one.
  SIZE extent{};
  e->GetClientItem()->GetExtent(&extent, -1);
  EXPECT_EQ(e->GetRect().Width(), extent.cx);
  EXPECT_EQ(e->GetRect().Height(), extent.cy);

  // An unknown class makes no object and keeps the one held before: nothing
  // was inserted.
  choice_ = NewOf("Other.Program");
  EXPECT_FALSE(e->InsertObject(nullptr));
  ASSERT_TRUE(e->GetClientItem()->HasObject());
  EXPECT_EQ(&e->GetClientItem()->GetObject()->Class(), &md::ole::TextDocumentClass());
}

// An insert that made nothing answers FALSE, with the system's reason.
TEST_F(OleElement, AnInsertThatMadeNothingAnswersFalseWithTheRealReason) {
  const std::pair<md::layout::SGIS_OleInsertChoice, const char*> rows[] = {
      {FileOf(MD_TEST_OUTPUT_DIR "/ole-missing.txt"), "No such file or directory"},
      {FileOf(MD_TEST_OUTPUT_DIR), "a folder, not a regular file"},
  };
  CGIS_OleElement* e = NewOle();
  for (const auto& [choice, why] : rows) {
    md::test::LogMark mark;
    choice_ = choice;
    EXPECT_FALSE(e->InsertObject(nullptr)) << why;
    ASSERT_EQ(mark.Count(), 1u);
    EXPECT_NE(mark.Records()[0].text.find(why), std::string::npos) << mark.Records()[0].text;
  }
}

// Placed before the insert, the element keeps its width and takes the
// inserted object's proportions.
TEST_F(OleElement, AnInsertedObjectGivesTheElementItsProportions) {
  const std::pair<md::layout::SGIS_OleInsertChoice, SGIS_Rect> rows[] = {
      {FileOf(md::test::WritePng("three_by_two.png", 96, 64)), SGIS_Rect(1000, 5000, 7000, 1000)},
      {LinkOf(md::test::WriteText("ole_placed.txt", "第一行\nline two")), SGIS_Rect(500, 7500, 13500, 1500)},
  };
  for (const auto& [choice, placed] : rows) {
    CGIS_OleElement* e = NewOle();
    e->SetRect(placed);
    choice_ = choice;
    ASSERT_TRUE(e->InsertObject(nullptr));
    SIZE x{};
    e->GetClientItem()->GetExtent(&x, -1);
    const int h = static_cast<int>(std::lround(placed.Width() * static_cast<double>(x.cy) / x.cx));
    EXPECT_EQ(e->GetRect(), SGIS_Rect(placed.left, placed.bottom + h, placed.right, placed.bottom))
        << choice.path;
  }
}

TEST_F(OleElement, EachClassIsStoredAndReadBackInAFreshFeatureSet) {
  const std::string text = "图例说明\nline two";
  const md::layout::SGIS_OleInsertChoice choices[] = {
      NewOf("Mapdeck.Picture"),
      FileOf(md::test::WritePng("stored.png", 64, 32)),
      FileOf(md::test::WriteText("stored.txt", text)),
  };
  for (const auto& choice : choices) {
    SCOPED_TRACE(choice.progId + choice.path);
    CGIS_OleElement* e = Inserted(choice, SGIS_Rect(100, 900, 1300, 300));
    e->SetName("嵌入对象");
    e->SetOrder(7);
    e->SetLock(true);
    e->GetFramePropertyPtr()->SetBorderX(33);
    ASSERT_TRUE(e->Archive(0, 0));
    const std::vector<std::uint8_t> stored = StoredObject(e);
    ASSERT_TRUE(md::ole::HasCompoundFileSignature(stored.data(), stored.size()));
    const std::string path = std::string(MD_TEST_OUTPUT_DIR) + "/ole_page.mdfs";
    ASSERT_TRUE(set_->SaveToFile(path.c_str()));

    IGIS_FeatureSet* fresh = NewSet();
    ASSERT_TRUE(fresh->LoadFromFile(path.c_str()));
    CGIS_OleElement* back = NewOle(fresh, fresh->GetFeature(e->GetID()));
    ASSERT_TRUE(back->Archive(1, 0));
    EXPECT_STREQ(back->GetName(), "嵌入对象");
    EXPECT_EQ(back->GetOrder(), 7);
    EXPECT_TRUE(back->IsLock());
    EXPECT_EQ(back->GetFramePropertyPtr()->GetBorderX(), 33);
    EXPECT_EQ(back->GetRect(), e->GetRect());
    ASSERT_NE(back->GetClientItem(), nullptr);
    ASSERT_TRUE(back->GetClientItem()->HasObject());
    EXPECT_EQ(&back->GetClientItem()->GetObject()->Class(), &e->GetClientItem()->GetObject()->Class());
    SIZE a{}, b{};
    e->GetClientItem()->GetExtent(&a, -1);
    back->GetClientItem()->GetExtent(&b, -1);
    EXPECT_EQ(a.cx, b.cx);
    EXPECT_EQ(a.cy, b.cy);
    // Writing the read object again stores the same logical content.
    ASSERT_TRUE(back->Archive(0, 0));
    md::ole::Storage first, second;
    const std::vector<std::uint8_t> again = StoredObject(back);
    ASSERT_TRUE(md::ole::ReadCompoundFile(stored.data(), stored.size(), &first, nullptr));
    ASSERT_TRUE(md::ole::ReadCompoundFile(again.data(), again.size(), &second, nullptr));
    EXPECT_EQ(first, second);
    std::remove(path.c_str());
  }
}

TEST_F(OleElement, AReadItemAnswersItsTypeAndTheLoadedState) {
  const std::string source = md::test::WriteText("typed.txt", "typed");
  const struct {
    const char* name;
    md::layout::SGIS_OleInsertChoice choice;
    bool bFrozen;
    int type;
  } kCases[] = {
      {"embedded", FileOf(source), false, CGIS_OleClientItem::typeEmbedded},
      {"linked", LinkOf(source), false, CGIS_OleClientItem::typeLink},
      {"static", LinkOf(source), true, CGIS_OleClientItem::typeStatic},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    CGIS_OleElement* e = Inserted(c.choice, SGIS_Rect(0, 500, 500, 0));
    if (c.bFrozen) {
      ASSERT_TRUE(e->GetClientItem()->FreezeLink());
    }
    ASSERT_TRUE(e->Archive(0, 0));
    const CGIS_OleClientItem* item = Reread(e)->GetClientItem();
    EXPECT_EQ(item->GetItemType(), c.type);
    EXPECT_EQ(item->GetItemState(), CGIS_OleClientItem::loadedState);
  }
}

TEST_F(OleElement, DamagedOrForeignObjectsAreRefusedAndSavedUnchanged) {
  CGIS_OleElement* e = Inserted(NewOf("Mapdeck.Picture"), SGIS_Rect(0, 500, 500, 0));
  ASSERT_TRUE(e->Archive(0, 0));
  std::vector<std::uint8_t> good = StoredObject(e);
  std::vector<std::uint8_t> foreign;
  {
    md::ole::Storage other;
    other.clsid[0] = 0x99;  // no class of this process
    other.streams["Contents"] = {1, 2, 3};
    ASSERT_TRUE(md::ole::WriteCompoundFile(other, &foreign, nullptr));
  }
  std::vector<std::uint8_t> wrongSignature = good;
  wrongSignature[0] ^= 0xFF;
  std::vector<std::uint8_t> loop = good;
  // The directory's FAT entry pointing at itself.
  const std::uint32_t dir = loop[0x30] | (loop[0x31] << 8);
  const std::size_t fat = 512 * ((loop[0x4C] | (loop[0x4D] << 8)) + 1) + 4 * dir;
  loop[fat] = static_cast<std::uint8_t>(dir);
  loop[fat + 1] = static_cast<std::uint8_t>(dir >> 8);
  loop[fat + 2] = loop[fat + 3] = 0;
  std::vector<std::uint8_t> truncated(good.begin(), good.begin() + good.size() / 2);
  for (const auto& bad : {wrongSignature, loop, truncated, foreign}) {
    StoreObject(e, bad);

    CGIS_OleElement* back = NewOle(set_, e->GetFeaturePtr());
    md::test::LogMark mark;
    EXPECT_FALSE(back->Archive(1, 0));
    EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_STORAGE, "CGIS_OleElement::Archive"));
    ASSERT_NE(back->GetClientItem(), nullptr);
    EXPECT_FALSE(back->GetClientItem()->HasObject());
    // Drawing shows only the frame; saving keeps the stored bytes.
    ASSERT_TRUE(back->Archive(0, 0));
    EXPECT_EQ(StoredObject(back), bad);
  }
}

TEST_F(OleElement, CurrentElementFitsOnCloseAndIsForgottenWhenReleased) {
  CGIS_OleElement* e = Inserted(FileOf(md::test::WritePng("fit.png", 100, 50)), SGIS_Rect(0, 1000, 1000, 0));
  EXPECT_TRUE(e->CanActivateObject());
  // With nobody to play the server's window, it closes unchanged.
  EXPECT_TRUE(e->GetClientItem()->DoVerb(-2));
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 1000, 1000, 0));
  EXPECT_TRUE(e->ActivateObject(nullptr));
  EXPECT_EQ(CGIS_OleElement::Current(), e);
  e->GetClientItem()->OnChange(CGIS_OleClientItem::changeClosed, 0);
  EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 500, 1000, 0));
  owned_.erase(std::find(owned_.begin(), owned_.end(), e));
  e->Release();
  EXPECT_EQ(CGIS_OleElement::Current(), nullptr);
  CGIS_OleClientItem orphan;  // a close after the element went reaches nothing
  orphan.OnChange(CGIS_OleClientItem::changeClosed, 0);
}

TEST_F(OleElement, ClipboardFormatsAreRegisteredOnceInTheirOrder) {
  const unsigned* formats = GIS_OleClipboardFormats();
  EXPECT_EQ(formats, GIS_OleClipboardFormats());
  for (int i = 0; i < 12; ++i) {
    EXPECT_GE(formats[i], 0xC000u);
    for (int j = 0; j < i; ++j) EXPECT_NE(formats[i], formats[j]);
  }
  EXPECT_EQ(formats[3], md::ole::RegisterClipboardFormat("Embedded Object"));
  EXPECT_EQ(formats[10], md::ole::RegisterClipboardFormat("rich text format"));
}

TEST_F(OleElement, FramesAreCopiedAndNullDropsTheFrame) {
  CGIS_OleElement* e = NewOle();
  IGIS_FrameProperty* own = e->GetFramePropertyPtr();
  EXPECT_FALSE(e->SetFramePropertyPtr(own));
  md::basilo::ReleasePtr<IGIS_FrameProperty> other(GIS_CreateFramePropertyObject());
  other->SetBorderX(5);
  EXPECT_TRUE(e->SetFramePropertyPtr(other.get()));
  EXPECT_NE(e->GetFramePropertyPtr(), other.get());
  EXPECT_EQ(e->GetFramePropertyPtr()->GetBorderX(), 5);
  md::test::LogMark mark;
  EXPECT_TRUE(e->SetFramePropertyPtr(nullptr));
  EXPECT_TRUE(
      mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_OleElement::SetFramePropertyPtr", "pFrameProperty == NULL"));
  EXPECT_EQ(e->GetFramePropertyPtr(), nullptr);
}

// A new element stores an empty "FrameProperty" while it holds its default
// frame: read back, that key gives the default frame, whatever the element
// held since (pages written before "no frame" had its own mark).
TEST_F(OleElement, AnEmptyStoredFrameReadsAsTheDefaultFrame) {
  md::basilo::ReleasePtr<IGIS_FrameProperty> fresh(GIS_CreateFramePropertyObject());
  const struct {
    const char* name;
    void (*change)(CGIS_OleElement*);
  } rows[] = {
      {"frame edited", [](CGIS_OleElement* e) { e->GetFramePropertyPtr()->SetBorderX(77); }},
      {"frame removed", [](CGIS_OleElement* e) { e->SetFramePropertyPtr(nullptr); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    CGIS_OleElement* e = NewOle();
    row.change(e);
    ASSERT_TRUE(e->Archive(1, 0));
    ASSERT_NE(e->GetFramePropertyPtr(), nullptr);
    EXPECT_EQ(e->GetFramePropertyPtr()->GetBorderX(), fresh->GetBorderX());
  }
}

}  // namespace
