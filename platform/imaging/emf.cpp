// The enhanced metafile reader: the header is checked here, and the records
// are drawn by the helper program (helper/playemf.cpp).
#include "platform/imaging/decode.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/protocol/metafileheader.h"

namespace md::imaging {

DecodeResult DecodeEmf(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit) {
  detail::EmfFrame f;
  const std::string why = detail::ReadEmfHeader(data, size, &f);
  if (!why.empty()) return detail::Fail("EMF", why);
  return detail::RenderMetafile("EMF", Format::Emf, memoryLimit, data, f.declared);
}

}  // namespace md::imaging
