// Drawing the picture element on screen and on paper: where the picture
// lands, its orientation, the clip while printing, the frame's draft mode,
// the cache that keeps redrawing from decoding again, a picture that cannot
// be drawn, and the time the metafiles of one drawing may take.
#include <functional>
#include <optional>
#include <thread>

#include <gmock/gmock.h>
#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "layout/graphicelement/print/gis_pageprintdc.h"
#include "platform/canvas/banding.h"
#include "platform/canvas/cairo_canvas.h"
#include "platform/imaging/decode.h"
#include "platform/imaging/draw.h"
#include "platform/imaging/isolate.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/metafilelimits.h"
#include "platform/imaging/protocol/fences.h"
#include "tests/layout/graphicelement/picture/picturetest.h"
#include "tests/platform/imaging/costlydrawings.h"
#include "tests/platform/imaging/costlylists.h"
#include "tests/platform/imaging/metafiles.h"
#include "tests/platform/imaging/recordedimage.h"

namespace md::test {
namespace {

// The picture element's page, with three pictures of one metafile the probe
// answers with the drawing of `points` points,
// decoded outside every drawing so that a print spends its budget on the
// paints alone: two `inches` a side in a row, and one twice as large below.
class PictureDraw : public PicturePage {
 protected:
  std::vector<IGIS_Element*> ZigzagPage(int points, int inches) {
    const std::string path = Write("zigzag.wmf", metafiles::SampleWmf());
    ::setenv("MD_PROBE_METAFILE", metafiles::ListProbe(metafiles::ZigzagList(points, 1000, 500)).c_str(), 1);
    md::imaging::ImageCache::Shared().Clear();
    EXPECT_TRUE(md::imaging::ImageCache::Shared().Load(path));
    const int side = 2540 * inches;
    return {PictureIn(path, {2540, 27160, 2540 + side, 27160 - side}),
            PictureIn(path, {5080 + side, 27160, 5080 + 2 * side, 27160 - side}),
            PictureIn(path, {2540, 24620 - side, 2540 + 2 * side, 24620 - 3 * side})};
  }
};

TEST_F(PictureDraw, OnScreenThePictureFillsTheRectangleUpright) {
  CGIS_PictureElement* e = NewPicture();
  e->SetFramePropertyPtr(nullptr);
  const std::string path = Quadrants("q.png", 40, 20);
  ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
  // 0.01 mm units at 96 dpi: 2540 units are 96 pixels.
  e->SetHVScaleRatio(false);
  e->SetRect(SGIS_Rect(2540, 20000 - 2540, 2540 + 5080, 20000 - 5080));
  ScreenOnRecording screen;
  ASSERT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
  ASSERT_EQ(screen.Images().size(), 1u);
  const md::canvas::Record& r = *screen.Images()[0];
  EXPECT_EQ(r.dst, (md::canvas::Rect{96, 96, 288, 192}));
  EXPECT_FALSE(r.state.clip.active);
  EXPECT_EQ(RecordedPixel(r, 100, 100), 0xFF0000u);
  EXPECT_EQ(RecordedPixel(r, 280, 100), 0x00FF00u);
  EXPECT_EQ(RecordedPixel(r, 100, 188), 0x0000FFu);
  EXPECT_EQ(RecordedPixel(r, 280, 188), 0xFFFFFFu);
}

TEST_F(PictureDraw, OnPaperUprightInsideThePaperClip) {
  CGIS_PictureElement* e = NewPicture();
  e->SetFramePropertyPtr(nullptr);
  const std::string path = Quadrants("q.png", 2, 2);
  ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
  // 1 inch square 1 inch from the paper's left and top edges, reaching past
  // the paper's right edge by an inch.
  e->SetRect(SGIS_Rect(2540, 29700 - 2540, 2540 + 2540, 29700 - 5080));
  e->SetLBpoint(SGIS_Point(21000 - 1270, 29700 - 5080, 0));
  PrinterOnRecording printer;
  ASSERT_TRUE(e->OnDraw(printer.hdc, true, &printer.display));
  ASSERT_EQ(printer.Images().size(), 1u);
  const md::canvas::Record& r = *printer.Images()[0];
  EXPECT_TRUE(r.state.clip.active);
  // The paper is 827 pixels wide: the half inch on it is drawn.
  EXPECT_EQ(r.dst, (md::canvas::Rect{777, 100, 827, 200}));
  EXPECT_EQ(RecordedPixel(r, 780, 110), 0xFF0000u);
  EXPECT_EQ(RecordedPixel(r, 780, 195), 0x0000FFu);
  // The clip of the context is as it was.
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(printer.hdc, rgn), 0);
  DeleteObject(rgn);
}

TEST_F(PictureDraw, EachFormatPrintsUprightIntoItsRectangle) {
  struct Row {
    const char* name;
    files::Bytes bytes;
    int tolerance;
  } rows[] = {
      {"p.png", files::Png(20, 10, files::Opaque(20, 10), 300), 0},
      {"p.jpg", files::Jpeg(40, 20, files::Opaque(40, 20), 72), 48},
      {"p.gif", files::Gif(20, 10), 0},
      {"p.tif", files::Tiff(20, 10, files::Opaque(20, 10), 200), 0},
      {"p.bmp", files::Bmp(20, 10, 24, 96), 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CGIS_PictureElement* e = NewPicture();
    e->SetFramePropertyPtr(nullptr);
    e->SetHVScaleRatio(false);
    // 2 x 1 inches, 1 inch from the paper's left and top edges.
    e->SetRect(SGIS_Rect(2540, 29700 - 2540, 2540 + 5080, 29700 - 5080));
    ASSERT_TRUE(e->ImportPictureFromFile(Write(row.name, row.bytes).c_str()));
    PrinterOnRecording printer;
    ASSERT_TRUE(e->OnDraw(printer.hdc, true, &printer.display));
    ASSERT_EQ(printer.Images().size(), 1u);
    const md::canvas::Record& r = *printer.Images()[0];
    EXPECT_EQ(r.dst, (md::canvas::Rect{100, 100, 300, 200}));
    const std::pair<int, int> probes[] = {{110, 110}, {290, 110}, {110, 190}, {290, 190}};
    const std::uint32_t colours[] = {0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFFFFu};
    for (int k = 0; k < 4; ++k) {
      const std::uint32_t got = RecordedPixel(r, probes[k].first, probes[k].second);
      for (int shift : {0, 8, 16})
        EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), static_cast<int>((colours[k] >> shift) & 0xFF),
                    row.tolerance)
            << "probe " << k;
    }
  }
}

