#include "platform/imaging/svgdrawing.h"

#include <librsvg/rsvg.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/canvas/pngencode.h"
#include "platform/imaging/isolate.h"
#include "platform/text/textengine.h"

namespace md::imaging {
namespace {

constexpr std::string_view kPngData = "data:image/png;base64,";
using md::canvas::kPngSignature;
constexpr std::string_view kBlanks = " \t\r\n";

// Whether the document (in lower case) opens with an XML declaration.
bool Declared(std::string_view lower) {
  return lower.substr(0, 5) == "<?xml" && lower.size() > 5 &&
         kBlanks.find(lower[5]) != std::string_view::npos;
}

// Whether the document is UTF-8 throughout, without a NUL or a byte-order
// mark; and, when it opens with an XML declaration, whether that names no
// encoding but UTF-8 (`lower` is the document in lower case).
bool Utf8Only(std::string_view svg, std::string_view lower) {
  if (svg.empty() || svg.substr(0, 3) == "\xEF\xBB\xBF") return false;
  bool utf8 = true;
  md::text::ForEachCodepoint(svg, [&](char32_t c, std::size_t, std::size_t length) {
    if (c == 0 || (c == 0xFFFD && length == 1)) utf8 = false;
  });
  if (!utf8) return false;
  if (!Declared(lower)) return true;
  const std::size_t close = lower.find("?>");
  if (close == std::string_view::npos) return false;
  const std::string_view declaration = lower.substr(0, close);
  const std::size_t name = declaration.find("encoding");
  if (name == std::string_view::npos) return true;
  std::size_t at = declaration.find_first_not_of(kBlanks, name + 8);
  if (at == std::string_view::npos || declaration[at] != '=') return false;
  at = declaration.find_first_not_of(kBlanks, at + 1);
  if (at == std::string_view::npos || (declaration[at] != '"' && declaration[at] != '\'')) return false;
  const std::size_t end = declaration.find(declaration[at], at + 1);
  return end != std::string_view::npos && declaration.substr(at + 1, end - at - 1) == "utf-8";
}

// The value of a base64 character; -1 for another character.
int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// The first bytes of base64 data, at most `count`, up to its first character
// that is not base64 (blanks skipped when `blanks`); *stop, when given, is
// where it stopped.
std::vector<std::uint8_t> Base64Prefix(std::string_view data, std::size_t count, bool blanks,
                                       std::size_t* stop = nullptr) {
  std::vector<std::uint8_t> bytes;
  std::uint32_t bits = 0;
  int held = 0;
  std::size_t at = 0;
  for (; at < data.size() && bytes.size() < count; ++at) {
    const int v = Base64Value(data[at]);
    if (v < 0 && blanks && kBlanks.find(data[at]) != std::string_view::npos) continue;
    if (v < 0) break;
    bits = (bits << 6) | static_cast<std::uint32_t>(v);
    held += 6;
    if (held >= 8) {
      held -= 8;
      bytes.push_back(static_cast<std::uint8_t>(bits >> held));
    }
  }
  if (stop != nullptr) *stop = at;
  return bytes;
}

// Whether the reference starting at `at` (after its quote, if any) is to the
// document's own parts or to PNG data: the data's first eleven base64
// characters (read from `svg`, whose case counts) hold PNG's signature.
bool OwnReference(std::string_view svg, std::string_view lower, std::size_t at) {
  if (at >= lower.size()) return false;
  if (lower[at] == '#') return true;
  if (lower.compare(at, kPngData.size(), kPngData) != 0) return false;
  const std::string_view data = svg.substr(at + kPngData.size(), 11);
  if (data.size() < 11) return false;
  const std::vector<std::uint8_t> bytes = Base64Prefix(data, 8, false);
  return bytes.size() == 8 && std::equal(bytes.begin(), bytes.end(), std::begin(kPngSignature));
}

// Whether every style element, whatever its prefix, holds text only (`lower`
// is the document in lower case). Its style sheet is the text the XML parser
// hands over, comments dropped and CDATA sections joined to the text around
// them, so markup inside could spell the words looked for in pieces
// ("@im<!---->port", "u<![CDATA[rl(]]>"). cairo writes no style element.
bool StylesHoldOnlyText(std::string_view lower) {
  for (std::size_t at = lower.find('<'); at != std::string_view::npos; at = lower.find('<', at + 1)) {
    const std::size_t nameEnd = lower.find_first_of(" \t\r\n/><", at + 1);  // never past the next tag
    if (nameEnd == std::string_view::npos) break;
    std::string_view name = lower.substr(at + 1, nameEnd - at - 1);
    if (const std::size_t colon = name.rfind(':'); colon != std::string_view::npos)
      name.remove_prefix(colon + 1);
    if (name != "style") continue;
    // The start tag closes, and the next markup ends the element (an empty
    // element may be refused).
    const std::size_t next = lower.find('<', nameEnd);
    if (next != std::string_view::npos &&
        (lower.compare(next, 2, "</") != 0 || lower.find('>', nameEnd) > next))
      return false;
  }
  return true;
}

// What cairo's SVG surface writes for an SVG 1.1 document: each element with
// the attributes it writes of it, and the properties of its style attributes
// (the name of a property is the lower-case letters and hyphens it starts
// with: cairo writes one gradient stop's "stop-opacity" without its colon).
constexpr std::pair<std::string_view, std::string_view> kCairoElements[] = {
    {"svg", "xmlns xmlns:xlink width height viewBox version"},
    {"defs", ""},
    {"g", "id style clip-path clip-rule filter transform"},
    {"symbol", "overflow id"},
    {"path", "style d transform"},
    {"rect", "x y width height style mask"},
    {"use", "xlink:href x y transform mask"},
    {"image", "id width height xlink:href"},
    {"clipPath", "id"},
    {"mask", "id"},
    {"filter", "id filterUnits x y width height"},
    {"feColorMatrix", "type in values"},
    {"pattern", "id patternUnits width height patternTransform"},
    {"linearGradient", "id gradientUnits x1 y1 x2 y2 spreadMethod gradientTransform"},
    {"radialGradient", "id gradientUnits cx cy fx fy r spreadMethod gradientTransform"},
    {"stop", "offset style"},
};
constexpr std::string_view kCairoProperties =
    "fill fill-rule fill-opacity stroke stroke-width stroke-linecap stroke-linejoin stroke-opacity "
    "stroke-dasharray stroke-dashoffset stroke-miterlimit opacity stop-color stop-opacity";
constexpr std::pair<std::string_view, std::string_view> kCairoNamespaces[] = {
    {"xmlns", "http://www.w3.org/2000/svg"},
    {"xmlns:xlink", "http://www.w3.org/1999/xlink"},
};

// Whether `word` is one of the blank-separated words of `words`.
bool OneOf(std::string_view words, std::string_view word) {
  for (std::size_t at = 0; at < words.size();) {
    const std::size_t end = std::min(words.find(' ', at), words.size());
    if (words.substr(at, end - at) == word) return true;
    at = end + 1;
  }
  return false;
}

// The first property of the style that cairo does not write, or "".
std::string_view ForeignProperty(std::string_view style) {
  for (std::size_t at = 0; at < style.size();) {
    const std::size_t end = std::min(style.find(';', at), style.size());
    const std::string_view declaration = style.substr(at, end - at);
    at = end + 1;
    const std::size_t start = declaration.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) continue;
    const std::string_view rest = declaration.substr(start);
    const std::string_view name = rest.substr(0, rest.find_first_not_of("abcdefghijklmnopqrstuvwxyz-"));
    if (name.empty() || !OneOf(kCairoProperties, name))
      return rest.substr(0, std::min<std::size_t>(rest.size(), 40));
  }
  return {};
}

}  // namespace

