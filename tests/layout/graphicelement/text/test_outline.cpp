// The text element's outline, anchors, moves and font scaling.
#include "tests/layout/graphicelement/text/texttest.h"

namespace {

using md::test::LogMark;
using md::test::TextPage;

class TextOutline : public TextPage {};

TEST_F(TextOutline, NewElementHasItsDefaultsStored) {
  CGIS_TextElement* e = NewText();
  EXPECT_STREQ(e->GetText(), "文本");
  EXPECT_STREQ(e->GetName(), "文本整饰单元");
  EXPECT_EQ(e->GetOrder(), -10);
  EXPECT_EQ(e->GetAnchorType(), vexaBottomLeftCorner);
  EXPECT_EQ(e->GetPointStylePtr()->GetAlignment(), GIS_ALIGN_BOTTOM_LEFT);
  e->SetHVScaleRatio(false);
  EXPECT_TRUE(e->GetHVScaleRatio());
  IGIS_FeatureAttributes* a = e->GetFeaturePtr()->GetAttributes();
  EXPECT_EQ(e->GetFeaturePtr()->GetKind(), GIS_FEATURE_KIND_POLYGON);
  EXPECT_EQ(GIS_ResolveElement(a->GetInt("InterfacePtr")), e);
  IGIS_PropertySet* set = GIS_CreatePropertySetObject();
  ASSERT_TRUE(set->Archive(a->GetDataBuffer("Custom"), GIS_ARCHIVE_READ, 0));
  ASSERT_NE(set->GetProperty("AnchorType"), nullptr);
  EXPECT_EQ(set->GetProperty("AnchorType")->GetInt(), 6);
  // The constructor's keys, in order, with its descriptions.
  const char* keys[][2] = {{"AnnoPointStyle", "注记风格"},
                           {"Text", "文本"},
                           {"FrameProperty", "地图框架的属性"},
                           {"AnchorType", "锚点位置"}};
  IGIS_Field* field = set->GetFirstPosition();
  for (const auto& k : keys) {
    ASSERT_NE(field, nullptr);
    EXPECT_STREQ(field->GetLabel(), k[0]);
    EXPECT_STREQ(field->GetDescription(), k[1]);
    field = set->GetNext(field);
  }
  EXPECT_EQ(field, nullptr);
  EXPECT_STREQ(set->GetProperty("Text")->GetString(), "文本");
  set->Release();
  // Without an owner: no feature, nothing to store or copy.
  auto* u = new CGIS_TextElement(nullptr, nullptr);
  EXPECT_STREQ(u->GetText(), "");
  EXPECT_EQ(u->GetFramePropertyPtr(), nullptr);
  EXPECT_FALSE(u->Archive(0, 0));
  EXPECT_EQ(u->Clone(), nullptr);
  u->Release();
}

// The outline from P0 and the measured text: an upright text, a quarter
// turn (3.14 for pi leaves P1 and P3 off the axes before truncation), a
// negative origin (truncation toward zero) and a half turn.
struct OutlineRow {
  const char* text;
  int height;
  double angle;
  SGIS_Point origin;
  SGIS_Point ring[4];
};
const OutlineRow kOutlineRows[] = {
    {"abcdefgh",
     100,
     0,
     {1000, 2000, 0},
     {{1000, 2000, 0}, {1400, 2000, 0}, {1400, 2100, 0}, {1000, 2100, 0}}},
    {"abcdefghabcdefghabcdefghabcdefghabcdefghabcdefghabcdefghabcdefghabcdefghabcdefgh",
     100,
     90,
     {1000, 2000, 0},
     {{1000, 2000, 0}, {1003, 5999, 0}, {903, 6000, 0}, {900, 2000, 0}}},
    {"abcd",
     100,
     30,
     {-1000, -2000, 0},
     {{-1000, -2000, 0}, {-826, -1900, 0}, {-876, -1813, 0}, {-1049, -1913, 0}}},
    {"abcd", 100, 180, {500, 500, 0}, {{500, 500, 0}, {300, 500, 0}, {299, 400, 0}, {499, 400, 0}}},
};

TEST_F(TextOutline, OutlineFollowsTheMeasuredTextFromItsOrigin) {
  for (const OutlineRow& row : kOutlineRows) {
    SCOPED_TRACE(row.angle);
    CGIS_TextElement* e = NewText(nullptr, row.height, row.angle);
    e->GetFeaturePtr()->GetGeometry()->SetPoint(0, row.origin, 0);
    e->SetText(row.text);
    const auto ring = Outline(e);
    ASSERT_EQ(ring.size(), 5u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ring[i], row.ring[i]) << i;
    EXPECT_EQ(ring[4], ring[0]);
  }
  // The example's rectangle.
  CGIS_TextElement* e = NewText("abcdefgh", 100);
  e->SetLBpoint(SGIS_Point(1000, 2000, 0));
  EXPECT_EQ(e->GetRect(), SGIS_Rect(1000, 2100, 1400, 2000));
}

TEST_F(TextOutline, PositionsOutsideTheTableAreRefusedAtBothEnds) {
  CGIS_TextElement* e = NewText("abcd", 100);
  e->SetPoint(SGIS_Point(500, 600, 0), vexaCenter);
  const SGIS_Rect before = e->GetRect();
  for (int position : {9, 100, -1, -7}) {
    SCOPED_TRACE(position);
    LogMark mark;
    EXPECT_EQ(e->GetPoint(position), SGIS_Point(0, 0, 0));
    e->SetPoint(SGIS_Point(123, 456, 0), position);
    EXPECT_EQ(e->GetAnchorType(), vexaCenter);
    EXPECT_EQ(e->GetRect(), before);
    if (position > 8) {
      EXPECT_TRUE(mark.Has(3, "CGIS_TextElement::GetPoint", "iPosition > vexaBottomRightCorner"));
      EXPECT_TRUE(mark.Has(3, "CGIS_TextElement::SetPoint", "iPosition > vexaBottomRightCorner"));
    } else {
      EXPECT_TRUE(mark.Has(3, "CGIS_TextElement::SetPoint", "iPosition < vexaTopLeftCorner"));
    }
  }
}

TEST_F(TextOutline, MovesCommitTheGeometryAndKeepTheRingClosed) {
  CGIS_TextElement* e = NewText("abcd", 100, 30);
  IGIS_FeatureClass* fc = set_->GetFeatureClass();
  const auto before = Outline(e);
  fc->ClearUpdateRecords();
  e->OffsetAllPoints(0, 0);
  EXPECT_EQ(fc->GetUpdateCount(), 0);
  e->OffsetAllPoints(-250, 75);
  ASSERT_EQ(fc->GetUpdateCount(), 1);
  int id = 0, flags = 0;
  fc->GetUpdateRecord(0, &id, &flags);
  EXPECT_EQ(id, e->GetID());
  EXPECT_EQ(flags, 64);
  const auto after = Outline(e);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(after[i].x, before[i].x - 250) << i;
    EXPECT_EQ(after[i].y, before[i].y + 75) << i;
  }
  // SetLBpoint and SetRect place the rectangle's lower-left corner.
  e->SetLBpoint(SGIS_Point(-40, -50, 0));
  EXPECT_EQ(e->GetRect().left, -40);
  EXPECT_EQ(e->GetRect().bottom, -50);
  const SGIS_Rect r = e->GetRect();
  e->SetRect(SGIS_Rect(100 + r.Width(), 300, 100, 300 - r.Height()));  // given upside down
  EXPECT_EQ(e->GetRect().left, 100);
  EXPECT_EQ(e->GetRect().bottom, 300 - r.Height());
  EXPECT_EQ(e->GetRect().Width(), r.Width());
}

