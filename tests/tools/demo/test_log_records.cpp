// The log holds failures only: work that succeeds (grids from the wizard's
// first values, converted and copied; both demo pages built, stored, saved
// and read back) writes no record, while a real failure still writes its own.
#include <functional>
#include <string>
#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/frame/igis_frameproperty.h"
#include "layout/graphicelement/grid/grid/igis_mapgridborder.h"
#include "layout/graphicelement/grid/grid/igis_mapgridvalues.h"
#include "layout/graphicelement/shapes/igis_polylineelement.h"
#include "layout/graphicelement/text/igis_textelement.h"
#include "tests/support/logmark.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace {

using md::basilo::ReleasePtr;

// A map frame on a page of the demo's kind.
IGIS_MapElement* NewFrame(md::demo::Page& page) {
  auto* frame = dynamic_cast<IGIS_MapElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_MAP));
  if (frame != nullptr) frame->SetRect(SGIS_Rect(1000, 9000, 11000, 4000));
  return frame;
}

// Every grid kind the wizard makes, from the pages' first values: bound to a
// frame showing the sample sheet, converted to plain elements, copied.
void DefaultGrids() {
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  for (int kind : {GIS_MAPGRID_GRATICULE, GIS_MAPGRID_MEASURE, GIS_MAPGRID_GRATICULE_MN, GIS_MAPGRID_INDEX}) {
    md::demo::Page page;
    page.featureSet()->SetMapLayer(doc.LayoutLayer());
    IGIS_MapElement* frame = NewFrame(page);
    ASSERT_NE(frame, nullptr);
    frame->SetMapName(doc.sheet()->GetName());
    SGIS_MapGridValues values;
    values.nType = kind;
    IGIS_MapGrid* grid = GIS_CreateMapGridFromValues(&values);
    ASSERT_NE(grid, nullptr);
    grid->SetMapElement(frame);
    ASSERT_TRUE(frame->GetMapGrids()->AddMapGrid(grid));
    IGIS_Element* converted = grid->ConvertToElement();
    EXPECT_NE(converted, nullptr) << kind;
    if (converted != nullptr) converted->Release();
    ReleasePtr<IGIS_MapGrid> copy(grid->Clone());
    EXPECT_NE(copy, nullptr);
  }
}

// A page built, stored, saved and read back, as the demo does.
void RoundTrip(std::unique_ptr<md::demo::Page> page, const std::string& name, IGIS_MapLayer* layer) {
  ASSERT_NE(page, nullptr);
  const std::string file = (md::test::ScratchFolder("log-records") / name).string();
  std::string error;
  ASSERT_TRUE(md::demo::SavePage(*page, file, &error)) << error;
  page.reset();
  EXPECT_NE(md::demo::LoadPage(file, &error, layer), nullptr) << error;
}

void SamplePage() { RoundTrip(md::demo::BuildSamplePage(nullptr), "sample.mdfs", nullptr); }

void MapSheet() {
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  RoundTrip(md::demo::BuildMapSheetPage(doc, nullptr), "sheet.mdfs", doc.LayoutLayer());
}

void NullBorderSymbol() {
  ReleasePtr<IGIS_MapGrid> grid(GIS_CreateMapGridPropertyObject(GIS_MAPGRID_INDEX));
  grid->GetBorder()->SetSimpleSymbolPtr(nullptr);
}

void NullPolylineSymbol() {
  md::demo::Page page;
  auto* line = dynamic_cast<IGIS_PolylineElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE));
  ASSERT_NE(line, nullptr);
  line->SetSymbolPtr(nullptr);
}

IGIS_FrameProperty* TextFrame(md::demo::Page& page) {
  auto* text = dynamic_cast<IGIS_TextElement*>(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_TEXT));
  return text != nullptr ? text->GetFramePropertyPtr() : nullptr;
}

void NullFrameSymbol() {
  md::demo::Page page;
  IGIS_FrameProperty* frame = TextFrame(page);
  ASSERT_NE(frame, nullptr);
  frame->SetBorderSymbolPtr(nullptr);
}

// A stored frame cut short: its keys are lost.
void CutFrame() {
  md::demo::Page page;
  IGIS_FrameProperty* frame = TextFrame(page);
  ASSERT_NE(frame, nullptr);
  ReleasePtr<IGIS_DataBuffer> buffer(GIS_CreateDataBufferObject(0));
  ASSERT_TRUE(frame->Save(buffer.get()));
  buffer->SetSize(4);
  frame->Open(buffer.get());
}

// A frame that names a map, named and read back on a page outside any document.
void NamedMapWithoutDocument() {
  md::demo::Page page;
  IGIS_MapElement* frame = NewFrame(page);
  ASSERT_NE(frame, nullptr);
  frame->SetMapName("地形图");
  ASSERT_TRUE(frame->Archive(0, 0));
  frame->Archive(1, 0);
}

struct Row {
  const char* szWork;
  std::function<void()> run;
  // The record the work must write; none at all when szMethod is NULL.
  int nLevel;
  const char* szMethod;
  const char* szText;
};

TEST(LogRecords, SuccessfulWorkWritesNoneAndAFailureItsOwn) {
  md::test::FixedText fixed;
  const Row rows[] = {
      {"default grids built, converted and copied", DefaultGrids, 0, nullptr, nullptr},
      {"the sample page built, saved and read back", SamplePage, 0, nullptr, nullptr},
      {"the map sheet built, saved and read back", MapSheet, 0, nullptr, nullptr},
      {"NULL given to the border's setter", NullBorderSymbol, GIS_LOG_LEVEL_GRID,
       "CGIS_MapGridBorder::SetSimpleSymbolPtr", "right == NULL"},
      {"NULL given to a polyline", NullPolylineSymbol, GIS_LOG_LEVEL_SYMBOL,
       "CGIS_PolylineElement::SetSymbolPtr", "pSymbol == NULL"},
      {"NULL given to a frame", NullFrameSymbol, GIS_LOG_LEVEL_FRAME,
       "CGIS_FrameProperty::SetBorderSymbolPtr", "pSymbol == NULL"},
      {"a stored frame cut short", CutFrame, GIS_LOG_LEVEL_CHECK, "CGIS_FrameProperty::Open",
       "BorderX 属性为空"},
      {"a named map without a document", NamedMapWithoutDocument, GIS_LOG_LEVEL_CHECK,
       "CGIS_MapElement::SetMapName",
       "the page has no map layer, so the frame cannot find its map 地形图: give the page its document's "
       "layout layer with SetMapLayer before reading or drawing it"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.szWork);
    md::test::LogMark mark;
    row.run();
    if (row.szMethod == nullptr) {
      for (const SGIS_LogRecord& r : mark.Records())
        ADD_FAILURE() << "level " << r.level << " " << r.method << ": " << r.text << " (" << r.sourcePath
                      << ":" << r.line << ")";
    } else {
      EXPECT_EQ(mark.Count(row.nLevel, row.szMethod, row.szText), 1);
    }
  }
}

}  // namespace
