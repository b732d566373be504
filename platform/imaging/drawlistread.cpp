#include "platform/imaging/drawlistread.h"

#include "platform/imaging/protocol/drawlistbounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>

namespace md::imaging {
namespace {

namespace dl = drawlist;

// What is open: a clip, a group, or a group's mask.
enum class Open : std::uint8_t { Clip, Group, Mask };

using drawlist::Take;

bool Finite(double v) { return std::isfinite(v); }
bool Unit(double v) { return std::isfinite(v) && v >= 0 && v <= 1; }

// What is wrong with a list of `size` bytes whose header is `header`; "" when
// nothing.
std::string HeaderFault(const dl::Header& header, std::size_t size) {
  if (header.magic != dl::kMagic || header.version != dl::kVersion)
    return "it is no draw list of this version";
  if (header.bytes != size) return "its header gives another length than it has";
  if (!(header.width >= 1 && header.width <= dl::kMaxCoordinate && header.height >= 1 &&
        header.height <= dl::kMaxCoordinate))
    return "its size is out of range";
  return "";
}

// The reader of one list: each record copied from the helper's buffer into
// the list's own memory as it comes and checked there, so that a list is
// refused at its first bad record having copied no more than that record
// (unwritten pages of a buffer its header claims whole are never touched).
class Checker {
 public:
  Checker(const std::uint8_t* source, std::size_t size, std::vector<std::uint8_t>* copy)
      : source_(source), size_(size), copy_(copy) {}

  // "" when every record passed; the records, pictures and gradients then
  // fill the out parameters.
  std::string Run(std::vector<DrawList::Record>* records, std::vector<DrawList::Picture>* pictures,
                  std::vector<std::uint32_t>* gradients, double* width, double* height) {
    records_ = records;
    pictures_ = pictures;
    gradients_ = gradients;
    if (size_ < sizeof(dl::Header)) return "it is shorter than its header";
    const auto header = Take<dl::Header>(source_);
    bytes_ = copy_->data();
    Append(&header, sizeof header);
    if (std::string why = HeaderFault(header, size_); !why.empty()) return why;
    *width = width_ = header.width;
    *height = height_ = header.height;
    std::size_t at = sizeof(dl::Header);
    for (std::size_t n = 1; at < size_; ++n) {
      if (size_ - at < sizeof(dl::RecordHead)) return Record(n, "is cut short");
      const auto head = Take<dl::RecordHead>(source_ + at);
      Append(&head, sizeof head);
      at += sizeof head;
      if (head.bytes % 8 != 0 || head.bytes > size_ - at) return Record(n, "runs past the list");
      Append(source_ + at, head.bytes);
      const std::string why = One(static_cast<dl::Kind>(head.kind), at, head.bytes);
      if (!why.empty()) return Record(n, why);
      at += head.bytes;
    }
    if (depth_ != 0) return "it leaves a clip, group or mask open";
    return "";
  }

 private:
  static std::string Record(std::size_t n, const std::string& why) {
    return "its record " + std::to_string(n) + " " + why;
  }

  // Adds bytes to the copy, within the room reserved for the whole list: it
  // never moves.
  void Append(const void* from, std::size_t bytes) {
    const auto* p = static_cast<const std::uint8_t*>(from);
    copy_->insert(copy_->end(), p, p + bytes);
  }

