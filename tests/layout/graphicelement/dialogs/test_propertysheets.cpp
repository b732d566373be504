// The one property-sheet mechanism: the registry of sheets by element type,
// the routine around every sheet, and the seam the models open their sheets
// through, which reads the element's stored form back after anything but OK.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/featra/igis_feature.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/element/elementsheet.h"
#include "layout/graphicelement/element/userinterface.h"
#include "platform/ui/app.h"
#include "platform/ui/driver.h"
#include "tests/layout/graphicelement/element/elementtest.h"

namespace {

using md::test::LogMark;
using md::test::PageTest;
using md::test::TestBoxElement;

// The tests' sheet of the test box runs the box's own script.
class PropertySheetProtocol : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    md::layout::RegisterPropertySheet("TEST_BOX", [](IGIS_Element* e, IGIS_Display*, const char*) {
      auto* box = dynamic_cast<TestBoxElement*>(e);
      return box != nullptr && box->m_runSheet && box->m_runSheet();
    });
  }
  void TearDown() override {
    md::layout::RegisterPropertySheet("TEST_BOX", nullptr);
    PageTest::TearDown();
  }
};

TEST_F(PropertySheetProtocol, ConfirmedSheetKeepsEditsAndMakesNoCopy) {
  TestBoxElement* box = Box(0, 0, 100, 50);
  box->m_failClone = true;  // the routine never clones
  const int features = set_->GetFeatureClass()->GetFeatureCount();
  box->m_runSheet = [&] {
    EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), features);
    box->SetRect(SGIS_Rect(10, 70, 60, 20));
    return true;
  };
  EXPECT_TRUE(box->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(box->GetRect(), SGIS_Rect(10, 70, 60, 20));
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), features);
}

TEST_F(PropertySheetProtocol, CancelledSheetRestoresTheElementAndAnswersFalse) {
  TestBoxElement* box = Box(0, 0, 100, 50);
  box->SetName("before");
  const int features = set_->GetFeatureClass()->GetFeatureCount();
  const int elements = GIS_GetRegisteredElementCount();
  box->m_runSheet = [&] {
    box->SetRect(SGIS_Rect(10, 70, 60, 20));
    box->SetName("edited");
    return false;
  };
  EXPECT_FALSE(box->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(box->GetRect(), SGIS_Rect(0, 50, 100, 0));
  EXPECT_STREQ(box->GetName(), "before");
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), features);
  EXPECT_EQ(GIS_GetRegisteredElementCount(), elements);
}

