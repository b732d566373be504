#include "platform/imaging/helper/svg/svgdocument.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

namespace md::imaging::detail::svg {
namespace {
constexpr auto npos = std::string_view::npos;
constexpr std::uint32_t kNone = Document::kNone;
}  // namespace

bool Document::Read(std::string_view text) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> open;  // an element, its last child
  Reader reader(text);
  Piece tag;
  while (reader.Next(&tag)) {
    if (tag.kind == Piece::Kind::End && !open.empty()) open.pop_back();
    if (tag.kind != Piece::Kind::Start) continue;
    const auto self = static_cast<std::uint32_t>(nodes_.size());
    Node node;
    node.name = tag.name;
    node.firstAttribute = static_cast<std::uint32_t>(attributes_.size());
    node.attributes = static_cast<std::uint32_t>(tag.attributes.size());
    node.inMask = tag.name == "mask" || (!open.empty() && nodes_[open.back().first].inMask);
    attributes_.insert(attributes_.end(), tag.attributes.begin(), tag.attributes.end());
    if (!open.empty()) {
      auto& [parent, last] = open.back();
      (last == kNone ? nodes_[parent].firstChild : nodes_[last].next) = self;
      last = self;
    }
    nodes_.push_back(node);
    if (const std::string_view id = AttributeOf(tag, "id"); !id.empty()) ids_.emplace(id, self);
    if (!tag.empty) open.emplace_back(self, kNone);
  }
  return reader.error().empty() && !nodes_.empty();
}

std::string_view Document::Attribute(std::uint32_t node, std::string_view name) const {
  const Node& n = nodes_[node];
  for (std::uint32_t a = n.firstAttribute; a < n.firstAttribute + n.attributes; ++a)
    if (attributes_[a].name == name) return attributes_[a].value;
  return {};
}

std::uint32_t Document::Named(std::string_view reference) const {
  std::string_view id;
  if (reference.starts_with('#')) {
    id = reference.substr(1);
  } else if (reference.starts_with("url(")) {
    const std::size_t at = reference.find_first_not_of(" \t\r\n'\"", 4);
    if (at == npos || reference[at] != '#') return kNone;
    id = reference.substr(at + 1);
    id = id.substr(0, id.find_first_of(") \t\r\n'\""));
  } else {
    return kNone;
  }
  const auto it = ids_.find(id);
  return it != ids_.end() ? it->second : kNone;
}

bool Document::OnePicture(std::uint32_t n) const {
  if (nodes_[n].name == "image") return true;
  const std::uint32_t target = nodes_[n].name == "use" ? Named(Attribute(n, "xlink:href")) : kNone;
  return target != kNone && nodes_[target].name == "image";
}

bool Document::MaskedByOnePicture(std::uint32_t mask) const {
  std::uint32_t c = nodes_[mask].firstChild;
  while (c != kNone && nodes_[c].next == kNone && nodes_[c].name == "g") c = nodes_[c].firstChild;
  return c != kNone && nodes_[c].next == kNone && OnePicture(c);
}

bool ReadTransform(std::string_view text, cairo_matrix_t* m) {
  cairo_matrix_init_identity(m);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t open = text.find('(', at), close = text.find(')', at);
    if (open == npos || close == npos || close < open) break;
    std::string_view name = text.substr(at, open - at);
    name.remove_prefix(std::min(name.find_first_not_of(" \t\r\n,"), name.size()));
    name = name.substr(0, name.find_last_not_of(kBlanks) + 1);
    double v[6] = {0, 0, 0, 0, 0, 0};
    int n = 0;
    Numbers numbers(text.substr(open + 1, close - open - 1));
    while (n < 6 && numbers.Next(&v[n])) ++n;
    cairo_matrix_t t;
    cairo_matrix_init_identity(&t);
    if (name == "matrix" && n == 6)
      cairo_matrix_init(&t, v[0], v[1], v[2], v[3], v[4], v[5]);
    else if (name == "translate" && n >= 1)
      cairo_matrix_init_translate(&t, v[0], n > 1 ? v[1] : 0);
    else if (name == "scale" && n >= 1)
      cairo_matrix_init_scale(&t, v[0], n > 1 ? v[1] : v[0]);
    else if (name == "rotate" && n == 1)
      cairo_matrix_init_rotate(&t, v[0] * M_PI / 180);
    cairo_matrix_multiply(m, &t, m);
    at = close + 1;
  }
  cairo_matrix_t inverse = *m;
  return cairo_matrix_invert(&inverse) == CAIRO_STATUS_SUCCESS;
}

