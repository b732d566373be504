// Font requests made from a device context's LOGFONT.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win/fontrequest.h"

namespace {

TEST(FontRequest, FromLogFontConvertsUnitsAndBoundsTheFace) {
  LOGFONT lf{};
  lf.lfHeight = -100;
  lf.lfWidth = 40;
  lf.lfWeight = 0;
  lf.lfItalic = 1;
  lf.lfEscapement = 4500;
  std::memset(lf.lfFaceName, 'x', sizeof lf.lfFaceName);  // no terminator
  const md::text::FontRequest r = md::win::FontRequestFromLogFont(lf, 0.5, -0.25);
  EXPECT_DOUBLE_EQ(r.height, -25);
  EXPECT_DOUBLE_EQ(r.width, 20);
  EXPECT_EQ(r.weight, 400);
  EXPECT_TRUE(r.italic);
  EXPECT_EQ(r.escapement, 900);
  EXPECT_EQ(r.face, std::string(32, 'x'));

  // A non-finite scale is treated as one pixel per unit.
  lf.lfFaceName[5] = '\0';
  const md::text::FontRequest s = md::win::FontRequestFromLogFont(lf, 1.0 / 0.0, 0.0 / 0.0);
  EXPECT_DOUBLE_EQ(s.height, -100);
  EXPECT_EQ(s.face, "xxxxx");
}

}  // namespace