// SetWidthAndHeight scales the font by the smaller factor when growing and by
// the larger one when shrinking, then measures again.
struct SizeRow {
  int width, height;
  int fontAfter;
};
const SizeRow kSizeRows[] = {
    {800, 150, 150},  // sx 2, sy 1.5: 1.5
    {200, 80, 80},    // sx 0.5, sy 0.8: 0.8
};

TEST_F(TextOutline, SetWidthAndHeightScalesTheFont) {
  for (const SizeRow& row : kSizeRows) {
    SCOPED_TRACE(row.width);
    CGIS_TextElement* e = NewText("abcdefgh", 100);  // 400 x 100
    e->SetLBpoint(SGIS_Point(1000, 2000, 0));
    e->SetWidthAndHeight(row.width, row.height);
    EXPECT_EQ(std::abs(e->GetSymbolPtr()->GetFontSizePtr()->lfHeight), row.fontAfter);
    // The outline grows or shrinks about P0 with the font.
    EXPECT_EQ(e->GetRect(), SGIS_Rect(1000, 2000 + row.fontAfter, 1000 + 4 * row.fontAfter, 2000));
  }
  // One factor exactly 1: the smaller factor is taken.
  CGIS_TextElement* e = NewText("abcdefgh", 100);
  e->SetWidthAndHeight(400, 50);
  EXPECT_EQ(std::abs(e->GetSymbolPtr()->GetFontSizePtr()->lfHeight), 50);
  // The current size, or a size of 0 or less, changes nothing.
  for (auto wh : {std::pair{200, 50}, std::pair{0, 50}, std::pair{200, -1}}) {
    e->SetWidthAndHeight(wh.first, wh.second);
    EXPECT_EQ(std::abs(e->GetSymbolPtr()->GetFontSizePtr()->lfHeight), 50);
  }
}

