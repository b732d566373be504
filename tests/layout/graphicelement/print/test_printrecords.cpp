// The records of prints failing on several threads at once: each thread
// reads those its own print wrote, and a print writes its record for an
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
#include "tests/support/recordingdevices.h"

namespace {

using md::test::PageTest;
using md::test::TestBoxElement;

std::vector<std::string> Texts(const std::vector<SGIS_LogRecord>& records) {
  std::vector<std::string> texts;
  for (const SGIS_LogRecord& r : records) texts.push_back(r.method + ": " + r.text);
  return texts;
}

// Four threads fail prints of their own pages at once, all between every
// thread's mark and its reading: each reads exactly the records of its own
// prints, while the records since the mark hold everyone's.
TEST(PrintRecordThreads, EachThreadReadsExactlyTheRecordsOfItsOwnPrints) {
  constexpr int kThreads = 4, kPrints = 3;
  std::barrier<> step(kThreads);
  md::test::OnThreads(kThreads, [&step](int t) {
    IGIS_FeatureSet* page = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    IGIS_Log* log = GIS_GetLogPtr();
    const std::size_t mark = log->GetRecordCount();
    std::vector<std::string> mine;
    step.arrive_and_wait();
    for (int i = 0; i < kPrints; ++i) {  // a file name of each print of each thread
      const std::string file = "print-" + std::to_string(t) + "-" + std::to_string(i) + ".jpg";
      EXPECT_FALSE(GIS_PrintPageToFile(page, 29700, 21000, 72, file.c_str()));
      mine.push_back("GIS_PrintPageToFile: \"" + file + "\" ends neither in .png nor in .pdf");
    }
    step.arrive_and_wait();  // every thread's records are written
    EXPECT_EQ(Texts(log->GetThreadRecordsSince(mark)), mine) << "thread " << t;
    EXPECT_EQ(log->GetRecordsSince(mark).size(), std::size_t{kThreads * kPrints});
    page->Release();
  });
}

// A box whose drawing has another thread write a record, then fails, with a
// record of its own or none.
class FailingBox : public TestBoxElement {
 public:
  using TestBoxElement::TestBoxElement;
  BOOL OnDraw(HDC, bool, IGIS_Display*) override {
    std::thread([] { GIS_LOG(GIS_LOG_LEVEL_CHECK, "Other::Thread", "meanwhile"); }).join();
    if (m_recorded) GIS_LOG(GIS_LOG_LEVEL_CHECK, "FailingBox::OnDraw", "its own");
    return FALSE;
  }
  bool m_recorded = false;
};

using PrintRecordsWithThreads = PageTest;

// Another thread's record while an element draws is not the element's: the
// print names an element that failed silently, and adds nothing to one that
// wrote its own.
TEST_F(PrintRecordsWithThreads, AnotherThreadsRecordDuringAFailedElementIsNotItsRecord) {
  for (const bool recorded : {false, true}) {
    auto* box = Keep(new FailingBox(set_, nullptr));
    box->m_recorded = recorded;
    const std::string own = recorded ? "FailingBox::OnDraw: its own"
                                     : "GIS_PrintPageToDC: the element of feature " +
                                           std::to_string(box->GetID()) + " (TEST_BOX) did not draw";
    md::test::RecordingPrinter printer(210, 297, 72, SGIS_Point(0, 29700, 0));
    IGIS_Element* elements[] = {box};
    const std::size_t mark = GIS_GetLogPtr()->GetRecordCount();
    EXPECT_FALSE(GIS_PrintPageToDC(printer.hdc, set_, 21000, 29700, elements, 1));
    EXPECT_EQ(Texts(GIS_GetLogPtr()->GetThreadRecordsSince(mark)), std::vector<std::string>{own});
    EXPECT_EQ(GIS_GetLogPtr()->GetRecordsSince(mark).size(), 2u);
  }
}

}  // namespace
