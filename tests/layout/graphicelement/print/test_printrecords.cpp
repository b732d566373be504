// The records of prints failing on several threads at once: each thread
// reads those its own print wrote.
#include <gtest/gtest.h>

#include <barrier>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/featra/igis_feature.h"
#include "layout/graphicelement/print/gis_pageprint.h"
#include "tests/support/onthreads.h"

namespace {

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

}  // namespace
