// The elements of the SVG document cairo wrote of a drawing, read once
// (through svgreader.h) into a tree the draw list's writer (listwriter.h)
// walks, and what their attributes say: transforms, paints and styles, read
// as the library's painter of such documents read them.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/imaging/helper/svg/svgreader.h"
#include "platform/imaging/protocol/drawlist.h"

namespace md::imaging::detail::svg {

class Document {
 public:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  struct Node {
    std::string_view name;
    std::uint32_t firstAttribute = 0, attributes = 0;
    std::uint32_t firstChild = kNone, next = kNone;
    bool inMask = false;  // inside a mask element
  };

  // Reads the elements of the text, which must outlive the document; false
  // when it holds none or a tag cannot be read.
  bool Read(std::string_view text);

  std::uint32_t size() const { return static_cast<std::uint32_t>(nodes_.size()); }
  const Node& operator[](std::uint32_t n) const { return nodes_[n]; }
  const std::vector<svg::Attribute>& attributes() const { return attributes_; }
  std::string_view Attribute(std::uint32_t node, std::string_view name) const;
  // The element of an id as the measure follows it: "#id" whole, or
  // "url(#id)" up to a blank, a quote or the parenthesis; kNone when none.
  std::uint32_t Named(std::string_view reference) const;
  // Whether the element is a picture or a use of one.
  bool OnePicture(std::uint32_t n) const;
  // Whether the mask holds one picture only, in groups of one element each
  // (as cairo writes a picture's mask).
  bool MaskedByOnePicture(std::uint32_t mask) const;

 private:
  std::vector<Node> nodes_;
  std::vector<svg::Attribute> attributes_;
  std::unordered_map<std::string_view, std::uint32_t> ids_;
};

// The transform of an attribute (matrix, translate, scale, rotate): false
// when it is none or cannot be inverted (nothing under it is painted).
bool ReadTransform(std::string_view text, cairo_matrix_t* m);

// A colour or a reference: "none", "rgb(r%,g%,b%)", "rgb(r,g,b)", "#rgb",
// "#rrggbb", a few names, "url(#id)".
struct Paint {
  enum class Kind { None, Colour, Url } kind = Kind::None;
  double r = 0, g = 0, b = 0;
  std::string_view url;
};
Paint ReadPaint(std::string_view v);

// An opacity, within [0, 1].
double Opacity(std::string_view v);

// What an element's style says, with what it inherits.
struct Style {
  Paint fill{Paint::Kind::Colour, 0, 0, 0, {}}, stroke;
  double fillOpacity = 1, strokeOpacity = 1, strokeWidth = 1, miterLimit = 4, dashOffset = 0;
  drawlist::FillRule fillRule = drawlist::FillRule::Winding;
  drawlist::Cap cap = drawlist::Cap::Butt;
  drawlist::Join join = drawlist::Join::Miter;
  std::string_view dashes;
  double opacity = 1;  // not inherited
  bool filtered = false;
};
// Applies the declarations of an element's style attribute to what it
// inherits.
void ApplyStyle(std::string_view style, Style* s);

}  // namespace md::imaging::detail::svg
