// The records of prints failing on several threads at once: each thread
// reads those its own prints wrote, and a print writes its record for an
// element that failed silently whatever another thread writes meanwhile.
#include <gtest/gtest.h>

#include <barrier>
#include <string>
#include <thread>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/print/gis_pageprintdc.h"
#include "tests/layout/graphicelement/element/elementtest.h"
#include "tests/support/onthreads.h"
#include "tests/support/owned.h"
#include "tests/support/recordingdevices.h"

namespace md::test {
namespace {

// A box whose drawing has another thread write a record, then fails, with a
// record of its own when `recorded`.
class FailingBox : public TestBoxElement {
 public:
  FailingBox(IGIS_FeatureSet* set, bool recorded) : TestBoxElement(set, nullptr), recorded_(recorded) {}
  BOOL OnDraw(HDC, bool, IGIS_Display*) override {
    std::thread([] { GIS_LOG(GIS_LOG_LEVEL_CHECK, "Other::Thread", "meanwhile"); }).join();
    if (recorded_) GIS_LOG(GIS_LOG_LEVEL_CHECK, "FailingBox::OnDraw", "its own");
    return FALSE;
  }
  const bool recorded_;
};

// Four threads fail prints of their own pages at once, all between every
// thread's mark and its reading: three to a file of no known kind, then one
// of a box that fails while another thread writes a record. Each thread
// reads exactly the records of its own prints: the box's own record, or the
// print's naming the box when it wrote none.
TEST(PrintRecordThreads, EachThreadReadsExactlyTheRecordsOfItsOwnPrintsWhateverOthersWrite) {
  md::layout::InstallElementHooks();
  std::barrier<> step(4);
  OnThreads(4, [&step](int t) {
    const Owned<IGIS_FeatureSet> page(GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr));
    const Owned<IGIS_Element> box(new FailingBox(page.get(), t % 2 == 1));
    RecordingPrinter printer(210, 297, 72, SGIS_Point(0, 29700, 0));
    const std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
    std::vector<std::string> mine, read;
    step.arrive_and_wait();
    for (int i = 0; i < 3; ++i) {
      const std::string file = "print-" + std::to_string(t) + "-" + std::to_string(i) + ".jpg";
      EXPECT_FALSE(GIS_PrintPageToFile(page.get(), 29700, 21000, 72, file.c_str()));
      mine.push_back("GIS_PrintPageToFile: \"" + file + "\" ends neither in .png nor in .pdf");
    }
    IGIS_Element* const elements[] = {box.get()};
    EXPECT_FALSE(GIS_PrintPageToDC(printer.hdc, page.get(), 21000, 29700, elements, 1));
    mine.push_back(t % 2 == 1 ? "FailingBox::OnDraw: its own"
                              : "GIS_PrintPageToDC: the element of feature " + std::to_string(box->GetID()) +
                                    " (TEST_BOX) did not draw");
    step.arrive_and_wait();  // every thread's records are written
    for (const SGIS_LogRecord& r : GIS_GetLogPtr()->GetThreadRecordsSince(mark))
      read.push_back(r.method + ": " + r.text);
    EXPECT_EQ(read, mine) << "thread " << t;
    EXPECT_EQ(GIS_GetLogPtr()->GetRecordsSince(mark).size(), 4u * 5);  // with the box's other threads'
  });
}

}  // namespace
}  // namespace md::test
