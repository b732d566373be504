#include <gtest/gtest.h>

#include "platform/text/textengine.h"

using md::text::DecodeUtf8;
using md::text::EncodeUtf8;

namespace {

TEST(Utf8, DecodesValidSequencesOfEveryLength) {
  EXPECT_EQ(DecodeUtf8("a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x97\xBA"), std::u32string(U"a\u00E9\u4E2D\U0001F5FA"));
}

TEST(Utf8, RejectsMalformedInputOneByteAtATime) {
  struct Row {
    std::string in;
    std::u32string out;
  };
  const Row rows[] = {
      {"\xC0\xAF", U"\uFFFD\uFFFD"},                      // overlong slash
      {"\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},            // overlong, three bytes
      {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},            // surrogate
      {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xFF", U"\uFFFD"},
      {"\xE4\xB8", U"\uFFFD\uFFFD"},  // truncated at the end
      {"\xE4x", U"\uFFFDx"},          // continuation missing
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.in.size());
    EXPECT_EQ(DecodeUtf8(r.in), r.out);
  }
}

TEST(Utf8, EncodeRoundTripsAndReplacesInvalidCodePoints) {
  const std::string s = "图例 Legend \xF0\x9F\x97\xBA";
  EXPECT_EQ(EncodeUtf8(DecodeUtf8(s)), s);
  EXPECT_EQ(EncodeUtf8(std::u32string(1, char32_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(EncodeUtf8(std::u32string(1, char32_t(0x110000))), "\xEF\xBF\xBD");
}

}  // namespace
