// Fuzzes the metafile helper's mending of a WMF's copy (copies.h), in
// process: whatever the records, the copy libwmf plays of whole records is
// whole records, and its header counts the words it adds.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/metafilecopy_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  md::test::ReadWmfCopyInput(data, size);
  return 0;
}