  std::string One(dl::Kind kind, std::size_t at, std::uint32_t bytes) {
    const std::uint8_t* p = bytes_ + at;
    std::string why;
    if (dl::DoneWithinClips(kind)) {
      clipped_ += clipVerbs_;
      if (!dl::ClippedVerbsWithin(clipped_))
        return "brings the verbs of the clips drawn within past " + std::to_string(dl::kMaxClippedVerbs);
    }
    switch (kind) {
      case dl::Kind::Picture:
        why = Picture(at, bytes);
        break;
      case dl::Kind::Gradient:
        why = Gradient(p, bytes);
        if (why.empty()) gradients_->push_back(static_cast<std::uint32_t>(at));
        break;
      case dl::Kind::Fill: {
        if (bytes < sizeof(dl::FillHead)) return "is cut short";
        const auto h = Take<dl::FillHead>(p);
        if (h.rule > 1) return "names no fill rule";
        why = Matrix(h.matrix);
        if (why.empty()) why = Paint(h.paint, h.matrix);
        if (why.empty()) why = Path(p + sizeof h, bytes - sizeof h, h.matrix, nullptr);
        if (why.empty()) why = Tiles(h.paint, h.matrix, 0);
        break;
      }
      case dl::Kind::Stroke:
        why = Stroke(p, bytes);
        break;
      case dl::Kind::PushClip: {
        if (bytes < sizeof(dl::ClipHead)) return "is cut short";
        const auto h = Take<dl::ClipHead>(p);
        if (h.rule > 1) return "names no fill rule";
        why = Matrix(h.matrix);
        if (why.empty()) why = Path(p + sizeof h, bytes - sizeof h, h.matrix, nullptr);
        if (why.empty()) why = Push(Open::Clip, Take<dl::PathHead>(p + sizeof h).verbs);
        break;
      }
      case dl::Kind::PopClip:
        why = bytes != 0 ? "is longer than its kind" : Pop(Open::Clip);
        break;
      case dl::Kind::PushGroup:
        if (bytes != 0) return "is longer than its kind";
        if (!dl::GroupsWithin(++groups_)) return "opens more groups than " + std::to_string(dl::kMaxGroups);
        why = Push(Open::Group);
        break;
      case dl::Kind::PopGroup:
        if (bytes != sizeof(dl::PopGroupBody)) return "is not as long as its kind";
        if (!Unit(Take<dl::PopGroupBody>(p).alpha)) return "has an alpha out of range";
        why = Pop(Open::Group);
        break;
      case dl::Kind::PushMask:
        if (bytes != 0) return "is longer than its kind";
        if (depth_ == 0 || open_[depth_ - 1] != Open::Group) return "opens a mask outside a group";
        why = Push(Open::Mask);
        break;
      case dl::Kind::PopMask:
        if (bytes != 0) return "is longer than its kind";
        why = Pop(Open::Mask);
        if (why.empty()) why = Pop(Open::Group);
        break;
      case dl::Kind::Image: {
        if (bytes != sizeof(dl::ImageBody)) return "is not as long as its kind";
        const auto b = Take<dl::ImageBody>(p);
        if (b.picture >= pictures_->size()) return "names a picture not read before it";
        if (b.filter > 1) return "names no filter";
        if (!Unit(b.alpha)) return "has an alpha out of range";
        why = Matrix(b.matrix);
        if (why.empty()) why = Shown(b.matrix);
        break;
      }
      case dl::Kind::PaintAll:
        if (bytes != sizeof(dl::Paint)) return "is not as long as its kind";
        why = Paint(Take<dl::Paint>(p), dl::Matrix{});
        box_ = {0, 0, width_, height_};
        if (why.empty()) why = Tiles(Take<dl::Paint>(p), dl::Matrix{}, 0);
        break;
      default:
        return "is of no known kind";
    }
    if (!why.empty()) return why;
    if ((kind == dl::Kind::Fill || kind == dl::Kind::Stroke || kind == dl::Kind::Image ||
         kind == dl::Kind::PaintAll) &&
        !dl::DrawnWithin(++drawn_))
      return "brings the records that draw past " + std::to_string(dl::kMaxDrawn);
    records_->push_back({kind, static_cast<std::uint32_t>(at), bytes});
    return why;
  }

  // Opens a clip (of `verbs` verbs), a group or a mask.
  std::string Push(Open what, std::uint32_t verbs = 0) {
    if (!dl::DepthWithin(depth_ + 1)) return "opens more than " + std::to_string(dl::kMaxDepth) + " at once";
    openVerbs_[depth_] = verbs;
    clipVerbs_ += verbs;
    open_[depth_++] = what;
    return "";
  }
  std::string Pop(Open what) {
    if (depth_ == 0 || open_[depth_ - 1] != what) return "closes what is not open";
    clipVerbs_ -= openVerbs_[--depth_];
    return "";
  }

  // Entries within bounds and a determinant between the bounds' inverse and
  // itself: invertible, and so is its product with a box's mapping.
  static std::string Matrix(const dl::Matrix& m) {
    if (!dl::EntriesWithin(m)) return "has a transform out of range";
    if (!dl::InvertibleWithin(m)) return "has a transform that cannot be inverted within bounds";
    return "";
  }

