// Marking the strings of a metafile's records, and writing them back into
// the SVG escaped.
#include "platform/imaging/helper/emfstrings.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "platform/imaging/helper/emftext.h"
#include "platform/imaging/protocol/drawlist.h"
#include "platform/text/textengine.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint32_t kExtCreateFontIndirectW = 82, kExtTextOutA = 83, kExtTextOutW = 84;
constexpr std::uint32_t kGlyphIndex = 0x10;  // the text's units are glyph indices
// A font record's face name: 32 UTF-16 units after the record's head, the
// font's handle and the LOGFONT's numbers.
constexpr std::size_t kFaceAt = 40, kFaceUnits = 32, kFontBytes = kFaceAt + 2 * kFaceUnits;
// A text record's count of characters, the string's offset from the
// record's start and the options, before its spacing's offset.
constexpr std::size_t kCharsAt = 44, kStringAt = 48, kOptionsAt = 52, kTextBytes = 76;

// Noncharacters, which no face name holds, stand for what the attribute
// cannot hold; the same code points in a face name become U+FFFD.
constexpr char32_t kStandIns[] = {0xFDD0, 0xFDD1, 0xFDD2};
constexpr std::string_view kEscapes[] = {"&amp;", "&lt;", "&quot;"};
constexpr char32_t kFaceSpecials[] = {U'&', U'<', U'"'};
// A text's "]" travels as a vertical tab, which the library passes on.
constexpr char32_t kTextBracket = 0x0B;

char32_t FaceUnit(char32_t c) {
  for (std::size_t k = 0; k < std::size(kStandIns); ++k) {
    if (c == kFaceSpecials[k]) return kStandIns[k];
    if (c == kStandIns[k]) return 0xFFFD;
  }
  return c;
}

char32_t TextUnit(char32_t c) {
  if (c == kTextBracket) return U' ';
  if (c >= kClipMark && c <= kSpacingMark) return 0xFFFD;
  return c == U']' ? kTextBracket : c;
}

// Maps `count` units of `width` bytes (1 or 2) at p, up to a NUL: the
// library writes a string up to its first NUL.
template <class Map>
void MapUnits(std::uint8_t* p, std::size_t count, std::size_t width, Map map) {
  for (std::size_t k = 0; k < count; ++k, p += width) {
    const char32_t c = width == 2 ? static_cast<char32_t>(p[0] | (p[1] << 8)) : p[0];
    if (c == 0) return;
    const char32_t m = map(c);
    p[0] = static_cast<std::uint8_t>(m & 0xFF);
    if (width == 2) p[1] = static_cast<std::uint8_t>(m >> 8);
  }
}

bool XmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// Appends the part of the SVG: markup (`text` false), where only the
// stand-ins are escaped, or a text's characters, all escaped.
void Append(std::string* out, std::string_view part, bool text) {
  md::text::ForEachCodepoint(part, [&](char32_t c, std::size_t at, std::size_t length) {
    if (text && c == kTextBracket) {
      *out += ']';
      return;
    }
    if (!XmlChar(c) || (length == 1 && c == 0xFFFD)) {
      *out += "\xEF\xBF\xBD";
      return;
    }
    if (text && (c == U'&' || c == U'<' || c == U'>')) {
      *out += c == U'&' ? "&amp;" : c == U'<' ? "&lt;" : "&gt;";
      return;
    }
    for (std::size_t k = 0; !text && k < std::size(kStandIns); ++k) {
      if (c == kStandIns[k]) {
        *out += kEscapes[k];
        return;
      }
    }
    out->append(part.substr(at, length));
  });
}

}  // namespace

void MarkEmfStrings(std::uint8_t* data, std::size_t size) {
  for (std::size_t at = 0, length = 0; at + 8 <= size; at += length) {
    length = EmfU32(data + at + 4);
    if (length < 8 || length > size - at) return;
    std::uint8_t* record = data + at;
    const std::uint32_t type = EmfU32(record);
    if (type == kExtCreateFontIndirectW && length >= kFontBytes) {
      MapUnits(record + kFaceAt, kFaceUnits, 2, FaceUnit);
    } else if ((type == kExtTextOutA || type == kExtTextOutW) && length >= kTextBytes &&
               (EmfU32(record + kOptionsAt) & kGlyphIndex) == 0) {
      const std::size_t width = type == kExtTextOutW ? 2 : 1;
      // The string lies after the record's fixed part and within the record.
      const std::uint32_t offset = EmfU32(record + kStringAt);
      const std::size_t room = offset >= kTextBytes && offset <= length ? (length - offset) / width : 0;
      const std::size_t chars = std::min<std::size_t>(EmfU32(record + kCharsAt), room);
      EmfPut32(record + kCharsAt, static_cast<std::uint32_t>(chars));
      if (chars > 0) MapUnits(record + offset, chars, width, TextUnit);
    }
  }
}

