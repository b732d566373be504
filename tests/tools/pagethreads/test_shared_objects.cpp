// Process-wide objects of the layout library reached by pages on several
// threads at once: made once by whichever thread comes first, and compared
// with safely by elements ending on other threads.
#include <gtest/gtest.h>

#include <barrier>
#include <thread>
#include <vector>

#include "layout/graphicelement/grid/border/igis_mapborder.h"
#include "layout/graphicelement/igis_element.h"
#include "layout/graphicelement/ole/igis_oleelement.h"
#include "tools/demo/samplepage.h"

namespace {

constexpr int kThreads = 4;

// Frames read their borders through the factory the first of them makes.
TEST(MapBorderFactoryThreads, FramesAskingFirstOnSeveralThreadsGetOneFactory) {
  std::vector<IGIS_MapBorderFactory*> got(kThreads, nullptr);
  {
    std::barrier<> start(kThreads);
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t)
      threads.emplace_back([&, t] {
        start.arrive_and_wait();
        got[t] = GIS_GetMapBorderFactoryObject();
      });
  }
  ASSERT_NE(got[0], nullptr);
  EXPECT_EQ(got, std::vector<IGIS_MapBorderFactory*>(kThreads, got[0]));
  EXPECT_EQ(GIS_GetMapBorderFactoryObject(), got[0]);
}

// The element whose object was opened last is the editing thread's; object
// elements of pages on other threads end meanwhile.
TEST(OleElementThreads, ElementsEndWhileAnotherThreadOpensItsObject) {
  md::demo::Page edited;
  auto* opened = dynamic_cast<IGIS_OleElement*>(edited.Create(GIS_TYPE_GRAPHIC_ELEMENT_OLE));
  ASSERT_NE(opened, nullptr);
  constexpr int kRounds = 50;
  {
    std::vector<std::jthread> threads;
    // It holds no object: each opening fails with its record, the element
    // still the one last opened.
    threads.emplace_back([opened] {
      for (int i = 0; i < kRounds; ++i) EXPECT_FALSE(opened->ActivateObject(nullptr));
    });
    for (int t = 1; t < kThreads; ++t)
      threads.emplace_back([] {
        for (int i = 0; i < kRounds; ++i) {
          md::demo::Page page;
          EXPECT_NE(page.Create(GIS_TYPE_GRAPHIC_ELEMENT_OLE), nullptr);
        }
      });
  }
}

}  // namespace
