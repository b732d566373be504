// One round of the PageCycle rows: a page of up to `wanted` mixed elements
// (whole sample pages) built, stored, saved to `file`, loaded and read back.
#pragma once

#include <cstddef>
#include <string>

#include "tools/demo/samplepage.h"

namespace md::bench {

// True with *count set to the page's elements; false with *error set.
inline bool CyclePageOnce(std::size_t wanted, const std::string& file, std::size_t* count,
                          std::string* error) {
  auto page = md::demo::BuildSamplePage(nullptr);
  const std::size_t batch = page != nullptr ? page->elements().size() : 0;
  while (batch > 0 && page->elements().size() + batch <= wanted) md::demo::AddSampleElements(*page, nullptr);
  if (page == nullptr || !md::demo::StoreElements(*page, error) || !md::demo::SavePage(*page, file, error)) {
    if (error->empty()) *error = "no page";
    return false;
  }
  *count = page->elements().size();
  auto loaded = md::demo::LoadPage(file, error);
  if (loaded == nullptr || loaded->elements().size() != *count) {
    if (error->empty()) *error = "the page read back differs";
    return false;
  }
  return true;
}

}  // namespace md::bench