  // The paint, used under `used` (from its space to the drawing's).
  std::string Paint(const dl::Paint& p, const dl::Matrix& used) {
    if (p.kind != static_cast<std::uint32_t>(dl::PaintKind::Colour) &&
        !dl::PatternPaintsWithin(++patternPaints_))
      return "brings the paints of gradients and patterns past " + std::to_string(dl::kMaxPatternPaints);
    switch (static_cast<dl::PaintKind>(p.kind)) {
      case dl::PaintKind::Colour:
        for (const double v : p.rgba)
          if (!Unit(v)) return "has a colour out of range";
        return "";
      case dl::PaintKind::Gradient: {
        if (p.index >= gradients_->size()) return "names a gradient not read before it";
        if (!Unit(p.rgba[3])) return "has an alpha out of range";
        const auto g = Take<dl::GradientHead>(bytes_ + (*gradients_)[p.index]);
        const dl::Matrix toDrawing = dl::InverseThen(g.matrix, used);
        if (!dl::RunShown(g, toDrawing)) return "has a gradient squeezed past its bound";
        // Its points lie near the drawing: a raster's gradients take them in
        // a fixed-point range.
        if (!dl::GradientWithinReach(g, toDrawing, width_, height_))
          return "has a gradient far from the drawing";
        if (dl::Repeated(g)) {
          if (g.type == static_cast<std::uint32_t>(dl::GradientType::Radial) && !dl::CirclesNested(g))
            return "has a repeated radial gradient whose circles are not nested";
          if (std::string why = Repeats(dl::ClosestPeriod(g), g.matrix, used); !why.empty()) return why;
        }
        const double painted = dl::GradientStopsPainted(g, toDrawing, width_, height_);
        if (!dl::RepeatedStopsWithin(painted))
          return "has a repeated gradient that paints more stops than " +
                 std::to_string(dl::kMaxRepeatedStops);
        stopUses_ += painted;
        if (!dl::StopUsesWithin(stopUses_))
          return "brings the gradient stops painted past " + std::to_string(dl::kMaxStopUses);
        return "";
      }
      case dl::PaintKind::Picture: {
        if (p.index >= pictures_->size()) return "names a picture not read before it";
        if (p.extend != static_cast<std::uint32_t>(dl::Extend::Repeat))
          return "paints a picture not repeated";
        if (std::string why = Matrix(p.matrix); !why.empty()) return why;
        if (std::string why = Shown(dl::InverseThen(p.matrix, used)); !why.empty()) return why;
        // Repeated over the drawing, its pixels keep the range of a raster's
        // fixed-point coordinates.
        const DrawList::Picture& picture = (*pictures_)[p.index];
        if (!dl::PatternPixelsWithin(picture.width, picture.height, dl::InverseThen(p.matrix, used),
                                     std::max(width_, height_)))
          return "has a picture repeated in pixels past their bound";
        return Repeats(std::min(picture.width, picture.height), p.matrix, used);
      }
      default:
        return "names no kind of paint";
    }
  }

  // Whether a period of `period` in a paint's own space, which `paint` maps
  // the space it is used in to, repeats at most kMaxRepeats times across the
  // drawing used under `used`.
  std::string Repeats(double period, const dl::Matrix& paint, const dl::Matrix& used) const {
    if (!dl::RepeatsWithin(period, dl::InverseThen(paint, used), std::max(width_, height_)))
      return "has a paint that repeats more than " + std::to_string(static_cast<int>(dl::kMaxRepeats)) +
             " times across the drawing";
    return "";
  }

  // Counts the tiles a picture paint used under `used` paints over what the
  // drawing shows of the box of the record's points, widened by `reach`.
  std::string Tiles(const dl::Paint& p, const dl::Matrix& used, double reach) {
    if (p.kind != static_cast<std::uint32_t>(dl::PaintKind::Picture)) return "";
    const DrawList::Picture& picture = (*pictures_)[p.index];
    tiles_ += dl::PatternTiles(picture.width, picture.height, dl::InverseThen(p.matrix, used),
                               dl::AreaShown(box_[0], box_[1], box_[2], box_[3], reach, width_, height_));
    if (!dl::PatternTilesWithin(tiles_))
      return "brings the pattern tiles painted past " +
             std::to_string(static_cast<long long>(dl::kMaxPatternTiles));
    return "";
  }

  // Whether a picture's pixels under `toDrawing` keep kMinPaintFeature.
  static std::string Shown(const dl::Matrix& toDrawing) {
    if (!dl::PixelShown(toDrawing)) return "shows a picture squeezed past a pixel's bound";
    return "";
  }

