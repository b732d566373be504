// What a draw list costs in the box it is printed into (drawlistcost.h): the
// same list is within the budget in one box and past it in another, or
// under another matrix; a picture shown at many sizes is written into a
// vector file once, at most at the dots its box shows.
#include <gtest/gtest.h>

#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/imaging/drawlistcost.h"
#include "platform/imaging/drawlistpaint.h"
#include "platform/imaging/drawlistread.h"
#include "tests/platform/imaging/costlylists.h"
#include "tests/platform/imaging/drawlistbuilder.h"

namespace {

namespace dl = md::imaging::drawlist;
namespace c = md::test::costly;
using md::imaging::DrawList;
using md::test::ListBuilder;

std::shared_ptr<const DrawList> Read(const std::vector<std::uint8_t>& bytes) {
  std::string why;
  auto list = md::imaging::ReadDrawList(bytes.data(), bytes.size(), &why);
  EXPECT_NE(list, nullptr) << why;
  return list;
}

// The same list costs what its device pays: within the budget in a small
// box or at its own scale, past it in a huge box or squeezed by its matrix.
TEST(DrawListCost, TheCostOfAListMovesWithTheDevice) {
  const struct {
    const char* name;
    std::vector<std::uint8_t> list;
    double width, height, dot;
    bool within;
  } rows[] = {
      {"far curves stroked, a small box", c::FarCurvesStrokedList(1000, 3000), 120, 60, 1, true},
      {"far curves stroked, a huge box", c::FarCurvesStrokedList(1000, 3000), 120000, 60000, 1, false},
      {"far curves stroked, a huge box of coarse dots", c::FarCurvesStrokedList(1000, 3000), 120000, 60000,
       1000, true},
      {"dashed hairlines at their own scale", c::SqueezedHairlinesList(100, 1), 1200, 600, 1, true},
      {"dashed hairlines squeezed across", c::SqueezedHairlinesList(100, 1024), 1200, 600, 1, false},
      {"a curve crossing itself, a small box", c::CrossingCurvesList(4000), 1200, 600, 1, true},
      {"a curve crossing itself, a huge box", c::CrossingCurvesList(4000), 120000, 60000, 1, false},
      {"a gradient repeated, a small box", c::RepeatedStopsList(16, 256, 1), 1200, 600, 1, true},
      {"a gradient repeated, a huge box", c::RepeatedStopsList(16, 256, 1), 120000, 60000, 1, false},
      {"a round-capped dashed curve, its pen squeezed", c::SqueezedDashesList(), 1200, 600, 1, false},
      {"a thin round-capped dashed curve, its pen squeezed", c::SqueezedDashesList(1 / 1024.0, 1024), 1200,
       600, 1, false},
      {"a thin round-capped dashed curve, its pen even", c::SqueezedDashesList(1 / 1024.0, 1), 1200, 600, 1,
       true},
      {"a butt-capped dashed curve, its pen squeezed a trillion to one",
       c::SqueezedDashesList(8, 1 << 20, dl::Cap::Butt), 1200, 600, 1, false},
      {"a butt-capped dashed curve, its pen squeezed a million to one",
       c::SqueezedDashesList(8, 1024, dl::Cap::Butt), 1200, 600, 1, true},
      {"a picture at 16 sizes", c::PictureSizesList(1024, 16), 1200, 600, 1, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto list = Read(row.list);
    ASSERT_NE(list, nullptr);
    const md::imaging::ListCost cost = md::imaging::CostOfList(*list, row.width, row.height, row.dot);
    EXPECT_EQ(cost.WithinBudget(), row.within) << cost.Share();
  }
}

// What is done within a clip goes through its path again: a few paints
// within a clip of curves reaching far past the box are within the budget,
// a hundred are not.
TEST(DrawListCost, WhatIsDoneWithinAClipCostsItsPathAgain) {
  md::test::ListPath clip;
  clip.Move(50, 50);
  for (int k = 0; k < 1000; ++k)
    clip.Curve(k % 2 ? -3000.0f : 3000.0f, k % 3 ? 3000.0f : -3000.0f, k % 2 ? 3000.0f : -3000.0f,
               k % 5 ? -3000.0f : 3000.0f, static_cast<float>(k % 100), static_cast<float>(k % 97));
  clip.Close();
  const struct {
    int paints;
    bool within;
  } rows[] = {{10, true}, {100, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.paints);
    ListBuilder b(100, 100);
    b.PushClip(clip, dl::FillRule::EvenOdd);
    for (int k = 0; k < row.paints; ++k) b.PaintAll(ListBuilder::Colour(0, 0, 0, 0.1));
    const auto list = Read(b.PopClip().Bytes());
    ASSERT_NE(list, nullptr);
    const md::imaging::ListCost cost = md::imaging::CostOfList(*list, 1200, 600, 1);
    EXPECT_EQ(cost.WithinBudget(), row.within) << cost.Share();
  }
}

// A picture's one copy: the most dots any record shows of it, at most its
// own pixels and the box's dots.
TEST(DrawListCost, APictureHasOneCopyAtMostTheDotsItsBoxShows) {
  const std::vector<std::uint32_t> pixels = c::Noise(1000 * 1000);
  const struct {
    const char* name;
    std::vector<std::uint8_t> list;
    double width, height;
    std::uint32_t cols, rows;
  } rows[] = {
      {"16 sizes, all fewer dots than pixels", c::PictureSizesList(256, 16), 120, 60, 120, 60},
      {"4 sizes, more dots than pixels", c::PictureSizesList(64, 4), 1200, 600, 64, 64},
      {"shown 4 times the box",
       ListBuilder(100, 100).Picture(1000, 1000, pixels).Image(0, {0.4, 0, 0, 0.4, 0, 0}).Bytes(), 100, 100,
       100, 100},
      {"repeated as a pattern",
       ListBuilder(100, 100)
           .Picture(1000, 1000, pixels)
           .PaintAll(ListBuilder::Pattern(0, {20, 0, 0, 20, 0, 0}, dl::Extend::Repeat))
           .Bytes(),
       200, 200, 100, 100},
      {"not shown", ListBuilder(100, 100).Picture(1000, 1000, pixels).Bytes(), 100, 100, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto list = Read(row.list);
    ASSERT_NE(list, nullptr);
    const std::vector<md::imaging::PictureCopy> copies = md::imaging::PictureCopies(
        *list, dl::Matrix{row.width / list->Width(), 0, 0, row.height / list->Height(), 0, 0}, 1);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].cols, row.cols);
    EXPECT_EQ(copies[0].rows, row.rows);
  }
}

// The bytes of a PDF file of the list painted over a box of `side` dots.
std::size_t PdfBytes(const std::vector<std::uint8_t>& bytes, double side) {
  const auto list = Read(bytes);
  if (list == nullptr) return 0;
  std::size_t written = 0;
  cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(
      [](void* closure, const unsigned char*, unsigned int length) {
        *static_cast<std::size_t*>(closure) += length;
        return CAIRO_STATUS_SUCCESS;
      },
      &written, side, side);
  cairo_t* cr = cairo_create(pdf);
  EXPECT_TRUE(md::imaging::PaintDrawList(list, cr, side, side, 1.0));
  cairo_destroy(cr);
  cairo_surface_finish(pdf);
  EXPECT_EQ(cairo_surface_status(pdf), CAIRO_STATUS_SUCCESS);
  cairo_surface_destroy(pdf);
  return written;
}

// A picture of noise shown at many sizes, or over many times its box,
// writes one copy of at most the box's dots into a PDF file: about what it
// shown once in the box writes.
TEST(DrawListCost, APictureShownManyTimesIsWrittenOnce) {
  const std::size_t once = PdfBytes(c::PictureSizesList(512, 1), 300);
  ASSERT_GT(once, 300u * 300 * 2);
  const std::vector<std::uint32_t> pixels = c::Noise(1024 * 1024);
  const struct {
    const char* name;
    std::vector<std::uint8_t> list;
  } rows[] = {
      {"16 sizes", c::PictureSizesList(512, 16)},
      {"4 times its box",
       ListBuilder(100, 100).Picture(1024, 1024, pixels).Image(0, {0.4, 0, 0, 0.4, 0, 0}).Bytes()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_LT(PdfBytes(row.list, 300), once * 5 / 4);
  }
}

}  // namespace
