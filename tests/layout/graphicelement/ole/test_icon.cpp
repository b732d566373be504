// The icon view: each class's icon with its label drawn (render check), the
// icon's extent, the drawing aspect and icon stored and read back.
#include "host/display/cgis_printdisplay.h"
#include "platform/ole/icon.h"
#include "tests/layout/graphicelement/ole/oletest.h"
#include "tests/support/rendercheck.h"

namespace {

using md::test::kPaperH;
using md::test::kPaperW;

class OleIcon : public md::test::OlePage {
 protected:
  // An element showing the object of the choice as its icon.
  CGIS_OleElement* AsIcon(md::layout::SGIS_OleInsertChoice choice) {
    choice.bDisplayAsIcon = true;
    CGIS_OleElement* e = NewOle();
    choice_ = choice;
    EXPECT_TRUE(e->InsertObject(nullptr));
    e->SetFramePropertyPtr(nullptr);
    return e;
  }
};

TEST_F(OleIcon, ExtentLabelAndAspectAreStoredAndReadBack) {
  const std::string source = md::test::WriteText("河流说明.txt", "rivers");
  const struct {
    md::layout::SGIS_OleInsertChoice choice;
    std::string label;
  } kCases[] = {
      {NewOf("Mapdeck.Picture"), "图片对象"},
      {FileOf(source), "文本文档"},
      {LinkOf(source), "河流说明.txt"},  // a link shows its source's file name
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.label);
    CGIS_OleElement* e = AsIcon(c.choice);
    CGIS_OleClientItem* item = e->GetClientItem();
    EXPECT_EQ(item->GetDrawAspect(), md::ole::kAspectIcon);
    md::ole::IconicPicture icon;
    ASSERT_TRUE(item->GetIconicMetafile(&icon));
    EXPECT_EQ(icon.label, c.label);
    EXPECT_EQ(icon.clsid, item->GetObject()->Class().clsid);
    // The icon's size: a 32-pixel icon and a line of label (an em of 320 per
    // wide character, half of it per narrow one, 60 of margin each side).
    SIZE extent{}, content{};
    ASSERT_TRUE(item->GetExtent(&extent, -1));
    ASSERT_TRUE(item->GetExtent(&content, md::ole::kAspectContent));
    EXPECT_EQ(extent.cy, 850 + 50 + 400);
    EXPECT_EQ(extent.cx, md::ole::IconicExtent(icon).cx);
    EXPECT_NE(extent.cx, content.cx);
    // The element took the icon's size.
    EXPECT_EQ(e->GetRect().Width(), extent.cx);
    EXPECT_EQ(e->GetRect().Height(), extent.cy);

    // Stored and read back: the aspect and the icon; saved again, the same bytes.
    ASSERT_TRUE(e->Archive(0, 0));
    const std::vector<std::uint8_t> stored = StoredObject(e);
    CGIS_OleElement* back = Reread(e);
    EXPECT_EQ(back->GetClientItem()->GetDrawAspect(), md::ole::kAspectIcon);
    md::ole::IconicPicture backIcon;
    ASSERT_TRUE(back->GetClientItem()->GetIconicMetafile(&backIcon));
    EXPECT_EQ(backIcon, icon);
    ASSERT_TRUE(back->Archive(0, 0));
    EXPECT_EQ(StoredObject(back), stored);

    // Back to the content: read back so; the icon stays kept.
    back->GetClientItem()->SetDrawAspect(md::ole::kAspectContent);
    back->GetClientItem()->SetDrawAspect(2);  // not an aspect shown here: ignored
    ASSERT_TRUE(back->Archive(0, 0));
    CGIS_OleElement* content2 = Reread(back);
    EXPECT_EQ(content2->GetClientItem()->GetDrawAspect(), md::ole::kAspectContent);
    SIZE again{};
    ASSERT_TRUE(content2->GetClientItem()->GetExtent(&again, -1));
    EXPECT_EQ(again.cx, content.cx);
    ASSERT_TRUE(content2->GetClientItem()->GetIconicMetafile(&backIcon));
    EXPECT_EQ(backIcon, icon);
  }
}

TEST_F(OleIcon, RenderCheckOfTheClassesIconsWithTheirLabels) {
  auto canvas = md::canvas::CairoCanvas::createPageImage(kPaperW / 100.0, kPaperH / 100.0, md::test::kDpi);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = md::test::kDpi;
  setup.paperWidthMm = kPaperW / 100.0;
  setup.paperHeightMm = kPaperH / 100.0;
  HDC hdc = md::win::CreatePrinterDC(canvas.get(), setup, &md::text::FixedMetricsEngine());
  {
    CGIS_PrintDisplay display(hdc, kPaperW, kPaperH, SGIS_Point(0, kPaperH, 0));
    const md::layout::SGIS_OleInsertChoice choices[] = {
        NewOf("Mapdeck.Picture"), NewOf("Mapdeck.TextDocument"),
        LinkOf(md::test::WriteText("legend-notes.txt", "notes"))};
    int left = 800;
    for (const auto& choice : choices) {
      CGIS_OleElement* e = AsIcon(choice);
      // One and a half times the icon's size, side by side.
      SIZE extent{};
      ASSERT_TRUE(e->GetClientItem()->GetExtent(&extent, -1));
      const int w = extent.cx * 3 / 2, h = extent.cy * 3 / 2;
      e->GetFeaturePtr()->GetGeometry()->SetRect(SGIS_Rect(left, 3000 + h, left + w, 3000), 0);
      left += w + 300;
      EXPECT_TRUE(e->OnDraw(hdc, true, &display));
    }
  }
  DeleteDC(hdc);
  EXPECT_TRUE(md::test::MatchesControl(md::canvas::ReadRaster(*canvas),
                                       "tests/layout/graphicelement/ole/controls", "ole_icons"));
}

}  // namespace
