// The painter of a metafile's SVG document (svgdrawing.h): the elements of
// what cairo's SVG surface writes, read once, painted with cairo calls
// straight into the target, paths as paths. Its work is linear in what the
// document draws (svgmeasure.h): it lays out nothing, rasterizes nothing
// itself and decodes each picture once a print.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/canvas/canvas.h"
#include "platform/imaging/svgreader.h"

namespace md::imaging::detail {

// A document's elements, read once and shared by its prints.
class SvgDocument {
 public:
  static constexpr std::uint32_t kNone = UINT32_MAX;
  struct Node {
    std::string_view name;
    std::uint32_t firstAttribute = 0, attributes = 0;
    std::uint32_t firstChild = kNone, next = kNone;
  };

  // The document's elements; NULL with the reason in *why when it holds
  // what is not painted as paths here: a filter outside a mask (cairo's
  // own there turns the mask's alpha into its luminance, which a mask's
  // alpha is here), a pattern but of one picture, a mask of pictures but one
  // alone, a picture inside a group painted with opacity or a mask (cairo's
  // groups in a PDF file keep what they hold past the file's end), a
  // gradient of more stops than cairo adds in a time of its size. Its
  // references must not run in a cycle, nor deeper than the measure allows
  // (MeasureSvg): they are followed.
  static std::shared_ptr<const SvgDocument> Read(std::string text, std::string* why);

  // What it holds: its text and its elements.
  std::size_t Bytes() const;
  const std::vector<Node>& Nodes() const { return nodes_; }
  std::string_view Attribute(std::uint32_t node, std::string_view name) const;
  // The element of an id ("#id" or "url(#id)" as written); kNone when none.
  std::uint32_t Named(std::string_view reference) const;
  // The elements that are pictures, in order; a print decodes each.
  const std::vector<std::uint32_t>& Pictures() const { return pictures_; }

 private:
  // Whether the element is a picture or a use of one.
  bool OnePicture(std::uint32_t n) const;
  // Whether the mask holds one picture only, in groups of one element each
  // (as cairo writes a picture's mask), which a print masks with straight.
  bool MaskedByOnePicture(std::uint32_t mask) const;

  std::string text_;
  std::vector<Node> nodes_;
  std::vector<svg::Attribute> attributes_;
  std::unordered_map<std::string_view, std::uint32_t> ids_;
  std::vector<std::uint32_t> pictures_;
};

// A print of the document over a view box of width x height: its pictures
// decoded now, within memoryLimit each, into image surfaces of its own,
// which it holds as long as it lives and a surface it was painted into
// refers to them (a picture that cannot be decoded is left out).
std::shared_ptr<const canvas::VectorDrawing> PrintSvg(std::shared_ptr<const SvgDocument> document,
                                                      double width, double height, std::size_t memoryLimit);

}  // namespace md::imaging::detail
