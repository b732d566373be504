// A page drawing that cannot be allocated answers NULL with a record, and a
// call on a page that runs out of memory FALSE with one. The
// program allocates through the functions below, which fail when told to.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <utility>

#include "host/basilo/releaseptr.h"
#include "host/featra/igis_feature.h"
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

// A call that takes a page whole and runs out of memory at its first
// allocation answers FALSE with one record under its name, throwing nothing.
TEST(PageDrawing, ACallOnAPageThatRunsOutOfMemoryIsFalseWithARecord) {
  md::basilo::ReleasePtr<IGIS_FeatureSet> page(
      GIS_CreateFeatureSetObject(nullptr, "layout", 0, 0, 0, 0, nullptr));
  const std::string file =
      (std::filesystem::temp_directory_path() / ("pagedrawing-" + std::to_string(::getpid()) + ".mdfs"))
          .string();
  ASSERT_TRUE(page->SaveToFile(file.c_str()));
  const struct {
    const char* method;
    std::function<BOOL()> call;
  } rows[] = {
      {"GIS_PrintPageToFile", [&] { return GIS_PrintPageToFile(page.get(), 2000, 2000, 72, "out.png"); }},
      {"CGIS_FeatureSet::SaveToFile", [&] { return page->SaveToFile(file.c_str()); }},
      {"CGIS_FeatureSet::LoadFromFile", [&] { return page->LoadFromFile(file.c_str()); }},
      {"CGIS_FeatureSet::LoadPageFromFile", [&] { return page->LoadPageFromFile(file.c_str()); }},
  };
  for (const auto& row : rows) {
    md::test::LogMark mark;
    t_failNextAllocation = true;
    EXPECT_FALSE(row.call()) << row.method;
    t_failNextAllocation = false;
    EXPECT_EQ(mark.Count(), 1u) << row.method;
    EXPECT_EQ(mark.Count(GIS_LOG_LEVEL_CHECK, row.method, "out of memory"), 1) << row.method;
  }
  std::filesystem::remove(file);
}
