// Shared pieces of the label tests: stored bytes of a label, buffers made
// from a property set, the keys of a stored set, and a small label class on
// the label base that writes one key of its own.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "host/stratel/igis_numericformat.h"
#include "layout/graphicelement/compound/igis_compoundelement.h"
#include "layout/graphicelement/grid/label/cgis_gridlabelbase.h"
#include "layout/graphicelement/grid/label/labelsheet.h"
#include "tests/layout/graphicelement/mapframe/mapframetest.h"
#include "tests/support/logmark.h"
#include "tests/support/measuregriddouble.h"
#include "tests/support/recordingdevices.h"

namespace md::test {

using BufferPtr = md::basilo::ReleasePtr<IGIS_DataBuffer>;
using SetPtr = md::basilo::ReleasePtr<IGIS_PropertySet>;

// The bytes a label's Save writes into a fresh buffer.
inline std::vector<BYTE> Stored(IGIS_GridLabel* pLabel) {
  BufferPtr b(GIS_CreateDataBufferObject(0));
  EXPECT_TRUE(pLabel->Save(b.get()));
  const BYTE* p = b->GetData();
  return p != nullptr ? std::vector<BYTE>(p, p + b->GetSize()) : std::vector<BYTE>();
}

inline BufferPtr BufferOf(const std::vector<BYTE>& bytes) {
  BufferPtr b(GIS_CreateDataBufferObject(static_cast<int>(bytes.size())));
  if (!bytes.empty()) std::copy(bytes.begin(), bytes.end(), b->GetData());
  return b;
}

// A buffer holding the set the callback fills.
inline BufferPtr BufferWith(const std::function<void(IGIS_PropertySet*)>& fill) {
  SetPtr set(GIS_CreatePropertySetObject());
  fill(set.get());
  BufferPtr b(GIS_CreateDataBufferObject(0));
  EXPECT_TRUE(set->Archive(b.get(), GIS_ARCHIVE_WRITE, 0));
  return b;
}

inline void PutInt(IGIS_PropertySet* s, const char* key, int v) {
  s->AddProperty(key, key, GIS_FIELD_TYPE_INT, 1)->SetInt(v);
}

// The set stored in the bytes.
inline SetPtr SetOf(const std::vector<BYTE>& bytes) {
  SetPtr set(GIS_CreatePropertySetObject());
  BufferPtr b = BufferOf(bytes);
  EXPECT_TRUE(set->Archive(b.get(), GIS_ARCHIVE_READ, 0));
  return set;
}

// The keys of the set stored in the bytes, in their order.
inline std::vector<std::string> KeysOf(const std::vector<BYTE>& bytes) {
  SetPtr set = SetOf(bytes);
  std::vector<std::string> keys;
  for (IGIS_Field* f = set->GetFirstPosition(); f != nullptr; f = set->GetNext(f))
    keys.push_back(f->GetLabel());
  return keys;
}

// A label of type 77 on the label base whose Save writes "OwnKey" first.
class TestLabel final : public CGIS_GridLabelBase<IGIS_GridLabel> {
 public:
  void Release() override { delete this; }
  bool Save(IGIS_DataBuffer* p) override {
    SetPtr set(GIS_CreatePropertySetObject());
    set->AddProperty("OwnKey", "OwnKey", GIS_FIELD_TYPE_INT, 1)->SetInt(own);
    set->Archive(p, GIS_ARCHIVE_WRITE, 0);
    return CGIS_GridLabelBase::Save(p);
  }
  IGIS_GridLabel* Clone() override { return (new TestLabel)->CopyFrom(this); }
  bool OnDraw(HDC, bool, IGIS_Display*) override { return true; }
  int GetType() override { return 77; }
  bool OnOpenPropertyDlg() override { return false; }
  int own = 5;

