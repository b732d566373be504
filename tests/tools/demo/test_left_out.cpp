// What the demo fails on: a picture, embedded object or link its pages could
// not make, and every record the picture and object code writes while a page
// is made, stored, read back or drawn; other records are no concern of it.
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "platform/imaging/metafilelimits.h"
#include "tests/support/logmark.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/samplelogo.h"

namespace {

struct RecordRow {
  const char* szMethod;
  const char* szText;
  bool leftOut;
};

TEST(LeftOut, ListsTheRecordsOfPicturesObjectsAndLinksOnly) {
  const RecordRow rows[] = {
      {" CGIS_PictureElement::ImportPictureFromFile", "mark.emf: EMF: the renderer is missing", true},
      {"CGIS_PictureElement::ImportPictureFromFile", "image.GetWidth() == 0 || image.GetHeight() == 0", true},
      {"CGIS_PictureElement::OnDraw", "mark.emf: not drawn: this drawing's 10.0 s for metafiles are spent",
       true},
      {" CGIS_PictureElement::Archive", "不能打开文件/tmp/kept.png", true},
      {"CGIS_OleElement::Archive", "the stored object was refused: damaged", true},
      {"CGIS_OleClientItem::UpdateLink", "link unavailable, the last presentation is shown: gone", true},
      {"CGIS_MapElement::OnDraw", "RegisterOtherComponentsCfgFile 失败: othercomponents.cfg", false},
      {"CGIS_TextElement::SetText", "szText为NULL", false},
      {"CGIS_PictureElementPage::OnOK", "a class whose name only begins alike", false},
      {"GIS_PrintPageToDC", "the element of feature 3 (GIS_TYPE_GRAPHIC_ELEMENT_PICTURE) did not draw",
       false},
  };
  for (const RecordRow& row : rows) {
    SCOPED_TRACE(row.szMethod);
    SGIS_LogRecord record;
    record.level = 1;
    record.method = row.szMethod;
    record.text = row.szText;
    EXPECT_EQ(md::demo::IsPictureOrObjectRecord(record), row.leftOut);
    const std::vector<std::string> lines = md::demo::LeftOut(md::demo::BuildReport{}, {record});
    EXPECT_EQ(lines, row.leftOut ? std::vector<std::string>{"[1] " + record.method + ": " + row.szText}
                                 : std::vector<std::string>{});
  }
}

// Names the helper program and the folder the sample files go to for a scope.
class BuildSetting {
 public:
  BuildSetting(const std::string& helper, const std::string& folder) {
    md::imaging::MetafileLimits limits = md::imaging::CurrentMetafileLimits();
    limits.helper = helper;
    old_ = md::imaging::SetMetafileLimits(limits);
    md::demo::SetSampleFileFolder(folder);
  }
  ~BuildSetting() {
    md::imaging::SetMetafileLimits(old_);
    md::demo::SetSampleFileFolder("");
  }
  BuildSetting(const BuildSetting&) = delete;
  BuildSetting& operator=(const BuildSetting&) = delete;

 private:
  md::imaging::MetafileLimits old_;
};

struct BuildRow {
  const char* szWhat;
  bool sheet;                         // the map sheet, else the sample page
  bool helperMissing;                 // the metafile helper is missing
  bool unwritable;                    // the sample files cannot be written
  std::vector<std::string> failures;  // the start of each, in order
  int links;
  bool records;  // picture or object records follow the failures
};

TEST(LeftOut, APageNamesThePicturesObjectsAndLinksItCouldNotMake) {
  md::test::FixedText fixed;
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  const std::string cannot = "cannot write /proc/self/mapdeck/sample-";
  const BuildRow rows[] = {
      {"sample page", false, false, false, {}, 1, false},
      {"map sheet", true, false, false, {}, 0, false},
      {"sample page without the metafile helper",
       false,
       true,
       false,
       {"出版者标志 Publisher's mark: no picture could be read from "},
       1,
       true},
      {"map sheet without the metafile helper", true, true, false, {}, 0, false},
      {"sample page whose files cannot be written",
       false,
       false,
       true,
       {"标志 Logo: " + cannot + "logo.png", "出版者标志 Publisher's mark: " + cannot + "mark.emf",
        "链接文本 Linked text: " + cannot + "notes.txt"},
       0,
       false},
      {"map sheet whose files cannot be written",
       true,
       false,
       true,
       {"出版标志: " + cannot + "logo.png"},
       0,
       false},
  };
  int n = 0;
  for (const BuildRow& row : rows) {
    SCOPED_TRACE(row.szWhat);
    // A folder of each row's own: a picture refused once is remembered by its path.
    const std::string folder = row.unwritable
                                   ? "/proc/self/mapdeck"
                                   : md::test::ScratchFolder("left-out-" + std::to_string(n++)).string();
    BuildSetting setting(row.helperMissing ? folder + "/no-such-helper" : "", folder);
    md::test::LogMark mark;
    md::demo::BuildReport report;
    const auto page =
        row.sheet ? md::demo::BuildMapSheetPage(doc, &report) : md::demo::BuildSamplePage(&report);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(report.links, row.links);
    const std::vector<std::string> lines = md::demo::LeftOut(report, mark.Records());
    ASSERT_EQ(report.failures.size(), row.failures.size());
    for (std::size_t i = 0; i < row.failures.size(); ++i) {
      EXPECT_EQ(lines[i].rfind(row.failures[i], 0), 0u) << lines[i];
    }
    EXPECT_EQ(lines.size() > row.failures.size(), row.records);
  }
}

}  // namespace