namespace {

// The markup with each stroke width below `least` made `least`, marked as a
// hairline.
std::string WidenedStrokes(std::string_view markup, double least) {
  constexpr std::string_view kWidth = "stroke-width=\"";
  std::string out;
  std::size_t at = 0;
  for (;;) {
    const std::size_t found = markup.find(kWidth, at);
    const std::size_t start = found == std::string_view::npos ? found : found + kWidth.size();
    const std::size_t end = found == std::string_view::npos ? found : markup.find('"', start);
    if (end == std::string_view::npos) return out += markup.substr(at);
    out += markup.substr(at, start - at);
    double width = 0;
    const auto [parsed, error] = std::from_chars(markup.data() + start, markup.data() + end, width);
    if (error == std::errc() && parsed == markup.data() + end && width < least) {
      char widened[96];
      std::snprintf(widened, sizeof widened, "%.9g\" stroke-miterlimit=\"%.9g", least,
                    drawlist::kHairlineMiterLimit);
      out += widened;
    } else {
      out += markup.substr(start, end - start);
    }
    at = end;
  }
}

bool StartsWith(std::string_view s, std::string_view start) { return s.substr(0, start.size()) == start; }
bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// The tag without a second clip attribute: the library writes one twice
// into the tag of a pie or a chord drawn under a clip, which XML refuses.
std::string WithoutSecondClip(std::string_view tag) {
  constexpr std::string_view kClip = " clip-path=\"";
  std::string out(tag);
  const std::size_t first = tag.find(kClip);
  const std::size_t second = first == std::string_view::npos ? first : tag.find(kClip, first + 1);
  const std::size_t end = second == std::string_view::npos ? second : tag.find('"', second + kClip.size());
  if (end != std::string_view::npos) out.erase(second, end + 1 - second);
  return out;
}

// The markup with three of the library's tags mended: a tag with its clip
// twice keeps the first. An image keeps its picture's proportions in SVG
// unless told not to; a metafile stretches a bitmap over the box its record
// gives. A path's figures end with the "Z"
// the library writes at every path's end: a path only stroked (StrokePath,
// which closes no figure; its tag ends with the fill of none the library
// adds then) has that "Z" taken away, so that an open last figure stays
// open and a closed one stays closed by its own "Z".
std::string MendedTags(std::string_view markup) {
  constexpr std::string_view kImage = "<image", kStretched = " preserveAspectRatio=\"none\"";
  std::string out;
  std::size_t at = 0;
  for (;;) {
    const std::size_t open = markup.find('<', at);
    const std::size_t end = open == std::string_view::npos ? open : markup.find('>', open);
    if (end == std::string_view::npos) return out += markup.substr(at);
    out += markup.substr(at, open - at);
    const std::string whole = WithoutSecondClip(markup.substr(open, end + 1 - open));
    const std::string_view tag = whole;
    at = end + 1;
    if (StartsWith(tag, kImage) && tag.find("preserveAspectRatio") == std::string_view::npos) {
      (out += kImage) += kStretched;
      out += tag.substr(kImage.size());
      continue;
    }
    const std::size_t d = tag.find(" d=\"");
    const std::size_t dEnd = d == std::string_view::npos ? d : tag.find('"', d + 4);
    if (StartsWith(tag, "<path") && EndsWith(tag, " fill=\"none\" />") && dEnd != std::string_view::npos &&
        EndsWith(tag.substr(0, dEnd), "Z ") && dEnd - 2 > d + 4) {
      out += tag.substr(0, dEnd - 2);
      out += tag.substr(dEnd);
      continue;
    }
    out += tag;
  }
}

// The library gives a turned text the clip in force as an attribute beside
// its turn, where SVG turns the clip with it; a metafile's clip lies on the
// page. When the markup ends with such a text's start tag, its clip moves to
// a group around it, which the caller closes after the text: true then.
bool ClipAroundTurnedText(std::string* markup) {
  constexpr std::string_view kClip = " clip-path=\"";
  const std::size_t text = markup->rfind("<text");
  if (text == std::string::npos || markup->find(" transform=\"", text) == std::string::npos) return false;
  const std::size_t clip = markup->find(kClip, text);
  const std::size_t clipEnd = clip == std::string::npos ? clip : markup->find('"', clip + kClip.size());
  if (clipEnd == std::string::npos) return false;
  const std::string group = "<g" + markup->substr(clip, clipEnd + 1 - clip) + ">";
  markup->erase(clip, clipEnd + 1 - clip);
  markup->insert(text, group);
  return true;
}

// The clip attribute of the markup's last text, now taken out of it: the
// attribute with a space before it, or nothing where it has none.
std::string TakeMarkText(std::string* markup) {
  constexpr std::string_view kClip = " clip-path=\"";
  const std::size_t text = markup->rfind("<text");
  if (text == std::string::npos) return "";
  const std::size_t clip = markup->find(kClip, text);
  const std::size_t clipEnd = clip == std::string::npos ? clip : markup->find('"', clip + kClip.size());
  std::string attribute = clipEnd == std::string::npos ? "" : markup->substr(clip, clipEnd + 1 - clip);
  markup->erase(text);
  return attribute;
}

// Gives the markup's first path the clip attribute, unless it has its own.
void ClipFirstPath(std::string* markup, const std::string& attribute) {
  constexpr std::string_view kPath = "<path ";
  const std::size_t path = markup->find(kPath);
  if (path == std::string::npos) return;
  const std::size_t end = markup->find('>', path);
  if (markup->substr(path, end == std::string::npos ? end : end - path).find(" clip-path=") ==
      std::string::npos)
    markup->insert(path + kPath.size() - 1, attribute);
}

// The first path of the markup filled by the even-odd rule.
void FillFirstPathEvenOdd(std::string* markup) {
  constexpr std::string_view kPath = "<path ";
  const std::size_t path = markup->find(kPath);
  if (path != std::string::npos) markup->insert(path + kPath.size() - 1, " fill-rule=\"evenodd\"");
}

// A mark's text in UTF-8.
std::string MarkText(char32_t mark) {
  return {static_cast<char>(0xE0 | (mark >> 12)), static_cast<char>(0x80 | ((mark >> 6) & 0x3F)),
          static_cast<char>(0x80 | (mark & 0x3F))};
}

}  // namespace