TEST_F(PropertySheetProtocol, CancelPutsBackWhatTheElementHadNotWrittenYetAndWhatTheSheetChanged) {
  TestBoxElement* box = Box(0, 0, 100, 50);
  box->m_failClone = true;
  box->SetName("not yet written");  // in the element only, until it archives
  box->SetLock(true);
  IGIS_FeatureAttributes* a = box->GetFeaturePtr()->GetAttributes();
  box->m_runSheet = [&] {
    box->SetName("edited");
    box->SetLock(false);
    box->Archive(0, 0);  // an Apply
    a->SetInt("ElementOrder", 77);
    return false;
  };
  LogMark log;
  EXPECT_FALSE(box->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_STREQ(box->GetName(), "not yet written");
  EXPECT_TRUE(box->IsLock());
  EXPECT_STREQ(a->GetString("ElementName"), "not yet written");
  EXPECT_TRUE(a->GetBool("IsLock"));
  EXPECT_EQ(a->GetInt("ElementOrder"), box->GetOrder());
  EXPECT_EQ(log.Count(), 0u);
}

TEST_F(PropertySheetProtocol, AnElementWithoutAFeatureGetsNoSheet) {
  TestBoxElement* box = Keep(new TestBoxElement(nullptr, nullptr));
  bool ran = false;
  box->m_runSheet = [&] {
    ran = true;
    return true;
  };
  LogMark log;
  EXPECT_FALSE(box->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_FALSE(ran);
  EXPECT_TRUE(log.Has(3, "TestBoxElement::OnOpenPropertyDlg", "pBackup == NULL"));
}

TEST_F(PropertySheetProtocol, TheSheetRunsInTheLibrarysStateWithTheRequestsTitleAndDisplay) {
  TestBoxElement* box = Box(0, 0, 100, 50);
  std::string title;
  IGIS_Display* seen = reinterpret_cast<IGIS_Display*>(0x1);
  bool libraryState = false;
  md::layout::RegisterPropertySheet("TEST_BOX", [&](IGIS_Element* e, IGIS_Display* d, const char* t) {
    EXPECT_EQ(e, box);
    seen = d;
    title = t;
    libraryState = AfxGetModuleState() == AfxGetStaticModuleState();
    return true;
  });
  EXPECT_TRUE(box->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(title, "测试框属性");
  EXPECT_EQ(seen, nullptr);
  EXPECT_TRUE(libraryState);
  EXPECT_NE(AfxGetModuleState(), AfxGetStaticModuleState());  // the host's state is back
}

TEST_F(PropertySheetProtocol, APagedSheetIsToldWhetherTheRequestWantsTheSharedPages) {
  TestBoxElement* box = Box(0, 0, 100, 50);
  std::vector<BOOL> told;
  md::layout::RegisterPagedPropertySheet(
      "TEST_BOX", [&](IGIS_Element*, IGIS_Display*, const char*, BOOL bWithCommonPages) {
        told.push_back(bWithCommonPages);
        return true;
      });
  md::layout::SheetRequest request;
  request.pElement = box;
  request.method = "TestBoxElement::OnOpenPropertyDlg";
  for (BOOL bWith : {FALSE, TRUE}) {
    request.bWithCommonPages = bWith;
    EXPECT_TRUE(md::layout::OpenPropertySheet(request));
  }
  // Run through the plain form, the sheet shows its shared pages.
  const md::layout::SheetRunner plain = md::layout::GetPropertySheet("TEST_BOX");
  ASSERT_TRUE(plain);
  EXPECT_TRUE(plain(box, nullptr, ""));
  EXPECT_EQ(told, (std::vector<BOOL>{FALSE, TRUE, TRUE}));

  // A plain registration replaces the paged one, and ignores the wish.
  int plainRuns = 0;
  md::layout::RegisterPropertySheet("TEST_BOX", [&](IGIS_Element*, IGIS_Display*, const char*) {
    ++plainRuns;
    return false;
  });
  request.bWithCommonPages = FALSE;
  EXPECT_FALSE(md::layout::OpenPropertySheet(request));
  EXPECT_EQ(plainRuns, 1);
  EXPECT_EQ(told.size(), 3u);
}

TEST_F(PropertySheetProtocol, ARegistrationReplacesTheEarlierOneAndAnEmptyOneRemovesIt) {
  TestBoxElement* box = Box(0, 0, 100, 50);
  int first = 0, second = 0;
  md::layout::RegisterPropertySheet("TEST_BOX", [&](IGIS_Element*, IGIS_Display*, const char*) {
    ++first;
    return true;
  });
  md::layout::RegisterPropertySheet("TEST_BOX", [&](IGIS_Element*, IGIS_Display*, const char*) {
    ++second;
    return true;
  });
  EXPECT_TRUE(md::layout::HasPropertySheet("TEST_BOX"));
  EXPECT_TRUE(box->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);

  md::layout::RegisterPropertySheet("TEST_BOX", nullptr);
  EXPECT_FALSE(md::layout::HasPropertySheet("TEST_BOX"));
  const int features = set_->GetFeatureClass()->GetFeatureCount();
  box->SetName("kept");
  EXPECT_FALSE(box->OnOpenPropertyDlg(nullptr, TRUE));  // no sheet: cancelled
  EXPECT_STREQ(box->GetName(), "kept");
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), features);
  EXPECT_EQ(second, 1);
}

TEST_F(PropertySheetProtocol, SheetsAreKeyedByTheElementsType) {
  TestBoxElement* box = Box(0, 0, 100, 50);
  bool otherRan = false;
  md::layout::RegisterPropertySheet("TEST_BOX", nullptr);
  md::layout::RegisterPropertySheet("TEST_OTHER", [&](IGIS_Element*, IGIS_Display*, const char*) {
    otherRan = true;
    return true;
  });
  EXPECT_FALSE(box->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_FALSE(otherRan);
  md::layout::RegisterPropertySheet("TEST_OTHER", nullptr);
}

// A sheet host of the tests: records the request instead of running a sheet.
class RecordingHost final : public md::layout::ISheetHost {
 public:
  BOOL Open(const md::layout::SheetRequest& request) override {
    ++opened;
    method = request.method;
    noBackup = request.szNoBackup;
    element = request.pElement;
    return answer;
  }
  int opened = 0;
  std::string method;
  std::string noBackup;
  IGIS_Element* element = nullptr;
  BOOL answer = TRUE;
};

TEST_F(PropertySheetProtocol, TheModelsOnlyFillTheRequestAndAskTheInstalledHost) {
  TestBoxElement* box = Box(0, 0, 100, 50);
  RecordingHost host;
  md::layout::ISheetHost* installed = md::layout::SetSheetHost(&host);
  ASSERT_NE(installed, nullptr);  // the dialogs library installed itself at load
  const int features = set_->GetFeatureClass()->GetFeatureCount();
  EXPECT_TRUE(box->OnOpenPropertyDlg(nullptr, TRUE));
  host.answer = FALSE;
  EXPECT_FALSE(box->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(host.opened, 2);
  EXPECT_EQ(host.method, "TestBoxElement::OnOpenPropertyDlg");
  EXPECT_EQ(host.noBackup, "pBackup == NULL");
  EXPECT_EQ(host.element, box);
  EXPECT_EQ(set_->GetFeatureClass()->GetFeatureCount(), features);  // no backup taken by the model

  // Without a host a sheet counts as cancelled and nothing is touched.
  md::layout::SetSheetHost(nullptr);
  box->m_runSheet = [] { return true; };
  EXPECT_FALSE(box->OnOpenPropertyDlg(nullptr, TRUE));
  EXPECT_EQ(md::layout::SetSheetHost(installed), nullptr);
  EXPECT_TRUE(box->OnOpenPropertyDlg(nullptr, TRUE));  // the library's routine is back
}

// The user interface of the tests: counts message boxes and answers one.
class RecordingInterface final : public md::layout::IUserInterface {
 public:
  int HostMessageBox(const char* szText, UINT nType) override {
    texts.push_back(szText);
    types.push_back(nType);
    return IDYES;
  }
  std::vector<std::string> texts;
  std::vector<UINT> types;
};

TEST(UserInterface, MessageBoxesOfTheModelsGoThroughTheInstalledInterface) {
  RecordingInterface ui;
  md::layout::IUserInterface* installed = md::layout::SetUserInterface(&ui);
  ASSERT_NE(installed, nullptr);  // the dialogs library installed the framework's
  EXPECT_EQ(md::layout::HostMessageBox("问题", MB_YESNO), IDYES);
  ASSERT_EQ(ui.texts.size(), 1u);
  EXPECT_EQ(ui.texts[0], "问题");
  EXPECT_EQ(ui.types[0], MB_YESNO);

  md::layout::SetUserInterface(nullptr);
  EXPECT_EQ(md::layout::HostMessageBox("没有界面", MB_OK), 0);  // nothing shown
  EXPECT_EQ(md::layout::SetUserInterface(installed), nullptr);
  EXPECT_EQ(ui.texts.size(), 1u);
}

}  // namespace