std::string SvgRefusal(std::string_view svg) {
  if (!SvgRefersOnlyToItself(svg)) return "it may refer to something outside itself";
  constexpr auto npos = std::string_view::npos;
  // Past the XML declaration, if any (SvgRefersOnlyToItself checked it).
  std::size_t at = svg.starts_with("<?") ? svg.find("?>") + 2 : 0;
  bool root = true;
  for (;;) {
    at = svg.find_first_not_of(kBlanks, at);
    if (at == npos) return root ? "it holds no svg element" : "";
    if (svg[at] != '<') return "it holds text";
    if (svg.compare(at, 2, "</") == 0) {
      at = svg.find('>', at);
      if (at == npos) return "a tag is not closed";
      ++at;
      continue;
    }
    if (svg.compare(at, 2, "<!") == 0) return "it holds a comment or a CDATA section";
    const std::size_t nameEnd = svg.find_first_of(" \t\r\n/>", at + 1);
    if (nameEnd == npos) return "a tag is not closed";
    const std::string_view element = svg.substr(at + 1, nameEnd - at - 1);
    const auto* known = std::find_if(std::begin(kCairoElements), std::end(kCairoElements),
                                     [&](const auto& e) { return e.first == element; });
    if (known == std::end(kCairoElements))
      return "it holds the element <" + std::string(element) + ">, which cairo does not write";
    if ((element == "svg") != root)
      return root ? "its root is <" + std::string(element) + ">" : "it holds a second <svg>";
    root = false;
    // Its attributes, up to the end of the tag.
    for (at = nameEnd;;) {
      at = svg.find_first_not_of(kBlanks, at);
      if (at != npos && (svg[at] == '>' || svg.compare(at, 2, "/>") == 0)) {
        at = svg.find('>', at) + 1;
        break;
      }
      const std::size_t attributeEnd = at == npos ? npos : svg.find_first_of(" \t\r\n=/>", at);
      if (attributeEnd == npos) return "a tag is not closed";
      const std::string_view attribute = svg.substr(at, attributeEnd - at);
      const auto its = [&](const std::string& what) { return "its <" + std::string(element) + "> " + what; };
      if (!OneOf(known->second, attribute))
        return its("holds the attribute " + std::string(attribute) + ", which cairo does not write");
      at = svg.find_first_not_of(kBlanks, attributeEnd);
      if (at != npos && svg[at] == '=') at = svg.find_first_not_of(kBlanks, at + 1);
      const std::size_t valueEnd =
          at == npos || (svg[at] != '"' && svg[at] != '\'') ? npos : svg.find(svg[at], at + 1);
      if (valueEnd == npos) return its("holds the attribute " + std::string(attribute) + " without a value");
      const std::string_view value = svg.substr(at + 1, valueEnd - at - 1);
      at = valueEnd + 1;
      if (const std::string_view property = attribute == "style" ? ForeignProperty(value) : "";
          !property.empty())
        return its("holds the style " + std::string(property) + ", which cairo does not write");
      for (const auto& [name, uri] : kCairoNamespaces)
        if (attribute == name && value != uri)
          return its("names " + std::string(value) + " as " + std::string(name));
    }
  }
}