std::string EscapeEmfSvg(std::string_view svg, double leastStroke, const std::vector<TextSpacing>& spacings) {
  // What the library writes around a text: its string between these two.
  constexpr std::string_view kOpen = "<![CDATA[", kClose = "]]></text>";
  const std::string clipMark = MarkText(kClipMark), bottomMark = MarkText(kBottomMark),
                    topMark = MarkText(kTopMark), evenOddMark = MarkText(kEvenOddMark),
                    clipEvenOddMark = MarkText(kClipEvenOddMark), spacingMark = MarkText(kSpacingMark);
  // The clip the clip mark last gave, for the path after it, whether that
  // path is filled by the even-odd rule, and the alignment a mark gave the
  // text after it.
  std::string clip;
  bool marked = false, evenOdd = false;
  TextAlign align = TextAlign::Baseline;
  const TextSpacing* spacing = nullptr;
  std::string out;
  out.reserve(svg.size() + svg.size() / 16);
  std::size_t at = 0;
  while (at < svg.size()) {
    const std::size_t open = svg.find(kOpen, at);
    const std::size_t close = open == std::string_view::npos ? open : svg.find(kClose, open + kOpen.size());
    std::string markup =
        MendedTags(svg.substr(at, close == std::string_view::npos ? std::string_view::npos : open - at));
    if (marked) ClipFirstPath(&markup, clip);
    if (evenOdd) FillFirstPathEvenOdd(&markup);
    marked = evenOdd = false;
    if (close == std::string_view::npos) {
      Append(&out, WidenedStrokes(markup, leastStroke), false);
      break;
    }
    const std::string_view text = svg.substr(open + kOpen.size(), close - open - kOpen.size());
    // A spacing's mark: its number in the private-use character after it.
    if (text.size() == 6 && text.substr(0, 3) == spacingMark) {
      const char32_t second = (static_cast<char32_t>(text[3] & 0x0F) << 12) |
                              (static_cast<char32_t>(text[4] & 0x3F) << 6) |
                              static_cast<char32_t>(text[5] & 0x3F);
      const std::size_t number = second >= 0xE000 ? second - 0xE000 : spacings.size();
      spacing = number < spacings.size() ? &spacings[number] : nullptr;
      TakeMarkText(&markup);
      Append(&out, WidenedStrokes(markup, leastStroke), false);
      at = close + kClose.size();
      continue;
    }
    if (text == clipMark || text == bottomMark || text == topMark || text == evenOddMark ||
        text == clipEvenOddMark) {
      const std::string attribute = TakeMarkText(&markup);
      if (text == clipMark || text == clipEvenOddMark) {
        clip = attribute;
        marked = true;
      }
      evenOdd = text == evenOddMark || text == clipEvenOddMark;
      align = text == bottomMark ? TextAlign::Bottom : text == topMark ? TextAlign::Top : TextAlign::Baseline;
      Append(&out, WidenedStrokes(markup, leastStroke), false);
      at = close + kClose.size();
      continue;
    }
    PlaceEmfText(&markup, align);
    align = TextAlign::Baseline;
    const std::vector<double> places =
        spacing != nullptr ? SpaceEmfText(&markup, text, *spacing) : std::vector<double>{};
    spacing = nullptr;
    const bool grouped = ClipAroundTurnedText(&markup);
    Append(&out, WidenedStrokes(markup, leastStroke), false);
    if (places.empty()) {
      Append(&out, text, true);
    } else {
      std::size_t k = 0;
      md::text::ForEachCodepoint(text, [&](char32_t, std::size_t from, std::size_t length) {
        char place[48];
        std::snprintf(place, sizeof place, "<tspan x=\"%.9g\">", places[std::min(k++, places.size() - 1)]);
        out += place;
        Append(&out, text.substr(from, length), true);
        out += "</tspan>";
      });
    }
    if (grouped) out += "</text></g>";
    at = grouped ? close + kClose.size() : close + 3;  // else the element's end tag is markup
  }
  return out;
}

}  // namespace md::imaging::detail
