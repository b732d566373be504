#include "platform/imaging/helper/listwriter.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <map>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/imaging/helper/listbounds.h"
#include "platform/imaging/helper/listpictures.h"
#include "platform/imaging/helper/listtiles.h"
#include "platform/imaging/helper/svg/svgcheck.h"
#include "platform/imaging/helper/svg/svgdocument.h"
#include "platform/imaging/helper/svg/svgmeasure.h"
#include "platform/imaging/helper/svg/svgreader.h"
#include "platform/imaging/protocol/drawlist.h"

namespace md::imaging::detail {
namespace {

namespace dl = drawlist;
using listbounds::kMargin;
using listbounds::Within;
using svg::ApplyStyle;
using svg::Document;
using svg::Opacity;
using svg::Paint;
using svg::ReadPaint;
using svg::ReadTransform;
using svg::Style;
constexpr std::uint32_t kNone = svg::Document::kNone;
constexpr auto npos = std::string_view::npos;

// How deep the writer follows elements inside elements and references, how
// many it visits and how many path segments it reads: past the measure's
// bounds by a margin for what the measure does not follow (a mask named by a
// bare "#id"), through which a crafted document could run in a cycle or fan
// out without end.
constexpr int kMaxNesting = 2 * static_cast<int>(kSvgMaxDepth);
constexpr std::uint64_t kMaxVisits = 4 * kSvgMaxInstances;
constexpr std::uint64_t kMaxSegmentsRead = 4 * kSvgMaxSegments;

// The pixels of a painted tile for each cell of a box: the library asks for
// a list in cells of 600 dpi of the box, and a tile is painted at 300 dpi,
// as the helper's painting of the drawing paints it.
constexpr double kTileDots = 0.5;

// What the library's painter drew from pixels instead, or past its bounds
// (List when nothing): a filter outside a mask, a pattern but of one
// picture or of a tile painted here (listtiles.h), a mask of pictures but one alone, a picture inside a group
// painted with opacity or a mask, a gradient of more than kMaxStops stops.
VectorsAnswer PaintedFromPixels(const Document& doc) {
  // Whether each element shows a picture, itself, by what it holds where it
  // stands or by what it names (0 not known, 1 no, 2 yes, 3 being found: a
  // cycle adds nothing).
  std::vector<std::uint8_t> shows(doc.size(), 0);
  bool deep = false;
  TileBudget tiles{0, kMaxVisits, 0, 0};  // the visits of all tiles' checks
  const auto picture = [&](const auto& self, std::uint32_t n, int depth) -> bool {
    if (shows[n] != 0) return shows[n] == 2;
    if (depth > kMaxNesting) {
      deep = true;
      return false;
    }
    shows[n] = 3;
    bool yes = doc[n].name == "image";
    for (std::uint32_t c = doc[n].firstChild; c != kNone && !yes; c = doc[c].next)
      if (!svg::PaintedByReference(doc[c].name)) yes = self(self, c, depth + 1);
    for (std::uint32_t a = doc[n].firstAttribute; a < doc[n].firstAttribute + doc[n].attributes && !yes;
         ++a) {
      const auto& [attribute, v] = doc.attributes()[a];
      if (attribute == "xlink:href" || attribute == "href") {
        if (const std::uint32_t target = doc.Named(v); target != kNone) yes = self(self, target, depth + 1);
        continue;
      }
      for (std::size_t u = v.find("url("); u != npos && !yes; u = v.find("url(", u + 4))
        if (const std::uint32_t target = doc.Named(v.substr(u)); target != kNone)
          yes = self(self, target, depth + 1);
    }
    shows[n] = yes ? 2 : 1;
    return yes;
  };
  for (std::uint32_t n = 0; n < doc.size() && !deep; ++n) {
    const std::string_view name = doc[n].name;
    Style style;
    ApplyStyle(doc.Attribute(n, "style"), &style);
    if ((style.filtered || !doc.Attribute(n, "filter").empty()) && !doc[n].inMask)
      return VectorsAnswer::Filter;
    if (name == "pattern") {
      const std::uint32_t first = doc[n].firstChild;
      if (first == kNone || doc[first].next != kNone || !doc.OnePicture(first))
        if (const VectorsAnswer tile = TilePaintable(doc, n, &tiles); tile != VectorsAnswer::List)
          return tile;
    }
    if (name == "linearGradient" || name == "radialGradient") {
      std::size_t stops = 0;
      for (std::uint32_t c = doc[n].firstChild; c != kNone; c = doc[c].next) ++stops;
      if (!dl::StopsWithin(stops)) return VectorsAnswer::GradientStops;
    }
    if (name == "mask" && picture(picture, n, 0) && !doc.MaskedByOnePicture(n))
      return VectorsAnswer::MaskOfPictures;
    const bool layer =
        style.opacity < 1 || (!doc.Attribute(n, "mask").empty() && name != "path" && name != "rect");
    if (layer && picture(picture, n, 0)) return VectorsAnswer::PictureInLayer;
  }
  return deep ? VectorsAnswer::PastBounds : VectorsAnswer::List;
}

// ---- the records ----

// A path as the list holds it (its points still doubles).
struct Path {
  std::vector<std::uint8_t> verbs;
  std::vector<double> points;  // x, y
  bool empty() const { return verbs.empty(); }
};

class PathOf final : public svg::PathSink {
 public:
  explicit PathOf(Path* path) : path_(path) {}
  void Move(double x, double y) override { Add(dl::Verb::Move, {x, y}); }
  void Line(double x, double y) override { Add(dl::Verb::Line, {x, y}); }
  void Curve(double x1, double y1, double x2, double y2, double x3, double y3) override {
    Add(dl::Verb::Curve, {x1, y1, x2, y2, x3, y3});
  }
  void Close() override { Add(dl::Verb::Close, {}); }
  std::uint64_t segments = 0;

