// The PageCycle rows' page: up to `wanted` mixed elements (whole sample
// pages), built, stored, saved, loaded and read back.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>
#include <string>

#include "tools/demo/samplepage.h"

namespace md::bench {

// Whole sample pages, as many as fit in `wanted` (a file holds at most
// 100,000 features); NULL when none can be made.
inline std::unique_ptr<md::demo::Page> BuildCyclePage(std::size_t wanted) {
  auto page = md::demo::BuildSamplePage(nullptr);
  const std::size_t batch = page != nullptr ? page->elements().size() : 0;
  while (batch > 0 && page->elements().size() + batch <= wanted) md::demo::AddSampleElements(*page, nullptr);
  return page;
}

// The page stored and saved to `file`; false with *error set.
inline bool SaveCyclePage(md::demo::Page* page, const std::string& file, std::string* error) {
  if (page != nullptr && md::demo::StoreElements(*page, error) && md::demo::SavePage(*page, file, error))
    return true;
  if (error->empty()) *error = "no page";
  return false;
}

// The page of `file` loaded and read back, or NULL with *error set when it
// fails or does not hold `count` elements.
inline std::unique_ptr<md::demo::Page> LoadCyclePage(const std::string& file, std::size_t count,
                                                     std::string* error) {
  auto loaded = md::demo::LoadPage(file, error);
  if (loaded != nullptr && loaded->elements().size() == count) return loaded;
  if (error->empty()) *error = "the page read back differs";
  return nullptr;
}

// One whole round: true with *count set to the page's elements.
inline bool CyclePageOnce(std::size_t wanted, const std::string& file, std::size_t* count,
                          std::string* error) {
  auto page = BuildCyclePage(wanted);
  if (!SaveCyclePage(page.get(), file, error)) return false;
  *count = page->elements().size();
  return LoadCyclePage(file, *count, error) != nullptr;
}

// The "per_element" counter: the time of one iteration over `count`.
inline benchmark::Counter PerElement(std::size_t count) {
  return benchmark::Counter(static_cast<double>(count),
                            benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace md::bench
