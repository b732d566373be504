#include "platform/imaging/helper/svg/svgmeasure.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/canvas/pngencode.h"
#include "platform/imaging/helper/svg/svgreader.h"

namespace md::imaging::detail {
namespace {

using md::canvas::kPngSignature;
using svg::kBlanks;
using svg::kPngData;

// Counts stop growing here, far past every bound: each term is clamped to
// it, so that two of them add without overflow.
constexpr std::uint64_t kCountCap = std::uint64_t{1} << 62;
std::uint64_t Sum(std::uint64_t a, std::uint64_t b) {
  return std::min(std::min(a, kCountCap) + std::min(b, kCountCap), kCountCap);
}

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
    if (const int a = svg::PathArity(c); a >= 0) {
      arity = a;
      move = (c | 0x20) == 'm';
      if (a == 0) segments = Sum(segments, 1);
    }
    ++at;
  }
  return segments;
}

// The length of the lines through a path's points, its curves' control
// points included: the most the path itself is long.
class PathLength final : public svg::PathSink {
 public:
  void Move(double x, double y) override { x_ = startX_ = x, y_ = startY_ = y; }
  void Line(double x, double y) override { To(x, y); }
  void Curve(double x1, double y1, double x2, double y2, double x3, double y3) override {
    To(x1, y1);
    To(x2, y2);
    To(x3, y3);
  }
  void Close() override { To(startX_, startY_); }
  double length = 0;

 private:
  void To(double x, double y) {
    length += std::hypot(x - x_, y - y_);
    x_ = x, y_ = y;
  }
  double x_ = 0, y_ = 0, startX_ = 0, startY_ = 0;
};

// The dashes a stroke of that length with the dash array (as a style gives
// it) is cut into; 0 without dashes (an array of no length or with a
// negative length paints a solid line).
std::uint64_t Dashes(std::string_view dashArray, double length) {
  double v = 0, period = 0;
  std::uint64_t entries = 0;
  for (svg::Numbers numbers(dashArray); numbers.Next(&v); ++entries) {
    if (v < 0) return 0;
    period += v;
  }
  if (!(period > 0)) return 0;
  const double dashes = std::ceil(length / period * static_cast<double>(entries));
  return dashes < static_cast<double>(kCountCap) ? static_cast<std::uint64_t>(dashes) : kCountCap;
}

// The largest side of a PNG picture: its header gives each side in four
// bytes, of which a value past this is not a PNG.
constexpr std::uint64_t kPngMaxSide = 0x7FFFFFFF;

// The pixels of the PNG data (base64, blanks between allowed), from its
// header: none when something other than base64 stands where the header
// should be, or when a side is past what a PNG may have; 0 when the data
// ends or holds no PNG header there (nothing of it is decoded).
std::optional<std::uint64_t> PngPixels(std::string_view base64) {
  std::size_t stop = 0;
  const std::vector<std::uint8_t> b = svg::Base64Bytes(base64, 24, true, &stop);
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
  if (be32(16) > kPngMaxSide || be32(20) > kPngMaxSide) return std::nullopt;
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
  bool layer = false;
  svg::ForEachDeclaration(style, [&](std::string_view property, std::string_view value) {
    layer = layer || (property == "opacity" && Translucent(value)) ||
            ((property == "mask" || property == "filter") && value.find("none") == std::string_view::npos);
  });
  return layer;
}

constexpr std::uint32_t kNoElement = UINT32_MAX;

