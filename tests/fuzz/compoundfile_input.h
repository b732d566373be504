// The check of one compound-file input, shared by the fuzz target and the
// regular tests that replay its seeds: a read either fails and leaves the
// output as it was, or gives a tree that writes and reads back equal. A tree
// that holds an object (embedded, linked or static, with its view record)
// loads either not at all or as an object that stores and loads back the
// same; nothing outside the input is read (a link's source is not touched).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ole/icon.h"
#include "platform/ole/link.h"
#include "platform/ole/objectclass.h"
#include "platform/ole/storage.h"

namespace md::test::fuzz {

// The object of a tree stores and loads back the same, with its view.
inline bool ObjectInTreeHolds(const md::ole::Storage& tree) {
  md::ole::ObjectView view;
  std::unique_ptr<md::ole::EmbeddedObject> object = md::ole::LoadObject(tree, nullptr);
  if (object == nullptr || !md::ole::ReadObjectView(tree, &view, nullptr)) return true;
  SIZE extent{};
  object->GetExtent(&extent);
  md::ole::Storage stored = tree;
  object->Save(&stored);
  md::ole::WriteObjectView(&stored, view);
  md::ole::ObjectView viewAgain;
  std::unique_ptr<md::ole::EmbeddedObject> again = md::ole::LoadObject(stored, nullptr);
  if (again == nullptr || !md::ole::ReadObjectView(stored, &viewAgain, nullptr)) return false;
  const md::ole::LinkedObject* link = object->AsLink();
  const md::ole::LinkedObject* linkAgain = again->AsLink();
  return &again->Class() == &object->Class() && again->Content() == object->Content() &&
         again->IsStatic() == object->IsStatic() && (link == nullptr) == (linkAgain == nullptr) &&
         (link == nullptr || (link->AbsolutePath() == linkAgain->AbsolutePath() &&
                              link->RelativePath() == linkAgain->RelativePath())) &&
         viewAgain == view;
}

inline bool CompoundFileInputHolds(const std::uint8_t* data, std::size_t size) {
  md::ole::Storage tree;
  tree.streams["marker"] = {1};
  const md::ole::Storage before = tree;
  if (!md::ole::ReadCompoundFile(data, size, &tree, nullptr)) return tree == before;
  if (!ObjectInTreeHolds(tree)) return false;
  std::vector<std::uint8_t> again;
  if (!md::ole::WriteCompoundFile(tree, &again, nullptr)) return true;  // names the writer refuses
  md::ole::Storage reread;
  return md::ole::ReadCompoundFile(again.data(), again.size(), &reread, nullptr) && reread == tree;
}

}  // namespace md::test::fuzz
