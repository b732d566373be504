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
    bool picture = false;  // it, or what it draws, shows a picture
  };

  // The document's elements; NULL with the reason in *why when it holds
  // what is not painted as paths here: a filter but the one turning a
  // mask's alpha into its luminance, a pattern but of one picture, a
  // picture inside a group painted with opacity or a mask (cairo's groups
  // in a PDF file keep what they hold past the file's end), or a reference
  // to nothing. Its references must not run in a cycle (MeasureSvg).
  static std::shared_ptr<const SvgDocument> Read(std::string text, std::string* why);

  const std::string& Text() const { return text_; }
  // What it holds: its text and its elements.
  std::size_t Bytes() const;
  const std::vector<Node>& Nodes() const { return nodes_; }
  std::string_view Attribute(std::uint32_t node, std::string_view name) const;
  // The element of an id ("#id" or "url(#id)" as written); kNone when none.
  std::uint32_t Named(std::string_view reference) const;
  // The elements that are pictures, in order; a print decodes each.
  const std::vector<std::uint32_t>& Pictures() const { return pictures_; }

 private:
  std::string text_;
  std::vector<Node> nodes_;
  std::vector<svg::Attribute> attributes_;
  std::unordered_map<std::string_view, std::uint32_t> ids_;
  std::vector<std::uint32_t> pictures_;
};

// A print of the document over a view box of width x height: its pictures
// decoded now, within memoryLimit each, into image surfaces of its own,
// which it holds as long as it lives and a surface it was painted into
// refers to them. NULL when a picture cannot be decoded.
std::shared_ptr<const canvas::VectorDrawing> PrintSvg(std::shared_ptr<const SvgDocument> document,
                                                      double width, double height, std::size_t memoryLimit);

}  // namespace md::imaging::detail