// ScaleShape: position scaled about the origin with each factor, the font and
// the outline with the smaller one.
struct ScaleRow {
  double sx, sy;
  int fontAfter;
  SGIS_Point lowerLeft;  // after scaling (1000, 2000) about (200, 400)
};
const ScaleRow kScaleRows[] = {
    {1.5, 1.5, 150, {1400, 2800, 0}},
    {0.8, 0.8, 80, {840, 1680, 0}},
    {2, 3, 200, {1800, 5200, 0}},
};

TEST_F(TextOutline, ScaleShapeScalesPositionFontAndOutline) {
  for (const ScaleRow& row : kScaleRows) {
    SCOPED_TRACE(row.sx);
    CGIS_TextElement* e = NewText("abcdefgh", 100);
    e->SetLBpoint(SGIS_Point(1000, 2000, 0));
    IGIS_FeatureClass* fc = set_->GetFeatureClass();
    fc->ClearUpdateRecords();
    e->ScaleShape(SGIS_Point(200, 400, 0), row.sx, row.sy);
    EXPECT_EQ(std::abs(e->GetSymbolPtr()->GetFontSizePtr()->lfHeight), row.fontAfter);
    EXPECT_EQ(e->GetRect(), SGIS_Rect(row.lowerLeft.x, row.lowerLeft.y + row.fontAfter,
                                      row.lowerLeft.x + 4 * row.fontAfter, row.lowerLeft.y));
    bool committedAll = false;
    for (int i = 0; i < fc->GetUpdateCount(); ++i) {
      int id = 0, flags = 0;
      fc->GetUpdateRecord(i, &id, &flags);
      committedAll = committedAll || flags == 127;
    }
    EXPECT_TRUE(committedAll);
  }
  // Factors of 0 or below, or not numbers, change nothing.
  CGIS_TextElement* e = NewText("abcd", 100);
  const SGIS_Rect r = e->GetRect();
  for (double bad : {0.0, -1.0, std::nan("")}) {
    e->ScaleShape(SGIS_Point(0, 0, 0), bad, 1.0);
    e->ScaleShape(SGIS_Point(0, 0, 0), 1.0, bad);
  }
  EXPECT_EQ(e->GetRect(), r);
  EXPECT_EQ(std::abs(e->GetSymbolPtr()->GetFontSizePtr()->lfHeight), 100);
  // Shrinking never turns the font into size 0, which means the default size.
  e->ScaleShape(SGIS_Point(0, 0, 0), 0.001, 0.001);
  EXPECT_EQ(std::abs(e->GetSymbolPtr()->GetFontSizePtr()->lfHeight), 1);
}

TEST_F(TextOutline, SymbolsAreCopiedAndOnlyTextSymbolsTaken) {
  CGIS_TextElement* e = NewText("abcd", 100);
  auto sym = md::test::TextSymbol(40);
  IGIS_FeatureClass* fc = set_->GetFeatureClass();
  fc->ClearUpdateRecords();
  e->SetSymbolPtr(sym.get());
  EXPECT_NE(e->GetSymbolPtr(), sym.get());
  EXPECT_EQ(e->GetRect().Height(), 40);
  int id = 0, flags = 0;
  fc->GetUpdateRecord(fc->GetUpdateCount() - 1, &id, &flags);
  EXPECT_EQ(flags, 8);
  sym->GetFontSizePtr()->lfHeight = -10;  // the element keeps its own copy
  e->SetText("abcd");
  EXPECT_EQ(e->GetRect().Height(), 40);
  md::test::SymbolPtr line(GIS_GetSymbolFactoryObject()->CreateSymbol(GIS_SYMBOL_LINE));
  e->SetSymbolPtr(line.get());
  EXPECT_EQ(e->GetSymbolPtr()->GetType(), GIS_SYMBOL_TEXT);
  e->SetSymbolPtr(nullptr);
  EXPECT_EQ(e->GetRect().Height(), 40);
}

