// Every property sheet on the demo's two pages, run through the library as a
// host runs it: every page visited, then confirmed with nothing edited, or
// cancelled after the element was moved, scaled, renamed, locked, reordered
// and given the other ratio rule while its sheet was open. Either way the
// element's stored form is what it was before the sheet opened.
#include <algorithm>
#include <set>
#include <string>

#include "layout/graphicelement/igis_element.h"
#include "platform/ui/driver.h"
#include "tests/support/storedform.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"

namespace {

// Every element type that has a sheet; each is on one of the two pages.
const std::set<std::string> kSheetTypes = {
    GIS_TYPE_GRAPHIC_ELEMENT_POINT,
    GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE,
    GIS_TYPE_GRAPHIC_ELEMENT_RECT,
    GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE,
    GIS_TYPE_GRAPHIC_ELEMENT_POLYGON,
    GIS_TYPE_GRAPHIC_ELEMENT_TEXT,
    GIS_TYPE_GRAPHIC_ELEMENT_PICTURE,
    GIS_TYPE_GRAPHIC_ELEMENT_OLE,
    GIS_TYPE_GRAPHIC_ELEMENT_MAP,
    GIS_TYPE_GRAPHIC_ELEMENT_LEGEND,
    GIS_TYPE_GRAPHIC_ELEMENT_MAPINDEX,
    GIS_TYPE_GRAPHIC_ELEMENT_NORTHARROW,
    GIS_TYPE_GRAPHIC_ELEMENT_SLOPERULE,
    GIS_TYPE_GRAPHIC_ELEMENT_THREENORTH,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALETEXT,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_ALTERNATING,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_DOULEALTERNATING,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_HOLLOW,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_SCALELINE,
    GIS_TYPE_GRAPHIC_ELEMENT_SCALEBAR_STEPPEDSCALELINE,
};

// What a user may do to an element while its sheet is open, through the
// element's own operations: each reaches stored state of every kind.
void Edit(IGIS_Element* e) {
  e->OffsetAllPoints(1234, -567);
  const SGIS_Rect r = e->GetRect();
  e->ScaleShape(SGIS_Point(r.left, r.bottom, 0), 1.5, 0.75);
  e->SetName("在属性页里改过");
  e->SetLock(!e->IsLock());
  e->SetHVScaleRatio(!e->GetHVScaleRatio());
  e->SetOrder(e->GetOrder() + 7);
}

// Where two stored forms part, with a little of each around it, printable.
std::string FirstDifference(const std::string& before, const std::string& after) {
  std::size_t i = 0;
  while (i < before.size() && i < after.size() && before[i] == after[i]) ++i;
  if (i == before.size() && i == after.size()) return "";
  auto window = [i](const std::string& s) {
    std::string w;
    for (std::size_t k = i >= 40 ? i - 40 : 0; k < std::min(s.size(), i + 40); ++k)
      w += (s[k] >= 0x20 && s[k] < 0x7f) ? s[k] : '.';
    return w;
  };
  return "at byte " + std::to_string(i) + "\n  before: " + window(before) + "\n  after:  " + window(after);
}

// Opens every page of a sheet in turn, as a user looking through it does.
void VisitEveryPage(md::ui::UiUser& u) {
  if (CPropertySheet* sheet = u.Sheet(); sheet != nullptr && !sheet->IsWizardMode()) {
    for (int i = 0; i < sheet->GetPageCount(); ++i) EXPECT_TRUE(u.GoToPage(i));
    EXPECT_TRUE(u.GoToPage(0));
  }
}

// Runs the sheet of every element of the page with a sheet, once confirmed
// and once cancelled; the types seen go into `seen`.
void RunEverySheet(md::demo::Page& page, std::set<std::string>* seen) {
  for (IGIS_Element* e : page.elements()) {
    const std::string type = e->GetType();
    if (kSheetTypes.count(type) == 0) continue;
    SCOPED_TRACE(std::string(e->GetName()) + " " + type);
    const std::string before = md::test::StoredForm(e);
    {
      md::ui::ScriptedDriver driver;
      driver.Then([](md::ui::UiUser& u) {
        VisitEveryPage(u);
        u.Ok();
      });
      EXPECT_TRUE(e->OnOpenPropertyDlg(nullptr, TRUE));
      EXPECT_EQ(driver.DialogsRun(), 1);
    }
    EXPECT_EQ(FirstDifference(before, md::test::StoredForm(e)), "") << "confirmed unedited";
    {
      md::ui::ScriptedDriver driver;
      driver.Then([e](md::ui::UiUser& u) {
        VisitEveryPage(u);
        Edit(e);
        u.Cancel();
      });
      EXPECT_FALSE(e->OnOpenPropertyDlg(nullptr, TRUE));
      EXPECT_EQ(driver.DialogsRun(), 1);
    }
    EXPECT_EQ(FirstDifference(before, md::test::StoredForm(e)), "") << "cancelled after edits";
    seen->insert(type);
  }
}

TEST(EverySheet, OkUneditedAndCancelAfterEditsLeaveTheStoredFormAsItWas) {
  md::test::FixedText fixed;
  std::set<std::string> seen;
  auto sample = md::demo::BuildSamplePage(nullptr);
  ASSERT_NE(sample, nullptr);
  RunEverySheet(*sample, &seen);
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  ASSERT_TRUE(doc.ok());
  auto sheet = md::demo::BuildMapSheetPage(doc, nullptr);
  ASSERT_NE(sheet, nullptr);
  RunEverySheet(*sheet, &seen);
  EXPECT_EQ(seen, kSheetTypes);
}

}  // namespace