 private:
  ~TestLabel() = default;
};

using md::basilo::ReleasePtr;

// A printer page of 300 x 200 mm whose paper's top-left corner is the page
// point (0, 20000), at 2540 dpi: one device unit is one page unit, x as on
// the page and y = 20000 - page y.
struct LabelPrinter : RecordingPrinter {
  LabelPrinter() : RecordingPrinter(300.0, 200.0, 2540, SGIS_Point(0, 20000)) {}
};

// Prints onto the canvas through a printer context of a paper of widthMm x
// heightMm at the resolution, texts measured with the engine, the paper's
// top-left corner at the page point (0, paper height): draw(hdc, display)
// draws.
void PrintOn(md::canvas::Canvas* canvas, double widthMm, double heightMm, int dpi,
             md::text::TextEngine* engine, const std::function<void(HDC, IGIS_Display*)>& draw);

// The frame of the label page in the printer's device units.
constexpr double kFrameLeft = 2000, kFrameRight = 22000, kFrameTop = 2000, kFrameBottom = 18000;

// A frame's edges on a printer's canvas (pixels, y down).
struct CanvasFrame {
  double left, right, top, bottom;
};
constexpr CanvasFrame kLabelFrame{kFrameLeft, kFrameRight, kFrameTop, kFrameBottom};

// A text drawn, with its box in device units: the cell of the fixed-metrics
// engine reaches 0.8 em above the baseline and 0.2 em below it.
struct Placed {
  std::string text;
  double left, right, top, bottom;
  double angle;
};
std::vector<Placed> PlacedOf(const md::canvas::RecordingCanvas& canvas);

// The texts outside one side of the label page's frame, in their order along it.
enum Side { kBottom, kTop, kLeft, kRight };
std::vector<Placed> OnSide(const std::vector<Placed>& all, Side side, const CanvasFrame& frame = kLabelFrame);
std::vector<std::string> TextsOn(const std::vector<Placed>& all, Side side,
                                 const CanvasFrame& frame = kLabelFrame);
// The texts of a conversion's compound, each member drawn on a printer page
// of its own.
std::vector<Placed> DrawnMembers(IGIS_Element* compound);
// Converts the label and expects its new compound in the owner feature set
// to hold one text element for each text drawn, each standing where the
// drawn one does (side by side, within one device unit, with the same text
// and turn); the compound is deleted after.
void ExpectConvertedAsDrawn(IGIS_GridLabel* label, IGIS_FeatureSet* owner, const std::vector<Placed>& drawn,
                            const CanvasFrame& frame, const std::string& what);

// Draws the frame and then what `draw` draws on a printed page of the size,
// through the canvas, with the engine; a recording canvas keeps only what
// `draw` drew.
void DrawOnPrintedPage(md::canvas::Canvas* canvas, double widthMm, double heightMm, int dpi,
                       md::text::TextEngine* engine, CGIS_MapElement* frame,
                       const std::function<bool(HDC hdc, IGIS_Display* display)>& draw);

// Shows the 1:50,000 sample sheet J50E001009 (a map of the sheet in the
// frame's owner's document) in the frame at true scale: the frame becomes
// the sheet's Gauss-Kruger rectangle with its lower-left corner at (margin,
// margin), and gets the demo sheet's band, offset out and width wide, in
// dark grey. False when the sheet has no extent.
bool ShowSampleSheet(CGIS_MapElement* frame, IGIS_Map* sheet, int margin, int bandOffset, int bandWidth);

// The texts of count whole numbers from `from` in steps.
std::vector<std::string> Values(int from, int step, int count);

// The map frame fixture's page with a frame on it showing the map 420 to
// 430 km east and 4410 to 4418 km north at 1:50,000, and a measured grid
// double of the map's reference with 1 km intervals bound to the frame.
class LabelPage : public MapFramePage {
 public:
  void SetUp() override;
  void TearDown() override;
  // Draws the frame (so that its map view shows the map) and clears the canvas.
  void DrawFrame(LabelPrinter* printer);

