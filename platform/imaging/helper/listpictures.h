// The pictures of a draw list (listwriter.h): each PNG of the document once,
// however many elements show it, sized for where it shows and written as the
// list's picture records. Nothing is decoded until the records are written,
// one picture at a time.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/imaging/helper/listwriter.h"

namespace md::imaging::detail {

class ListPictures {
 public:
  static constexpr std::uint32_t kNone = UINT32_MAX;

  explicit ListPictures(const ListTarget& target) : target_(target) {}
  const ListTarget& Target() const { return target_; }

  // The picture of an image's reference ("data:image/png;base64,...") and
  // its size, as its PNG header gives them; kNone for what the library's
  // decoder left out: no PNG, a side past what cairo holds, more memory than
  // the limit.
  std::uint32_t Find(std::string_view href);
  // A picture painted here (a pattern's tile), its w x h premultiplied
  // pixels kept until the records are written.
  std::uint32_t AddPainted(std::vector<std::uint32_t> pixels, int w, int h);
  // The pixels of a picture found, decoded (a new surface), or null when
  // they cannot be.
  cairo_surface_t* Decode(std::uint32_t picture) const;
  int Width(std::uint32_t picture) const { return found_[picture].width; }
  int Height(std::uint32_t picture) const { return found_[picture].height; }

  // A showing of the picture, its pixels put into the drawing's space by
  // `shown`, repeated as a pattern or not: its index among the list's
  // pictures, given at its first showing.
  std::uint32_t Show(std::uint32_t picture, const cairo_matrix_t& shown, bool pattern);
  std::uint32_t Count() const { return static_cast<std::uint32_t>(listed_.size()); }

  // Chooses the pixels each picture shown is written at: its own, or (in a
  // box) at most those it shows at; fewer where a showing squeezes a pixel
  // shorter than the reader takes (or, repeated, than its bounds of a
  // pattern's pixels); then all shrunk alike until `vectors` bytes and the
  // pictures' records fit the room (at its own size, kept whole). List, or
  // TooLarge.
  VectorsAnswer Size(std::size_t vectors, std::size_t room);
  // The bytes of the pictures' records, and the scale from the pixels of
  // the picture of index `index` as written to those of the picture found.
  std::size_t Bytes() const;
  double ScaleX(std::uint32_t index) const;
  double ScaleY(std::uint32_t index) const;
  std::uint32_t WidthWritten(std::uint32_t index) const { return listed_[index].width; }
  std::uint32_t HeightWritten(std::uint32_t index) const { return listed_[index].height; }

  // Writes the records at `out`, in the order of their indices: each picture
  // decoded and, when smaller, painted smaller with cairo's good filter;
  // one that cannot be decoded is written clear (it paints nothing, as the
  // library's painter left it out).
  void Write(std::uint8_t* out) const;

 private:
  struct Found {
    std::string_view data;  // the base64 data
    int width = 0, height = 0;
    std::uint32_t index = kNone;
    std::uint32_t painted = kNone;  // its pixels in painted_, when painted here
  };
  struct Listed {
    std::uint32_t found = 0;
    // The most cells of the box a showing of it spans, across its pixels'
    // rows and down their columns.
    double across = 0, down = 0;
    // The most any showing needs its pixels grown, and whether one repeats
    // it.
    double grow = 1;
    bool pattern = false;
    std::uint32_t width = 0, height = 0;  // as written
  };
  void WritePixels(const Listed& picture, std::uint32_t* out) const;

  const ListTarget target_;
  std::vector<Found> found_;
  std::unordered_map<std::string_view, std::uint32_t> byData_;
  std::vector<Listed> listed_;
  std::vector<std::vector<std::uint32_t>> painted_;
};

}  // namespace md::imaging::detail
