// Reads arbitrary bytes as a BMP file. A read either fails with a reason or
// gives a picture whose pixel count matches its size, within the limit.
#include <cstddef>
#include <cstdint>

#include "platform/imaging/decode.h"
#include "tests/fuzz/imagecheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  md::test::CheckDecode(md::imaging::DecodeBmp(data, size, md::test::kFuzzImageLimit));
  return 0;
}