  CGIS_MapElement* frame_ = nullptr;
  MeasureGridDouble* grid_ = nullptr;
};

inline const SGIS_Rect kFrameRect(2000, 18000, 22000, 2000);

// The seven settings of a number format.
struct Settings {
  int alignment, width, rounding, digits;
  bool plus, separator, zeros;
  bool operator==(const Settings&) const = default;
};
inline Settings Of(IGIS_NumericFormat* f) {
  return {f->GetAlignment(),  f->GetWidth(),        f->GetRoundingMode(),
          f->GetDigits(),     f->GetShowPlusSign(), f->GetShowThousandsSeparator(),
          f->GetZeroPadding()};
}
inline void Apply(IGIS_NumericFormat* f, const Settings& s) {
  f->SetAlignment(s.alignment);
  f->SetWidth(s.width);
  f->SetRoundingMode(s.rounding);
  f->SetDigits(s.digits);
  f->SetShowPlusSign(s.plus);
  f->SetShowThousandsSeparator(s.separator);
  f->SetZeroPadding(s.zeros);
}

// Saving to no buffer, opening none and opening damaged bytes fail, each
// with its record under the class's name, and leave the label as it was.
void ExpectStoreRefusals(IGIS_GridLabel* label, const std::string& className);

// The sheet seam of a label type: with no sheet installed nothing runs;
// with the runner (which edits the label and answers *confirm) a cancel
// leaves the stored label as it was and a confirm keeps the edits. The
// installed runner is restored after.
void ExpectSheetKeepsEditsOnlyWhenConfirmed(IGIS_GridLabel* label, int type,
                                            md::layout::label::LabelSheetRunner runner, bool* confirm);

// The label page with a label of the kind bound to its grid double, drawn
// on a printer page; the refusals of its drawing and conversion as tables.
template <class TLabel>
class LabelDrawingPage : public LabelPage {
 public:
  void SetUp() override {
    LabelPage::SetUp();
    label_.reset(new TLabel);
    label_->SetMapGrid(grid_);
  }
  std::vector<Placed> Draw(bool expected = true) {
    LabelPrinter printer;
    DrawFrame(&printer);
    EXPECT_EQ(label_->OnDraw(printer.hdc, true, printer.display.get()), expected);
    return PlacedOf(printer.canvas);
  }
  // Binds the label to a new grid double of the kind in the frame.
  void Rebind(int type) {
    auto* grid = new MeasureGridDouble(map_->GetSpatialReference(), type);
    grid->SetMapElement(frame_);
    grid_->Release();
    grid_ = grid;
    label_->SetMapGrid(grid);
  }

  // A case the label cannot handle: what arrange does to a fresh page, and
  // the record it leaves.
  struct Refusal {
    const char* what;
    std::function<void(LabelDrawingPage*)> arrange;
    const char* text;
  };
  // Each case, on a fresh page, draws nothing, answers false and leaves
  // its record under the method.
  void ExpectDrawRefused(const char* method, const std::vector<Refusal>& rows) {
    for (const Refusal& r : rows) {
      TearDown();
      SetUp();
      LabelPrinter printer;
      DrawFrame(&printer);
      r.arrange(this);
      LogMark mark;
      EXPECT_FALSE(label_->OnDraw(printer.hdc, true, printer.display.get())) << r.what;
      EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, method, r.text)) << r.what;
      EXPECT_TRUE(printer.canvas.records().empty()) << r.what;
    }
  }
  // Each case, on a fresh page, converts into nothing, adds no feature and
  // leaves its record under the method.
  void ExpectConvertRefused(const char* method, const std::vector<Refusal>& rows) {
    for (const Refusal& r : rows) {
      TearDown();
      SetUp();
      r.arrange(this);
      const int before = set_->GetFeatureCount();
      LogMark mark;
      EXPECT_EQ(label_->ConvertToElement(), nullptr) << r.what;
      EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, method, r.text)) << r.what;
      EXPECT_EQ(set_->GetFeatureCount(), before) << r.what;
    }
  }
  // With no side shown the conversion gives an empty compound.
  void ExpectEmptyCompoundWithoutSides() {
    grid_->SetLabelVisible(false, false, false, false);
    IGIS_Element* compound = label_->ConvertToElement();
    ASSERT_NE(compound, nullptr);
    EXPECT_EQ(dynamic_cast<IGIS_CompoundElement*>(compound)->GetElementCount(), 0);
    EXPECT_TRUE(set_->DeleteElement(compound));
  }

  ReleasePtr<TLabel> label_;
};

}  // namespace md::test