TEST_F(PictureDraw, DraftModeShowsNoPictureOnScreenButPrintsIt) {
  CGIS_PictureElement* e = NewPicture();
  const std::string path = Quadrants("q.png", 8, 8);
  ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
  e->GetFramePropertyPtr()->SetDraftMode(true);
  ScreenOnRecording screen;
  EXPECT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_TRUE(screen.Images().empty());
  EXPECT_FALSE(screen.canvas.records().empty());  // the draft box
  PrinterOnRecording printer;
  e->SetRect(SGIS_Rect(1000, 22540, 3540, 20000));
  EXPECT_TRUE(e->OnDraw(printer.hdc, true, &printer.display));
  EXPECT_EQ(printer.Images().size(), 1u);
}

// A picture that cannot be drawn from its file, here within a group, is
// crossed out, one record names its file and why, and the print fails; the
// page's other picture is drawn. An element that fails without a record
// (none at all here) gets the print's one.
TEST_F(PictureDraw, APictureThatCannotBeDrawnIsCrossedOutRecordedOnceAndFailsThePrint) {
  // A PNG removed, a WMF the helper refuses, one kept in the page (named by
  // the file it was kept from), an element no picture was imported into
  // ("" : named by the element), no element; what the record says after the
  // path (the print's record, for no element).
  const struct {
    const char* file;
    bool kept;
    const char* reason;
  } rows[] = {{"gone.png", false, ": No such file or directory"},
              {"refused.wmf", false, ": WMF: cannot draw this"},
              {"kept.wmf", true, " (kept in the page): WMF: cannot draw this"},
              {"", false, ": not drawn: no picture was imported"},
              {nullptr, false, "the element of feature -1 (NULL) did not draw"}};
  for (const auto& [file, kept, reason] : rows) {
    SCOPED_TRACE(file != nullptr ? file : "no element");
    const bool wmf = file != nullptr && std::string(file).ends_with(".wmf");
    const bool imported = file != nullptr && file[0] != '\0';
    const std::string path = !imported ? ""
                             : wmf     ? Write(file, metafiles::SampleWmf())
                                       : Quadrants(file, 8, 8);
    CGIS_PictureElement *bad = NewPicture(), *good = NewPicture();
    md::imaging::ImageCache::Shared().Clear();  // the last row's refusal of the same bytes
    ASSERT_TRUE(!imported || bad->ImportPictureFromFile(path.c_str()));
    if (kept) bad->ArchivePictureData(true);
    ASSERT_TRUE(good->ImportPictureFromFile(Quadrants("good.png", 8, 8).c_str()));
    for (CGIS_PictureElement* e : {bad, good}) e->SetFramePropertyPtr(nullptr);
    bad->SetRect(SGIS_Rect(2540, 27160, 5080, 24620));
    good->SetRect(SGIS_Rect(10160, 27160, 12700, 24620));
    if (imported && !wmf) std::filesystem::remove(path);
    const metafiles::MetafileLimitsScope limits({60000, 120000, MD_IMAGING_PROBE},
                                                wmf ? "cannot draw this" : nullptr);
    md::imaging::ImageCache::Shared().Clear();
    auto* group = new CGIS_CompoundElement(set_, nullptr);
    owned_.push_back(group);
    ASSERT_TRUE(group->AddElement(bad));
    IGIS_Element* page[] = {file != nullptr ? group : nullptr, good};
    PrinterOnRecording printer;
    LogMark mark;
    EXPECT_FALSE(GIS_PrintPageToDC(printer.hdc, set_, 21000, 29700, page, 2));
    EXPECT_EQ(printer.Images().size(), 1u);
    // The box and its two lines, each drawn white and then black over it.
    const std::size_t crossed = file != nullptr ? 2 : 0;
    EXPECT_EQ(printer.canvas.shapesOf(md::canvas::ShapeKind::Rectangle).size(), crossed);
    EXPECT_EQ(printer.canvas.shapesOf(md::canvas::ShapeKind::Line).size(), 2 * crossed);
    EXPECT_EQ(mark.Count(), 1u);
    const std::string named =
        imported ? path
                 : "\"" + std::string(bad->GetName()) + "\" (feature " + std::to_string(bad->GetID()) + ")";
    EXPECT_TRUE(file != nullptr
                    ? mark.Has(GIS_LOG_LEVEL_STORAGE, "CGIS_PictureElement::OnDraw", named + reason)
                    : mark.Has(GIS_LOG_LEVEL_CHECK, "GIS_PrintPageToDC", reason));
  }
}