bool SvgRefersOnlyToItself(std::string_view svg) {
  std::string lower(svg);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (!Utf8Only(svg, lower)) return false;
  // No reference or escape that could spell a name otherwise, no imported
  // style sheet and no base for the references.
  for (const std::string_view word : {"&", "\\", "@import", "xml:base"}) {
    if (lower.find(word) != std::string::npos) return false;
  }
  // No declaration (a document type, an entity) but comments and CDATA
  // sections; no processing instruction but the opening XML declaration.
  for (std::size_t at = lower.find("<!"); at != std::string::npos; at = lower.find("<!", at + 2)) {
    if (lower.compare(at + 2, 2, "--") != 0 && lower.compare(at + 2, 7, "[cdata[") != 0) return false;
  }
  if (!StylesHoldOnlyText(lower)) return false;
  const std::size_t instruction = lower.find("<?");
  if (instruction != std::string::npos &&
      (instruction != 0 || !Declared(lower) || lower.find("<?", 2) != std::string::npos))
    return false;
  for (const std::string_view key : {"href", "url("}) {
    for (std::size_t at = lower.find(key); at != std::string::npos; at = lower.find(key, at + 1)) {
      // The value, after an equals sign for an attribute, blanks and a quote.
      std::size_t value = lower.find_first_not_of(kBlanks, at + key.size());
      if (key == "href") {
        if (value == std::string::npos || lower[value] != '=') continue;  // a word, not an attribute
        value = lower.find_first_not_of(kBlanks, value + 1);
      }
      if (value != std::string::npos && (lower[value] == '"' || lower[value] == '\'')) ++value;
      if (!OwnReference(svg, lower, value)) return false;
    }
  }
  return true;
}

