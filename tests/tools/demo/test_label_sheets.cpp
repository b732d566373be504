// The grids' labels page and the label and tab-style dialogs on the demo's
// map sheet. Every dialog used as a user would (every value changed, every
// symbol replaced, another label kind chosen) and cancelled leaves the
// frame's stored form byte for byte as it was, whether the label's own
// dialog inside the grid's sheet was confirmed or not. Confirmed, the
// graticule labels in degrees and minutes, the kilometre grid writes three
// secondary digits after its zone number, and the index grid's tabs are
// rounded in a new fill; the sheet is drawn with them.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "host/glyphorpick/cgis_symbolpickdlg.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"
#include "layout/graphicelement/dialogs/cgis_numericformatdlg.h"
#include "layout/graphicelement/grid/grid/dialogs/cgis_gridlabelspage.h"
#include "layout/graphicelement/grid/grid/igis_dmsgridlabel.h"
#include "layout/graphicelement/grid/grid/igis_indexgridtabstyle.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_dmslabelpage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabelbackgroundpage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_indexgridtabstylepage.h"
#include "layout/graphicelement/grid/label/dialogs/cgis_mixfontpage.h"
#include "layout/graphicelement/grid/label/igis_mixedfontgridlabel.h"
#include "platform/ui/driver.h"
#include "tests/support/dialogscenes.h"
#include "tests/support/recordedtexts.h"
#include "tests/support/storedform.h"
#include "tests/tools/demo/sheetgrids.h"