// The cross of a picture that cannot be drawn shows on any colour below it:
// on grey 128 (a new rectangle's fill), white and black, some pixel where
// its lines meet differs from the fill by at least 96 in every channel.
TEST_F(PictureDraw, ThePlaceholdersCrossShowsOnAnyFill) {
  const std::uint32_t fills[] = {0x808080, 0xFFFFFF, 0x000000};
  for (const std::uint32_t fill : fills) {
    SCOPED_TRACE(testing::Message() << std::hex << fill);
    const std::string path = Quadrants("gone.png", 8, 8);
    CGIS_PictureElement* e = PictureIn(path, SGIS_Rect(2540, 27160, 5080, 24620));
    e->SetFramePropertyPtr(nullptr);
    std::filesystem::remove(path);
    md::imaging::ImageCache::Shared().Clear();
    auto canvas = md::canvas::CairoCanvas::createImage(827, 1169, fill);
    ASSERT_NE(canvas, nullptr);
    HDC hdc =
        md::win::CreatePrinterDC(canvas.get(), PrinterOnRecording::Setup(), &md::text::FixedMetricsEngine());
    IGIS_Element* page[] = {e};
    EXPECT_FALSE(GIS_PrintPageToDC(hdc, set_, 21000, 29700, page, 1));
    DeleteDC(hdc);
    canvas->flush();
    canvas->writePng((dir_ / ("cross-" + std::to_string(fill) + ".png")).string());
    // The box spans pixels 100 to 200 each way; its diagonals meet at 150.
    int seen = 0;
    for (int y = 146; y <= 154; ++y) {
      for (int x = 146; x <= 154; ++x) {
        std::uint32_t px = 0;
        ASSERT_TRUE(canvas->readPixels({x, y, x + 1, y + 1}, &px));
        bool differs = true;
        for (int shift : {0, 8, 16}) {
          const int a = static_cast<int>((px >> shift) & 0xFF), b = static_cast<int>((fill >> shift) & 0xFF);
          differs = differs && std::abs(a - b) >= 96;
        }
        seen += differs ? 1 : 0;
      }
    }
    EXPECT_GT(seen, 0);
  }
}

// A metafile whose draw list the library refuses (here one that leaves a
// group open) is drawn from its pixels into a vector output (its helper
// paints them once, at its own size), and its first drawing says why in one
// record; on a raster its helper paints it, and nothing is said. The print
// succeeds.
TEST_F(PictureDraw, AMetafileWhoseListIsRefusedIsDrawnFromPixelsAndSaysWhyOnce) {
  const std::string path = Write("unclosed.wmf", metafiles::SampleWmf());
  const metafiles::MetafileLimitsScope limits(
      {60000, 120000, MD_IMAGING_PROBE}, metafiles::ListProbe(ListBuilder().PushGroup().Bytes()).c_str());
  CGIS_PictureElement* e = NewPicture();
  ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
  e->SetFramePropertyPtr(nullptr);
  e->SetRect(SGIS_Rect(2540, 27160, 5080, 24620));
  IGIS_Element* page[] = {e};
  const struct {
    bool raster;
    std::size_t records, paints;
  } rows[] = {{false, 1, 1}, {true, 0, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.raster ? "raster" : "recording");
    md::imaging::ImageCache::Shared().Clear();
    const std::size_t paints = md::imaging::detail::VectorPaintCount();
    LogMark mark;
    for (int i = 0; i < 2; ++i) {
      PrinterOnRecording printer;
      const std::unique_ptr<md::canvas::CairoCanvas> raster = md::canvas::CairoCanvas::createImage(827, 1169);
      HDC hdc = row.raster ? md::win::CreatePrinterDC(raster.get(), PrinterOnRecording::Setup(),
                                                      &md::text::FixedMetricsEngine())
                           : printer.hdc;
      EXPECT_TRUE(GIS_PrintPageToDC(hdc, set_, 21000, 29700, page, 1));
      if (row.raster) DeleteDC(hdc);
      EXPECT_EQ(printer.Images().size(), row.raster ? 0u : 1u);
    }
    EXPECT_EQ(md::imaging::detail::VectorPaintCount() - paints, row.paints);
    EXPECT_EQ(mark.Count(), row.records);
    if (row.records > 0) {
      EXPECT_TRUE(mark.Has(
          GIS_LOG_LEVEL_CHECK, "CGIS_PictureElement::OnDraw",
          path + ": WMF: drawn from its pixels, as its drawing is not read: the draw list is refused: "
                 "it leaves a clip, group or mask open"));
    }
  }
}

