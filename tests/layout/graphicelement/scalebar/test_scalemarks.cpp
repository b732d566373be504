// The tick marks of a scale bar: defaults, symbol copies, cloning and the
// stored form.
#include "layout/graphicelement/scalebar/cgis_scalemarks.h"
#include "layout/graphicelement/scalebar/scalebarsymbols.h"
#include "scalebartest.h"

namespace md::test {
namespace {

using Marks = md::basilo::ReleasePtr<IGIS_ScaleMarks>;
using Buffer = md::basilo::ReleasePtr<IGIS_DataBuffer>;

TEST(ScaleMarks, DefaultsSymbolCopiesAndClones) {
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
  SymbolPtr red = NewSymbol(GIS_SYMBOL_LINE, RGB(255, 0, 0));
  m->SetDivisionMarkSymbolPtr(red.get());
  IGIS_Symbol* held = m->GetDivisionMarkSymbol();
  EXPECT_NE(held, red.get());
  EXPECT_EQ(Bytes(held), Bytes(red.get()));
  m->SetDivisionMarkSymbolPtr(held);  // the held object itself: nothing changes
  EXPECT_EQ(m->GetDivisionMarkSymbol(), held);
  SymbolPtr fill = NewSymbol(GIS_SYMBOL_FILL, RGB(0, 0, 255));
  m->SetSubdivisionMarkSymbolPtr(fill.get());  // not a line: not kept
  EXPECT_EQ(m->GetSubdivisionMarkSymbol(), nullptr);
  m->SetMarkFrequency(9);  // stored unchecked
  m->SetMarkPosition(2);
  m->SetSubdivisionMarkHeight(70);

  Marks c(m->Clone());
  EXPECT_EQ(c->GetMarkFrequency(), 9);
  EXPECT_EQ(c->GetMarkPosition(), 2);
  EXPECT_EQ(c->GetSubdivisionMarkHeight(), 70);
  EXPECT_NE(c->GetDivisionMarkSymbol(), held);
  EXPECT_EQ(Bytes(c->GetDivisionMarkSymbol()), Bytes(red.get()));
  EXPECT_EQ(c->GetSubdivisionMarkSymbol(), nullptr);  // a source without one clears the copy's

  LogMark log;
  m->SetDivisionMarkSymbolPtr(nullptr);
  EXPECT_EQ(m->GetDivisionMarkSymbol(), nullptr);
  EXPECT_EQ(log.Count(4, "CGIS_ScaleMarks::SetDivisionMarkSymbolPtr", "pDivisionMarkSymbol == NULL"), 1);
}

TEST(ScaleMarks, TheStoredFormReadsBackAndMissingOrEmptyKeysKeepTheReadersValues) {
  Marks m(new CGIS_ScaleMarks());
  SymbolPtr red = NewSymbol(GIS_SYMBOL_LINE, RGB(255, 0, 0));
  m->SetDivisionMarkSymbolPtr(red.get());
  m->SetSubdivisionMarkSymbolPtr(nullptr);
  m->SetDivisionMarkHeight(140);
  m->SetMarkFrequency(3);
  m->SetMarkPosition(4);
  Buffer b(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(m->Save(b.get()));
  md::basilo::ReleasePtr<IGIS_PropertySet> stored(GIS_CreatePropertySetObject());
  ASSERT_TRUE(stored->Archive(b.get(), GIS_ARCHIVE_READ, 0));
  const std::vector<std::pair<std::string, std::string>> keys = {
      {"DivisionMarkHeight", "高度"},   {"SubdivisionMarkHeight", "次高度"},
      {"MarkFrequency", "频率"},        {"MarkPosition", "位置"},
      {"DivisionMarkSymbol", "主符号"}, {"SubdivisionMarkSymbol", "次符号"}};
  EXPECT_EQ(KeysOf(stored.get()), keys);
  EXPECT_EQ(stored->GetProperty("SubdivisionMarkSymbol")->GetDataBuffer()->GetSize(), 0);

  Marks r(new CGIS_ScaleMarks());
  SymbolPtr blue = NewSymbol(GIS_SYMBOL_LINE, RGB(0, 0, 255));
  r->SetSubdivisionMarkSymbolPtr(blue.get());
  ASSERT_TRUE(r->Open(b.get()));
  EXPECT_EQ(r->GetDivisionMarkHeight(), 140);
  EXPECT_EQ(r->GetMarkFrequency(), 3);
  EXPECT_EQ(r->GetMarkPosition(), 4);
  EXPECT_EQ(Bytes(r->GetDivisionMarkSymbol()), Bytes(red.get()));
  EXPECT_EQ(Bytes(r->GetSubdivisionMarkSymbol()), Bytes(blue.get()));  // an empty buffer keeps it

  md::basilo::ReleasePtr<IGIS_PropertySet> older(SetWithout(stored.get(), {"MarkPosition"}));
  Buffer b2(GIS_CreateDataBufferObject(0));
  older->Archive(b2.get(), GIS_ARCHIVE_WRITE, 0);
  Marks k(new CGIS_ScaleMarks());
  k->SetMarkPosition(2);
  ASSERT_TRUE(k->Open(b2.get()));
  EXPECT_EQ(k->GetMarkPosition(), 2);
  EXPECT_EQ(k->GetDivisionMarkHeight(), 140);

  LogMark log;
  EXPECT_FALSE(k->Open(nullptr));
  EXPECT_TRUE(log.Has(3, "CGIS_ScaleMarks::Open", "pDataBuffer为空"));
  Buffer junk(GIS_CreateDataBufferObject(7));
  for (int i = 0; i < 7; ++i) junk->GetData()[i] = static_cast<BYTE>(0xA5 + i);
  EXPECT_TRUE(k->Open(junk.get()));
  EXPECT_EQ(k->GetMarkPosition(), 2);
}

// Reading stored bytes in place gives what reading a buffer holding them
// gives, for a full and a damaged form.
TEST(ScaleMarks, StoredBytesReadInPlaceAsABufferReads) {
  Marks m(new CGIS_ScaleMarks());
  SymbolPtr red = NewSymbol(GIS_SYMBOL_LINE, RGB(255, 0, 0));
  m->SetDivisionMarkSymbolPtr(red.get());
  m->SetDivisionMarkHeight(140);
  m->SetMarkFrequency(3);
  Buffer saved(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(m->Save(saved.get()));
  const std::vector<std::vector<BYTE>> forms = {
      std::vector<BYTE>(saved->GetData(), saved->GetData() + saved->GetSize()), {0xA5, 0xA6, 0xA7}};
  for (const std::vector<BYTE>& form : forms) {
    Buffer b(GIS_CreateDataBufferObject(static_cast<int>(form.size())));
    std::copy(form.begin(), form.end(), b->GetData());
    md::basilo::ReleasePtr<CGIS_ScaleMarks> byBuffer(new CGIS_ScaleMarks());
    byBuffer->SetMarkPosition(2);
    byBuffer->Open(b.get());
    md::basilo::ReleasePtr<CGIS_ScaleMarks> inPlace(new CGIS_ScaleMarks());
    inPlace->SetMarkPosition(2);
    inPlace->OpenStored(form);
    EXPECT_EQ(inPlace->GetDivisionMarkHeight(), byBuffer->GetDivisionMarkHeight()) << form.size();
    EXPECT_EQ(inPlace->GetMarkFrequency(), byBuffer->GetMarkFrequency()) << form.size();
    EXPECT_EQ(inPlace->GetMarkPosition(), byBuffer->GetMarkPosition()) << form.size();
    EXPECT_EQ(Bytes(inPlace->GetDivisionMarkSymbol()), Bytes(byBuffer->GetDivisionMarkSymbol()))
        << form.size();
  }
}

TEST(ScaleBarSymbols, ASymbolReadIsHeldThroughItsViewOrReleased) {
  // A symbol of the view's kind replaces the held one; another kind leaves
  // the held one as it was.
  IGIS_SymbolFactory* factory = GIS_GetSymbolFactoryObject();
  ASSERT_NE(factory, nullptr);
  const struct {
    const char* what;
    int readType;
    md::layout::detail::SymbolView view;
    bool replaced;
  } cases[] = {
      {"line as line", GIS_SYMBOL_LINE, &IGIS_Symbol::AsLineSymbol, true},
      {"text as text", GIS_SYMBOL_TEXT, &IGIS_Symbol::GetTextPart, true},
      {"fill as line", GIS_SYMBOL_FILL, &IGIS_Symbol::AsLineSymbol, false},
      {"line as text", GIS_SYMBOL_LINE, &IGIS_Symbol::GetTextPart, false},
  };
  for (const auto& c : cases) {
    md::basilo::ReleasePtr<IGIS_Symbol> held(factory->CreateSymbol(GIS_SYMBOL_LINE));
    IGIS_Symbol* before = held.get();
    IGIS_Symbol* read = factory->CreateSymbol(c.readType);
    ASSERT_NE(read, nullptr) << c.what;
    md::layout::detail::AdoptSymbol(&held, read, c.view);
    EXPECT_EQ(held.get(), c.replaced ? (read->*c.view)() : before) << c.what;
  }
}

}  // namespace
}  // namespace md::test
