// An enhanced metafile whose face names or texts hold characters the SVG
// markup reserves draws its text like any other: nothing of it ends the
// markup the decoder writes it into.
#include <gtest/gtest.h>

#include <string>

#include "platform/imaging/decode.h"
#include "platform/imaging/emfstrings.h"
#include "tests/platform/imaging/metafiles.h"

namespace {

using namespace md::imaging;
namespace m = md::test::metafiles;

// UTF-16 units packed two a word, padded with NULs to `units`.
std::vector<std::uint32_t> Units(const std::u16string& s, std::size_t units) {
  std::vector<std::uint32_t> words((units + 1) / 2, 0);
  for (std::size_t k = 0; k < s.size() && k < units; ++k)
    words[k / 2] |= std::uint32_t{s[k]} << (16 * (k % 2));
  return words;
}

// A 50 x 25 mm file that writes `text` at the top left in a font 40 pixels
// of the reference device high (its 8-bit form when `wide` is false).
m::Bytes TextEmf(const std::u16string& face, const std::u16string& text, bool wide = true) {
  std::vector<std::uint32_t> font = {1, static_cast<std::uint32_t>(-40), 0, 0, 0, 400, 0, 0};
  for (std::uint32_t w : Units(face, 32)) font.push_back(w);
  const std::size_t n = text.size();
  std::vector<std::uint32_t> out = {0,  0, 190, 90, 1, 0, 0, 10, 10, static_cast<std::uint32_t>(n),
                                    76, 0, 0,   0,  0, 0};
  std::vector<std::uint32_t> string;
  if (wide) {
    string = Units(text, n);
  } else {
    string.assign((n + 3) / 4, 0);
    for (std::size_t k = 0; k < n; ++k) string[k / 4] |= std::uint32_t{text[k] & 0xFFu} << (8 * (k % 4));
  }
  out.push_back(static_cast<std::uint32_t>(76 + 4 * string.size()));  // the spacing after the string
  out.insert(out.end(), string.begin(), string.end());
  out.insert(out.end(), n, 20);
  return m::Emf(5000, 2500, {{82, font}, {37, {1}}, {wide ? 84u : 83u, out}}, 2);
}

// Pixels the text inked: opaque and dark.
int Ink(const Bitmap& b) {
  int n = 0;
  for (std::uint32_t p : b.pixels) n += (p >> 24) > 0x80 && (p & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60;
  return n;
}

TEST(ImagingEmfStrings, FaceNamesAndTextsHoldingMarkupDraw) {
  const struct {
    const char* name;
    std::u16string face, text;
    bool wide = true;
  } rows[] = {
      {"a plain name and text", u"DejaVu Sans", u"Map 12"},
      {"an ampersand in the name", u"R&D Sans", u"Map 12"},
      {"a less-than sign in the name", u"Sans<Bold>", u"Map 12"},
      {"quotes in the name", u"\"Sans\"", u"Map 12"},
      {"a control character in the name", u"Sans\u0001", u"Map 12"},
      {"a stand-in's character in the name", u"Sans\uFDD0", u"Map 12"},
      {"the end of a CDATA section in the text", u"DejaVu Sans", u"a]]>b"},
      {"markup in the text", u"DejaVu Sans", u"<a href='x'>&amp;"},
      {"a vertical tab in the text", u"DejaVu Sans", u"Map\u000B12"},
      {"the end of a CDATA section in an 8-bit text", u"DejaVu Sans", u"a]]>b", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const m::Bytes file = TextEmf(row.face, row.text, row.wide);
    const DecodeResult r = Decode(file.data(), file.size());
    EXPECT_TRUE(r && Ink(*r.bitmap) > 200) << r.error;
  }
}

TEST(ImagingEmfStrings, TheMarkedStringsAreWrittenBackEscaped) {
  const struct {
    const char* name;
    std::string svg, written;
  } rows[] = {
      {"stand-ins in an attribute", "<text font-family=\"R\uFDD0D \uFDD1\uFDD2\uFDD0\">",
       "<text font-family=\"R&amp;D &lt;&quot;&amp;\">"},
      {"a text", "<text >a<![CDATA[x\v\v>&<\v]]></text>\n", "<text >ax]]&gt;&amp;&lt;]</text>\n"},
      {"characters XML cannot hold", "<text f=\"\x01\xFF\"><![CDATA[\x02\xEF\xBF\xBF]]></text>",
       "<text f=\"\uFFFD\uFFFD\">\uFFFD\uFFFD</text>"},
      {"a section that never ends", "<text><![CDATA[a]]>b", "<text><![CDATA[a]]>b"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(detail::EscapeEmfSvg(row.svg), row.written);
  }
}

}  // namespace