// A metafile whose draw list would cost more than the budget to print in
// its box (8 x 10 inches) is drawn from its pixels into a vector output,
// and its first drawing says so in one record; one within the budget is
// drawn as vectors, and nothing is said. No list is printed as nothing.
TEST_F(PictureDraw, AListPastTheCostBudgetIsDrawnFromPixelsWithOneRecord) {
  const std::string path = Write("costly.wmf", metafiles::SampleWmf());
  const struct {
    const char* name;
    metafiles::Bytes list;
    bool fromPixels;
  } rows[] = {
      {"a zigzag", metafiles::ZigzagList(40, 100, 50), false},
      {"a 2,048^2 picture at 16 sizes", costly::PictureSizesList(2048, 16), false},
      {"3,000 far curves stroked", costly::FarCurvesStrokedList(3000), true},
      {"1,000 squeezed dashed hairlines", costly::SqueezedHairlinesList(1000), true},
      {"24,000 squeezed dashed hairlines", costly::SqueezedHairlinesList(24000), true},
      {"a dashed round-capped curve, its pen squeezed", costly::SqueezedDashesList(), true},
      {"32 fills of 16 stops x 256 repeats", costly::RepeatedStopsList(16, 256, 32), true},
      {"32 fills of a radial at 1,024 repeats", costly::RepeatedRadialsList(32), true},
      {"an even-odd fill of 199,998 curves", costly::CrossingCurvesList(199998), true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const metafiles::MetafileLimitsScope limits({60000, 120000, MD_IMAGING_PROBE},
                                                metafiles::ListProbe(row.list).c_str());
    md::imaging::ImageCache::Shared().Clear();
    CGIS_PictureElement* e = NewPicture();
    ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
    e->SetFramePropertyPtr(nullptr);
    e->SetRect(SGIS_Rect(500, 28000, 20820, 2600));
    IGIS_Element* page[] = {e};
    LogMark mark;
    for (int i = 0; i < 2; ++i) {
      PrinterOnRecording printer;
      EXPECT_TRUE(GIS_PrintPageToDC(printer.hdc, set_, 21000, 29700, page, 1));
      // From pixels: the painting, one picture; as vectors: the list.
      EXPECT_EQ(printer.Images().size(), row.fromPixels ? 1u : 0u);
      EXPECT_EQ(printer.canvas.recordsOf(md::canvas::Record::Type::Vectors).size(), row.fromPixels ? 0u : 1u);
    }
    EXPECT_EQ(mark.Count(), row.fromPixels ? 1u : 0u);
    if (row.fromPixels) {
      EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "CGIS_PictureElement::OnDraw",
                           path + ": WMF: drawn from its pixels, as its drawing is not read: its drawing as "
                                  "vectors would cost more to print than a picture may"));
    }
  }
}