namespace {

using md::test::ChooseEntry;
using md::test::SheetWithGrids;
using md::ui::ScriptedDriver;
using md::ui::UiUser;
using Scene = ScriptedDriver::Scene;

// The chooser's entry of the index grid's new tab fill.
constexpr int kNewFill = 5;

// The labels page's place in each kind's sheet.
int LabelsPageOf(int kind) { return kind == GIS_MAPGRID_MEASURE ? 1 : 2; }

// The labels page of a grid's sheet used as a user would, and the label's
// own dialog opened from it.
struct LabelUse {
  const char* name;
  int kind;
  // Done on the labels page (another kind chosen first, where the use does).
  std::function<void(UiUser&)> page;
  // The windows the page opens (choosers), in order.
  std::vector<Scene> pageOpened;
  // Done in the label's own dialog before it is ended; none opened without.
  std::function<void(UiUser&)> dialog;
  // The windows the label's dialog opens, in order.
  std::vector<Scene> dialogOpened;
  // The type of the label whose dialog it is.
  int labelType = -1;
};

void EditSidesAndOffsets(UiUser& u) {
  for (int id : {IDC_GIS_LB_LEFT, IDC_GIS_LB_TOP, IDC_GIS_LB_BOTTOM}) u.Click(id);
  u.Replace(IDC_GIS_LB_LEFT_X, "120");
  u.Replace(IDC_GIS_LB_TOP_Y, "-80");
  u.Replace(IDC_GIS_LB_RIGHT_X, "1000000");
  u.Replace(IDC_GIS_LB_BOTTOM_Y, "35");
}

void EditTabs(UiUser& u, int inside) {
  u.Click(IDC_GIS_TAB_FILL);
  u.Click(IDC_GIS_TAB_OUTLINE);
  u.Replace(IDC_GIS_TAB_THICKNESS, "350");
  u.Click(inside);
}

// The labels page alone: the label kind chosen (unless -1), every side and
// offset changed and the text symbol replaced by the chooser's `entry`.
LabelUse LabelsPage(const char* name, int kind, int labelKind, int entry) {
  return {name,
          kind,
          [labelKind](UiUser& u) {
            if (labelKind >= 0) u.Choose(IDC_GIS_LB_KIND, labelKind);
            EditSidesAndOffsets(u);
            u.Click(IDC_GIS_LB_TEXT_SYMBOL);
          },
          {ChooseEntry(entry)},
          nullptr,
          {}};
}

std::vector<LabelUse> LabelUses() {
  std::vector<LabelUse> uses;
  uses.push_back(LabelsPage("labels page of the graticule", GIS_MAPGRID_GRATICULE, -1, 1));
  uses.push_back(LabelsPage("labels page of the kilometre grid, mixed font", GIS_MAPGRID_MEASURE, 0, 2));
  uses.push_back(LabelsPage("labels page of the index grid, rounded tabs", GIS_MAPGRID_INDEX, 3, 3));
  uses.push_back({"degrees-minutes-seconds dialog",
                  GIS_MAPGRID_GRATICULE,
                  nullptr,
                  {},
                  [](UiUser& u) {
                    u.Click(IDC_GIS_DMS_SECONDS);
                    u.Choose(IDC_GIS_DMS_TYPE, 1);
                    u.Click(IDC_GIS_DMS_FONT);
                    u.Replace(IDC_GIS_DMS_DECIMALS, "3");
                  },
                  {ChooseEntry(2)},
                  GIS_GRIDLABEL_DMS});
  uses.push_back({"mixed-font dialog",
                  GIS_MAPGRID_MEASURE,
                  [](UiUser& u) { u.Choose(IDC_GIS_LB_KIND, 0); },
                  {},
                  [](UiUser& u) {
                    u.Replace(IDC_GIS_MF_DIGITS, "3");
                    u.Click(IDC_GIS_MF_SECONDARY_FONT);
                    u.Choose(IDC_GIS_MF_POSITION, 1);
                    u.Click(IDC_GIS_MF_NUMBER_FORMAT);
                    u.Click(IDC_GIS_MF_SHOW_ZONE);
                    u.Click(IDC_GIS_MF_ZONE_FONT);
                  },
                  {ChooseEntry(1),
                   [](UiUser& u) {
                     u.Click(IDC_NUMFMT_RIGHT);
                     u.Replace(IDC_NUMFMT_WIDTH, "9");
                     u.Click(IDC_NUMFMT_PLUS);
                     u.Ok();
                   },
                   ChooseEntry(3)},
                  GIS_GRIDLABEL_MIXEDFONT});
  uses.push_back({"formatted label's number format",
                  GIS_MAPGRID_MEASURE,
                  [](UiUser& u) { u.Choose(IDC_GIS_LB_KIND, 1); },
                  {},
                  [](UiUser& u) {
                    u.Click(IDC_NUMFMT_SIGNIFICANT);
                    u.Replace(IDC_NUMFMT_DIGITS, "4");
                    u.Click(IDC_NUMFMT_SEPARATOR);
                    u.Click(IDC_NUMFMT_ZEROS);
                  },
                  {},
                  GIS_GRIDLABEL_FORMATTED});
  uses.push_back({"continuous tabs' dialog",
                  GIS_MAPGRID_INDEX,
                  [](UiUser& u) { u.Choose(IDC_GIS_LB_KIND, 2); },
                  {},
                  [](UiUser& u) { EditTabs(u, IDC_GIS_TAB_INSIDE); },
                  {ChooseEntry(2), ChooseEntry(4)},
                  GIS_GRIDLABEL_INDEX_CONTINUOUS});
  uses.push_back({"background tabs' dialog",
                  GIS_MAPGRID_INDEX,
                  [](UiUser& u) { u.Choose(IDC_GIS_LB_KIND, 0); },
                  {},
                  [](UiUser& u) {
                    EditTabs(u, IDC_GIS_TAB_BACKGROUND_INSIDE);
                    u.Click(IDC_GIS_TAB_BACKGROUND_ROUNDED);
                  },
                  {ChooseEntry(1), ChooseEntry(3)},
                  GIS_GRIDLABEL_INDEX_BACKGROUND});
  return uses;
}

// Opens the grid's sheet on its labels page, uses it and the label's
// dialog (ended with OK when confirmLabel) and ends the sheet; the grid's
// answer.
bool Use(IGIS_MapGrid* grid, const LabelUse& use, bool confirmLabel, bool confirmGrid) {
  std::vector<Scene> scenes{[&](UiUser& u) {
    EXPECT_TRUE(u.GoToPage(LabelsPageOf(use.kind)));
    if (use.page) use.page(u);
    if (use.dialog) u.Click(IDC_GIS_LB_PROPERTIES);
    confirmGrid ? u.Ok() : u.Cancel();
  }};
  scenes.insert(scenes.end(), use.pageOpened.begin(), use.pageOpened.end());
  if (use.dialog) {
    scenes.push_back([&](UiUser& u) {
      use.dialog(u);
      confirmLabel ? u.Ok() : u.Cancel();
    });
    scenes.insert(scenes.end(), use.dialogOpened.begin(), use.dialogOpened.end());
  }
  return md::test::Played(scenes, [grid] { return grid->OnOpenPropertyDlg(); });
}

TEST(LabelSheetsOnTheMapSheet, CancelLeavesTheFramesStoredFormWhateverTheLabelsDialogAnswered) {
  SheetWithGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  md::ui::ClearDriverErrors();
  int ownRuns = 0;
  for (const LabelUse& use : LabelUses()) {
    for (bool confirmLabel : {false, true}) {
      if (!use.dialog && confirmLabel) continue;
      SCOPED_TRACE(std::string(use.name) + (confirmLabel ? ", its dialog confirmed" : ""));
      const std::string before = md::test::StoredForm(sheet.frame);
      EXPECT_FALSE(Use(sheet.Grid(use.kind), use, confirmLabel, false));
      EXPECT_TRUE(md::test::StoredForm(sheet.frame) == before);
    }
    // The label's own dialog opened on its own and cancelled, where the
    // grid's label is of the dialog's kind.
    if (use.dialog && sheet.Grid(use.kind)->GetLabelFormat()->GetType() == use.labelType) {
      SCOPED_TRACE(std::string(use.name) + " on its own");
      const std::string before = md::test::StoredForm(sheet.frame);
      std::vector<Scene> scenes{[&](UiUser& u) {
        use.dialog(u);
        u.Cancel();
      }};
      scenes.insert(scenes.end(), use.dialogOpened.begin(), use.dialogOpened.end());
      IGIS_GridLabel* label = sheet.Grid(use.kind)->GetLabelFormat();
      EXPECT_FALSE(md::test::Played(scenes, [label] { return label->OnOpenPropertyDlg(); }));
      ++ownRuns;
      EXPECT_TRUE(md::test::StoredForm(sheet.frame) == before);
    }
  }
  EXPECT_EQ(ownRuns, 3);
  // Confirmed, every use changes the frame.
  for (const LabelUse& use : LabelUses()) {
    SCOPED_TRACE(std::string(use.name) + ", confirmed");
    const std::string before = md::test::StoredForm(sheet.frame);
    EXPECT_TRUE(Use(sheet.Grid(use.kind), use, true, true));
    EXPECT_TRUE(md::test::StoredForm(sheet.frame) != before);
  }
  for (const std::string& e : md::ui::DriverErrors()) ADD_FAILURE() << e;
}

// The three changes of the sheet: the graticule's labels in degrees and
// minutes, three secondary digits after the zone number on the kilometre
// grid, rounded tabs in a new fill on the index grid.
void ChangeTheLabels(SheetWithGrids& sheet) {
  const LabelUse minutes{"degrees and minutes",
                         GIS_MAPGRID_GRATICULE,
                         nullptr,
                         {},
                         [](UiUser& u) {
                           EXPECT_EQ(u.Checked(IDC_GIS_DMS_MINUTES), 1);
                           u.Click(IDC_GIS_DMS_SECONDS);
                         },
                         {}};
  const LabelUse mixed{"mixed font",
                       GIS_MAPGRID_MEASURE,
                       [](UiUser& u) { u.Choose(IDC_GIS_LB_KIND, 0); },
                       {},
                       [](UiUser& u) {
                         u.Replace(IDC_GIS_MF_DIGITS, "3");
                         u.Click(IDC_GIS_MF_SHOW_ZONE);
                       },
                       {}};
  const LabelUse rounded{"rounded tabs",
                         GIS_MAPGRID_INDEX,
                         [](UiUser& u) { u.Choose(IDC_GIS_LB_KIND, 3); },
                         {},
                         [](UiUser& u) { u.Click(IDC_GIS_TAB_FILL); },
                         {ChooseEntry(kNewFill)}};
  for (const LabelUse* use : {&minutes, &mixed, &rounded}) {
    SCOPED_TRACE(use->name);
    EXPECT_TRUE(Use(sheet.Grid(use->kind), *use, true, true));
  }
}

// The graticule's coordinates on the sheet: its texts that start with a
// digit and have a degree sign.
std::vector<std::string> CoordinatesOf(const md::test::RecordedSheet& sheet) {
  std::vector<std::string> found;
  for (const std::string& t : md::test::TextsOf(sheet.canvas))
    if (!t.empty() && t[0] >= '0' && t[0] <= '9' && t.find("°") != std::string::npos) found.push_back(t);
  return found;
}

// How many of the texts have the sign.
size_t CountWith(const std::vector<std::string>& texts, const std::string& sign) {
  return std::count_if(texts.begin(), texts.end(),
                       [&sign](const std::string& t) { return t.find(sign) != std::string::npos; });
}

// The filled shapes of a brush colour, and how many corners (points) each has.
std::vector<size_t> FillsOf(const md::test::RecordedSheet& sheet, md::canvas::Color colour) {
  std::vector<size_t> fills;
  for (const md::canvas::Record* r : sheet.canvas.recordsOf(md::canvas::Record::Type::Shape))
    if (r->shape.fill && r->brush.color == colour) fills.push_back(r->Points().size());
  return fills;
}

TEST(LabelSheetsOnTheMapSheet, TheChangedLabelsAreDrawnOnTheSheet) {
  SheetWithGrids sheet;
  ASSERT_NE(sheet.frame, nullptr);
  // The fixed graticule writes degrees, minutes and seconds too: left out.
  sheet.rowsAndColumns->SetVisible(false);
  md::basilo::ReleasePtr<IGIS_Symbol> fill(GIS_MakeCatalogueSymbol(GIS_CHOOSE_FILL, kNewFill));
  const auto newFill = static_cast<md::canvas::Color>(fill->GetColor());
  const md::test::RecordedSheet before(*sheet.page);
  ChangeTheLabels(sheet);
  const md::test::RecordedSheet after(*sheet.page);

  // The graticule: every coordinate in degrees, minutes and seconds before,
  // in degrees and minutes after.
  const std::vector<std::string> dmsBefore = CoordinatesOf(before);
  const std::vector<std::string> dmsAfter = CoordinatesOf(after);
  ASSERT_FALSE(dmsBefore.empty());
  EXPECT_EQ(dmsAfter.size(), dmsBefore.size());
  EXPECT_EQ(CountWith(dmsBefore, "″"), dmsBefore.size());
  EXPECT_EQ(CountWith(dmsAfter, "″"), 0u);
  EXPECT_EQ(CountWith(dmsAfter, "′"), dmsAfter.size());
  EXPECT_NE(std::find(dmsAfter.begin(), dmsAfter.end(), "116°10.0′"), dmsAfter.end());

  // The kilometre grid: the zone number and three secondary digits.
  const std::vector<std::string> texts = md::test::TextsOf(after.canvas);
  const std::vector<std::string> textsBefore = md::test::TextsOf(before.canvas);
  EXPECT_EQ(std::count(textsBefore.begin(), textsBefore.end(), "39"), 0);
  EXPECT_GT(std::count(texts.begin(), texts.end(), "39"), 0);
  EXPECT_GT(std::count(texts.begin(), texts.end(), "000"), 0);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "4412"), texts.end());

  // The index grid: its tabs in the new fill, rounded (more corners than a box).
  EXPECT_TRUE(FillsOf(before, newFill).empty());
  const std::vector<size_t> tabs = FillsOf(after, newFill);
  ASSERT_FALSE(tabs.empty());
  for (size_t corners : tabs) EXPECT_GT(corners, 5u);

  md::test::WriteSheet(*sheet.page, "labels");
}

}  // namespace