// An owner whose feature class makes no features: the constructor's failure.
class NoFeatureClass : public IGIS_FeatureClass {
 public:
  IGIS_SpatialReference* GetSpatialReference() override { return nullptr; }
  IGIS_Feature* CreateFeature(int, int) override { return nullptr; }
  BOOL DeleteFeature(int) override { return FALSE; }
  BOOL UpdateFeature(IGIS_Feature*, int) override {
    ++updates;
    return TRUE;
  }
  void SetSpatialReference(IGIS_SpatialReference*) override {}
  int GetFeatureCount() override { return 0; }
  int GetUpdateCount() override { return updates; }
  BOOL GetUpdateRecord(int, int*, int*) override { return FALSE; }
  void ClearUpdateRecords() override { updates = 0; }
  int updates = 0;
};
class NoFeatureOwner : public IGIS_FeatureSet {
 public:
  void Release() override {}
  IGIS_FeatureClass* GetFeatureClass() override { return &cls; }
  IGIS_Element* CreateElement(const char*) override { return nullptr; }
  BOOL DeleteElement(IGIS_Element*) override { return FALSE; }
  IGIS_Feature* GetFeature(int) override { return nullptr; }
  double GetUnitRatio() override { return 1.0; }
  BOOL LoadMembers(IGIS_Feature*) override { return FALSE; }
  IGIS_Feature* GetFeatureByIndex(int) override { return nullptr; }
  IGIS_Element* GetElement(int) override { return nullptr; }
  int GetFeatureCount() override { return 0; }
  const char* GetName() override { return "none"; }
  BOOL SetUnitRatio(double) override { return FALSE; }
  BOOL SaveToFile(const char*) override { return FALSE; }
  BOOL LoadFromFile(const char*) override { return FALSE; }
  NoFeatureClass cls;
};

TEST_F(TextOutline, WithoutAFeatureEveryOperationLogsAndChangesNothing) {
  {
    NoFeatureOwner owner;
    LogMark mark;
    auto* u = new CGIS_TextElement(&owner, nullptr);
    EXPECT_TRUE(mark.Has(3, "CGIS_TextElement::CGIS_TextElement", "m_pFeature == NULL"));
    EXPECT_EQ(u->GetID(), -1);
    EXPECT_EQ(owner.cls.updates, 0);  // nothing committed
    u->Release();
  }
  // A bound element whose feature the owner has dropped.
  CGIS_TextElement* e = NewText("abcd", 100);
  e->SetLBpoint(SGIS_Point(1000, 2000, 0));
  ASSERT_TRUE(set_->GetFeatureClass()->DeleteFeature(e->GetID()));
  const auto logged = [](const LogMark& mark, const char* op) {
    return mark.Has(3, std::string("CGIS_TextElement::") + op, "m_pFeature == NULL");
  };
  {
    LogMark mark;
    EXPECT_EQ(e->GetRect(), SGIS_Rect(0, 0, 0, 0));
    EXPECT_TRUE(logged(mark, "GetRect"));
  }
  {
    LogMark mark;
    e->SetText("changed");
    EXPECT_STREQ(e->GetText(), "abcd");
    EXPECT_TRUE(logged(mark, "SetText"));
  }
  {
    LogMark mark;
    e->ScaleShape(SGIS_Point(0, 0, 0), 2.0, 2.0);
    e->SetWidthAndHeight(800, 200);
    e->SetSymbolPtr(md::test::TextSymbol(30).get());
    e->OffsetAllPoints(5, 5);
    EXPECT_EQ(std::abs(e->GetSymbolPtr()->GetFontSizePtr()->lfHeight), 100);
    EXPECT_TRUE(logged(mark, "ScaleShape"));
    EXPECT_TRUE(logged(mark, "SetWidthAndHeight"));
    EXPECT_TRUE(logged(mark, "SetSymbolPtr"));
    EXPECT_TRUE(logged(mark, "OffsetAllPoints"));
  }
  {
    LogMark mark;
    EXPECT_FALSE(e->Archive(0, 0));
    EXPECT_FALSE(e->Archive(1, 0));
    EXPECT_TRUE(logged(mark, "Archive"));
  }
  md::test::ScreenOnRecording screen;
  LogMark mark;
  EXPECT_FALSE(e->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_TRUE(logged(mark, "OnDraw"));
  EXPECT_TRUE(screen.canvas.records().empty());
}

}  // namespace
