// The calibrated and alternating bands of grid borders: where the walk lays
// every piece, mitres included, and which symbol fills it (one table of
// worked examples and edge cases).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/layout/graphicelement/grid/gridborder/gridbordertest.h"

namespace {

using md::test::BandRow;
using md::test::kBandRows;
using md::test::LaidPiece;
using md::test::LogMark;

class GridBorderBand : public ::testing::TestWithParam<BandRow> {};

TEST_P(GridBorderBand, LaysThePiecesOfTheWorkedExamples) {
  const BandRow& row = GetParam();
  const std::vector<LaidPiece> laid = md::test::LayBand(row);
  EXPECT_EQ(md::test::SymbolOrder(row, laid), md::test::Squeezed(row.order));
  for (const md::test::ExpectedPiece& e : row.pieces) {
    ASSERT_LE(static_cast<std::size_t>(e.number), laid.size()) << e.number;
    EXPECT_EQ(laid[e.number - 1].ring, e.Ring()) << "piece " << e.number;
  }
  for (std::size_t i = 0; i < laid.size(); ++i) {
    EXPECT_EQ(laid[i].ring[4], laid[i].ring[0]) << "closed ring " << i + 1;
    if (row.zeroArea) {
      EXPECT_EQ(md::test::TwiceArea(laid[i].ring), 0) << "piece " << i + 1;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, GridBorderBand, ::testing::ValuesIn(kBandRows()),
                         [](const auto& info) { return std::string(info.param.name); });

// A side of more pieces than the walk lays is laid as one piece, with one
// record for the whole walk.
TEST(GridBorderBandCap, DenseSidesAreLaidWholeWithOneRecord) {
  const BandRow row{.name = "Dense", .right = 2000000000, .top = 2000000000, .width = 100, .interval = 20};
  LogMark mark;
  const std::vector<LaidPiece> laid = md::test::LayBand(row, "CGIS_MapGridBorder::DrawCalibratedBorder");
  EXPECT_EQ(laid.size(), 4u);
  EXPECT_EQ(mark.Count(), 1u);
  EXPECT_TRUE(mark.Has(3, "CGIS_MapGridBorder::DrawCalibratedBorder",
                       "100000000 pieces on a side: laid as one piece"));
}

}  // namespace
