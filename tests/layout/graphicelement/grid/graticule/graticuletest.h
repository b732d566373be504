// Shared pieces of the graticule's tests: a graticule double backed by plain
// values, a DMS label double, a layout page with a map frame that shows the
// 1:50 000 sample sheet, printers over recording canvases, and what a
// drawing stroked.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_graticulegrid.h"
#include "layout/graphicelement/grid/grid/igis_gridspacing.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/recording.h"
#include "tests/support/mapgriddouble.h"
#include "tests/support/owned.h"

namespace md::test {

// A spacing backed by plain values (no unit checks).
class SpacingDouble : public IGIS_GridSpacing {
 public:
  void SetFixedOrigin(bool b) override { fixed = b; }
  bool GetFixedOrigin() override { return fixed; }
  double GetXOrigin() override { return x0; }
  void SetXOrigin(double d) override { x0 = d; }
  double GetYOrigin() override { return y0; }
  void SetYOrigin(double d) override { y0 = d; }
  double GetXIntervalSize() override { return dx; }
  void SetXIntervalSize(double d) override { dx = d; }
  double GetYIntervalSize() override { return dy; }
  void SetYIntervalSize(double d) override { dy = d; }
  void Release() override {}
  IGIS_GridSpacing* Clone() override { return nullptr; }
  bool Save(IGIS_DataBuffer*) override { return true; }
  bool Open(IGIS_DataBuffer*) override { return true; }
  IGIS_GridSpacing* Copy(IGIS_GridSpacing*) override { return this; }
  int GetUnits() override { return units; }
  void SetUnits(int n) override { units = n; }
  int GetUnitsType() override { return 1; }
  void SetUnitsType(int) override {}

  bool fixed = true;
  double x0 = 0.0, y0 = 0.0, dx = 1.0, dy = 1.0;
  int units = 1;  // degrees
};

// A graticule whose own operations are plain values too; its symbols and
// label are the test's (not owned).
class GraticuleDouble : public MapGridDouble<IGIS_GraticuleGrid> {
 public:
  GraticuleDouble() : MapGridDouble<IGIS_GraticuleGrid>(0) {}
  void SetGridSpacingPtr(IGIS_GridSpacing* p) override { spacingPtr = p; }
  IGIS_GridSpacing* GetGridSpacing() override { return spacingPtr; }
  double GetAxisTickOffset() override { return axisTickOffset; }
  void SetAxisTickOffset(double d) override { axisTickOffset = d; }
  double GetInteriorLabelIntervalX() override { return labelX; }
  void SetInteriorLabelIntervalX(double d) override { labelX = d; }
  double GetInteriorLabelIntervalY() override { return labelY; }
  void SetInteriorLabelIntervalY(double d) override { labelY = d; }
  double GetHatchIntervalX() override { return hatchX; }
  void SetHatchIntervalX(double d) override { hatchX = d; }
  double GetHatchIntervalY() override { return hatchY; }
  void SetHatchIntervalY(double d) override { hatchY = d; }
  double GetHatchLength() override { return hatchLength; }
  void SetHatchLength(double d) override { hatchLength = d; }
  bool GetShowInteriorLabels() override { return showLabels; }
  void SetShowInteriorLabels(bool b) override { showLabels = b; }
  bool GetHatchDirectional() override { return hatchDirectional; }
  void SetHatchDirectional(bool b) override { hatchDirectional = b; }
  IGIS_Symbol* GetHatchLineSymbol() override { return hatchSymbol; }
  IGIS_GraticuleGrid* Copy(IGIS_GraticuleGrid*) override { return this; }
  void SetHatchLineSymbolPtr(IGIS_Symbol* p) override { hatchSymbol = p; }
  int GetMainHatchLength() override { return mainLength; }
  void SetMainHatchLength(int n) override { mainLength = n; }
  bool GetMainHatchDirectional() override { return mainDirectional; }
  void SetMainHatchDirectional(bool b) override { mainDirectional = b; }
  IGIS_Symbol* GetMainHatchLineSymbol() override { return mainSymbol; }
  void SetMainHatchLineSymbolPtr(IGIS_Symbol* p) override { mainSymbol = p; }
  int GetMainHatchCount() override { return mainCount; }
  void SetMainHatchCount(int n) override { mainCount = n; }
  int GetSubHatchLength() override { return subLength; }
  void SetSubHatchLength(int n) override { subLength = n; }
  bool GetSubHatchDirectional() override { return subDirectional; }
  void SetSubHatchDirectional(bool b) override { subDirectional = b; }
  IGIS_Symbol* GetSubHatchLineSymbol() override { return subSymbol; }
  void SetSubHatchLineSymbolPtr(IGIS_Symbol* p) override { subSymbol = p; }
  int GetSubHatchCount() override { return subCount; }
  void SetSubHatchCount(int n) override { subCount = n; }