// A raster operation of what lies below drawn as its nearest painting is
// named in one record of the picture at each drawing, as vectors and on a
// raster, however many of its records draw it; those composed exactly (a
// mask and its image) or not reading what lies below (SRCCOPY) are not
// named beside it.
TEST_F(PictureDraw, RasterOperationsDrawnAsTheirNearestAreNamedOnceADrawing) {
  namespace m = metafiles;
  constexpr std::uint32_t kSrcPaint = 0xEE0086, kSrcAnd = 0x8800C6, kSrcInvert = 0x660046,
                          kDstInvert = 0x550009, kSrcCopy = 0xCC0020;
  const m::Pattern red = [](int, int) { return 0xFFFF0000u; };
  const m::Pattern whiteMiddle = [](int x, int y) { return x == 1 && y == 1 ? 0xFFFFFFFFu : 0xFF000000u; };
  const auto wmf = [](std::vector<m::WmfRecord> records) {
    records.insert(records.begin(), {{0x020B, {0, 0}}, {0x020C, {300, 300}}});
    return m::Wmf(300, 300, 300, records, 1);
  };
  const m::WmfRecord redBrush = {0x02FC, {0, 0x00FF, 0, 0}}, select = {0x012D, {0}},
                     whole = {0x041B, {300, 300, 0, 0}}, xorPen = {0x0104, {7}}, copyPen = {0x0104, {13}},
                     dstInvert = {0x061D, {0x0009, 0x0055, 150, 150, 75, 75}};
  const struct {
    const char* name;
    m::Bytes file;
    const char* named;
  } rows[] = {
      {"wmf",
       wmf({m::StretchDib(kSrcInvert, 0, 0, 300, 4, 4, red),
            m::StretchDib(kSrcInvert, 0, 0, 150, 4, 4, red)}),
       "SRCINVERT as a copy"},
      {"wmf", wmf({dstInvert}), "DSTINVERT as black"},
      {"wmf", wmf({redBrush, select, xorPen, whole, copyPen}), "R2_XORPEN as a copy"},
      {"wmf", wmf({dstInvert, m::StretchDib(kSrcAnd, 0, 0, 300, 4, 4, red)}),
       "DSTINVERT as black, SRCAND as what it makes over white"},
      {"wmf",
       wmf({m::StretchDib(kSrcPaint, 0, 0, 300, 4, 4, whiteMiddle),
            m::StretchDib(kSrcAnd, 0, 0, 300, 4, 4, red), dstInvert}),
       "DSTINVERT as black"},
      {"wmf",
       wmf({m::StretchDib(kSrcCopy, 0, 0, 300, 4, 4, red), m::StretchDib(kSrcInvert, 0, 0, 150, 4, 4, red)}),
       "SRCINVERT as a copy"},
      {"emf", m::Emf(2540, 2540, {m::EmfStretchDib(kSrcInvert, 0, 0, 100, 4, 4, red)}, 1),
       "SRCINVERT as a copy"},
      {"emf", m::Emf(2540, 2540, {m::EmfPatBlt(kDstInvert, 25, 25, 50)}, 1), "DSTINVERT as black"},
      {"emf",
       m::Emf(2540, 2540,
              {m::EmfStretchDib(kSrcPaint, 0, 0, 100, 4, 4, whiteMiddle),
               m::EmfStretchDib(kSrcAnd, 0, 0, 100, 4, 4, red), m::EmfPatBlt(kDstInvert, 25, 25, 50)},
              1),
       "DSTINVERT as black"},
      {"emf",
       m::Emf(2540, 2540,
              {m::EmfStretchDib(kSrcCopy, 0, 0, 100, 4, 4, red),
               m::EmfStretchDib(kSrcInvert, 0, 0, 50, 4, 4, red)},
              1),
       "SRCINVERT as a copy"},
  };
  int n = 0;
  for (const auto& row : rows) {
    const std::string path = Write("rop" + std::to_string(n++) + "." + row.name, row.file);
    SCOPED_TRACE(path);
    IGIS_Element* page[] = {PictureIn(path, {2540, 27160, 5080, 24620})};
    const std::string kind = std::string(row.name) == "wmf" ? ": WMF: " : ": EMF: ";
    for (const bool raster : {false, true}) {
      md::imaging::ImageCache::Shared().Clear();
      ASSERT_TRUE(md::imaging::ImageCache::Shared().Load(path));
      LogMark mark;
      for (int drawing = 0; drawing < 2; ++drawing) {
        PrinterOnRecording printer;
        const std::unique_ptr<md::canvas::CairoCanvas> canvas =
            md::canvas::CairoCanvas::createImage(827, 1169);
        HDC hdc = raster ? md::win::CreatePrinterDC(canvas.get(), PrinterOnRecording::Setup(),
                                                    &md::text::FixedMetricsEngine())
                         : printer.hdc;
        EXPECT_TRUE(GIS_PrintPageToDC(hdc, set_, 21000, 29700, page, 1));
        if (raster) DeleteDC(hdc);
      }
      std::vector<std::string> named;
      for (const SGIS_LogRecord& r : mark.Records())
        if (r.method == "CGIS_PictureElement::OnDraw") named.push_back(r.text);
      const std::string record = path + kind + "drawn with raster operations as their nearest: " + row.named;
      EXPECT_EQ(named, (std::vector<std::string>{record, record})) << (raster ? "raster" : "vectors");
    }
  }
}