Paint ReadPaint(std::string_view v) {
  v.remove_prefix(std::min(v.find_first_not_of(kBlanks), v.size()));
  v = v.substr(0, v.find_last_not_of(kBlanks) + 1);
  Paint p;
  if (v.starts_with("url(")) {
    p.kind = Paint::Kind::Url;
    p.url = v;
    return p;
  }
  p.kind = Paint::Kind::Colour;
  if (v.starts_with("rgb(")) {
    double c[3] = {0, 0, 0};
    std::string_view rest = v.substr(4);
    for (double& channel : c) {
      Numbers n(rest);
      if (!n.Next(&channel)) break;
      rest.remove_prefix(n.At());
      const bool percent = rest.starts_with('%');
      channel = std::clamp(percent ? channel / 100 : channel / 255, 0.0, 1.0);
      rest.remove_prefix(std::min(rest.find(','), rest.size()));
      if (!rest.empty()) rest.remove_prefix(1);
    }
    p.r = c[0], p.g = c[1], p.b = c[2];
    return p;
  }
  if (v.starts_with('#') && (v.size() == 4 || v.size() == 7)) {
    unsigned value = 0;
    std::from_chars(v.data() + 1, v.data() + v.size(), value, 16);
    if (v.size() == 4) value = ((value & 0xF00) * 0x1100) | ((value & 0xF0) * 0x110) | ((value & 0xF) * 0x11);
    p.r = ((value >> 16) & 0xFF) / 255.0, p.g = ((value >> 8) & 0xFF) / 255.0, p.b = (value & 0xFF) / 255.0;
    return p;
  }
  if (v == "white") {
    p.r = p.g = p.b = 1;
    return p;
  }
  if (v == "black") return p;
  p.kind = Paint::Kind::None;  // "none", or what is not read
  return p;
}

double Opacity(std::string_view v) { return std::clamp(Number(v, 1), 0.0, 1.0); }

void ApplyStyle(std::string_view style, Style* s) {
  // Not inherited: the dashes are the element's own, as the measure counts them.
  s->opacity = 1;
  s->filtered = false;
  s->dashes = {};
  ForEachDeclaration(style, [&](std::string_view property, std::string_view v) {
    if (property == "fill") s->fill = ReadPaint(v);
    if (property == "stroke") s->stroke = ReadPaint(v);
    if (property == "fill-opacity") s->fillOpacity = Opacity(v);
    if (property == "stroke-opacity") s->strokeOpacity = Opacity(v);
    if (property == "opacity") s->opacity = Opacity(v);
    if (property == "stroke-width") s->strokeWidth = std::max(Number(v, 1), 0.0);
    if (property == "stroke-miterlimit") s->miterLimit = std::max(Number(v, 4), 1.0);
    if (property == "stroke-dashoffset") s->dashOffset = Number(v);
    if (property == "stroke-dasharray") s->dashes = v;
    if (property == "fill-rule")
      s->fillRule = v.find("evenodd") != npos ? drawlist::FillRule::EvenOdd : drawlist::FillRule::Winding;
    if (property == "stroke-linecap")
      s->cap = v.find("round") != npos    ? drawlist::Cap::Round
               : v.find("square") != npos ? drawlist::Cap::Square
                                          : drawlist::Cap::Butt;
    if (property == "stroke-linejoin")
      s->join = v.find("round") != npos   ? drawlist::Join::Round
                : v.find("bevel") != npos ? drawlist::Join::Bevel
                                          : drawlist::Join::Miter;
    if (property == "filter") s->filtered = v.find("none") == npos;
  });
}

}  // namespace md::imaging::detail::svg
