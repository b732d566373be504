// A structural check of a compound file before it is read: the header's
// fields, the sector tables, every chain (in range, ending, never looping),
// the directory tree and each stream's size against its chain.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace md::ole::detail {

bool ValidateCompoundFile(const std::uint8_t* data, std::size_t size, std::string* pError);

}  // namespace md::ole::detail
