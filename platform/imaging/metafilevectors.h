// A metafile's drawing as vectors, as its helper answered it with the
// picture's pixels (protocol/answer.h): a draw list read and checked here
// (drawlistread.h) that draws it at every size, or word that its list is
// asked for at each box it is printed into (its pictures are large), or why
// it is not drawn as vectors at all (its pixels are drawn instead).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/canvas/canvas.h"
#include "platform/imaging/drawlistread.h"
#include "platform/imaging/protocol/answer.h"

namespace md::imaging {

class MetafileVectors {
 public:
  // A list for every size.
  explicit MetafileVectors(std::shared_ptr<const DrawList> list);
  // Its list asked for at each box (perBox), or refused for `why`.
  static std::shared_ptr<const MetafileVectors> PerBox();
  static std::shared_ptr<const MetafileVectors> Refused(std::string why);

  // Whether it is drawn as vectors; why not, when it is not.
  bool Readable() const { return refusal_.empty(); }
  const std::string& Refusal() const { return refusal_; }
  // Whether its list is asked for at each box.
  bool AskedPerBox() const { return perBox_; }
  // The drawing of its list for every size; NULL when it is asked for per
  // box or refused.
  const std::shared_ptr<const canvas::VectorDrawing>& Drawing() const { return drawing_; }
  // What it holds in memory.
  std::size_t Bytes() const;

 private:
  MetafileVectors() = default;
  std::shared_ptr<const canvas::VectorDrawing> drawing_;
  std::size_t listBytes_ = 0;
  bool perBox_ = false;
  std::string refusal_;
};

namespace detail {

// Why the helper's answer `vectors` (a VectorsAnswer) draws no list, in the
// library's words; "" for a list or a list per box.
std::string VectorsRefusal(std::uint32_t vectors);

}  // namespace detail
}  // namespace md::imaging
