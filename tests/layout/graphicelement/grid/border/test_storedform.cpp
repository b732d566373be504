// The stored set of each border kind, field by field: its keys (each its own
// description) in their order, with their types and values, as a property set
// holding them in that order writes it.
#include <functional>

#include "layout/graphicelement/grid/border/cgis_mapbordercalibrated.h"
#include "layout/graphicelement/grid/border/cgis_mapborderpattern.h"
#include "layout/graphicelement/grid/border/cgis_mapbordersimple.h"
#include "tests/layout/graphicelement/grid/border/bordertest.h"

namespace {

using md::test::Owned;
using md::test::Stored;
using md::test::SymbolBytes;

// The bytes of a property set given its fields in order, each key its own
// description.
class ExpectedSet {
 public:
  ExpectedSet() : set_(GIS_CreatePropertySetObject()) {}
  ~ExpectedSet() { set_->Release(); }
  ExpectedSet& Int(const char* k, int v) {
    return Add(k, GIS_FIELD_TYPE_INT, [&](IGIS_Field* f) { f->SetInt(v); });
  }
  ExpectedSet& Bool(const char* k, bool v) {
    return Add(k, GIS_FIELD_TYPE_BOOL, [&](IGIS_Field* f) { f->SetBool(v); });
  }
  ExpectedSet& Double(const char* k, double v) {
    return Add(k, GIS_FIELD_TYPE_DOUBLE, [&](IGIS_Field* f) { f->SetDouble(v); });
  }
  ExpectedSet& Bytes(const char* k, const std::vector<BYTE>& v) {
    return Add(k, GIS_FIELD_TYPE_BUFFER, [&](IGIS_Field* f) {
      IGIS_DataBuffer* b = f->GetDataBuffer();
      b->SetSize(static_cast<int>(v.size()));
      if (!v.empty()) std::copy(v.begin(), v.end(), b->GetData());
    });
  }
  // A symbol's flag and its bytes (empty without one).
  ExpectedSet& Symbol(const char* flag, const char* key, IGIS_Symbol* s, bool keyFirst = false) {
    return keyFirst ? Bytes(key, SymbolBytes(s)).Bool(flag, s != nullptr)
                    : Bool(flag, s != nullptr).Bytes(key, SymbolBytes(s));
  }
  // The base keys every kind ends with.
  std::vector<BYTE> WithBase(int type, const char* name) {
    Int("RightOffset", 4).Int("LeftOffset", -3).Int("TopOffset", 40).Int("BottomOffset", 0);
    Int("BorderWidth", 250).Int("MapBorderType", type);
    set_->AddProperty("Name", "Name", GIS_FIELD_TYPE_STRING, 1)->SetString(name);
    IGIS_DataBuffer* buffer = GIS_CreateDataBufferObject(0);
    set_->Archive(buffer, GIS_ARCHIVE_WRITE, 0);
    std::vector<BYTE> bytes(buffer->GetData(), buffer->GetData() + buffer->GetSize());
    buffer->Release();
    return bytes;
  }

 private:
  ExpectedSet& Add(const char* k, int type, const std::function<void(IGIS_Field*)>& set) {
    set(set_->AddProperty(k, k, type, 1));
    return *this;
  }
  IGIS_PropertySet* set_;
};

void SetBase(IGIS_MapBorder* b) {
  b->SetRightOffset(4);
  b->SetLeftOffset(-3);
  b->SetTopOffset(40);
  b->SetBorderWidth(250);
  b->SetName("图廓");
}

struct Case {
  const char* name;
  // Makes the border and gives the bytes its keys should store.
  std::function<std::pair<IGIS_MapBorder*, std::vector<BYTE>>()> make;
};

const Case kCases[] = {
    {"SimpleWithLine",
     [] {
       auto* b = new CGIS_MapBorderSimple();
       SetBase(b);
       return std::make_pair<IGIS_MapBorder*>(
           b, ExpectedSet()
                  .Symbol("LineSymbolIsNull", "LineSymbol", b->GetLineSymbolPtr())
                  .WithBase(GIS_MAPBORDER_SIMPLE, "图廓"));
     }},
    {"SimpleWithoutLine",
     [] {
       auto* b = new CGIS_MapBorderSimple();
       SetBase(b);
       b->SetLineSymbolPtr(nullptr);
       return std::make_pair<IGIS_MapBorder*>(b, ExpectedSet()
                                                     .Symbol("LineSymbolIsNull", "LineSymbol", nullptr)
                                                     .WithBase(GIS_MAPBORDER_SIMPLE, "图廓"));
     }},
    {"Calibrated",
     [] {
       auto* b = new CGIS_MapBorderCalibrated();
       SetBase(b);
       b->SetAlternating(true);
       b->SetInterval(5000);
       b->SetForegroundSymbolPtr(nullptr);
       return std::make_pair<IGIS_MapBorder*>(
           b, ExpectedSet()
                  .Bool("Alternating", true)
                  .Int("Interval", 5000)
                  .Symbol("BackgroundSymbolIsNull", "BackgroundSymbol", b->GetBackgroundSymbolPtr())
                  .Symbol("ForegroundSymbolIsNull", "ForegroundSymbol", nullptr)
                  .WithBase(GIS_MAPBORDER_CALIBRATED, "图廓"));
     }},
    {"Pattern",
     [] {
       auto* b = new CGIS_MapBorderPattern();
       SetBase(b);
       Owned<IGIS_Symbol> fill(md::test::NewFill(RGB(10, 20, 30)));
       b->SetTopSymbolPtr(fill.get());
       b->SetLeftBottomSymbolPtr(fill.get());
       b->SetLeftScale(2.5);
       ExpectedSet e;
       e.Double("TopScale", 1.0)
           .Double("BottomScale", 1.0)
           .Double("LeftScale", 2.5)
           .Double("RightScale", 1.0);
       e.Symbol("LeftTopSymbolIsNull", "LeftTopSymbol", nullptr);
       e.Symbol("LeftBottomSymbolIsNull", "LeftBottomSymbol", b->GetLeftBottomSymbolPtr());
       e.Symbol("RightTopSymbolIsNull", "RightTopSymbol", nullptr);
       e.Symbol("RightBottomSymbolIsNull", "RightBottomSymbol", nullptr);
       e.Symbol("TopSymbolIsNull", "TopSymbol", b->GetTopSymbolPtr(), true);
       e.Symbol("BottomSymbolIsNull", "BottomSymbol", nullptr);
       e.Symbol("LeftSymbolIsNull", "LeftSymbol", nullptr);
       e.Symbol("RightSymbolIsNull", "RightSymbol", nullptr);
       return std::make_pair<IGIS_MapBorder*>(b, e.WithBase(GIS_MAPBORDER_PATTERN, "图廓"));
     }},
};

class BorderStoredForm : public ::testing::TestWithParam<Case> {};

TEST_P(BorderStoredForm, IsThePropertySetOfItsKeysInOrder) {
  auto [border, expected] = GetParam().make();
  Owned<IGIS_MapBorder> b(border);
  EXPECT_EQ(Stored(b.get()), expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, BorderStoredForm, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
