#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/basilo/igis_globalproperties.h"
#include "host/basilo/igis_log.h"
#include "tests/support/logmark.h"

using md::test::LogMark;

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

TEST(Log, WriteKeepsEveryValueOfTheRecord) {
  LogMark mark;
  GIS_GetLogPtr()->Write(3, "CGIS_CompoundElement::GetRect", "m_pFeature == NULL",
                         "layout/graphicelement/cgis_compoundelement.cpp", 120, "Mon Dec  7 04:00:00 2026");
  GIS_GetLogPtr()->Write(1, nullptr, nullptr, nullptr, 0, nullptr);
  const auto records = mark.Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].level, 3);
  EXPECT_EQ(records[0].method, "CGIS_CompoundElement::GetRect");
  EXPECT_EQ(records[0].text, "m_pFeature == NULL");
  EXPECT_EQ(records[0].sourcePath, "layout/graphicelement/cgis_compoundelement.cpp");
  EXPECT_EQ(records[0].line, 120);
  EXPECT_EQ(records[0].buildDate, "Mon Dec  7 04:00:00 2026");
  EXPECT_EQ(records[1].level, 1);
  EXPECT_EQ(records[1].method, "");
  EXPECT_EQ(records[1].text, "");
}

TEST(Log, MacroFormatsTheTextAndFillsPathLineAndDate) {
  LogMark mark;
  const int line = __LINE__ + 1;
  GIS_LOG(4, "CGIS_Test::Method", "%s, p_buffer->GetBufferPtr() == NULL %d", "符号", 7);
  const auto records = mark.Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].level, 4);
  EXPECT_EQ(records[0].method, "CGIS_Test::Method");
  EXPECT_EQ(records[0].text, "符号, p_buffer->GetBufferPtr() == NULL 7");
  EXPECT_EQ(records[0].sourcePath, "tests/host/basilo/test_log.cpp");  // relative to the repository
  EXPECT_EQ(records[0].line, line);
  EXPECT_FALSE(records[0].buildDate.empty());

  // The record reaches the log file in the temporary folder, on one line.
  const std::string path = GIS_GetLogPtr()->GetFilePath();
  EXPECT_EQ(path.rfind(GIS_GetTempDir(), 0), 0u);
  GIS_LOG(2, "CGIS_Test::File", "two\nlines %d", line);
  const std::string text = ReadFile(path);
  EXPECT_NE(text.find("CGIS_Test::File: two\\nlines " + std::to_string(line)), std::string::npos);
}

TEST(Log, RecordsSinceAMarkAndFileOutputSwitch) {
  IGIS_Log* log = GIS_GetLogPtr();
  const std::size_t before = log->GetRecordCount();
  log->EnableFileOutput(FALSE);
  for (int i = 0; i < 3; ++i) GIS_LOG(3, "CGIS_Test::Loop", "record %d", i);
  log->EnableFileOutput(TRUE);
  EXPECT_EQ(log->GetRecordCount(), before + 3);
  const auto since = log->GetRecordsSince(before + 1);
  ASSERT_EQ(since.size(), 2u);
  EXPECT_EQ(since[0].text, "record 1");
  EXPECT_EQ(since[1].text, "record 2");
  EXPECT_TRUE(log->GetRecordsSince(before + 3).empty());
  EXPECT_EQ(ReadFile(log->GetFilePath()).find("CGIS_Test::Loop: record 1 "), std::string::npos);
}

// A thread's own count tells what its calls wrote, whatever other threads write.
TEST(LogThreads, EachThreadCountsTheRecordsItWrote) {
  GIS_GetLogPtr()->EnableFileOutput(FALSE);
  const std::size_t mine = GIS_GetThreadLogRecordCount();
  std::size_t theirs = 0;
  std::thread([&theirs] {
    for (int i = 0; i < 3; ++i) GIS_LOG(3, "CGIS_Test::Other", "record %d", i);
    theirs = GIS_GetThreadLogRecordCount();
  }).join();
  GIS_LOG(3, "CGIS_Test::Mine", "record");
  GIS_GetLogPtr()->EnableFileOutput(TRUE);
  EXPECT_EQ(GIS_GetThreadLogRecordCount() - mine, 1u);
  EXPECT_EQ(theirs, 3u);
}