 private:
  void Add(dl::Verb verb, std::initializer_list<double> points) {
    path_->verbs.push_back(static_cast<std::uint8_t>(verb));
    path_->points.insert(path_->points.end(), points);
    ++segments;
  }
  Path* const path_;
};

// cairo_rectangle's path.
void AddRectangle(Path* path, double x, double y, double w, double h) {
  PathOf sink(path);
  sink.Move(x, y);
  sink.Line(x + w, y);
  sink.Line(x + w, y + h);
  sink.Line(x, y + h);
  sink.Close();
}

dl::Matrix ListMatrix(const cairo_matrix_t& m) { return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0}; }

// Whether cairo takes the transform as a current one: finite and invertible.
bool Sound(const cairo_matrix_t& m) {
  cairo_matrix_t inverse = m;
  for (const double v : {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0})
    if (!std::isfinite(v)) return false;
  return cairo_matrix_invert(&inverse) == CAIRO_STATUS_SUCCESS;
}

// Where an element is drawn: the transform of its space to the drawing's,
// and the fill rule a clip takes when none is given (the last clip's).
struct Place {
  cairo_matrix_t ctm;
  dl::FillRule rule = dl::FillRule::Winding;
};

// A picture as an element shows it: the picture found, and the transform of
// its pixels to the element's space and to the drawing's.
struct Shown {
  std::uint32_t picture = ListPictures::kNone;
  cairo_matrix_t toUser, toDrawing;
};

// Writes the records of a document's elements (but the pictures'), as the
// library's painter painted them.
class Writer {
 public:
  Writer(const Document& doc, ListPictures* pictures, std::size_t room, double width, double height)
      : doc_(doc),
        pictures_(*pictures),
        room_(room),
        width_(width),
        height_(height),
        side_(std::max(width, height)) {}

  // The records' bytes, and where the matrices of the pictures' showings
  // lie in them (an Image's, or a picture paint's): they change with the
  // pixels the pictures are written at.
  struct Showing {
    std::size_t at = 0;
    std::uint32_t picture = 0;  // its index
    bool paint = false;         // a paint's (from the space it paints to the pixels)
    dl::Matrix used;            // a paint's: from the space it paints to the drawing's
    double area = 0;            // a paint's: the part of the drawing its record paints within
  };
  std::vector<std::uint8_t> bytes;
  std::vector<Showing> showings;

  // Why the writing stopped; List when it did not.
  VectorsAnswer answer() const { return answer_; }

  void Root(double width, double height) {
    if (doc_.size() == 0 || !(width > 0) || !(height > 0)) return;
    Place at;
    cairo_matrix_init_identity(&at.ctm);
    // Stretched as the pixels are: the view box onto the drawing.
    svg::Numbers box(doc_.Attribute(0, "viewBox"));
    double v[4];
    if (box.Next(&v[0]) && box.Next(&v[1]) && box.Next(&v[2]) && box.Next(&v[3]) && v[2] > 0 && v[3] > 0) {
      cairo_matrix_init_scale(&at.ctm, width / v[2], height / v[3]);
      cairo_matrix_translate(&at.ctm, -v[0], -v[1]);
      if (!Sound(at.ctm)) return Stop(VectorsAnswer::BadTransform);
    }
    Children(0, Style(), at, 0);
    if (answer_ == VectorsAnswer::List && open_ != 0) Stop(VectorsAnswer::PastBounds);
  }

 private:
  std::string_view Attr(std::uint32_t n, std::string_view name) const { return doc_.Attribute(n, name); }
  const Document::Node& Node(std::uint32_t n) const { return doc_[n]; }

  // Ends the writing: the first reason stands.
  void Stop(VectorsAnswer why) {
    if (answer_ == VectorsAnswer::List) answer_ = why;
  }
  // Counts a visit of an element `depth` references and elements deep;
  // false when the writing stopped.
  bool Visit(int depth) {
    if (answer_ != VectorsAnswer::List) return false;
    if (depth > kMaxNesting || ++visits_ > kMaxVisits) Stop(VectorsAnswer::PastBounds);
    return answer_ == VectorsAnswer::List;
  }
  // The place under `at` with m applied first; false (BadTransform) when
  // cairo would not take it.
  bool Under(const Place& at, const cairo_matrix_t& m, Place* under) {
    Place p = at;
    cairo_matrix_multiply(&p.ctm, &m, &at.ctm);
    if (!Sound(p.ctm)) {
      Stop(VectorsAnswer::BadTransform);
      return false;
    }
    *under = p;
    return true;
  }

  void Children(std::uint32_t n, const Style& style, const Place& at, int depth) {
    for (std::uint32_t c = Node(n).firstChild; c != kNone && answer_ == VectorsAnswer::List; c = Node(c).next)
      if (!svg::PaintedByReference(Node(c).name)) Element(c, style, at, depth + 1);
  }