namespace {

// Counts stop growing here, far past every bound (two of them add without
// overflow).
constexpr std::uint64_t kCountCap = std::uint64_t{1} << 62;
std::uint64_t Sum(std::uint64_t a, std::uint64_t b) { return std::min(a + b, kCountCap); }

// The segments a path's data draws: a line, a curve or an arc each, and a
// close; a move draws none (the pairs after its first are lines).
std::uint64_t PathSegments(std::string_view d) {
  std::uint64_t segments = 0;
  int arity = 0;    // the numbers a segment of the command in force takes
  int numbers = 0;  // those read of the segment being read
  bool move = false;
  const auto digits = [&](std::size_t at) {
    while (at < d.size() && d[at] >= '0' && d[at] <= '9') ++at;
    return at;
  };
  for (std::size_t at = 0; at < d.size();) {
    const char c = d[at];
    if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') {
      // A number: a sign, digits, a fraction, an exponent.
      at = digits(at + (c == '-' || c == '+' ? 1 : 0));
      if (at < d.size() && d[at] == '.') at = digits(at + 1);
      if (at < d.size() && (d[at] == 'e' || d[at] == 'E')) {
        const std::size_t sign = at + 1 < d.size() && (d[at + 1] == '-' || d[at + 1] == '+') ? 1 : 0;
        if (at + 1 + sign < d.size() && d[at + 1 + sign] >= '0' && d[at + 1 + sign] <= '9')
          at = digits(at + 1 + sign);
      }
      if (arity > 0 && ++numbers == arity) {
        numbers = 0;
        if (!move) segments = Sum(segments, 1);
        move = false;
      }
      continue;
    }
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') numbers = 0;  // a command
    switch (c | 0x20) {
      case 'm':
        arity = 2;
        move = true;
        break;
      case 'l':
      case 't':
        arity = 2;
        break;
      case 'h':
      case 'v':
        arity = 1;
        break;
      case 's':
      case 'q':
        arity = 4;
        break;
      case 'c':
        arity = 6;
        break;
      case 'a':
        arity = 7;
        break;
      case 'z':
        segments = Sum(segments, 1);
        arity = 0;
        break;
      default:  // a blank or a comma
        break;
    }
    ++at;
  }
  return segments;
}

// The pixels of the PNG data (base64, blanks between allowed), from its
// header: none when something other than base64 stands where the header
// should be (librsvg's decoder may read more of it than this), 0 when the
// data ends or holds no PNG header there (librsvg decodes nothing of it).
std::optional<std::uint64_t> PngPixels(std::string_view base64) {
  std::size_t stop = 0;
  const std::vector<std::uint8_t> b = Base64Prefix(base64, 24, true, &stop);
  if (b.size() < 24) {
    if (stop < base64.size() && base64[stop] != '=') return std::nullopt;
    return 0;
  }
  if (!std::equal(b.begin(), b.begin() + 8, std::begin(kPngSignature)) ||
      std::string_view(reinterpret_cast<const char*>(b.data()) + 12, 4) != "IHDR")
    return 0;
  const auto be32 = [&](std::size_t at) {
    return std::uint64_t{b[at]} << 24 | std::uint64_t{b[at + 1]} << 16 | std::uint64_t{b[at + 2]} << 8 |
           b[at + 3];
  };
  return be32(16) * be32(20);
}

