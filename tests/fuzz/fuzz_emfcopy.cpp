// Fuzzes the metafile helper's passes over an EMF's copy (copies.h), in
// process: whatever the records, the copy libemf2svg reads of whole records
// is whole records, bounded in size.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/metafilecopy_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  md::test::ReadEmfCopyInput(data, size);
  return 0;
}