  // Writes the element, where it stands or through a reference.
  void Element(std::uint32_t n, Style style, const Place& at, int depth) {
    if (!Visit(depth)) return;
    const std::string_view name = Node(n).name;
    ApplyStyle(Attr(n, "style"), &style);
    cairo_matrix_t m;
    if (!ReadTransform(Attr(n, "transform"), &m)) return;
    Place here;
    if (!Under(at, m, &here)) return;
    const std::uint32_t clips = open_;
    if (const std::string_view clip = Attr(n, "clip-path");
        !clip.empty() && !Clip(n, doc_.Named(clip), &here, depth))
      return;  // nothing of it shows
    std::uint32_t used = kNone;
    if (name == "use") {
      used = doc_.Named(Attr(n, "xlink:href"));
      cairo_matrix_init_translate(&m, svg::Number(Attr(n, "x")), svg::Number(Attr(n, "y")));
      if (!Under(here, m, &here)) return;
    }
    const std::uint32_t mask = doc_.Named(Attr(n, "mask"));
    Shown maskPicture;
    if (mask != kNone && !PlanMask(mask, here, &maskPicture)) return PopClips(clips);  // it masks all
    const bool shape = name == "path" || name == "rect";
    if (mask != kNone && shape) {
      // Its fill through the mask: the fill over its outline, in a group
      // masked.
      dl::Paint fill;
      Path outline;
      if (style.fill.kind != Paint::Kind::None &&
          SourceOf(style.fill, style.fillOpacity, here, &fill, true) && Outline(n, &outline) &&
          !outline.empty()) {
        PushClip(outline, here.rule, here.ctm);
        Open(dl::Kind::PushGroup);
        PaintAll(fill);
        Open(dl::Kind::PushMask);
        MaskContent(mask, maskPicture, here, depth);
        Close(dl::Kind::PopMask);
      }
    } else {
      const bool group = style.opacity < 1 || mask != kNone;
      if (group) Open(dl::Kind::PushGroup);
      if (shape) {
        Shape(n, style, here);
      } else if (name == "image") {
        cairo_matrix_t identity;
        cairo_matrix_init_identity(&identity);
        if (Shown shown; PictureShown(n, identity, here, &shown)) Image(shown);
      } else if (name == "use") {
        if (used != kNone) {
          if (Node(used).name == "symbol")
            Children(used, style, here, depth + 1);
          else
            Element(used, style, here, depth + 1);
        }
      } else {
        Children(n, style, here, depth + 1);
      }
      if (group && mask != kNone) {
        Open(dl::Kind::PushMask);
        MaskContent(mask, maskPicture, here, depth);
        Close(dl::Kind::PopMask);
      } else if (group) {
        Close(dl::Kind::PopGroup, style.opacity);
      }
    }
    PopClips(clips);
  }

  // The outline of a path or rectangle into *path; false when the writing
  // stopped.
  bool Outline(std::uint32_t n, Path* path) {
    if (Node(n).name == "path") {
      PathOf sink(path);
      svg::ReadPath(Attr(n, "d"), &sink);
      segments_ += sink.segments;
      if (segments_ > kMaxSegmentsRead) Stop(VectorsAnswer::PastBounds);
    } else {
      const double w = svg::Number(Attr(n, "width")), h = svg::Number(Attr(n, "height"));
      if (w > 0 && h > 0) AddRectangle(path, svg::Number(Attr(n, "x")), svg::Number(Attr(n, "y")), w, h);
    }
    return answer_ == VectorsAnswer::List;
  }

  void Shape(std::uint32_t n, const Style& s, const Place& at) {
    const bool filled = s.fill.kind != Paint::Kind::None;
    const bool stroked = s.stroke.kind != Paint::Kind::None && s.strokeWidth > 0;
    Path path;
    if ((!filled && !stroked) || !Outline(n, &path) || path.empty()) return;
    if (dl::Paint fill; filled && SourceOf(s.fill, s.fillOpacity, at, &fill)) {
      dl::FillHead head;
      head.paint = fill;
      head.rule = static_cast<std::uint32_t>(s.fillRule);
      head.matrix = ListMatrix(at.ctm);
      if (!Points(path, head.matrix) || !Taken(head.paint, head.matrix)) return;
      const std::size_t start = Record(dl::Kind::Fill, sizeof head + PathBytes(path));
      Put(head);
      Showed(head.paint, start + offsetof(dl::FillHead, paint), head.matrix, AreaShown(0));
      PutPath(path);
    }
    if (dl::Paint stroke; stroked && SourceOf(s.stroke, s.strokeOpacity, at, &stroke)) {
      std::vector<double> dashes;
      double v = 0, period = 0;
      bool valid = true;
      for (svg::Numbers numbers(s.dashes); numbers.Next(&v);) {
        valid = valid && v >= 0;
        period += v;
        dashes.push_back(v);
      }
      if (!valid || !(period > 0)) dashes.clear();
      dl::StrokeHead head;
      head.paint = stroke;
      head.matrix = ListMatrix(at.ctm);
      head.width = s.strokeWidth;
      head.miterLimit = s.miterLimit;
      head.dashOffset = dashes.empty() ? 0 : s.dashOffset;
      head.cap = static_cast<std::uint32_t>(s.cap);
      head.join = static_cast<std::uint32_t>(s.join);
      head.dashes = static_cast<std::uint32_t>(dashes.size());
      // A pen the drawing marked as thinner than its pixel stays the
      // thinnest line of the output, however the box stretches the picture.
      if (dl::IsHairlineMiterLimit(s.miterLimit)) head.flags = dl::kStrokeHairline;
      if (!Points(path, head.matrix) || !Taken(head.paint, head.matrix) ||
          !Stroked(head, path, dashes, period))
        return;
      const std::size_t start = Record(dl::Kind::Stroke, sizeof head + dashes.size() * 8 + PathBytes(path));
      Put(head);
      Showed(head.paint, start + offsetof(dl::StrokeHead, paint), head.matrix,
             AreaShown(head.width / 2 * head.miterLimit * dl::Longest(head.matrix)));
      for (const double d : dashes) Put(d);
      PutPath(path);
    }
  }

  // Whether the reader takes the stroke's width, miter limit and dashes,
  // each within the bound of a coordinate, and the dashes the dashed strokes
  // are cut into as it counts them (each period of the array cuts the length
  // through the path's points once for each entry, and once more); false
  // (PastBounds) when not.
  bool Stroked(const dl::StrokeHead& head, const Path& path, const std::vector<double>& dashes,
               double period) {
    bool within = dl::CoordinateWithin(head.width, kMargin) &&
                  dl::CoordinateWithin(head.miterLimit, kMargin) &&
                  dl::CoordinateWithin(head.dashOffset, kMargin) && dl::DashCountWithin(dashes.size());
    for (const double d : dashes) within = within && dl::CoordinateWithin(d, kMargin);
    if (within && !dashes.empty()) {
      double length = 0, x = 0, y = 0;
      std::size_t p = 0;
      for (const std::uint8_t verb : path.verbs) {
        const int count = verb == static_cast<std::uint8_t>(dl::Verb::Curve)   ? 3
                          : verb == static_cast<std::uint8_t>(dl::Verb::Close) ? 0
                                                                               : 1;
        for (int k = 0; k < count; ++k, p += 2) {
          const double px = static_cast<float>(path.points[p]), py = static_cast<float>(path.points[p + 1]);
          if (verb != static_cast<std::uint8_t>(dl::Verb::Move)) length += std::hypot(px - x, py - y);
          x = px, y = py;
        }
      }
      dashes_ += dl::DashesCut(length, period, static_cast<std::uint32_t>(dashes.size()));
      within = dl::DashesWithin(dashes_, kMargin);
    }
    if (!within) Stop(VectorsAnswer::PastBounds);
    return within;
  }