TEST_F(PictureDraw, RefusalsWithoutReferenceOrFeature) {
  CGIS_PictureElement* e = NewPicture();
  ScreenOnRecording screen;
  set_->GetFeatureClass()->SetSpatialReference(nullptr);
  LogMark mark;
  EXPECT_FALSE(e->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_TRUE(mark.Has(3, "CGIS_PictureElement::OnDraw", "p_spatialreference== NULL "));
  set_->GetFeatureClass()->SetSpatialReference(reference_);
  auto* unbound = new CGIS_PictureElement(nullptr, nullptr);
  EXPECT_FALSE(unbound->OnDraw(screen.hdc, false, &screen.display));
  unbound->Release();
}

TEST_F(PictureDraw, RedrawingDoesNotDecodeAgainUntilTheFileChanges) {
  CGIS_PictureElement* e = NewPicture();
  const std::string path = Quadrants("q.png", 16, 16);
  ASSERT_TRUE(e->ImportPictureFromFile(path.c_str()));
  ScreenOnRecording screen;
  md::imaging::ImageCache& cache = md::imaging::ImageCache::Shared();
  ASSERT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
  const std::size_t decodes = cache.DecodeCount();
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_EQ(cache.DecodeCount(), decodes);
  files::WriteAll(path, files::Png(16, 15, files::Opaque(16, 15)));
  ASSERT_TRUE(e->OnDraw(screen.hdc, false, &screen.display));
  EXPECT_EQ(cache.DecodeCount(), decodes + 1);
}

// Every file takes forever: a drawing's budget holds the first file's whole
// time (its wall clock's, four times its processor time) and a start for the
// second, whose whole time spends it; the third is deferred. Each drawing
// starts again.
TEST_F(PictureDraw, EachMetafileOfADrawingHasItsWholeTimeUntilTheBudgetIsSpent) {
  std::vector<IGIS_Element*> pictures;
  for (std::uint16_t width = 1000; width < 1300; width += 100) {  // a white rectangle, files of other widths
    const files::Bytes wmf = metafiles::Wmf(
        width, 500, 1000, {{0x020B, {0, 0}}, {0x020C, {500, width}}, {0x041B, {400, 900, 100, 100}}}, 0);
    CGIS_PictureElement* e = NewPicture();
    e->SetFramePropertyPtr(nullptr);
    ASSERT_TRUE(e->ImportPictureFromFile(Write("m" + std::to_string(width) + ".wmf", wmf).c_str()));
    pictures.push_back(e);
  }
  md::imaging::ImageCache::Shared().Clear();
  // The stand-in's start takes some of its processor time (more on a busy
  // machine, and under a sanitizer): its limit leaves it several times that,
  // so that its wall clock's ends each run.
  const metafiles::MetafileLimitsScope limits({500, 4000, MD_IMAGING_PROBE});
  // Each run spends half the budget, however long it took.
  const metafiles::MetafileRunClock clock(2000);
  PrinterOnRecording printer;
  ScreenOnRecording screen(0, 29700, 1000, 400);
  const std::pair<const char*, std::function<BOOL()>> rows[] = {
      {"printed", [&] { return GIS_PrintPageToDC(printer.hdc, set_, 21000, 29700, pictures.data(), 3); }},
      {"drawn on a view", [&] { return GIS_DrawPageToDisplay(screen.hdc, set_, &screen.display); }},
      {"drawn by the host in one page drawing",
       [&] {
         const GIS_PageDrawing drawing;
         BOOL drawn = TRUE;
         for (IGIS_Element* e : pictures) drawn = e->OnDraw(screen.hdc, false, &screen.display) && drawn;
         return drawn;
       }},
  };
  const std::string slow = "WMF: drawing took longer than 2.00 s";
  for (const auto& [name, draw] : rows) {
    SCOPED_TRACE(name);
    LogMark mark;
    EXPECT_FALSE(draw());
    std::vector<std::string> outcomes;
    for (const SGIS_LogRecord& r : mark.Records())
      if (r.method == "CGIS_PictureElement::OnDraw")
        outcomes.push_back(r.text.substr(r.text.find(".wmf: ") + 6));
    EXPECT_EQ(outcomes, (std::vector<std::string>{
                            slow, slow, "WMF: not drawn: this drawing's 4.00 s for metafiles are spent"}));
  }
}

// Each run of the helper (here each box's list) and each paint of a
// metafile's vectors into a vector output spends the drawing's time for
// metafiles, here 400 ms of a second: the two pictures of one size take a
// list and two paints, which spend it, and the third picture, of which
// nothing painted is kept, is crossed out with one record. The print
// answers FALSE having drawn the rest.
TEST_F(PictureDraw, APaintPastTheDrawingsBudgetIsCrossedOutWithARecord) {
  const metafiles::MetafileLimitsScope limits({60000, 1000, MD_IMAGING_PROBE});
  for (const int points : {10, 2500}) {
    SCOPED_TRACE(points);
    const std::vector<IGIS_Element*> page = ZigzagPage(points, 1);
    const metafiles::MetafileRunClock clock(400);
    PrinterOnRecording printer;
    LogMark mark;
    EXPECT_FALSE(GIS_PrintPageToDC(printer.hdc, set_, 21000, 29700, page.data(), 3));
    EXPECT_EQ(printer.canvas.recordsOf(md::canvas::Record::Type::Vectors).size(), 2u);
    EXPECT_TRUE(printer.Images().empty());
    const std::vector<SGIS_LogRecord> records = mark.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, GIS_LOG_LEVEL_STORAGE);
    EXPECT_THAT(
        records[0].text,
        testing::EndsWith("zigzag.wmf: WMF: not drawn: this drawing's 1.00 s for metafiles are spent"));
  }
}