  SpacingDouble spacing;
  IGIS_GridSpacing* spacingPtr = &spacing;
  double axisTickOffset = 400.0, labelX = 0.0, labelY = 0.0, hatchX = 0.0, hatchY = 0.0;
  double hatchLength = 400.0;
  bool showLabels = false, hatchDirectional = true, mainDirectional = true, subDirectional = true;
  int mainLength = 200, subLength = 100, mainCount = 3, subCount = 2;
  IGIS_Symbol* hatchSymbol = nullptr;
  IGIS_Symbol* mainSymbol = nullptr;
  IGIS_Symbol* subSymbol = nullptr;

 protected:
  ~GraticuleDouble() override = default;
};

// A DMS label backed by plain values: its display mode, digits and text
// symbol (the test's).
class DmsLabelDouble : public IGIS_DMSGridLabel {
 public:
  void SetLabelOffset(int) override {}
  int GetLabelOffset() override { return 0; }
  IGIS_SymbolPart* GetTextSymbolPtr() override { return text; }
  const char* GetStaticData() override { return ""; }
  void GetLabelAlignment(bool*, bool*, bool*, bool*) override {}
  void SetLabelAlignment(bool, bool, bool, bool) override {}
  void Release() override { delete this; }
  bool Save(IGIS_DataBuffer*) override { return true; }
  bool Open(IGIS_DataBuffer*) override { return true; }
  IGIS_GridLabel* Clone() override {
    auto* c = new DmsLabelDouble();
    c->text = text;
    c->minutes = minutes;
    c->seconds = seconds;
    c->digits = digits;
    c->type = type;
    return c;
  }
  bool OnDraw(HDC, bool, IGIS_Display*) override {
    ++draws;
    return true;
  }
  int GetType() override { return type; }
  void SetTextSymbolPtr(IGIS_SymbolPart* p) override { text = p; }
  IGIS_GridLabel* CopyFrom(IGIS_GridLabel*) override { return this; }
  bool OnOpenPropertyDlg() override { return false; }
  IGIS_Element* ConvertToElement() override { return nullptr; }
  void SetMapGrid(IGIS_MapGrid* p) override { grid = p; }
  void GetLabelOffsetX(int*, int*, int*, int*) override {}
  void GetLabelOffsetY(int*, int*, int*, int*) override {}
  void SetLabelOffsetX(int, int, int, int) override {}
  void SetLabelOffsetY(int, int, int, int) override {}
  IGIS_DMSGridLabel* Copy(IGIS_DMSGridLabel*) override { return this; }
  IGIS_SymbolPart* GetSecondsSymbolText() override { return text; }
  void SetSecondsSymbolTextPtr(IGIS_SymbolPart*) override {}
  bool IsShowMinutes() override { return minutes; }
  void SetShowMinutes(bool b) override { minutes = b; }
  bool IsShowSeconds() override { return seconds; }
  void SetShowSeconds(bool b) override { seconds = b; }
  int GetDMSLabelType() override { return 0; }
  void SetDMSLabelType(int) override {}
  int GetDecimalDigits() override { return digits; }
  void SetDecimalDigits(int n) override { digits = n; }

  IGIS_Symbol* text = nullptr;
  bool minutes = true, seconds = true;
  int digits = 0;
  int type = 0;
  int draws = 0;
  IGIS_MapGrid* grid = nullptr;

 protected:
  virtual ~DmsLabelDouble() = default;
};

// The bytes an object's Save writes into a fresh buffer.
template <class T>
std::vector<BYTE> Stored(T* object) {
  IGIS_DataBuffer* b = GIS_CreateDataBufferObject(0);
  object->Save(b);
  std::vector<BYTE> out(b->GetData(), b->GetData() + b->GetSize());
  b->Release();
  return out;
}
// A new buffer holding the bytes (the caller releases it).
IGIS_DataBuffer* BufferOf(const std::vector<BYTE>& bytes);

IGIS_Symbol* NewLineSymbol(COLORREF color, double widthMm);
IGIS_Symbol* NewTextSymbol(int height);

// A printer page of 400 x 300 mm at 254 dpi (1 pixel = 0.1 mm) whose
// paper's top-left corner is the page point (0, 30000); its view clips
// unless told otherwise.
struct GraticulePrinter {
  explicit GraticulePrinter(bool bClipping = true);
  ~GraticulePrinter();
  md::canvas::RecordingCanvas canvas;
  HDC hdc;
  std::unique_ptr<CGIS_PrintDisplay> display;
};

// A stroke as the canvas received it (device pixels) and its pen colour.
struct Stroke {
  std::vector<md::canvas::Point> points;
  COLORREF color;
};
std::vector<Stroke> StrokesOf(const md::canvas::RecordingCanvas& canvas);
// The texts the canvas received.
std::vector<std::string> TextsOf(const md::canvas::RecordingCanvas& canvas);

// A layout page with one map frame showing the 1:50 000 sample sheet
// (Gauss-Kruger zone 39; 116°00′ to 116°15′ east, 39°50′ to 40°00′ north).
class SheetPage : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Draws the frame (so that its map view shows the map) on the printer.
  void DrawFrame(GraticulePrinter& printer);

  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  IGIS_Map* sheet_ = nullptr;
  CGIS_MapElement* frame_ = nullptr;
};

}  // namespace md::test
