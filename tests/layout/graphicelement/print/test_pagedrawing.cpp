// A page drawing that cannot be allocated answers NULL with a record. The
// program allocates through the functions below, which fail when told to.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <utility>

#include "layout/graphicelement/print/gis_pageprint.h"
#include "tests/support/logmark.h"

namespace {
thread_local bool t_failNextAllocation = false;
}  // namespace

void* operator new(std::size_t n) {
  void* p = std::exchange(t_failNextAllocation, false) ? nullptr : std::malloc(n != 0 ? n : 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  return std::exchange(t_failNextAllocation, false) ? nullptr : std::malloc(n != 0 ? n : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(PageDrawing, ADrawingThatCannotBeMadeIsNullWithARecord) {
  md::test::LogMark mark;
  t_failNextAllocation = true;
  void* drawing = GIS_BeginPageDrawing();
  EXPECT_EQ(drawing, nullptr);
  EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, "GIS_BeginPageDrawing", "out of memory"), 1);
  GIS_EndPageDrawing(drawing);
}

}  // namespace
