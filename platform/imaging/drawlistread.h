// The library's one reader of what the metafile helper answers as vectors: a
// draw list (protocol/drawlist.h), taken from the run's buffer into memory of
// its own and checked in one pass, record by record, before anything of it is
// painted (drawlistpaint.h). Whatever the bytes hold, reading them is linear
// in their length and either gives a list every record of which passed, or
// none and why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/imaging/protocol/drawlist.h"

namespace md::imaging {

class DrawList {
 public:
  // A record that passed, by where its payload lies in Data().
  struct Record {
    drawlist::Kind kind{};
    std::uint32_t at = 0;  // the payload's offset
    std::uint32_t bytes = 0;
  };
  // A picture: where its pixels lie in Data(), and its size.
  struct Picture {
    std::uint32_t at = 0;
    std::uint32_t width = 0, height = 0;
  };

  // The drawing's own space, (0, 0) to (Width(), Height()).
  double Width() const { return width_; }
  double Height() const { return height_; }
  const std::uint8_t* Data() const { return bytes_.data(); }
  const std::vector<Record>& Records() const { return records_; }
  const std::vector<Picture>& Pictures() const { return pictures_; }
  // The gradients' payloads, by index.
  const std::vector<std::uint32_t>& Gradients() const { return gradients_; }
  // What it holds in memory.
  std::size_t Bytes() const;

 private:
  friend std::shared_ptr<const DrawList> ReadDrawList(const std::uint8_t* data, std::size_t size,
                                                      std::string* why);
  std::vector<std::uint8_t> bytes_;
  double width_ = 0, height_ = 0;
  std::vector<Record> records_;
  std::vector<Picture> pictures_;
  std::vector<std::uint32_t> gradients_;
};

// The list in the `size` bytes at `data` (the helper's buffer, which may
// change while it is read: each field is taken once, into the list's own
// memory, and checked there), or NULL with the reason in *why: the first
// record, by its number, that fails a check of protocol/FORMAT.md, and the
// check.
std::shared_ptr<const DrawList> ReadDrawList(const std::uint8_t* data, std::size_t size, std::string* why);

}  // namespace md::imaging
