#include "platform/imaging/helper/listpictures.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/imaging/helper/listbounds.h"
#include "platform/imaging/helper/svg/svgreader.h"
#include "platform/imaging/protocol/drawlist.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// The bytes of a picture record holding w x h pixels.
std::size_t RecordBytes(std::size_t w, std::size_t h) {
  return sizeof(drawlist::RecordHead) + sizeof(drawlist::PictureHead) + drawlist::Padded(w * h * 4);
}

struct PngRead {
  const std::vector<std::uint8_t>* bytes;
  std::size_t at = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* data, unsigned int length) {
  auto* in = static_cast<PngRead*>(closure);
  if (length > in->bytes->size() - in->at) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(data, in->bytes->data() + in->at, length);
  in->at += length;
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::uint32_t ListPictures::Find(std::string_view href) {
  const std::string_view data = href.substr(std::min(href.size(), svg::kPngData.size()));
  if (const auto it = byData_.find(data); it != byData_.end()) return it->second;
  // The signature, then the header chunk's length and name, its width and
  // height (big-endian).
  const std::vector<std::uint8_t> b = svg::Base64Bytes(data, 24, true);
  const auto be32 = [&](std::size_t at) {
    return std::uint64_t{b[at]} << 24 | std::uint64_t{b[at + 1]} << 16 | std::uint64_t{b[at + 2]} << 8 |
           b[at + 3];
  };
  std::uint32_t found = kNone;
  if (b.size() == 24 && std::equal(b.begin(), b.begin() + 8, std::begin(kPngSignature)) &&
      std::memcmp(b.data() + 12, "IHDR", 4) == 0) {
    const std::uint64_t w = be32(16), h = be32(20);
    if (w >= 1 && h >= 1 && w <= drawlist::kMaxPictureSide && h <= drawlist::kMaxPictureSide &&
        w * h * 4 <= target_.memoryLimit) {
      found = static_cast<std::uint32_t>(found_.size());
      found_.push_back({data, static_cast<int>(w), static_cast<int>(h), kNone});
    }
  }
  byData_.emplace(data, found);
  return found;
}

std::uint32_t ListPictures::AddPainted(std::vector<std::uint32_t> pixels, int w, int h) {
  const auto found = static_cast<std::uint32_t>(found_.size());
  found_.push_back({{}, w, h, kNone, static_cast<std::uint32_t>(painted_.size())});
  painted_.push_back(std::move(pixels));
  return found;
}

cairo_surface_t* ListPictures::Decode(std::uint32_t picture) const {
  const Found& f = found_[picture];
  cairo_surface_t* decoded = nullptr;
  if (f.painted != kNone) {
    decoded = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, f.width, f.height);
    if (cairo_surface_status(decoded) == CAIRO_STATUS_SUCCESS) {
      cairo_surface_flush(decoded);
      const std::vector<std::uint32_t>& pixels = painted_[f.painted];
      for (int y = 0; y < f.height; ++y)
        std::memcpy(cairo_image_surface_get_data(decoded) +
                        std::ptrdiff_t{y} * cairo_image_surface_get_stride(decoded),
                    pixels.data() + std::size_t(y) * f.width, std::size_t(f.width) * 4);
      cairo_surface_mark_dirty(decoded);
    }
  } else {
    const std::vector<std::uint8_t> bytes = svg::Base64Bytes(f.data, f.data.size(), true);
    PngRead in{&bytes};
    decoded = cairo_image_surface_create_from_png_stream(&ReadPng, &in);
  }
  if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS ||
      cairo_image_surface_get_width(decoded) != f.width ||
      cairo_image_surface_get_height(decoded) != f.height) {
    cairo_surface_destroy(decoded);
    return nullptr;
  }
  return decoded;
}

std::uint32_t ListPictures::Show(std::uint32_t picture, const cairo_matrix_t& shown, bool pattern) {
  Found& f = found_[picture];
  if (f.index == kNone) {
    f.index = Count();
    listed_.push_back({picture});
  }
  Listed& l = listed_[f.index];
  // A pixel shown at least as long as the reader takes, in every direction;
  // repeated, at most kMaxPatternPixels of them across the drawing.
  const double shortest = drawlist::Shortest({shown.xx, shown.yx, shown.xy, shown.yy, 0, 0});
  double least = drawlist::kMinPaintFeature;
  if (pattern) least = std::max(least, std::max(target_.width, target_.height) / drawlist::kMaxPatternPixels);
  if (shortest > 0) l.grow = std::max(l.grow, least * (1 + 2 * listbounds::kMargin) / shortest);
  l.pattern = l.pattern || pattern;
  if (target_.boxWidth > 0 && target_.boxHeight > 0) {
    // The picture's rows and columns in the box's cells.
    const double sx = target_.boxWidth / target_.width, sy = target_.boxHeight / target_.height;
    l.across = std::max(l.across, f.width * std::hypot(shown.xx * sx, shown.yx * sy));
    l.down = std::max(l.down, f.height * std::hypot(shown.xy * sx, shown.yy * sy));
  }
  return f.index;
}