// What one pass over a document's tags reads of it: each element, what it
// draws itself, and the ids its attributes name.
struct Elements {
  struct Element {
    std::uint32_t parent = kNoElement;
    bool inPlace = true;  // painted where it stands
    bool layer = false;
    std::uint64_t segments = 0, dashes = 0;
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
  svg::Reader reader(svg);
  svg::Piece tag;
  while (r.refusal.empty() && reader.Next(&tag)) {
    if (tag.kind == svg::Piece::Kind::End && !open.empty()) open.pop_back();
    if (tag.kind != svg::Piece::Kind::Start) continue;
    if (r.elements.size() >= kNoElement) {
      r.refusal = "it holds too many elements";
      break;
    }
    const std::string_view name = tag.name;
    const auto self = static_cast<std::uint32_t>(r.elements.size());
    Elements::Element e;
    e.parent = open.empty() ? kNoElement : open.back();
    e.inPlace = !svg::PaintedByReference(name);
    e.segments = name == "rect" ? 4 : 0;
    std::string_view dashArray;
    double length =
        2 * (svg::Number(svg::AttributeOf(tag, "width")) + svg::Number(svg::AttributeOf(tag, "height")));
    for (const auto& [attribute, text] : tag.attributes) {
      if (attribute == "id") {
        r.ids.emplace(text, self);  // the first element of an id is the one named
      } else if (attribute == "xlink:href" || attribute == "href") {
        if (text.starts_with('#')) r.references.emplace_back(self, text.substr(1));
        std::string scheme(text.substr(0, kPngData.size()));
        for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        // Each picture is decoded once, however many show it.
        if (name == "image" && scheme == kPngData && pictures.insert(text).second) {
          const std::optional<std::uint64_t> pixels = PngPixels(text.substr(kPngData.size()));
          if (!pixels) r.refusal = "the size of a picture it holds cannot be read";
          r.picturePixels = Sum(r.picturePixels, pixels.value_or(0));
        }
      } else if (attribute == "d") {
        e.segments = Sum(e.segments, PathSegments(text));
        PathLength path;
        svg::ReadPath(text, &path);
        length = path.length;
      } else if (attribute == "style") {
        e.layer = e.layer || StyleMakesLayer(text);
        svg::ForEachDeclaration(text, [&](std::string_view property, std::string_view value) {
          if (property == "stroke-dasharray") dashArray = value;
        });
      } else if (attribute == "opacity") {
        e.layer = e.layer || Translucent(text);
      } else if (attribute == "mask" || attribute == "filter") {
        e.layer = e.layer || text.find("none") == npos;
      }
      if (attribute != "d")
        ForEachUrl(text, [&](std::string_view id) { r.references.emplace_back(self, id); });
    }
    if (name == "path" || name == "rect") e.dashes = Dashes(dashArray, std::fabs(length));
    r.elements.push_back(e);
    if (!tag.empty) open.push_back(self);
  }
  if (r.refusal.empty()) r.refusal = reader.error();
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
    std::uint64_t instances = 0, segments = 0, layers = 0, depth = 0, dashes = 0;
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
      Totals t{1, elements[e].segments, elements[e].layer ? 1u : 0u, 1, elements[e].dashes};
      for (std::uint32_t k = first[e]; k < first[e + 1]; ++k) {
        const Totals& of = totals[drawn[k]];
        t = {Sum(t.instances, of.instances), Sum(t.segments, of.segments), Sum(t.layers, of.layers),
             std::max(t.depth, of.depth + 1), Sum(t.dashes, of.dashes)};
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
    m->depth = std::max(m->depth, totals[e].depth);
    m->dashes = Sum(m->dashes, totals[e].dashes);
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

std::string SvgPastBounds(const SvgMeasure& m) {
  if (!m.refusal.empty()) return m.refusal;
  const auto past = [](std::uint64_t n, std::uint64_t bound, const char* what) {
    return n <= bound ? std::string()
                      : "it draws " + std::to_string(n) + " " + what + ", more than the " +
                            std::to_string(bound) + " allowed";
  };
  for (std::string why :
       {past(m.instances, kSvgMaxInstances, "elements (its references followed)"),
        past(m.segments, kSvgMaxSegments, "path segments"),
        past(m.layers, kSvgMaxLayers, "layers (elements with opacity, a mask or a filter)"),
        past(m.depth, kSvgMaxDepth, "elements one inside another (its references followed)"),
        past(m.dashes, kSvgMaxDashes, "dashes")})
    if (!why.empty()) return why;
  constexpr std::uint64_t kMiB = 1 << 20, kPixelsAMiB = kMiB / kSvgPictureBytesPerPixel;
  if (m.picturePixels > kSvgMaxPicturePixels)
    return "its pictures take " + std::to_string(m.picturePixels / kPixelsAMiB) +
           " MiB decoded, more than the " + std::to_string(kSvgMaxPicturePixels / kPixelsAMiB) +
           " MiB the metafile helper may hold";
  return "";
}

}  // namespace md::imaging::detail
