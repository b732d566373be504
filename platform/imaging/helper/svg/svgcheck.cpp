#include "platform/imaging/helper/svg/svgcheck.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/canvas/pngencode.h"
#include "platform/imaging/helper/svg/svgreader.h"
#include "platform/text/textengine.h"

namespace md::imaging::detail {
namespace {

using md::canvas::kPngSignature;
using svg::kBlanks;
using svg::kPngData;

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
  const std::vector<std::uint8_t> bytes = svg::Base64Bytes(data, 8, false);
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
  std::string_view foreign;
  svg::ForEachDeclaration(style, [&](std::string_view property, std::string_view value) {
    const std::string_view name =
        property.substr(0, property.find_first_not_of("abcdefghijklmnopqrstuvwxyz-"));
    if (!foreign.empty() || (!name.empty() && OneOf(kCairoProperties, name))) return;
    // The declaration as written, from its property on.
    const char* end =
        value.data() != nullptr ? value.data() + value.size() : property.data() + property.size();
    foreign =
        std::string_view(property.data(), static_cast<std::size_t>(end - property.data())).substr(0, 40);
    if (foreign.empty()) foreign = ":";
  });
  return foreign;
}

}  // namespace

std::string SvgRefusal(std::string_view svg) {
  if (!SvgRefersOnlyToItself(svg)) return "it may refer to something outside itself";
  svg::Reader reader(svg);
  svg::Piece piece;
  bool root = true;
  while (reader.Next(&piece)) {
    switch (piece.kind) {
      case svg::Piece::Kind::Text:
        if (piece.text.find_first_not_of(kBlanks) != std::string_view::npos) return "it holds text";
        continue;
      case svg::Piece::Kind::Instruction:  // the XML declaration (SvgRefersOnlyToItself checked it)
      case svg::Piece::Kind::End:
        continue;
      case svg::Piece::Kind::Markup:
        return "it holds a comment or a CDATA section";
      case svg::Piece::Kind::Start:
        break;
    }
    const std::string_view element = piece.name;
    const auto* known = std::find_if(std::begin(kCairoElements), std::end(kCairoElements),
                                     [&](const auto& e) { return e.first == element; });
    if (known == std::end(kCairoElements))
      return "it holds the element <" + std::string(element) + ">, which cairo does not write";
    if ((element == "svg") != root)
      return root ? "its root is <" + std::string(element) + ">" : "it holds a second <svg>";
    root = false;
    const auto its = [&](const std::string& what) { return "its <" + std::string(element) + "> " + what; };
    for (const auto& [attribute, value] : piece.attributes) {
      if (!OneOf(known->second, attribute))
        return its("holds the attribute " + std::string(attribute) + ", which cairo does not write");
      if (const std::string_view property = attribute == "style" ? ForeignProperty(value) : "";
          !property.empty())
        return its("holds the style " + std::string(property) + ", which cairo does not write");
      for (const auto& [name, uri] : kCairoNamespaces)
        if (attribute == name && value != uri)
          return its("names " + std::string(value) + " as " + std::string(name));
    }
  }
  if (!reader.error().empty()) return reader.error();
  return root ? "it holds no svg element" : "";
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

}  // namespace md::imaging::detail
