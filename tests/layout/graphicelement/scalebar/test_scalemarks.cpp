// The tick marks of a scale bar: defaults, symbol copies, cloning and the
// stored form.
#include "layout/graphicelement/scalebar/cgis_scalemarks.h"
#include "scalebartest.h"

namespace md::test {
namespace {

struct MarksDeleter {
  void operator()(IGIS_ScaleMarks* m) const {
    if (m != nullptr) m->Release();
  }
};
using Marks = std::unique_ptr<IGIS_ScaleMarks, MarksDeleter>;

struct Buffer {
  IGIS_DataBuffer* p = GIS_CreateDataBufferObject(0);
  ~Buffer() { p->Release(); }
};

TEST(ScaleMarks, StartWithTheirDefaultsAndTwoLineSymbolsOfTheMarkStyle) {
  Marks m(new CGIS_ScaleMarks());
  EXPECT_EQ(m->GetDivisionMarkHeight(), 100);
  EXPECT_EQ(m->GetSubdivisionMarkHeight(), 50);
  EXPECT_EQ(m->GetMarkFrequency(), 5);
  EXPECT_EQ(m->GetMarkPosition(), 0);
  for (IGIS_Symbol* s : {m->GetDivisionMarkSymbol(), m->GetSubdivisionMarkSymbol()}) {
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetType(), GIS_SYMBOL_LINE);
    EXPECT_EQ(s->GetStyleCode(), 0xD03);
  }
  EXPECT_NE(m->GetDivisionMarkSymbol(), m->GetSubdivisionMarkSymbol());
}

TEST(ScaleMarks, SettersKeepCopiesAndNullEmptiesWithARecord) {
  Marks m(new CGIS_ScaleMarks());
  SymbolPtr red = NewSymbol(GIS_SYMBOL_LINE, RGB(255, 0, 0));
  m->SetDivisionMarkSymbolPtr(red.get());
  IGIS_Symbol* held = m->GetDivisionMarkSymbol();
  EXPECT_NE(held, red.get());
  EXPECT_EQ(Bytes(held), Bytes(red.get()));
  m->SetDivisionMarkSymbolPtr(held);  // the held object itself: nothing changes
  EXPECT_EQ(m->GetDivisionMarkSymbol(), held);
  m->SetDivisionMarkSymbolPtr(red.get());  // the same source again: a fresh copy
  EXPECT_NE(m->GetDivisionMarkSymbol(), red.get());

  // A symbol of another kind is not kept as a line.
  SymbolPtr fill = NewSymbol(GIS_SYMBOL_FILL, RGB(0, 0, 255));
  m->SetSubdivisionMarkSymbolPtr(fill.get());
  EXPECT_EQ(m->GetSubdivisionMarkSymbol(), nullptr);

  LogMark log;
  m->SetDivisionMarkSymbolPtr(nullptr);
  EXPECT_EQ(m->GetDivisionMarkSymbol(), nullptr);
  EXPECT_EQ(log.Count(4, "CGIS_ScaleMarks::SetDivisionMarkSymbolPtr", "pDivisionMarkSymbol == NULL"), 1);
  m->SetSubdivisionMarkSymbolPtr(nullptr);
  EXPECT_TRUE(log.Has(4, "CGIS_ScaleMarks::SetSubdivisionMarkSymbolPtr", "pSubdivisionMarkSymbol == NULL"));

  // Values are stored without checks.
  m->SetMarkFrequency(9);
  m->SetMarkPosition(-3);
  m->SetDivisionMarkHeight(-20);
  EXPECT_EQ(m->GetMarkFrequency(), 9);
  EXPECT_EQ(m->GetMarkPosition(), -3);
  EXPECT_EQ(m->GetDivisionMarkHeight(), -20);
}

TEST(ScaleMarks, CloneCopiesValuesAndSymbolsAsCopies) {
  Marks m(new CGIS_ScaleMarks());
  SymbolPtr green = NewSymbol(GIS_SYMBOL_LINE, RGB(0, 255, 0));
  m->SetSubdivisionMarkSymbolPtr(green.get());
  m->SetDivisionMarkHeight(130);
  m->SetSubdivisionMarkHeight(70);
  m->SetMarkFrequency(6);
  m->SetMarkPosition(2);
  Marks c(m->Clone());
  EXPECT_EQ(c->GetDivisionMarkHeight(), 130);
  EXPECT_EQ(c->GetSubdivisionMarkHeight(), 70);
  EXPECT_EQ(c->GetMarkFrequency(), 6);
  EXPECT_EQ(c->GetMarkPosition(), 2);
  EXPECT_NE(c->GetSubdivisionMarkSymbol(), m->GetSubdivisionMarkSymbol());
  EXPECT_EQ(Bytes(c->GetSubdivisionMarkSymbol()), Bytes(green.get()));

  // A source without a division symbol gives a copy without one.
  m->SetDivisionMarkSymbolPtr(nullptr);
  Marks d(m->Clone());
  EXPECT_EQ(d->GetDivisionMarkSymbol(), nullptr);
}

TEST(ScaleMarks, StoredFormReadsBackAndMissingKeysKeepTheirValues) {
  Marks m(new CGIS_ScaleMarks());
  SymbolPtr red = NewSymbol(GIS_SYMBOL_LINE, RGB(255, 0, 0));
  m->SetDivisionMarkSymbolPtr(red.get());
  m->SetDivisionMarkHeight(140);
  m->SetSubdivisionMarkHeight(60);
  m->SetMarkFrequency(3);
  m->SetMarkPosition(4);
  Buffer b;
  ASSERT_TRUE(m->Save(b.p));

  IGIS_PropertySet* stored = GIS_CreatePropertySetObject();
  ASSERT_TRUE(stored->Archive(b.p, GIS_ARCHIVE_READ, 0));
  const std::vector<std::pair<std::string, std::string>> keys = {
      {"DivisionMarkHeight", "高度"},   {"SubdivisionMarkHeight", "次高度"},
      {"MarkFrequency", "频率"},        {"MarkPosition", "位置"},
      {"DivisionMarkSymbol", "主符号"}, {"SubdivisionMarkSymbol", "次符号"}};
  EXPECT_EQ(KeysOf(stored), keys);

  Marks r(new CGIS_ScaleMarks());
  ASSERT_TRUE(r->Open(b.p));
  EXPECT_EQ(r->GetDivisionMarkHeight(), 140);
  EXPECT_EQ(r->GetSubdivisionMarkHeight(), 60);
  EXPECT_EQ(r->GetMarkFrequency(), 3);
  EXPECT_EQ(r->GetMarkPosition(), 4);
  EXPECT_EQ(Bytes(r->GetDivisionMarkSymbol()), Bytes(red.get()));

  // Without "MarkPosition" and with an empty division symbol buffer, the
  // reader keeps its own position and symbol.
  stored->GetProperty("DivisionMarkSymbol")->GetDataBuffer()->SetSize(0);
  IGIS_PropertySet* trimmed = GIS_CreatePropertySetObject();
  for (IGIS_Field* f = stored->GetFirstPosition(); f != nullptr; f = stored->GetNext(f)) {
    if (std::string(f->GetLabel()) == "MarkPosition") continue;
    IGIS_Field* t = trimmed->AddProperty(f->GetLabel(), f->GetDescription(), f->GetType(), 1);
    if (f->GetType() == GIS_FIELD_TYPE_INT) t->SetInt(f->GetInt());
  }
  Buffer b2;
  trimmed->Archive(b2.p, GIS_ARCHIVE_WRITE, 0);
  Marks k(new CGIS_ScaleMarks());
  k->SetMarkPosition(2);
  SymbolPtr blue = NewSymbol(GIS_SYMBOL_LINE, RGB(0, 0, 255));
  k->SetDivisionMarkSymbolPtr(blue.get());
  ASSERT_TRUE(k->Open(b2.p));
  EXPECT_EQ(k->GetMarkPosition(), 2);
  EXPECT_EQ(k->GetDivisionMarkHeight(), 140);
  EXPECT_EQ(Bytes(k->GetDivisionMarkSymbol()), Bytes(blue.get()));
  trimmed->Release();
  stored->Release();
}

TEST(ScaleMarks, ANullSymbolIsStoredAsAnEmptyKeyAndADamagedBufferChangesNothing) {
  Marks m(new CGIS_ScaleMarks());
  m->SetSubdivisionMarkSymbolPtr(nullptr);
  Buffer b;
  m->Save(b.p);
  IGIS_PropertySet* stored = GIS_CreatePropertySetObject();
  ASSERT_TRUE(stored->Archive(b.p, GIS_ARCHIVE_READ, 0));
  ASSERT_NE(stored->GetProperty("SubdivisionMarkSymbol"), nullptr);
  EXPECT_EQ(stored->GetProperty("SubdivisionMarkSymbol")->GetDataBuffer()->GetSize(), 0);
  stored->Release();

  LogMark log;
  EXPECT_FALSE(m->Open(nullptr));
  EXPECT_TRUE(log.Has(3, "CGIS_ScaleMarks::Open", "pDataBuffer为空"));

  Buffer junk;
  junk.p->SetSize(7);
  for (int i = 0; i < 7; ++i) junk.p->GetData()[i] = static_cast<BYTE>(0xA5 + i);
  m->SetMarkFrequency(2);
  EXPECT_TRUE(m->Open(junk.p));
  EXPECT_EQ(m->GetMarkFrequency(), 2);
  EXPECT_EQ(m->GetDivisionMarkHeight(), 100);
}

}  // namespace
}  // namespace md::test