// A thread that marks, writes, waits while other threads write past the
// records kept for all threads, and writes again reads every record of its
// own since the mark, up to its own most recent 4,096; past those, its older
// ones only while they are still among the records kept for all.
TEST(LogThreads, AThreadReadsItsOwnRecordsWhateverOtherThreadsWrite) {
  const struct {
    int before, others;
    std::size_t read;  // of the thread's own before + 1 records, the last ones read
  } rows[] = {
      {1, 65536 + 10, 2},       // its own outlast other threads' records
      {4096 + 4, 0, 4096 + 5},  // past its own bound, still among those of all threads
      {4096 + 4, 65536, 4096},  // past both: its own most recent 4,096
  };
  IGIS_Log* log = GIS_GetLogPtr();
  log->EnableFileOutput(FALSE);
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.before) + " own, " + std::to_string(row.others) + " of another thread");
    const std::size_t mark = log->GetRecordCount();
    const auto write = [log](const char* method, int i) {
      log->Write(3, method, std::to_string(i).c_str(), "p.cpp", 1, "date");
    };
    for (int i = 0; i < row.before; ++i) write("CGIS_Test::Mine", i);
    std::thread([&] {
      for (int i = 0; i < row.others; ++i) write("CGIS_Test::Other", i);
    }).join();
    write("CGIS_Test::Mine", row.before);
    const std::vector<SGIS_LogRecord> read = log->GetThreadRecordsSince(mark);
    ASSERT_EQ(read.size(), row.read);
    for (std::size_t i = 0; i < read.size(); ++i) {
      ASSERT_EQ(read[i].method, "CGIS_Test::Mine");
      ASSERT_EQ(read[i].text, std::to_string(row.before + 1 - row.read + i));
    }
  }
  log->EnableFileOutput(TRUE);
}

TEST(Log, OnlyTheKeptNumberOfRecordsStaysInMemory) {
  IGIS_Log* log = GIS_GetLogPtr();
  log->EnableFileOutput(FALSE);
  const std::size_t before = log->GetRecordCount();
  log->SetKeptRecordCount(2);
  for (int i = 0; i < 3; ++i) GIS_LOG(3, "CGIS_Test::Kept", "kept %d", i);
  auto since = log->GetRecordsSince(before);
  ASSERT_EQ(since.size(), 2u);
  EXPECT_EQ(since[0].text, "kept 1");
  log->SetKeptRecordCount(0);
  EXPECT_TRUE(log->GetRecordsSince(before).empty());
  GIS_LOG(3, "CGIS_Test::Kept", "counted, not kept");
  EXPECT_EQ(log->GetRecordCount(), before + 4);
  EXPECT_TRUE(log->GetRecordsSince(before).empty());
  log->SetKeptRecordCount(65536);
  log->EnableFileOutput(TRUE);
  GIS_LOG(3, "CGIS_Test::Kept", "kept again");
  since = log->GetRecordsSince(before);
  ASSERT_EQ(since.size(), 1u);
  EXPECT_EQ(since[0].text, "kept again");
}

// With the kept records full, each new record takes the place of the oldest:
// it carries exactly its own values, longer or shorter than those it replaced.
TEST(Log, ARecordReplacingTheOldestCarriesOnlyItsOwnValues) {
  struct Row {
    const char* method;
    const char* text;
    const char* path;
  };
  const Row rows[] = {
      {"CGIS_FrameProperty::Open", "BorderX 属性为空 and a longer tail of text", "layout/a/b/c.cpp"},
      {"A::B", "x", ""},
      {"", "", "layout/graphicelement/frame/cgis_frameproperty.cpp"},
      {"CGIS_Test::Long::Method::Name", "100% of it, verbatim", "p.cpp"},
  };
  IGIS_Log* log = GIS_GetLogPtr();
  log->EnableFileOutput(FALSE);
  log->SetKeptRecordCount(1);
  for (const Row& row : rows) {
    const std::size_t before = log->GetRecordCount();
    GIS_WriteLogF(3, row.method, row.path, 9, "date", "%s", row.text);
    const auto since = log->GetRecordsSince(before);
    ASSERT_EQ(since.size(), 1u);
    EXPECT_EQ(since[0].method, row.method);
    EXPECT_EQ(since[0].text, row.text);
    EXPECT_EQ(since[0].sourcePath, row.path);
    EXPECT_EQ(since[0].buildDate, "date");
  }
  log->SetKeptRecordCount(65536);
  log->EnableFileOutput(TRUE);
}

TEST(PerformanceLog, BeginEndPairsAreCounted) {
  IGIS_PerformanceLog* perf = GIS_GetPerformanceLogPtr();
  ASSERT_EQ(perf, GIS_GetPerformanceLogPtr());
  const int before = perf->GetCallCount(121);
  perf->End(121);  // without Begin: ignored
  perf->Begin(121);
  perf->Begin(122);
  perf->End(122);
  perf->End(121);
  EXPECT_EQ(perf->GetCallCount(121), before + 1);
  EXPECT_GE(perf->GetCallCount(122), 1);
}

}  // namespace
