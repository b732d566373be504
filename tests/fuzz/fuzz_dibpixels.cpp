// Fuzzes the metafile helper's DIB reader (dibpixels.h), in process: a DIB
// of any header averaged down to any size reads only its bytes and writes
// the size asked for, of premultiplied pixels.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/metafilecopy_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  md::test::ReadDibInput(data, size);
  return 0;
}
