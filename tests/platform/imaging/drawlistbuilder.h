// Writes draw lists (platform/imaging/protocol/drawlist.h) by hand, as a
// helper would answer them, well-formed or not, for the reader's and the
// painter's tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/imaging/protocol/drawlist.h"

namespace md::test {

namespace dl = md::imaging::drawlist;

inline std::vector<std::uint8_t>& operator+=(std::vector<std::uint8_t>& a,
                                             const std::vector<std::uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}
inline std::vector<std::uint8_t> operator+(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
  return a += b;
}

// A path's verbs and points, written as the list holds them.
struct ListPath {
  std::vector<dl::Verb> verbs;
  std::vector<float> points;  // x, y pairs
  ListPath& Move(float x, float y) { return Add(dl::Verb::Move, {x, y}); }
  ListPath& Line(float x, float y) { return Add(dl::Verb::Line, {x, y}); }
  ListPath& Curve(float x1, float y1, float x2, float y2, float x3, float y3) {
    return Add(dl::Verb::Curve, {x1, y1, x2, y2, x3, y3});
  }
  ListPath& Close() { return Add(dl::Verb::Close, {}); }
  ListPath& Rect(float x, float y, float w, float h) {
    return Move(x, y).Line(x + w, y).Line(x + w, y + h).Line(x, y + h).Close();
  }
  ListPath& Add(dl::Verb v, std::initializer_list<float> p) {
    verbs.push_back(v);
    points.insert(points.end(), p);
    return *this;
  }
};

class ListBuilder {
 public:
  explicit ListBuilder(double width = 64, double height = 64) {
    dl::Header h;
    h.width = width;
    h.height = height;
    Put(h);
  }

  static dl::Paint Colour(double r, double g, double b, double a = 1) {
    dl::Paint p;
    p.kind = static_cast<std::uint32_t>(dl::PaintKind::Colour);
    p.rgba[0] = r, p.rgba[1] = g, p.rgba[2] = b, p.rgba[3] = a;
    return p;
  }
  static dl::Paint Gradient(std::uint32_t index, double alpha = 1) {
    dl::Paint p;
    p.kind = static_cast<std::uint32_t>(dl::PaintKind::Gradient);
    p.index = index;
    p.rgba[3] = alpha;
    return p;
  }
  static dl::Paint Pattern(std::uint32_t picture, dl::Matrix m, dl::Extend extend) {
    dl::Paint p;
    p.kind = static_cast<std::uint32_t>(dl::PaintKind::Picture);
    p.index = picture;
    p.matrix = m;
    p.extend = static_cast<std::uint32_t>(extend);
    return p;
  }

  ListBuilder& Fill(const dl::Paint& paint, const ListPath& path, dl::FillRule rule = dl::FillRule::Winding,
                    dl::Matrix m = {}) {
    dl::FillHead h;
    h.paint = paint;
    h.rule = static_cast<std::uint32_t>(rule);
    h.matrix = m;
    return Record(dl::Kind::Fill, Bytes(h) + PathBytes(path));
  }
  ListBuilder& Stroke(const dl::StrokeHead& head, const std::vector<double>& dashes, const ListPath& path) {
    dl::StrokeHead h = head;
    h.dashes = static_cast<std::uint32_t>(dashes.size());
    std::vector<std::uint8_t> b = Bytes(h);
    for (double d : dashes) b += Bytes(d);
    return Record(dl::Kind::Stroke, b + PathBytes(path));
  }
  ListBuilder& PushClip(const ListPath& path, dl::FillRule rule = dl::FillRule::Winding, dl::Matrix m = {}) {
    dl::ClipHead h;
    h.rule = static_cast<std::uint32_t>(rule);
    h.matrix = m;
    return Record(dl::Kind::PushClip, Bytes(h) + PathBytes(path));
  }
  ListBuilder& PopClip() { return Record(dl::Kind::PopClip, {}); }
  ListBuilder& PushGroup() { return Record(dl::Kind::PushGroup, {}); }
  ListBuilder& PopGroup(double alpha) { return Record(dl::Kind::PopGroup, Bytes(dl::PopGroupBody{alpha})); }
  ListBuilder& PushMask() { return Record(dl::Kind::PushMask, {}); }
  ListBuilder& PopMask() { return Record(dl::Kind::PopMask, {}); }
  ListBuilder& PaintAll(const dl::Paint& paint) { return Record(dl::Kind::PaintAll, Bytes(paint)); }
  ListBuilder& Image(std::uint32_t picture, dl::Matrix m, double alpha = 1,
                     dl::Filter filter = dl::Filter::Smooth) {
    dl::ImageBody b;
    b.picture = picture;
    b.filter = static_cast<std::uint32_t>(filter);
    b.matrix = m;
    b.alpha = alpha;
    return Record(dl::Kind::Image, Bytes(b));
  }
  ListBuilder& Picture(std::uint32_t w, std::uint32_t h, const std::vector<std::uint32_t>& pixels) {
    std::vector<std::uint8_t> b = Bytes(dl::PictureHead{w, h});
    const std::size_t at = b.size();
    b.resize(at + pixels.size() * 4);
    if (!pixels.empty()) std::memcpy(b.data() + at, pixels.data(), pixels.size() * 4);
    return Record(dl::Kind::Picture, b);
  }
  ListBuilder& Gradient(const dl::GradientHead& head, const std::vector<dl::GradientStop>& stops) {
    dl::GradientHead h = head;
    h.stops = static_cast<std::uint32_t>(stops.size());
    std::vector<std::uint8_t> b = Bytes(h);
    for (const dl::GradientStop& s : stops) b += Bytes(s);
    return Record(dl::Kind::Gradient, b);
  }
  // A record as written: its kind, and its payload padded to 8.
  ListBuilder& Record(dl::Kind kind, std::vector<std::uint8_t> payload) {
    return Raw(static_cast<std::uint32_t>(kind), std::move(payload));
  }
  ListBuilder& Raw(std::uint32_t kind, std::vector<std::uint8_t> payload) {
    payload.resize(dl::Padded(payload.size()));
    Put(dl::RecordHead{kind, static_cast<std::uint32_t>(payload.size())});
    bytes_ += payload;
    return *this;
  }

  // The list, its header's length set to what it holds.
  std::vector<std::uint8_t> Bytes() const {
    std::vector<std::uint8_t> out = bytes_;
    const std::uint64_t size = out.size();
    std::memcpy(out.data() + offsetof(dl::Header, bytes), &size, sizeof size);
    return out;
  }

  template <typename T>
  static std::vector<std::uint8_t> Bytes(const T& v) {
    std::vector<std::uint8_t> b(sizeof v);
    std::memcpy(b.data(), &v, sizeof v);
    return b;
  }
  static std::vector<std::uint8_t> PathBytes(const ListPath& path) {
    std::vector<std::uint8_t> b = Bytes(dl::PathHead{static_cast<std::uint32_t>(path.verbs.size()),
                                                     static_cast<std::uint32_t>(path.points.size() / 2)});
    for (dl::Verb v : path.verbs) b.push_back(static_cast<std::uint8_t>(v));
    b.resize(sizeof(dl::PathHead) + dl::Padded(path.verbs.size()));
    for (float f : path.points) b += Bytes(f);
    return b;
  }

 private:
  template <typename T>
  void Put(const T& v) {
    bytes_ += Bytes(v);
  }
  std::vector<std::uint8_t> bytes_;
};

}  // namespace md::test