VectorsAnswer ListPictures::Size(std::size_t vectors, std::size_t room) {
  const bool box = target_.boxWidth > 0 && target_.boxHeight > 0;
  std::size_t pixels = 0;
  for (Listed& l : listed_) {
    const Found& f = found_[l.found];
    l.width = static_cast<std::uint32_t>(f.width), l.height = static_cast<std::uint32_t>(f.height);
    if (box) {
      // At most the cells it spans (its own pixels when it spans more).
      const auto cap = [](double cells, std::uint32_t own) {
        return cells >= own ? own : static_cast<std::uint32_t>(std::max(1.0, std::ceil(cells)));
      };
      l.width = cap(l.across, l.width), l.height = cap(l.down, l.height);
    }
    const auto fewer = [&](std::uint32_t own, double most) {
      return static_cast<std::uint32_t>(std::clamp(std::floor(most), 1.0, static_cast<double>(own)));
    };
    if (l.grow > 1) l.width = fewer(l.width, f.width / l.grow), l.height = fewer(l.height, f.height / l.grow);
    if (l.pattern)
      l.width = fewer(l.width, drawlist::kMaxPatternPixels),
      l.height = fewer(l.height, drawlist::kMaxPatternPixels);
    pixels += std::size_t{l.width} * l.height;
  }
  if (vectors > room) return VectorsAnswer::TooLarge;
  if (Bytes() <= room - vectors) return VectorsAnswer::List;
  if (!box) return VectorsAnswer::TooLarge;
  // All shrunk by one factor, a little more each time, until they fit: at
  // worst a pixel each.
  const std::vector<Listed> sized = listed_;
  double f = std::sqrt(static_cast<double>(room - vectors) / static_cast<double>(Bytes()));
  for (;;) {
    bool least = true;
    for (std::size_t k = 0; k < listed_.size(); ++k) {
      listed_[k].width = static_cast<std::uint32_t>(std::max(1.0, std::floor(sized[k].width * f)));
      listed_[k].height = static_cast<std::uint32_t>(std::max(1.0, std::floor(sized[k].height * f)));
      least = least && listed_[k].width == 1 && listed_[k].height == 1;
    }
    if (Bytes() <= room - vectors) return VectorsAnswer::List;
    if (least) return VectorsAnswer::TooLarge;
    f *= 0.9;
  }
}

std::size_t ListPictures::Bytes() const {
  std::size_t bytes = 0;
  for (const Listed& l : listed_) bytes += RecordBytes(l.width, l.height);
  return bytes;
}

double ListPictures::ScaleX(std::uint32_t index) const {
  return static_cast<double>(found_[listed_[index].found].width) / listed_[index].width;
}

double ListPictures::ScaleY(std::uint32_t index) const {
  return static_cast<double>(found_[listed_[index].found].height) / listed_[index].height;
}

void ListPictures::Write(std::uint8_t* out) const {
  for (const Listed& l : listed_) {
    const std::size_t pixels = std::size_t{l.width} * l.height;
    const drawlist::RecordHead head{static_cast<std::uint32_t>(drawlist::Kind::Picture),
                                    static_cast<std::uint32_t>(RecordBytes(l.width, l.height) - 8)};
    const drawlist::PictureHead size{l.width, l.height};
    std::memcpy(out, &head, sizeof head);
    std::memcpy(out + sizeof head, &size, sizeof size);
    out += sizeof head + sizeof size;
    WritePixels(l, reinterpret_cast<std::uint32_t*>(out));
    std::memset(out + pixels * 4, 0, drawlist::Padded(pixels * 4) - pixels * 4);
    out += drawlist::Padded(pixels * 4);
  }
}

void ListPictures::WritePixels(const Listed& l, std::uint32_t* out) const {
  const Found& f = found_[l.found];
  const std::size_t pixels = std::size_t{l.width} * l.height;
  cairo_surface_t* picture = Decode(l.found);
  bool painted = picture != nullptr;
  if (painted) {
    // Painted over the pixels as written, whatever format cairo decoded it
    // into (one without alpha opaque); smaller with the good filter, its
    // edges' pixels carried to the edges.
    cairo_surface_t* written = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(out), CAIRO_FORMAT_ARGB32, static_cast<int>(l.width),
        static_cast<int>(l.height), static_cast<int>(l.width) * 4);
    cairo_t* cr = cairo_create(written);
    cairo_scale(cr, static_cast<double>(l.width) / f.width, static_cast<double>(l.height) / f.height);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    painted = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_flush(written);
    cairo_surface_destroy(written);
  }
  cairo_surface_destroy(picture);
  if (!painted) std::memset(out, 0, pixels * 4);
  // Premultiplied, each colour at most its alpha, whatever rounding did.
  for (std::size_t k = 0; k < pixels; ++k) {
    const std::uint32_t p = out[k], a = p >> 24;
    out[k] = a << 24 | std::min((p >> 16) & 0xFF, a) << 16 | std::min((p >> 8) & 0xFF, a) << 8 |
             std::min(p & 0xFF, a);
  }
}

}  // namespace md::imaging::detail