  // The path in the rest of the record, its points under `m`; its length
  // through its points, in its own space, into *length when given.
  std::string Path(const std::uint8_t* p, std::size_t bytes, const dl::Matrix& m, double* length) {
    if (bytes < sizeof(dl::PathHead)) return "is cut short";
    const auto h = Take<dl::PathHead>(p);
    const std::uint64_t need = sizeof h + dl::Padded(h.verbs) + std::uint64_t{h.points} * 2 * sizeof(float);
    if (need != bytes) return "is not as long as its path";
    verbs_ += h.verbs;
    if (!dl::VerbsWithin(verbs_))
      return "brings the verbs of the paths past " + std::to_string(dl::kMaxVerbs);
    const std::uint8_t* verbs = p + sizeof h;
    const std::uint8_t* points = verbs + dl::Padded(h.verbs);
    box_ = {HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
    std::uint64_t taken = 0;
    double x = 0, y = 0, sum = 0;
    for (std::uint32_t k = 0; k < h.verbs; ++k) {
      int count = 0;
      switch (static_cast<dl::Verb>(verbs[k])) {
        case dl::Verb::Move:
        case dl::Verb::Line:
          count = 1;
          break;
        case dl::Verb::Curve:
          count = 3;
          break;
        case dl::Verb::Close:
          break;
        default:
          return "has a path of no known verb";
      }
      if (taken + count > h.points) return "has a path whose verbs take more points than it has";
      for (int c = 0; c < count; ++c, ++taken) {
        const auto pt = Take<std::array<float, 2>>(points + taken * 2 * sizeof(float));
        const double px = pt[0], py = pt[1];
        if (!Finite(px) || !Finite(py)) return "has a point that is not a number";
        const double tx = m.xx * px + m.xy * py + m.x0, ty = m.yx * px + m.yy * py + m.y0;
        if (!dl::CoordinateWithin(tx) || !dl::CoordinateWithin(ty)) return "has a point out of range";
        box_[0] = std::min(box_[0], tx), box_[1] = std::min(box_[1], ty);
        box_[2] = std::max(box_[2], tx), box_[3] = std::max(box_[3], ty);
        if (verbs[k] != static_cast<std::uint8_t>(dl::Verb::Move)) sum += std::hypot(px - x, py - y);
        x = px, y = py;
      }
    }
    if (taken != h.points) return "has a path with points its verbs do not take";
    if (length != nullptr) *length = sum;
    return "";
  }

  std::string Stroke(const std::uint8_t* p, std::uint32_t bytes) {
    if (bytes < sizeof(dl::StrokeHead)) return "is cut short";
    const auto h = Take<dl::StrokeHead>(p);
    if (h.cap > 2 || h.join > 2) return "names no cap or join";
    if ((h.flags & ~dl::kStrokeHairline) != 0) return "has flags of no meaning";
    if (!(h.width >= 0 && dl::CoordinateWithin(h.width))) return "has a width out of range";
    if (!(h.miterLimit >= 1 && dl::CoordinateWithin(h.miterLimit))) return "has a miter limit out of range";
    if (!dl::CoordinateWithin(h.dashOffset)) return "has a dash offset out of range";
    if (!dl::DashCountWithin(h.dashes)) return "has more dashes than " + std::to_string(dl::kMaxDashCount);
    std::string why = Matrix(h.matrix);
    if (why.empty()) why = Paint(h.paint, h.matrix);
    if (!why.empty()) return why;
    const std::size_t dashBytes = std::size_t{h.dashes} * sizeof(double);
    if (bytes - sizeof h < dashBytes) return "is cut short";
    double period = 0;
    for (std::uint32_t k = 0; k < h.dashes; ++k) {
      const double d = Take<double>(p + sizeof h + k * sizeof(double));
      if (!(d >= 0 && dl::CoordinateWithin(d))) return "has a dash out of range";
      period += d;
    }
    if (h.dashes > 0 && !(period > 0)) return "has dashes of no length";
    double length = 0;
    why = Path(p + sizeof h + dashBytes, bytes - sizeof h - dashBytes, h.matrix, &length);
    if (why.empty()) why = Tiles(h.paint, h.matrix, h.width / 2 * h.miterLimit * dl::Longest(h.matrix));
    if (!why.empty() || h.dashes == 0) return why;
    dashes_ += dl::DashesCut(length, period, h.dashes);
    if (!dl::DashesWithin(dashes_)) return "brings the dashes painted past " + std::to_string(dl::kMaxDashes);
    return "";
  }

  std::string Picture(std::size_t at, std::uint32_t bytes) {
    if (bytes < sizeof(dl::PictureHead)) return "is cut short";
    const auto h = Take<dl::PictureHead>(bytes_ + at);
    if (h.width < 1 || h.height < 1 || h.width > dl::kMaxPictureSide || h.height > dl::kMaxPictureSide)
      return "has a picture of sides out of range";
    const std::uint64_t pixels = std::uint64_t{h.width} * h.height;
    if (dl::Padded(sizeof h + pixels * 4) != bytes) return "is not as long as its picture";
    // Each colour at most its alpha, as a premultiplied pixel has it.
    auto* px = bytes_ + at + sizeof h;
    for (std::uint64_t k = 0; k < pixels; ++k, px += 4) {
      std::uint32_t v;
      std::memcpy(&v, px, 4);
      const std::uint32_t a = v >> 24;
      std::uint32_t fixed = v & 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) fixed |= std::min((v >> shift) & 0xFFu, a) << shift;
      if (fixed != v) std::memcpy(px, &fixed, 4);
    }
    pictures_->push_back({static_cast<std::uint32_t>(at + sizeof h), h.width, h.height});
    return "";
  }