// On a raster the helper paints a metafile at each box's size, and the
// page's pixels are the same however they were had: painted by the helper,
// put from what the cache kept, with nothing kept, with each run of the
// helper charged six seconds (the budget lasts for two), printed onto a raster or
// band by band. Two prints of the page, each onto a canvas of its own, run
// the helper once for each of the two sizes when the paintings are kept.
TEST_F(PictureDraw, ARasterPageOfAMetafileIsTheSameAtEveryCapacityAndSpeed) {
  const std::size_t kDefault = md::imaging::ImageCache::kDefaultCapacity;
  const struct {
    const char* name;
    bool bands;
    std::size_t capacity;
    std::int64_t runMs;
    std::size_t paints, kept;
  } rows[] = {{"kept", false, kDefault, 0, 2, 2},
              {"nothing kept", false, 0, 0, 6, 0},
              {"slow runs", false, kDefault, 6000, 2, 2},
              {"bands", true, kDefault, 0, 2, 2}};
  const metafiles::MetafileLimitsScope limits({60000, 10000, ""});
  // A quarter of an inch wide: its pixels (at 300 dpi) are smaller than the boxes.
  const std::string path = Write("zigzag.wmf", costly::ZigzagWmf(100, 40000));
  const std::vector<IGIS_Element*> page = {PictureIn(path, {2540, 27160, 5080, 24620}),
                                           PictureIn(path, {7620, 27160, 10160, 24620}),
                                           PictureIn(path, {2540, 22080, 7620, 19540})};
  std::vector<std::uint32_t> first;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const files::SharedCacheCapacity capacity(row.capacity);
    md::imaging::ImageCache::Shared().Clear();
    std::optional<metafiles::MetafileRunClock> clock;
    if (row.runMs > 0) clock.emplace(row.runMs);
    ASSERT_TRUE(md::imaging::ImageCache::Shared().Load(path));  // decoded outside the prints
    const std::size_t paints = md::imaging::detail::VectorPaintCount();
    for (int print = 0; print < 2; ++print) {
      std::unique_ptr<md::canvas::CairoCanvas> raster = md::canvas::CairoCanvas::createImage(827, 1169);
      md::canvas::BandRecording bands(827, 1169);
      md::canvas::Canvas* target = row.bands ? static_cast<md::canvas::Canvas*>(&bands) : raster.get();
      HDC hdc =
          md::win::CreatePrinterDC(target, PrinterOnRecording::Setup(), &md::text::FixedMetricsEngine());
      EXPECT_TRUE(GIS_PrintPageToDC(hdc, set_, 21000, 29700, page.data(), 3));
      DeleteDC(hdc);
      if (row.bands) bands.paintBand(*raster);
      raster->flush();
      std::vector<std::uint32_t> pixels;
      for (int y = 0; y < 1169; ++y)
        pixels.insert(pixels.end(), raster->pixelRow(y), raster->pixelRow(y) + 827);
      if (first.empty()) first = pixels;
      EXPECT_TRUE(pixels == first) << "print " << print;
    }
    EXPECT_EQ(md::imaging::detail::VectorPaintCount() - paints, row.paints);
    EXPECT_EQ(md::imaging::ImageCache::Shared().PaintingCount(), row.kept);
  }
}

