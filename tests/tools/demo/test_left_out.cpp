// What the demo fails on: a picture, embedded object or link its pages could
// not make, and every record the picture and object code writes while a page
// is made, stored, read back or drawn; other records are no concern of it.
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "platform/imaging/loader.h"
#include "tests/platform/imaging/metafiles.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/samplelogo.h"

namespace {

TEST(LeftOut, ListsTheRecordsOfPicturesObjectsAndLinksOnly) {
  const struct {
    const char* szMethod;
    const char* szText;
    bool leftOut;
  } rows[] = {
      {" CGIS_PictureElement::ImportPictureFromFile", "mark.emf: EMF: the renderer is missing", true},
      {"CGIS_PictureElement::OnDraw", "mark.emf: not drawn: the budget is spent", true},
      {" CGIS_PictureElement::Archive", "不能打开文件/tmp/kept.png", true},
      {"CGIS_OleElement::Archive", "the stored object was refused: damaged", true},
      {"CGIS_OleClientItem::UpdateLink", "link unavailable, the last presentation is shown: gone", true},
      {"CGIS_MapElement::OnDraw", "RegisterOtherComponentsCfgFile 失败: othercomponents.cfg", false},
      {"CGIS_TextElement::SetText", "szText为NULL", false},
      {"CGIS_PictureElementPage::OnOK", "a class whose name only begins alike", false},
      {"GIS_PrintPageToDC", "the picture of feature 3 did not draw", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.szMethod);
    const SGIS_LogRecord record{1, row.szMethod, row.szText, "", 0, ""};
    EXPECT_EQ(md::demo::LeftOut(md::demo::BuildReport{}, {record}),
              row.leftOut ? std::vector<std::string>{"[1] " + record.method + ": " + record.text}
                          : std::vector<std::string>{});
  }
}

TEST(LeftOut, APageNamesThePicturesObjectsAndLinksItCouldNotMake) {
  md::test::FixedText fixed;
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  const std::string cannot = "cannot write /proc/self/x/sample-";
  const struct {
    const char* szWhat;
    bool sheet;          // the map sheet, else the sample page
    const char* helper;  // the metafile helper: "" the one beside the library
    const char* folder;  // where the sample files go: "" a scratch folder
    int links;
    std::vector<std::string> failures;  // how each begins
  } rows[] = {
      {"sample page", false, "", "", 1, {}},
      {"no helper", false, "/no/helper", "", 1, {"出版者标志 Publisher's mark: no picture could be read"}},
      {"files not written",
       false,
       "",
       "/proc/self/x",
       0,
       {"标志 Logo: " + cannot + "logo.png", "出版者标志 Publisher's mark: " + cannot + "mark.emf",
        "链接文本 Linked text: " + cannot + "notes.txt"}},
      {"map sheet, no helper", true, "/no/helper", "", 0, {}},
      {"map sheet, files not written", true, "", "/proc/self/x", 0, {"出版标志: " + cannot + "logo.png"}},
  };
  const md::imaging::MetafileLimits limits = md::imaging::CurrentMetafileLimits();
  int n = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.szWhat);
    // Each row as a process of its own: pictures drawn or refused by an
    // earlier row are forgotten (they are kept by their bytes).
    md::imaging::ImageCache::Shared().Clear();
    md::imaging::ForgetRefusedMetafiles();
    const md::test::metafiles::MetafileLimitsScope helper(
        {limits.fileMilliseconds, limits.drawingMilliseconds, row.helper});
    md::demo::SetSampleFileFolder(*row.folder != '\0'
                                      ? std::string(row.folder)
                                      : md::test::ScratchFolder("left-out-" + std::to_string(n++)).string());
    md::demo::BuildReport report;
    const auto page =
        row.sheet ? md::demo::BuildMapSheetPage(doc, &report) : md::demo::BuildSamplePage(&report);
    md::demo::SetSampleFileFolder("");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(report.links, row.links);
    ASSERT_EQ(report.failures.size(), row.failures.size());
    for (std::size_t i = 0; i < row.failures.size(); ++i)
      EXPECT_EQ(report.failures[i].rfind(row.failures[i], 0), 0u) << report.failures[i];
  }
}

}  // namespace