  // Whether the reader takes a paint used under `used` (from the space it
  // paints in to the drawing's): at most kMaxPatternPaints of gradients and
  // patterns; a gradient's run at least the least a
  // paint shows; its points and radii within reach of the drawing; repeated,
  // at most kMaxRepeats times across the drawing, a radial one's first circle
  // within its second. False (BadTransform, PastBounds) when not.
  bool Taken(const dl::Paint& paint, const dl::Matrix& used) {
    if (paint.kind != static_cast<std::uint32_t>(dl::PaintKind::Colour) &&
        !dl::PatternPaintsWithin(++patternPaints_)) {
      Stop(VectorsAnswer::PastBounds);
      return false;
    }
    if (paint.kind != static_cast<std::uint32_t>(dl::PaintKind::Gradient)) return true;
    const dl::GradientHead& g = gradientHeads_[paint.index];
    const dl::Matrix toDrawing = dl::InverseThen(g.matrix, used);
    if (!dl::RunShown(g, toDrawing, kMargin)) {
      Stop(VectorsAnswer::BadTransform);
      return false;
    }
    if (!dl::GradientWithinReach(g, toDrawing, width_, height_, kMargin)) {
      Stop(VectorsAnswer::PastBounds);
      return false;
    }
    const bool radial = g.type == static_cast<std::uint32_t>(dl::GradientType::Radial);
    if (dl::Repeated(g) && ((radial && !dl::CirclesNested(g, kMargin)) ||
                            !dl::RepeatsWithin(dl::ClosestPeriod(g), toDrawing, side_, kMargin))) {
      Stop(VectorsAnswer::PastBounds);
      return false;
    }
    // The stops it paints, as the reader counts them (at each use, and at
    // each repeat across the drawing).
    const double painted = dl::GradientStopsPainted(g, toDrawing, width_, height_, kMargin);
    stopUses_ += painted;
    if (!dl::RepeatedStopsWithin(painted) || !dl::StopUsesWithin(stopUses_)) {
      Stop(VectorsAnswer::PastBounds);
      return false;
    }
    return true;
  }

  // The paint of a style's fill or stroke, in the element's space or (for a
  // record that carries no transform) the drawing's; false when it paints
  // nothing.
  bool SourceOf(const Paint& paint, double opacity, const Place& at, dl::Paint* out, bool inDrawing = false) {
    *out = dl::Paint();
    if (paint.kind == Paint::Kind::Colour) {
      out->kind = static_cast<std::uint32_t>(dl::PaintKind::Colour);
      out->rgba[0] = paint.r, out->rgba[1] = paint.g, out->rgba[2] = paint.b;
      out->rgba[3] = opacity;
      return true;
    }
    const std::uint32_t target = paint.kind == Paint::Kind::Url ? doc_.Named(paint.url) : kNone;
    if (target == kNone) return false;
    const std::string_view name = Node(target).name;
    // From the drawing's space to the element's, for a paint there.
    cairo_matrix_t toUser = at.ctm;
    cairo_matrix_invert(&toUser);
    if (name == "pattern") return PatternSource(target, at, inDrawing ? &toUser : nullptr, out);
    if (name == "linearGradient" || name == "radialGradient")
      return GradientSource(target, opacity, inDrawing ? &toUser : nullptr, out);
    return false;
  }

  // A pattern of one picture, or of a tile painted here, repeated (the
  // others were refused before), in the element's space or the one `from`
  // puts into it.
  bool PatternSource(std::uint32_t pattern, const Place& at, const cairo_matrix_t* from, dl::Paint* out) {
    cairo_matrix_t m, shown;
    if (!ReadTransform(Attr(pattern, "patternTransform"), &m)) return false;
    const std::uint32_t first = Node(pattern).firstChild;
    const std::uint32_t image = first == kNone ? kNone : ShownPicture(first, &shown);
    Shown picture;
    if (image == kNone) {
      if (!TileShown(pattern, m, at, &picture)) return false;
    } else {
      cairo_matrix_multiply(&m, &shown, &m);
      if (!PictureShown(image, m, at, &picture)) return false;
    }
    cairo_matrix_t toPixels = picture.toUser;
    cairo_matrix_invert(&toPixels);
    if (from != nullptr) cairo_matrix_multiply(&toPixels, from, &toPixels);
    out->kind = static_cast<std::uint32_t>(dl::PaintKind::Picture);
    out->index = pictures_.Show(picture.picture, picture.toDrawing, true);
    out->matrix = ListMatrix(toPixels);
    out->extend = static_cast<std::uint32_t>(dl::Extend::Repeat);
    return true;
  }

  // A gradient, its stops' alpha times the opacity: its record written at
  // its first use in elements' spaces, and anew for each use in another
  // (`from` into the element's).
  bool GradientSource(std::uint32_t n, double opacity, const cairo_matrix_t* from, dl::Paint* out) {
    Gradient fromElsewhere;
    auto [it, fresh] =
        from != nullptr ? std::pair{gradients_.end(), true} : gradients_.try_emplace(n, Gradient{});
    Gradient& g = from != nullptr ? fromElsewhere : it->second;
    if (fresh) WriteGradient(n, from, &g);
    if (!g.usable) return false;
    if (g.stops == 0) {  // as cairo paints a gradient of no stops: clear
      out->kind = static_cast<std::uint32_t>(dl::PaintKind::Colour);
      out->rgba[3] = 0;
      return true;
    }
    out->kind = static_cast<std::uint32_t>(dl::PaintKind::Gradient);
    out->index = g.index;
    out->rgba[3] = opacity;
    return true;
  }