// The ids url(...) references in the value names ("#id" only).
template <typename Each>
void ForEachUrl(std::string_view value, const Each& each) {
  for (std::size_t at = value.find("url("); at != std::string_view::npos; at = value.find("url(", at + 4)) {
    std::size_t id = value.find_first_not_of(" \t\r\n'\"", at + 4);
    if (id == std::string_view::npos || value[id] != '#') continue;
    ++id;
    const std::size_t end = std::min(value.find_first_of(") \t\r\n'\"", id), value.size());
    each(value.substr(id, end - id));
  }
}

// Whether an opacity is below one (what it cannot be read as counts so too).
bool Translucent(std::string_view value) {
  const std::size_t start = value.find_first_not_of(kBlanks);
  if (start == std::string_view::npos) return true;
  double v = 0;
  const auto [end, error] = std::from_chars(value.data() + start, value.data() + value.size(), v);
  return error != std::errc() ||
         (end != value.data() + value.size() &&
          value.substr(static_cast<std::size_t>(end - value.data())).find_first_not_of(kBlanks) !=
              std::string_view::npos) ||
         !(v >= 1);
}

// Whether a style's declarations paint the element as a layer: an opacity
// below one, a mask or a filter.
bool StyleMakesLayer(std::string_view style) {
  for (std::size_t at = 0; at < style.size();) {
    const std::size_t end = std::min(style.find(';', at), style.size());
    const std::string_view declaration = style.substr(at, end - at);
    at = end + 1;
    const std::size_t colon = declaration.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view property = declaration.substr(0, colon);
    property.remove_prefix(std::min(property.find_first_not_of(kBlanks), property.size()));
    property = property.substr(0, property.find_last_not_of(kBlanks) + 1);
    const std::string_view value = declaration.substr(colon + 1);
    if ((property == "opacity" && Translucent(value)) ||
        ((property == "mask" || property == "filter") && value.find("none") == std::string_view::npos))
      return true;
  }
  return false;
}

// Elements that paint only through a reference, never where they stand.
constexpr std::string_view kPaintedByReference[] = {"defs",    "symbol",         "clipPath",       "mask",
                                                    "pattern", "linearGradient", "radialGradient", "filter"};

constexpr std::uint32_t kNoElement = UINT32_MAX;

// What one pass over a document's tags reads of it: each element, what it
// draws itself, and the ids its attributes name.
struct Elements {
  struct Element {
    std::uint32_t parent = kNoElement;
    bool inPlace = true;  // painted where it stands
    bool layer = false;
    std::uint64_t segments = 0;
  };
  std::vector<Element> elements;
  std::vector<std::pair<std::uint32_t, std::string_view>> references;  // an element, the id it names
  std::unordered_map<std::string_view, std::uint32_t> ids;
  std::uint64_t picturePixels = 0;
  std::string refusal;
};

