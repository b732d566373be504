// The check of one compound-file input, shared by the fuzz target and the
// regular tests that replay its seeds: a read either fails and leaves the
// output as it was, or gives a tree that writes and reads back equal.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/ole/storage.h"

namespace md::test::fuzz {

inline bool CompoundFileInputHolds(const std::uint8_t* data, std::size_t size) {
  md::ole::Storage tree;
  tree.streams["marker"] = {1};
  const md::ole::Storage before = tree;
  if (!md::ole::ReadCompoundFile(data, size, &tree, nullptr)) return tree == before;
  std::vector<std::uint8_t> again;
  if (!md::ole::WriteCompoundFile(tree, &again, nullptr)) return true;  // names the writer refuses
  md::ole::Storage reread;
  return md::ole::ReadCompoundFile(again.data(), again.size(), &reread, nullptr) && reread == tree;
}

}  // namespace md::test::fuzz