  struct Gradient {
    bool usable = false;
    std::uint32_t index = 0, stops = 0;
  };

  void WriteGradient(std::uint32_t n, const cairo_matrix_t* from, Gradient* g) {
    cairo_matrix_t m;
    if (!ReadTransform(Attr(n, "gradientTransform"), &m) || cairo_matrix_invert(&m) != CAIRO_STATUS_SUCCESS)
      return;
    if (from != nullptr) cairo_matrix_multiply(&m, from, &m);
    const auto at = [&](std::string_view a, double otherwise) { return svg::Number(Attr(n, a), otherwise); };
    dl::GradientHead head;
    if (Node(n).name == "linearGradient") {
      head.type = static_cast<std::uint32_t>(dl::GradientType::Linear);
      const double points[4] = {at("x1", 0), at("y1", 0), at("x2", 1), at("y2", 0)};
      std::copy(std::begin(points), std::end(points), head.points);
    } else {
      head.type = static_cast<std::uint32_t>(dl::GradientType::Radial);
      const double cx = at("cx", 0.5), cy = at("cy", 0.5);
      const double points[6] = {at("fx", cx), at("fy", cy), 0, cx, cy, std::max(at("r", 0.5), 0.0)};
      std::copy(std::begin(points), std::end(points), head.points);
    }
    head.matrix = ListMatrix(m);
    if (!Within(head.matrix)) return Stop(VectorsAnswer::BadTransform);
    for (const double v : head.points)
      if (!dl::CoordinateWithin(v, kMargin)) return Stop(VectorsAnswer::PastBounds);
    const std::string_view spread = Attr(n, "spreadMethod");
    head.extend = static_cast<std::uint32_t>(spread == "repeat"    ? dl::Extend::Repeat
                                             : spread == "reflect" ? dl::Extend::Reflect
                                                                   : dl::Extend::Pad);
    std::vector<dl::GradientStop> stops;
    double last = 0;
    for (std::uint32_t s = Node(n).firstChild; s != kNone; s = Node(s).next) {
      if (Node(s).name != "stop") continue;
      const std::string_view offset = Attr(s, "offset");
      double o = svg::Number(offset);
      if (offset.find('%') != npos) o /= 100;
      last = std::max(last, std::clamp(o, 0.0, 1.0));  // never before the stop before
      Paint colour{Paint::Kind::Colour, 0, 0, 0, {}};
      double alpha = 1;
      svg::ForEachDeclaration(Attr(s, "style"), [&](std::string_view property, std::string_view v) {
        // cairo writes one stop-opacity without its colon.
        if (v.empty() && property.starts_with("stop-opacity"))
          v = property.substr(12), property = "stop-opacity";
        if (property == "stop-color") colour = ReadPaint(v);
        if (property == "stop-opacity") alpha = Opacity(v);
      });
      stops.push_back({last, {colour.r, colour.g, colour.b, alpha}});
    }
    g->usable = true;
    g->stops = static_cast<std::uint32_t>(stops.size());
    if (stops.empty()) return;
    head.stops = g->stops;
    g->index = static_cast<std::uint32_t>(gradientHeads_.size());
    gradientHeads_.push_back(head);
    Record(dl::Kind::Gradient, sizeof head + stops.size() * sizeof(dl::GradientStop));
    Put(head);
    for (const dl::GradientStop& stop : stops) Put(stop);
  }

  // The picture an element shows by itself (an image, or a use of one) and
  // the transform it shows it under; kNone when it is something else.
  std::uint32_t ShownPicture(std::uint32_t n, cairo_matrix_t* m) const {
    cairo_matrix_init_identity(m);
    if (Node(n).name == "image") return n;
    if (Node(n).name != "use" || !ReadTransform(Attr(n, "transform"), m)) return kNone;
    cairo_matrix_translate(m, svg::Number(Attr(n, "x")), svg::Number(Attr(n, "y")));
    const std::uint32_t target = doc_.Named(Attr(n, "xlink:href"));
    return target != kNone && Node(target).name == "image" ? target : kNone;
  }

  // The picture of an image element as it shows it over its width and
  // height, under `m` in the space of `at`; false when it shows none.
  bool PictureShown(std::uint32_t image, cairo_matrix_t m, const Place& at, Shown* out) {
    const std::uint32_t picture = pictures_.Find(Attr(image, "xlink:href"));
    if (picture == ListPictures::kNone) return false;
    const int sw = pictures_.Width(picture), sh = pictures_.Height(picture);
    const double w = svg::Number(Attr(image, "width"), sw), h = svg::Number(Attr(image, "height"), sh);
    if (!(w > 0) || !(h > 0)) return false;
    cairo_matrix_t scale;
    cairo_matrix_init_scale(&scale, w / sw, h / sh);
    cairo_matrix_multiply(&m, &scale, &m);
    cairo_matrix_t inverse = m;
    if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) return false;
    out->picture = picture;
    out->toUser = m;
    cairo_matrix_multiply(&out->toDrawing, &m, &at.ctm);
    return true;
  }