Elements ReadElements(std::string_view svg) {
  constexpr auto npos = std::string_view::npos;
  Elements r;
  std::unordered_set<std::string_view> pictures;
  std::vector<std::uint32_t> open;
  for (std::size_t at = svg.find('<'); at != npos && r.refusal.empty(); at = svg.find('<', at)) {
    if (svg.compare(at, 2, "</") == 0 || svg.compare(at, 2, "<?") == 0 || svg.compare(at, 2, "<!") == 0) {
      if (svg[at + 1] == '/' && !open.empty()) open.pop_back();
      at = svg.find('>', at);
      continue;
    }
    const std::size_t nameEnd = svg.find_first_of(" \t\r\n/>", at + 1);
    if (nameEnd == npos || r.elements.size() >= kNoElement) {
      r.refusal = "a tag is not closed";
      break;
    }
    const std::string_view name = svg.substr(at + 1, nameEnd - at - 1);
    const auto self = static_cast<std::uint32_t>(r.elements.size());
    Elements::Element e;
    e.parent = open.empty() ? kNoElement : open.back();
    e.inPlace = std::find(std::begin(kPaintedByReference), std::end(kPaintedByReference), name) ==
                std::end(kPaintedByReference);
    e.segments = name == "rect" ? 4 : 0;
    // Its attributes, up to the end of the tag.
    bool empty = false;
    for (at = nameEnd;;) {
      at = svg.find_first_not_of(kBlanks, at);
      if (at != npos && (svg[at] == '>' || svg.compare(at, 2, "/>") == 0)) {
        empty = svg[at] == '/';
        at += empty ? 2 : 1;
        break;
      }
      const std::size_t attributeEnd = at == npos ? npos : svg.find_first_of(" \t\r\n=/>", at);
      std::size_t value = attributeEnd == npos ? npos : svg.find_first_not_of(kBlanks, attributeEnd);
      if (value != npos && svg[value] == '=') value = svg.find_first_not_of(kBlanks, value + 1);
      const std::size_t valueEnd =
          value == npos || (svg[value] != '"' && svg[value] != '\'') ? npos : svg.find(svg[value], value + 1);
      if (valueEnd == npos) {
        r.refusal = "a tag is not closed";
        break;
      }
      const std::string_view attribute = svg.substr(at, attributeEnd - at);
      const std::string_view text = svg.substr(value + 1, valueEnd - value - 1);
      at = valueEnd + 1;
      if (attribute == "id") {
        r.ids.emplace(text, self);  // as librsvg, the first element of an id is the one named
      } else if (attribute == "xlink:href" || attribute == "href") {
        if (text.starts_with('#')) r.references.emplace_back(self, text.substr(1));
        std::string scheme(text.substr(0, kPngData.size()));
        for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        // librsvg decodes each picture once a document, however many show it.
        if (name == "image" && scheme == kPngData && pictures.insert(text).second) {
          const std::optional<std::uint64_t> pixels = PngPixels(text.substr(kPngData.size()));
          if (!pixels) r.refusal = "the size of a picture it holds cannot be read";
          r.picturePixels = Sum(r.picturePixels, pixels.value_or(0));
        }
      } else if (attribute == "d") {
        e.segments = Sum(e.segments, PathSegments(text));
      } else if (attribute == "style") {
        e.layer = e.layer || StyleMakesLayer(text);
      } else if (attribute == "opacity") {
        e.layer = e.layer || Translucent(text);
      } else if (attribute == "mask" || attribute == "filter") {
        e.layer = e.layer || text.find("none") == npos;
      }
      if (attribute != "d")
        ForEachUrl(text, [&](std::string_view id) { r.references.emplace_back(self, id); });
    }
    r.elements.push_back(e);
    if (!empty) open.push_back(self);
  }
  return r;
}

// Adds up what each element draws with what it holds (where it stands) and
// what it names, children and named elements first, into the measure of the
// document's root; a path of references back to an element on it is a cycle.
void AddUp(const Elements& read, SvgMeasure* m) {
  const std::vector<Elements::Element>& elements = read.elements;
  // What each element draws, in one array: those of element e from first[e].
  std::vector<std::pair<std::uint32_t, std::uint32_t>> edges;
  for (std::uint32_t e = 0; e < elements.size(); ++e)
    if (elements[e].parent != kNoElement && elements[e].inPlace) edges.emplace_back(elements[e].parent, e);
  for (const auto& [e, id] : read.references) {
    const auto target = read.ids.find(id);
    if (target != read.ids.end()) edges.emplace_back(e, target->second);
  }
  std::vector<std::uint32_t> first(elements.size() + 1, 0), drawn(edges.size());
  for (const auto& edge : edges) ++first[edge.first + 1];
  for (std::size_t e = 0; e < elements.size(); ++e) first[e + 1] += first[e];
  std::vector<std::uint32_t> next(first.begin(), first.end() - 1);
  for (const auto& [from, to] : edges) drawn[next[from]++] = to;

  struct Totals {
    std::uint64_t instances = 0, segments = 0, layers = 0;
  };
  std::vector<Totals> totals(elements.size());
  enum : std::uint8_t { kNotReached, kOpen, kDone };
  std::vector<std::uint8_t> state(elements.size(), kNotReached);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> stack;  // an element, its next edge
  for (std::uint32_t start = 0; start < elements.size(); ++start) {
    if (state[start] != kNotReached) continue;
    state[start] = kOpen;
    stack.emplace_back(start, first[start]);
    while (!stack.empty()) {
      const std::uint32_t e = stack.back().first;
      if (const std::uint32_t edge = stack.back().second++; edge < first[e + 1]) {
        const std::uint32_t to = drawn[edge];
        if (state[to] == kOpen) {
          const auto named =
              std::find_if(read.ids.begin(), read.ids.end(), [&](const auto& i) { return i.second == to; });
          m->refusal = "its references run in a cycle" +
                       (named != read.ids.end() ? " through #" + std::string(named->first) : std::string());
          return;
        }
        if (state[to] == kNotReached) {
          state[to] = kOpen;
          stack.emplace_back(to, first[to]);
        }
        continue;
      }
      Totals t{1, elements[e].segments, elements[e].layer ? 1u : 0u};
      for (std::uint32_t k = first[e]; k < first[e + 1]; ++k) {
        const Totals& of = totals[drawn[k]];
        t = {Sum(t.instances, of.instances), Sum(t.segments, of.segments), Sum(t.layers, of.layers)};
      }
      totals[e] = t;
      state[e] = kDone;
      stack.pop_back();
    }
  }
  for (std::uint32_t e = 0; e < elements.size(); ++e) {
    if (elements[e].parent != kNoElement || !elements[e].inPlace) continue;
    m->instances = Sum(m->instances, totals[e].instances);
    m->segments = Sum(m->segments, totals[e].segments);
    m->layers = Sum(m->layers, totals[e].layers);
  }
}

}  // namespace

