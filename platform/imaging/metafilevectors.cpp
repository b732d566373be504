#include "platform/imaging/metafilevectors.h"

#include "platform/imaging/drawlistpaint.h"

namespace md::imaging {

MetafileVectors::MetafileVectors(std::shared_ptr<const DrawList> list)
    : drawing_(std::make_shared<DrawListDrawing>(list)), listBytes_(list->Bytes()) {}

std::shared_ptr<const MetafileVectors> MetafileVectors::PerBox() {
  std::shared_ptr<MetafileVectors> v(new MetafileVectors);
  v->perBox_ = true;
  return v;
}

std::shared_ptr<const MetafileVectors> MetafileVectors::Refused(std::string why) {
  std::shared_ptr<MetafileVectors> v(new MetafileVectors);
  v->refusal_ = why.empty() ? "its drawing as vectors is refused" : std::move(why);
  return v;
}

std::size_t MetafileVectors::Bytes() const { return sizeof *this + listBytes_ + refusal_.capacity(); }

std::string detail::VectorsRefusal(std::uint32_t vectors) {
  using V = VectorsAnswer;
  switch (static_cast<V>(vectors)) {
    case V::List:
      return "";
    case V::TooLarge:
      return "its drawing is larger than the " + std::to_string(kListBytes >> 20) + " MiB read as vectors";
    case V::Filter:
      return "it holds a filter, which is drawn from its pixels";
    case V::Pattern:
      return "it holds a pattern of more than one picture, which is drawn from its pixels";
    case V::MaskOfPictures:
      return "it holds a mask of more than one picture, which is drawn from its pixels";
    case V::PictureInLayer:
      return "it holds a picture in a group painted with opacity or a mask, which is drawn from its pixels";
    case V::GradientStops:
      return "it holds a gradient of more than " + std::to_string(drawlist::kMaxStops) +
             " stops, more than are painted as vectors";
    case V::PastBounds:
      return "it draws past the bounds of what is painted as vectors (elements, path segments, layers, "
             "dashes or "
             "depth)";
    case V::Unreadable:
      return "its drawing cannot be read as vectors";
    case V::BadTransform:
      return "it holds a transform that cannot be inverted within bounds";
    default:
      return "the helper answered no drawing as vectors";
  }
}

}  // namespace md::imaging