  // The tile of a pattern of drawn content under its transform `m`, painted
  // once at the pixels it covers of the list's cells (the box's, or the
  // drawing's own units) and shown as a picture; false when it shows none or
  // the writing stopped (past the bounds of its pixels or of the visits).
  bool TileShown(std::uint32_t pattern, const cairo_matrix_t& m, const Place& at, Shown* out) {
    const double w = svg::Number(Attr(pattern, "width")), h = svg::Number(Attr(pattern, "height"));
    if (!(w > 0) || !(h > 0)) return false;
    const ListTarget& target = pictures_.Target();
    const bool box = target.boxWidth > 0 && target.boxHeight > 0;
    const double sx = box ? kTileDots * target.boxWidth / width_ : 1,
                 sy = box ? kTileDots * target.boxHeight / height_ : 1;
    cairo_matrix_t toDrawing;
    cairo_matrix_multiply(&toDrawing, &m, &at.ctm);
    const auto pixels = [](double cells) {
      return static_cast<int>(std::clamp(std::ceil(cells - 1e-6), 1.0, dl::kMaxPatternPixels));
    };
    const int pw = pixels(w * std::hypot(toDrawing.xx * sx, toDrawing.yx * sy));
    const int ph = pixels(h * std::hypot(toDrawing.xy * sx, toDrawing.yy * sy));
    auto [it, fresh] = tiles_.try_emplace(std::tuple{pattern, pw, ph}, ListPictures::kNone);
    if (fresh) {
      // All tiles painted, and those painted inside them, together within
      // the memory one picture may take, and the visits' bound.
      tileBudget_.mostVisits = kMaxVisits;
      tileBudget_.mostPixels = static_cast<double>(target.memoryLimit) / 4;
      std::vector<std::uint32_t> painted;
      if ((tileBudget_.pixels += static_cast<double>(pw) * ph) > tileBudget_.mostPixels ||
          !PaintTile(doc_, pattern, &pictures_, pw, ph, &tileBudget_, &painted)) {
        Stop(VectorsAnswer::PastBounds);
        return false;
      }
      it->second = pictures_.AddPainted(std::move(painted), pw, ph);
    }
    // From the pixels to the tile, to the pattern's space.
    cairo_matrix_init_scale(&out->toUser, w / pw, h / ph);
    cairo_matrix_multiply(&out->toUser, &out->toUser, &m);
    cairo_matrix_t inverse = out->toUser;
    if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) return false;
    out->picture = it->second;
    cairo_matrix_multiply(&out->toDrawing, &out->toUser, &at.ctm);
    return true;
  }

  void Image(const Shown& shown) {
    dl::ImageBody body;
    body.picture = pictures_.Show(shown.picture, shown.toDrawing, false);
    body.filter = static_cast<std::uint32_t>(dl::Filter::Smooth);
    body.matrix = ListMatrix(shown.toDrawing);
    const std::size_t start = Record(dl::Kind::Image, sizeof body);
    Put(body);
    showings.push_back({start + offsetof(dl::ImageBody, matrix), body.picture, false, {}});
  }

  // What a mask paints with: one picture straight (*picture), or its
  // elements (picture->picture kNone); false when it masks all.
  bool PlanMask(std::uint32_t mask, const Place& at, Shown* picture) {
    // Past the groups cairo wraps its content in.
    std::uint32_t content = Node(mask).firstChild;
    cairo_matrix_t outer;
    cairo_matrix_init_identity(&outer);
    while (content != kNone && Node(content).next == kNone && Node(content).name == "g") {
      cairo_matrix_t m;
      if (!Visit(0) || !ReadTransform(Attr(content, "transform"), &m)) return false;
      cairo_matrix_multiply(&outer, &m, &outer);
      content = Node(content).firstChild;
    }
    cairo_matrix_t shown;
    const std::uint32_t image =
        content != kNone && Node(content).next == kNone ? ShownPicture(content, &shown) : kNone;
    *picture = Shown();
    if (image == kNone) return true;
    cairo_matrix_multiply(&shown, &shown, &outer);
    return PictureShown(image, shown, at, picture);
  }

  void MaskContent(std::uint32_t mask, const Shown& picture, const Place& at, int depth) {
    if (picture.picture != ListPictures::kNone) return Image(picture);
    const Style unfiltered;
    for (std::uint32_t c = Node(mask).firstChild; c != kNone && answer_ == VectorsAnswer::List;
         c = Node(c).next)
      if (!svg::PaintedByReference(Node(c).name)) Element(c, unfiltered, at, depth + 1);
  }

  // An outline of a clip path, drawn under its own transform.
  struct ClipPart {
    cairo_matrix_t ctm;
    Path path;
  };

  // Narrows the clip to the clip path's outlines, under the clip rule of
  // `n` (the element naming it); false when nothing shows through it, or
  // the writing stopped.
  bool Clip(std::uint32_t n, std::uint32_t clip, Place* at, int depth) {
    std::vector<ClipPart> parts;
    if (clip != kNone && Node(clip).name == "clipPath")
      for (std::uint32_t c = Node(clip).firstChild; c != kNone; c = Node(c).next)
        ClipOutline(c, at->ctm, depth + 1, &parts);
    at->rule = Attr(n, "clip-rule") == "evenodd" ? dl::FillRule::EvenOdd : dl::FillRule::Winding;
    if (answer_ != VectorsAnswer::List) return false;
    // One path of them all: under their transform when they share one, else
    // put into the drawing's space.
    Path path;
    cairo_matrix_t ctm;
    cairo_matrix_init_identity(&ctm);
    const bool shared = std::all_of(parts.begin(), parts.end(), [&](const ClipPart& p) {
      return std::memcmp(&p.ctm, &parts.front().ctm, sizeof p.ctm) == 0;
    });
    if (shared && !parts.empty()) ctm = parts.front().ctm;
    for (const ClipPart& part : parts) {
      path.verbs.insert(path.verbs.end(), part.path.verbs.begin(), part.path.verbs.end());
      for (std::size_t k = 0; k < part.path.points.size(); k += 2) {
        double x = part.path.points[k], y = part.path.points[k + 1];
        if (!shared) cairo_matrix_transform_point(&part.ctm, &x, &y);
        path.points.insert(path.points.end(), {x, y});
      }
    }
    if (path.empty()) return false;  // a clip of nothing
    return PushClip(path, at->rule, ctm);
  }

  // Adds what the element outlines to the parts.
  void ClipOutline(std::uint32_t n, const cairo_matrix_t& ctm, int depth, std::vector<ClipPart>* parts) {
    if (!Visit(depth)) return;
    cairo_matrix_t m;
    if (!ReadTransform(Attr(n, "transform"), &m)) return;
    Place at;
    at.ctm = ctm;
    if (!Under(at, m, &at)) return;
    const std::string_view name = Node(n).name;
    if (name == "path" || name == "rect") {
      ClipPart part{at.ctm, {}};
      if (Outline(n, &part.path) && !part.path.empty()) parts->push_back(std::move(part));
    } else if (name == "use") {
      cairo_matrix_init_translate(&m, svg::Number(Attr(n, "x")), svg::Number(Attr(n, "y")));
      if (!Under(at, m, &at)) return;
      const std::uint32_t target = doc_.Named(Attr(n, "xlink:href"));
      if (target != kNone && (Node(target).name == "symbol" || Node(target).name == "g")) {
        for (std::uint32_t c = Node(target).firstChild; c != kNone; c = Node(c).next)
          ClipOutline(c, at.ctm, depth + 1, parts);
      } else if (target != kNone) {
        ClipOutline(target, at.ctm, depth + 1, parts);
      }
    } else if (name == "g") {
      for (std::uint32_t c = Node(n).firstChild; c != kNone; c = Node(c).next)
        ClipOutline(c, at.ctm, depth + 1, parts);
    }
  }

  // ---- records ----

  // Starts a record of that payload; where it starts.
  std::size_t Record(dl::Kind kind, std::size_t payload) {
    const std::size_t start = bytes.size();
    if (start > room_ || payload + sizeof(dl::RecordHead) > room_ - start) Stop(VectorsAnswer::TooLarge);
    // The reader's bounds of records that draw and of groups.
    if ((kind == dl::Kind::Fill || kind == dl::Kind::Stroke || kind == dl::Kind::Image ||
         kind == dl::Kind::PaintAll) &&
        !dl::DrawnWithin(++drawn_))
      Stop(VectorsAnswer::PastBounds);
    if (kind == dl::Kind::PushGroup && !dl::GroupsWithin(++groups_)) Stop(VectorsAnswer::PastBounds);
    if (dl::DoneWithinClips(kind) && !dl::ClippedVerbsWithin(clipped_ += clipVerbs_))
      Stop(VectorsAnswer::PastBounds);
    Put(dl::RecordHead{static_cast<std::uint32_t>(kind), static_cast<std::uint32_t>(payload)});
    return start + sizeof(dl::RecordHead);
  }
  // Appends the bytes of a value, while the writing goes on.
  template <typename T>
  void Put(const T& v) {
    if (answer_ != VectorsAnswer::List) return;
    const auto* p = reinterpret_cast<const std::uint8_t*>(&v);
    bytes.insert(bytes.end(), p, p + sizeof v);
  }
  // Notes where a picture paint's matrix lies, and what it is used under.
  void Showed(const dl::Paint& paint, std::size_t at, const dl::Matrix& used, double area) {
    if (paint.kind == static_cast<std::uint32_t>(dl::PaintKind::Picture))
      showings.push_back({at + offsetof(dl::Paint, matrix), paint.index, true, used, area});
  }
  // The part of the drawing the last path's points, widened by `reach`,
  // paint within.
  double AreaShown(double reach) const {
    return dl::AreaShown(box_[0], box_[1], box_[2], box_[3], reach, width_, height_);
  }

  static std::size_t PathBytes(const Path& path) {
    return sizeof(dl::PathHead) + dl::Padded(path.verbs.size()) + path.points.size() * sizeof(float);
  }
  void PutPath(const Path& path) {
    verbs_ += path.verbs.size();
    if (!dl::VerbsWithin(verbs_)) Stop(VectorsAnswer::PastBounds);
    Put(dl::PathHead{static_cast<std::uint32_t>(path.verbs.size()),
                     static_cast<std::uint32_t>(path.points.size() / 2)});
    if (answer_ != VectorsAnswer::List) return;
    bytes.insert(bytes.end(), path.verbs.begin(), path.verbs.end());
    bytes.resize(bytes.size() + dl::Padded(path.verbs.size()) - path.verbs.size(), 0);
    for (const double v : path.points) Put(static_cast<float>(v));
  }
  // Whether the reader takes the path's points under the matrix (and the
  // matrix): each within the bound of a coordinate once a float.
  bool Points(const Path& path, const dl::Matrix& m) {
    if (!Within(m)) {
      Stop(VectorsAnswer::BadTransform);
      return false;
    }
    box_ = {HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    for (std::size_t k = 0; k < path.points.size(); k += 2) {
      const double x = static_cast<float>(path.points[k]), y = static_cast<float>(path.points[k + 1]);
      const double dx = m.xx * x + m.xy * y + m.x0, dy = m.yx * x + m.yy * y + m.y0;
      box_[0] = std::min(box_[0], dx), box_[1] = std::min(box_[1], dy);
      box_[2] = std::max(box_[2], dx), box_[3] = std::max(box_[3], dy);
      if (!dl::CoordinateWithin(dx, kMargin) || !dl::CoordinateWithin(dy, kMargin)) {
        Stop(VectorsAnswer::PastBounds);
        return false;
      }
    }
    return true;
  }

  bool PushClip(const Path& path, dl::FillRule rule, const cairo_matrix_t& ctm) {
    dl::ClipHead head;
    head.rule = static_cast<std::uint32_t>(rule);
    head.matrix = ListMatrix(ctm);
    if (!Points(path, head.matrix) || !Open(dl::Kind::PushClip, sizeof head + PathBytes(path),
                                            static_cast<std::uint32_t>(path.verbs.size())))
      return false;
    Put(head);
    PutPath(path);
    return true;
  }
  // Opens a clip (of `verbs` verbs), group or mask; false (PastBounds) past
  // the depth.
  bool Open(dl::Kind kind, std::size_t payload = 0, std::uint32_t verbs = 0) {
    if (!dl::DepthWithin(open_ + 1)) {
      Stop(VectorsAnswer::PastBounds);
      return false;
    }
    Record(kind, payload);
    openVerbs_[open_++] = verbs;
    clipVerbs_ += verbs;
    return true;
  }
  void Close(dl::Kind kind, double alpha = 1) {
    if (answer_ != VectorsAnswer::List) return;
    clipVerbs_ -= openVerbs_[--open_];
    if (kind == dl::Kind::PopMask) clipVerbs_ -= openVerbs_[--open_];  // the mask and its group
    if (kind != dl::Kind::PopGroup) return void(Record(kind, 0));
    Record(kind, sizeof(dl::PopGroupBody));
    Put(dl::PopGroupBody{alpha});
  }
  void PopClips(std::uint32_t to) {
    while (open_ > to && answer_ == VectorsAnswer::List) Close(dl::Kind::PopClip);
  }
  void PaintAll(const dl::Paint& paint) {
    if (!Taken(paint, dl::Matrix{})) return;
    const std::size_t start = Record(dl::Kind::PaintAll, sizeof paint);
    Put(paint);
    Showed(paint, start, dl::Matrix{}, width_ * height_);
  }

  const Document& doc_;
  ListPictures& pictures_;
  const std::size_t room_;
  const double width_, height_;  // the drawing's
  const double side_;            // its larger side
  // The box of the last path's points in the drawing: x0, y0, x1, y1.
  std::array<double, 4> box_{};
  VectorsAnswer answer_ = VectorsAnswer::List;
  std::uint32_t open_ = 0;                                // clips, groups and masks open
  std::array<std::uint32_t, dl::kMaxDepth> openVerbs_{};  // a clip's verbs, by depth
  std::uint64_t clipVerbs_ = 0, clipped_ = 0;             // the clips' in force; counted
  std::uint64_t visits_ = 0, segments_ = 0, verbs_ = 0;
  double stopUses_ = 0;
  std::uint32_t patternPaints_ = 0;
  std::uint32_t drawn_ = 0, groups_ = 0;
  double dashes_ = 0;
  std::unordered_map<std::uint32_t, Gradient> gradients_;
  // The pictures of the tiles painted, by pattern and pixels, and their
  // pixels together.
  std::map<std::tuple<std::uint32_t, int, int>, std::uint32_t> tiles_;
  TileBudget tileBudget_;
  std::vector<dl::GradientHead> gradientHeads_;  // by index
};

}  // namespace