SvgMeasure MeasureSvg(std::string_view svg) {
  const Elements read = ReadElements(svg);
  SvgMeasure m;
  m.picturePixels = read.picturePixels;
  m.refusal = read.refusal;
  if (m.refusal.empty()) AddUp(read, &m);
  return m;
}

namespace {

// Why a document that draws what `m` counts is not read; "" when it is
// within every bound.
std::string PastBounds(const SvgMeasure& m) {
  if (!m.refusal.empty()) return m.refusal;
  const auto past = [](std::uint64_t n, std::uint64_t bound, const char* what) {
    return n <= bound ? std::string()
                      : "it draws " + std::to_string(n) + " " + what + ", more than the " +
                            std::to_string(bound) + " allowed";
  };
  for (std::string why :
       {past(m.instances, kSvgMaxInstances, "elements (its references followed)"),
        past(m.segments, kSvgMaxSegments, "path segments"),
        past(m.layers, kSvgMaxLayers, "layers (elements with opacity, a mask or a filter)")})
    if (!why.empty()) return why;
  constexpr std::uint64_t kMiB = 1 << 20;
  if (m.picturePixels > detail::kIsolatedExtraMemory / kSvgPictureBytesPerPixel)
    return "its pictures take " + std::to_string(m.picturePixels / (kMiB / kSvgPictureBytesPerPixel)) +
           " MiB decoded, more than the " + std::to_string(detail::kIsolatedExtraMemory / kMiB) +
           " MiB the metafile helper may hold";
  return "";
}

// A handle of librsvg's of the document; NULL with the reason in *why.
_RsvgHandle* ReadHandle(const std::string& svg, std::string* why) {
  GError* error = nullptr;
  RsvgHandle* handle =
      rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error);
  if (handle == nullptr)
    *why = "librsvg cannot read it" + (error != nullptr ? std::string(": ") + error->message : "");
  if (error != nullptr) g_error_free(error);
  return handle;
}

}  // namespace

SvgDrawing::SvgDrawing(std::string svg, double width, double height, std::size_t memoryLimit)
    : svg_(std::move(svg)), width_(width), height_(height) {
  if (svg_.size() > kSvgDrawingBytes) {
    checked_ = "it is larger than " + std::to_string(kSvgDrawingBytes >> 20) + " MiB";
    return;
  }
  checked_ = SvgRefusal(svg_);
  if (!checked_.empty()) return;
  measure_ = MeasureSvg(svg_);
  checked_ = PastBounds(measure_);
  if (const std::size_t held = Bytes(); checked_.empty() && held > memoryLimit)
    checked_ = "it would hold " + std::to_string(held >> 20) + " MiB once painted, more than the " +
               std::to_string(memoryLimit >> 20) + " MiB a picture may take";
}