  std::string Gradient(const std::uint8_t* p, std::uint32_t bytes) {
    if (bytes < sizeof(dl::GradientHead)) return "is cut short";
    const auto h = Take<dl::GradientHead>(p);
    if (h.type > 1 || h.extend > 3) return "names no gradient type or extend";
    if (!dl::StopsWithin(h.stops)) return "has more stops than " + std::to_string(dl::kMaxStops);
    if (bytes != sizeof h + std::size_t{h.stops} * sizeof(dl::GradientStop))
      return "is not as long as its stops";
    for (const double v : h.points)
      if (!dl::CoordinateWithin(v)) return "has a gradient's point out of range";
    if (h.type == 1 && (h.points[2] < 0 || h.points[5] < 0)) return "has a negative radius";
    if (std::string why = Matrix(h.matrix); !why.empty()) return why;
    double last = 0;
    for (std::uint32_t k = 0; k < h.stops; ++k) {
      const auto s = Take<dl::GradientStop>(p + sizeof h + k * sizeof(dl::GradientStop));
      if (!Unit(s.offset) || s.offset < last) return "has a stop out of order";
      last = s.offset;
      for (const double v : s.rgba)
        if (!Unit(v)) return "has a colour out of range";
    }
    return "";
  }

  const std::uint8_t* const source_;
  const std::size_t size_;
  std::vector<std::uint8_t>* const copy_;
  std::uint8_t* bytes_ = nullptr;  // the copy's
  std::vector<DrawList::Record>* records_ = nullptr;
  std::vector<DrawList::Picture>* pictures_ = nullptr;
  std::vector<std::uint32_t>* gradients_ = nullptr;
  std::array<Open, dl::kMaxDepth> open_{};
  std::array<std::uint32_t, dl::kMaxDepth> openVerbs_{};  // a clip's verbs, by depth
  std::uint64_t clipVerbs_ = 0, clipped_ = 0;             // the clips' in force; counted
  std::uint32_t depth_ = 0;
  std::uint64_t verbs_ = 0;
  double stopUses_ = 0;
  std::uint32_t patternPaints_ = 0;
  std::uint32_t drawn_ = 0, groups_ = 0;
  double dashes_ = 0;
  double tiles_ = 0;
  // The box of the last path's points in the drawing: x0, y0, x1, y1.
  std::array<double, 4> box_{};
  double width_ = 0, height_ = 0;
};

}  // namespace

std::size_t DrawList::Bytes() const {
  return sizeof *this + bytes_.capacity() + records_.capacity() * sizeof(Record) +
         pictures_.capacity() * sizeof(Picture) + gradients_.capacity() * sizeof(std::uint32_t);
}

std::shared_ptr<const DrawList> ReadDrawList(const std::uint8_t* data, std::size_t size, std::string* why) {
  if (data == nullptr) size = 0;
  if (size > drawlist::kMaxBytes) {
    *why = "the draw list is longer than " + std::to_string(drawlist::kMaxBytes >> 20) + " MiB";
    return nullptr;
  }
  // Its header checked before anything else is taken: a list that claims
  // more than it holds costs no copy. Checked again in the copy, which the
  // helper cannot change.
  if (size >= sizeof(dl::Header)) {
    if (std::string fault = HeaderFault(Take<dl::Header>(data), size); !fault.empty()) {
      *why = "the draw list is refused: " + fault;
      return nullptr;
    }
  }
  auto list = std::make_shared<DrawList>();
  try {
    // Room for the whole list, which its pages take only as the records
    // are copied into it.
    list->bytes_.reserve(size);
  } catch (const std::bad_alloc&) {
    *why = "no memory for the draw list";
    return nullptr;
  }
  // The checks and the painting see the list's own copy alone.
  Checker checker(data, size, &list->bytes_);
  *why = checker.Run(&list->records_, &list->pictures_, &list->gradients_, &list->width_, &list->height_);
  if (!why->empty()) {
    *why = "the draw list is refused: " + *why;
    return nullptr;
  }
  return list;
}

}  // namespace md::imaging