ListAnswer WriteDrawList(std::string_view svg, const ListTarget& target, std::uint8_t* out,
                         std::size_t room) {
  room = std::min(room, dl::kMaxBytes);
  if (svg.size() > kMetafileSvgBytes) return {VectorsAnswer::TooLarge};
  if (!SvgRefusal(svg).empty()) return {VectorsAnswer::Unreadable};
  if (!SvgPastBounds(MeasureSvg(svg)).empty()) return {VectorsAnswer::PastBounds};
  Document doc;
  if (!doc.Read(svg)) return {VectorsAnswer::Unreadable};
  if (const VectorsAnswer refused = PaintedFromPixels(doc); refused != VectorsAnswer::List) return {refused};
  if (room < sizeof(dl::Header)) return {VectorsAnswer::TooLarge};

  ListPictures pictures(target);
  const double side = std::max(target.width, target.height);
  Writer writer(doc, &pictures, room - sizeof(dl::Header), target.width, target.height);
  writer.Root(target.width, target.height);
  if (writer.answer() != VectorsAnswer::List) return {writer.answer()};
  if (const VectorsAnswer sized = pictures.Size(sizeof(dl::Header) + writer.bytes.size(), room);
      sized != VectorsAnswer::List)
    return {sized};
  // The showings' matrices for the pixels as written, which the reader
  // takes: a pixel shown at least the least a paint shows; repeated, at
  // most kMaxPatternPixels of them a side and across the drawing, and at
  // most kMaxRepeats repeats across it.
  double tiles = 0;
  for (const Writer::Showing& s : writer.showings) {
    dl::Matrix m;
    std::memcpy(&m, writer.bytes.data() + s.at, sizeof m);
    const double sx = pictures.ScaleX(s.picture), sy = pictures.ScaleY(s.picture);
    const std::uint32_t w = pictures.WidthWritten(s.picture), h = pictures.HeightWritten(s.picture);
    if (s.paint) {  // then to the pixels written
      m.xx /= sx, m.xy /= sx, m.x0 /= sx, m.yx /= sy, m.yy /= sy, m.y0 /= sy;
    } else {  // from the pixels written first
      m.xx *= sx, m.yx *= sx, m.xy *= sy, m.yy *= sy;
    }
    if (!Within(m)) return {VectorsAnswer::BadTransform};
    // A paint's pixels, from the space it paints in to the drawing's.
    const dl::Matrix toDrawing = s.paint ? dl::InverseThen(m, s.used) : m;
    if (!dl::PixelShown(toDrawing, kMargin)) return {VectorsAnswer::BadTransform};
    if (s.paint && (!dl::PatternPixelsWithin(w, h, toDrawing, side, kMargin) ||
                    !dl::RepeatsWithin(std::min(w, h), toDrawing, side, kMargin)))
      return {VectorsAnswer::PastBounds};
    // The tiles the reader counts of the pattern, over what it paints.
    if (s.paint && !dl::PatternTilesWithin(tiles += dl::PatternTiles(w, h, toDrawing, s.area), kMargin))
      return {VectorsAnswer::PastBounds};
    std::memcpy(writer.bytes.data() + s.at, &m, sizeof m);
  }
  dl::Header header;
  header.width = target.width;
  header.height = target.height;
  header.bytes = sizeof header + pictures.Bytes() + writer.bytes.size();
  std::memcpy(out, &header, sizeof header);
  pictures.Write(out + sizeof header);
  if (!writer.bytes.empty())
    std::memcpy(out + sizeof header + pictures.Bytes(), writer.bytes.data(), writer.bytes.size());
  return {VectorsAnswer::List, header.bytes};
}

}  // namespace md::imaging::detail