// A run ended by the file's own processor time (the probe spins whenever it
// is asked for a box) is recorded as such, and the next print of the page
// answers the same without running the helper; one the page's budget (here
// shorter than a file's time) cut short says so and runs again at the next
// print; one that waits past the budget on the wall clock, within four times
// its processor time, is drawn. On a machine too busy to give a spinning run
// its processor time within four times that on the wall clock, the wall
// clock ends it, which is tried again: that row checks no more, and the
// test skips, saying so, once the other rows are checked.
TEST_F(PictureDraw, ARunOutOfTimeSaysWhatRanOutAndIsRunAgainOnlyWhenThePageCutIt) {
  const std::string list = metafiles::ListProbe(metafiles::ZigzagList(10, 10, 10));
  const struct {
    std::string probe;
    int fileMs, budgetMs;
    BOOL drawn;
    const char* said;  // what the print records of the picture, after its name
    std::size_t runs, runsAgain;
  } rows[] = {
      {"cpu-box:60000:" + list, 1000, 2000, FALSE,
       "WMF: not drawn: drawing took more than 1.00 s of processor time", 2, 0},
      {"cpu-box:60000:" + list, 5000, 1000, FALSE,
       "WMF: not drawn: this drawing's 1.00 s for metafiles are spent", 1, 1},
      {"sleep:2500:" + list, 1000, 2000, TRUE, "", 1, 0},
  };
  const std::string path = Write("spinner.wmf", metafiles::SampleWmf());
  std::string busy;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.probe.substr(0, 14) + " " + std::to_string(row.budgetMs));
    const metafiles::MetafileLimitsScope limits({row.fileMs, row.budgetMs, MD_IMAGING_PROBE},
                                                row.probe.c_str());
    md::imaging::ImageCache::Shared().Clear();
    const std::vector<IGIS_Element*> page = {PictureIn(path, {2540, 27160, 5080, 24620})};
    for (const std::size_t runs : {row.runs, row.runsAgain}) {
      const std::size_t before = md::imaging::detail::HelperRunCount();
      PrinterOnRecording printer;
      LogMark mark;
      const BOOL drawn = GIS_PrintPageToDC(printer.hdc, set_, 21000, 29700, page.data(), 1);
      std::vector<std::string> said;
      for (const SGIS_LogRecord& r : mark.Records())
        if (r.method == "CGIS_PictureElement::OnDraw")
          said.push_back(r.text.substr(r.text.find(".wmf: ") + 6));
      if (said.size() == 1 && said[0].ends_with("took longer than 4.00 s")) {
        busy += row.probe.substr(0, 14) + " " + std::to_string(row.budgetMs) + ": " + said[0] + "; ";
        break;
      }
      EXPECT_EQ(drawn, row.drawn);
      EXPECT_EQ(said, row.said[0] == '\0' ? std::vector<std::string>{} : std::vector<std::string>{row.said});
      EXPECT_EQ(md::imaging::detail::HelperRunCount() - before, runs);
    }
  }
  if (!busy.empty()) GTEST_SKIP() << "the machine was too busy to check: " << busy;
}

// A page drawing begun on one thread and ended on another is refused there
// with a record and ends for its own thread, whose next metafile is drawn,
// not deferred by the budget it spent; the ending thread's own drawing still
// defers its second metafile.
TEST_F(PictureDraw, APageDrawingEndedOnAnotherThreadEndsForItsOwn) {
  std::vector<CGIS_PictureElement*> pictures;
  for (std::uint16_t width = 1000; width < 1400; width += 100)  // other contents, one a run
    pictures.push_back(
        PictureIn(Write("m" + std::to_string(width) + ".wmf", metafiles::Wmf(width, 500, 1000, {}, 0)),
                  {2540, 27160, 5080, 24620}));
  md::imaging::ImageCache::Shared().Clear();
  const metafiles::MetafileLimitsScope limits(
      {60000, 1000, MD_IMAGING_PROBE}, metafiles::ListProbe(metafiles::ZigzagList(10, 10, 10)).c_str());
  const metafiles::MetafileRunClock clock(1000);  // a run, or a paint, spends a whole budget
  ScreenOnRecording screen;
  const auto draw = [&](std::size_t i) {
    return pictures[i]->OnDraw(screen.hdc, false, &screen.display) != FALSE;
  };
  LogMark mark;
  void* drawing = GIS_BeginPageDrawing();
  EXPECT_TRUE(draw(0));  // spends this thread's budget
  std::thread([&] {
    const GIS_PageDrawing own;
    GIS_EndPageDrawing(drawing);
    EXPECT_TRUE(draw(1));
    EXPECT_FALSE(draw(2));
  }).join();
  EXPECT_TRUE(draw(3));
  EXPECT_TRUE(mark.Has(GIS_LOG_LEVEL_CHECK, "GIS_EndPageDrawing"));
}

// Where neither Landlock nor namespaces fence the helper's files, a
// process's first metafile writes one record saying so, its next ones none.
TEST_F(PictureDraw, AHelperLeftUnfencedIsRecordedOnceAProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a process whose first metafile is still to come
  const std::string path = Write("unfenced.wmf", metafiles::SampleWmf());
  EXPECT_EXIT(
      {
        md::imaging::detail::SetWardenFencesWithout(md::imaging::detail::kFenceLandlock |
                                                    md::imaging::detail::kFenceNamespaces);
        const LogMark mark;
        for (int k = 0; k < 2; ++k) {
          md::imaging::ImageCache::Shared().Clear();
          CGIS_PictureElement* e = NewPicture();
          if (!e->ImportPictureFromFile(path.c_str())) ::_exit(1);
        }
        int records = 0;
        for (const SGIS_LogRecord& r : mark.Records())
          records += r.method == "CGIS_PictureElement::DrawMetafile" &&
                     r.text.starts_with("the metafile helper runs unfenced in its files");
        std::fprintf(stderr, "records: %d;", records);
        ::_exit(0);
      },
      testing::ExitedWithCode(0), "records: 1;");
}

}  // namespace
}  // namespace md::test
