#include "platform/imaging/svgdrawing.h"

#include <librsvg/rsvg.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <utility>

#include "platform/canvas/pngencode.h"
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

// Whether the reference starting at `at` (after its quote, if any) is to the
// document's own parts or to PNG data: the data's first eleven base64
// characters (read from `svg`, whose case counts) hold PNG's signature.
bool OwnReference(std::string_view svg, std::string_view lower, std::size_t at) {
  if (at >= lower.size()) return false;
  if (lower[at] == '#') return true;
  if (lower.compare(at, kPngData.size(), kPngData) != 0) return false;
  const std::string_view data = svg.substr(at + kPngData.size(), 11);
  if (data.size() < 11) return false;
  std::uint32_t bits = 0;
  int count = 0, next = 0;
  for (char c : data) {
    int v = -1;
    if (c >= 'A' && c <= 'Z') v = c - 'A';
    if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
    if (c >= '0' && c <= '9') v = c - '0' + 52;
    if (c == '+') v = 62;
    if (c == '/') v = 63;
    if (v < 0) return false;
    bits = (bits << 6) | static_cast<std::uint32_t>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      if (next < 8 && ((bits >> count) & 0xFF) != kPngSignature[next]) return false;
      ++next;
    }
  }
  return next >= 8;
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

SvgDrawing::SvgDrawing(std::string svg, double width, double height)
    : svg_(std::move(svg)), width_(width), height_(height) {}

SvgDrawing::~SvgDrawing() {
  if (handle_ != nullptr) g_object_unref(handle_);
}

bool SvgDrawing::Readable() const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_) {
    read_ = true;
    refusal_ = svg_.size() > kSvgDrawingBytes
                   ? "it is larger than " + std::to_string(kSvgDrawingBytes >> 20) + " MiB"
                   : SvgRefusal(svg_);
    if (!refusal_.empty()) return false;
    GError* error = nullptr;
    handle_ = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg_.data()), svg_.size(), &error);
    if (handle_ == nullptr)
      refusal_ = "librsvg cannot read it" + (error != nullptr ? std::string(": ") + error->message : "");
    if (error != nullptr) g_error_free(error);
  }
  return handle_ != nullptr;
}

std::string SvgDrawing::Refusal() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return refusal_;
}

bool SvgDrawing::SlowToPaint() const { return false; }

void SvgDrawing::paint(cairo_t* cr, double width, double height) const {
  if (!Readable() || !(width_ > 0) || !(height_ > 0)) return;
  std::lock_guard<std::mutex> lock(mutex_);
  // Stretched as the pixels would be: the view box onto the whole box.
  cairo_save(cr);
  cairo_scale(cr, width / width_, height / height_);
  const RsvgRectangle viewport{0, 0, width_, height_};
  GError* error = nullptr;
  rsvg_handle_render_document(handle_, cr, &viewport, &error);
  if (error != nullptr) g_error_free(error);
  cairo_restore(cr);
}

}  // namespace md::imaging
