// The insert-object dialog driven by a scripted user, through the element.
#include "platform/ui/ui.h"
#include "tests/layout/graphicelement/ole/oletest.h"

namespace {

using md::ui::ScriptedDriver;
using md::ui::UiUser;

class OleInsertDialog : public md::test::OlePage {
 protected:
  void SetUp() override {
    OlePage::SetUp();
    // The library's own dialog, not the fixture's prepared answer.
    md::layout::SetInsertObjectDialog(installed_);
    md::ui::ClearMessageBoxLog();
    md::ui::ClearDriverErrors();
  }
  void TearDown() override {
    EXPECT_TRUE(md::ui::DriverErrors().empty()) << md::ui::DriverErrors().front();
    OlePage::TearDown();
    md::layout::SetInsertObjectDialog(installed_);  // the library's dialog stays installed
  }
  md::layout::InsertObjectDialog installed_ = md::layout::SetInsertObjectDialog({});
};

TEST_F(OleInsertDialog, ListsTheClassesAndMakesANewObject) {
  CGIS_OleElement* e = NewOle();
  std::vector<std::string> listed;
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    auto* list = static_cast<CListBox*>(u.Control(3093));
    for (int i = 0; i < list->GetCount(); ++i) {
      std::string s;
      list->GetText(i, s);
      listed.push_back(s);
    }
    EXPECT_EQ(u.Checked(3091), BST_CHECKED);
    EXPECT_EQ(u.Selection(3093), 0);
    u.Choose(3093, 1);
    u.Ok();
  });
  ASSERT_TRUE(e->InsertObject(nullptr));
  EXPECT_EQ(listed, (std::vector<std::string>{"图片对象", "文本文档"}));
  ASSERT_NE(e->GetClientItem(), nullptr);
  ASSERT_TRUE(e->GetClientItem()->HasObject());
  EXPECT_EQ(&e->GetClientItem()->GetObject()->Class(), &md::ole::TextDocumentClass());
}

TEST_F(OleInsertDialog, MakesAnObjectFromAFileAndAsksForAMissingName) {
  // Whatever class the list shows selected, the file's content decides.
  const struct {
    std::string path;
    const md::ole::ObjectClass* pClass;
  } kFiles[] = {{md::test::WritePng("dialog.png", 30, 20), &md::ole::PictureClass()},
                {md::test::WriteText("dialog.txt", "text"), &md::ole::TextDocumentClass()}};
  for (const auto& f : kFiles) {
    SCOPED_TRACE(f.path);
    md::ui::ClearMessageBoxLog();
    CGIS_OleElement* e = NewOle();
    ScriptedDriver driver;
    driver.Then([&](UiUser& u) {
      u.Click(3092);
      u.Ok();  // no file name yet: a prompt, the dialog stays
      EXPECT_FALSE(u.Ended());
      u.Replace(3094, f.path);
      u.Ok();
    });
    ASSERT_TRUE(e->InsertObject(nullptr));
    ASSERT_EQ(md::ui::MessageBoxLog().size(), 1u);
    ASSERT_TRUE(e->GetClientItem()->HasObject());
    EXPECT_EQ(&e->GetClientItem()->GetObject()->Class(), f.pClass);
    EXPECT_EQ(e->GetClientItem()->GetItemNumber(), 1u);
  }
}

TEST_F(OleInsertDialog, LinksAFileShownAsItsIcon) {
  CGIS_OleElement* e = NewOle();
  const std::string path = md::test::WriteText("dialog-link.txt", "linked");
  ScriptedDriver driver;
  driver.Then([&](UiUser& u) {
    EXPECT_FALSE(u.IsEnabled(3095));  // only a file can be linked to
    EXPECT_TRUE(u.Click(3092));
    EXPECT_TRUE(u.Click(3095));
    EXPECT_TRUE(u.Click(3096));
    EXPECT_TRUE(u.Replace(3094, path));
    u.Ok();
  });
  ASSERT_TRUE(e->InsertObject(nullptr));
  CGIS_OleClientItem* item = e->GetClientItem();
  ASSERT_TRUE(item->HasObject());
  EXPECT_EQ(item->GetItemType(), CGIS_OleClientItem::typeLink);
  EXPECT_EQ(item->GetDrawAspect(), 4);
  md::ole::IconicPicture icon;
  ASSERT_TRUE(item->GetIconicMetafile(&icon));
  EXPECT_EQ(icon.label, "dialog-link.txt");
  EXPECT_EQ(driver.DialogsRun(), 1);  // a file's object is not opened at once
}

TEST_F(OleInsertDialog, CancelLeavesTheElementAsItWas) {
  CGIS_OleElement* e = NewOle();
  const auto before = StoredCustom(e);
  ScriptedDriver driver;
  driver.Then([](UiUser& u) { u.Cancel(); });
  EXPECT_FALSE(e->InsertObject(nullptr));
  EXPECT_EQ(e->GetClientItem(), nullptr);
  EXPECT_EQ(StoredCustom(e), before);
}

}  // namespace