SvgDrawing::~SvgDrawing() {
  if (handle_ != nullptr) g_object_unref(handle_);
}

bool SvgDrawing::Readable() const {
  if (!checked_.empty()) return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (read_) return refusal_.empty();
  }
  // Read without the lock: librsvg takes locks of its own (libxml2's), which
  // are never to be taken under this one. Threads that read at once keep the
  // first reading.
  std::string why;
  _RsvgHandle* handle = ReadHandle(svg_, &why);
  bool readable = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!read_) {
      read_ = true;
      refusal_ = why;
      std::swap(handle_, handle);
    }
    readable = refusal_.empty();
  }
  if (handle != nullptr) g_object_unref(handle);
  return readable;
}

std::string SvgDrawing::Refusal() const {
  if (!checked_.empty()) return checked_;
  std::lock_guard<std::mutex> lock(mutex_);
  return refusal_;
}

bool SvgDrawing::SlowToPaint() const {
  return Readable() && (measure_.instances >= kSvgSlowInstances || measure_.segments >= kSvgSlowSegments ||
                        measure_.layers >= kSvgSlowLayers);
}

std::size_t SvgDrawing::Bytes() const {
  if (!checked_.empty()) return svg_.size();  // never read: its text only
  return svg_.size() * kSvgDrawingKeptPerByte +
         static_cast<std::size_t>(measure_.picturePixels) *
             (kSvgPictureBytesPerPixel + kSvgPictureDecodingBytesPerPixel);
}

_RsvgHandle* SvgDrawing::TakeHandle() const {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (handle_ != nullptr) return std::exchange(handle_, nullptr);
  }
  std::string why;
  return ReadHandle(svg_, &why);
}

void SvgDrawing::GiveBack(_RsvgHandle* handle) const {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (handle_ == nullptr) {
      handle_ = handle;
      return;
    }
  }
  g_object_unref(handle);
}

namespace {

// Paints the document of `handle`, of a view box of viewWidth x viewHeight,
// stretched as the pixels would be: the view box onto the whole box.
void Render(RsvgHandle* handle, double viewWidth, double viewHeight, cairo_t* cr, double width,
            double height) {
  cairo_save(cr);
  cairo_scale(cr, width / viewWidth, height / viewHeight);
  const RsvgRectangle viewport{0, 0, viewWidth, viewHeight};
  GError* error = nullptr;
  rsvg_handle_render_document(handle, cr, &viewport, &error);
  if (error != nullptr) g_error_free(error);
  cairo_restore(cr);
}

// A handle of one print's own.
class PrintedSvg final : public canvas::VectorDrawing {
 public:
  PrintedSvg(RsvgHandle* handle, double width, double height)
      : handle_(handle), width_(width), height_(height) {}
  ~PrintedSvg() override { g_object_unref(handle_); }
  PrintedSvg(const PrintedSvg&) = delete;
  PrintedSvg& operator=(const PrintedSvg&) = delete;
  void paint(cairo_t* cr, double width, double height) const override {
    Render(handle_, width_, height_, cr, width, height);
  }

 private:
  RsvgHandle* const handle_;
  const double width_, height_;
};

}  // namespace

void SvgDrawing::paint(cairo_t* cr, double width, double height) const {
  if (!(width_ > 0) || !(height_ > 0) || !Readable()) return;
  RsvgHandle* handle = TakeHandle();
  if (handle == nullptr) return;
  Render(handle, width_, height_, cr, width, height);
  GiveBack(handle);
}

std::shared_ptr<const canvas::VectorDrawing> SvgDrawing::ForPrint() const {
  if (!(width_ > 0) || !(height_ > 0) || !Readable()) return nullptr;
  std::string why;
  RsvgHandle* handle = ReadHandle(svg_, &why);
  if (handle == nullptr) return nullptr;
  return std::make_shared<const PrintedSvg>(handle, width_, height_);
}

}  // namespace md::imaging
