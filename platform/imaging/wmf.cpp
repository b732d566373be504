// The Windows metafile reader: the header is checked here, and the records
// are played by the helper program (helper/playwmf.cpp).
#include "platform/imaging/decode.h"
#include "platform/imaging/metafile.h"
#include "platform/imaging/protocol/metafileheader.h"

namespace md::imaging {

DecodeResult DecodeWmf(const std::uint8_t* data, std::size_t size, std::size_t memoryLimit) {
  std::size_t records = 0, end = 0;
  if (const std::string why = detail::CheckWmfHeader(data, size, &records, &end); !why.empty())
    return detail::Fail("WMF", why);
  return detail::RenderMetafile("WMF", Format::Wmf, memoryLimit, data, size);
}

}  // namespace md::imaging
