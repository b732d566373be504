// Copies of the plain shapes, the backup protocol around their property
// sheets, and the element makers that complex elements convert with.
#include "layout/graphicelement/compound/cgis_compoundelement.h"
#include "layout/graphicelement/convert/elementmakers.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/shapes/cgis_ellipseelement.h"
#include "layout/graphicelement/shapes/cgis_pointelement.h"
#include "layout/graphicelement/shapes/cgis_polygonelement.h"
#include "layout/graphicelement/shapes/cgis_polylineelement.h"
#include "layout/graphicelement/shapes/cgis_rectelement.h"
#include "platform/ui/app.h"
#include "tests/layout/graphicelement/shapes/shapetest.h"

namespace {

using md::test::LogMark;
using md::test::PointsOf;
using md::test::SetPoints;
using md::test::ShapeTest;

// Each kind of shape on a new feature, placed.
std::vector<IGIS_Element*> OneOfEach(IGIS_FeatureSet* set) {
  std::vector<IGIS_Element*> out;
  for (const char* type :
       {GIS_TYPE_GRAPHIC_ELEMENT_RECT, GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE, GIS_TYPE_GRAPHIC_ELEMENT_POLYGON,
        GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE, GIS_TYPE_GRAPHIC_ELEMENT_POINT}) {
    IGIS_Element* e = set->CreateElement(type);
    if (dynamic_cast<CGIS_PolygonElement*>(e) != nullptr) {
      SetPoints(e, {{100, 100, 0}, {700, 100, 0}, {400, 500, 0}, {100, 100, 0}});
    } else if (dynamic_cast<CGIS_PolylineElement*>(e) != nullptr) {
      SetPoints(e, {{100, 100, 0}, {700, 300, 5}, {400, 500, 0}});
    } else {
      e->SetRect(SGIS_Rect(100, 500, 700, 100));
    }
    out.push_back(e);
  }
  return out;
}

TEST_F(ShapeTest, ACloneIsAnIndependentShapeInTheSameOwner) {
  for (IGIS_Element* e : OneOfEach(set_)) {
    Keep(e);
    SCOPED_TRACE(e->GetType());
    e->SetLock(true);
    e->SetHVScaleRatio(true);
    e->SetName("原件");
    e->SetOrder(5);
    const int features = Class()->GetFeatureCount();
    TakeCommits();
    IGIS_Element* c = Keep(e->Clone());
    ASSERT_NE(c, nullptr);
    // The last commit of the copy: a polygon commits its copied ring whole,
    // a polyline's copied vertices follow its symbol without a commit.
    const md::test::Commits commits = TakeCommits();
    ASSERT_FALSE(commits.empty());
    EXPECT_EQ(commits.back().first, c->GetID());
    if (dynamic_cast<CGIS_PolygonElement*>(e) != nullptr) {
      EXPECT_EQ(commits.back().second, 127);
    }
    if (dynamic_cast<CGIS_PolylineElement*>(e) != nullptr) {
      EXPECT_EQ(commits.back().second, 8);
    }
    EXPECT_EQ(Class()->GetFeatureCount(), features + 1);
    EXPECT_EQ(c->GetFeatureSetPtr(), set_);
    EXPECT_NE(c->GetID(), e->GetID());
    EXPECT_STREQ(c->GetType(), e->GetType());
    EXPECT_EQ(c->GetRect(), e->GetRect());
    EXPECT_TRUE(c->IsLock() && c->GetHVScaleRatio());
    EXPECT_STRNE(c->GetName(), "原件");  // name and order stay behind
    EXPECT_EQ(c->GetOrder(), -10);
    IGIS_Symbol* mine = e->GetFeaturePtr()->GetSymbol();
    IGIS_Symbol* theirs = c->GetFeaturePtr()->GetSymbol();
    ASSERT_NE(theirs, nullptr);
    EXPECT_NE(theirs, mine);
    EXPECT_EQ(theirs->GetStyleCode(), mine->GetStyleCode());
    if (dynamic_cast<CGIS_PolylineElement*>(e) != nullptr ||
        dynamic_cast<CGIS_PolygonElement*>(e) != nullptr) {
      EXPECT_EQ(PointsOf(c), PointsOf(e));
    }
    const SGIS_Rect before = e->GetRect();
    c->OffsetAllPoints(1000, 1000);
    EXPECT_EQ(e->GetRect(), before);
  }
  auto* gone = Make<CGIS_PolygonElement>(GIS_TYPE_GRAPHIC_ELEMENT_POLYGON);
  Class()->DeleteFeature(gone->GetID());
  LogMark log;
  EXPECT_EQ(gone->Clone(), nullptr);
  EXPECT_TRUE(log.Has(3, "CGIS_PolygonElement::Clone", "m_pFeature == NULL"));
}

// The sheet of the tests: edits the element as a user would, then answers.
struct Sheet {
  static inline bool confirm = false;
  static inline std::string title;
  static inline IGIS_Display* display = nullptr;
  static inline bool libraryState = false;
  static bool Run(IGIS_Element* e, IGIS_Display* d, const char* szTitle) {
    title = szTitle;
    display = d;
    libraryState = AfxGetModuleState() == AfxGetStaticModuleState();
    const SGIS_Rect r = e->GetRect();
    e->SetRect(SGIS_Rect(r.left + 50, r.top + 400, r.right + 250, r.bottom + 30));
    e->SetHVScaleRatio(!e->GetHVScaleRatio());
    e->SetLock(!e->IsLock());
    IGIS_Symbol* other = GIS_GetSymbolFactoryObject()->CreateSymbol(6);
    other->SetCode(3302);
    if (auto* s = dynamic_cast<CGIS_RectElement*>(e)) s->SetSymbolPtr(nullptr);
    if (auto* s = dynamic_cast<CGIS_EllipseElement*>(e)) s->SetSymbolPtr(nullptr);
    if (auto* s = dynamic_cast<CGIS_PolygonElement*>(e)) s->SetSymbolPtr(nullptr);
    if (auto* s = dynamic_cast<CGIS_PolylineElement*>(e)) s->SetSymbolPtr(nullptr);
    if (auto* s = dynamic_cast<CGIS_PointElement*>(e)) s->SetSymbolPtr(other);
    other->Release();
    return confirm;
  }
};

TEST_F(ShapeTest, PropertySheetsRunAroundABackupThatRestoresACancelledEdit) {
  const char* const titles[] = {"矩形属性", "椭圆属性", "面属性", "线属性", "点属性"};
  auto screen = md::test::Page::Screen(1.0, 0.0, 0.0);
  const std::vector<IGIS_Element*> shapes = OneOfEach(set_);
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    IGIS_Element* e = Keep(shapes[i]);
    SCOPED_TRACE(e->GetType());
    const md::layout::SheetRunner real = md::layout::GetPropertySheet(e->GetType());
    md::layout::RegisterPropertySheet(e->GetType(), &Sheet::Run);
    const SGIS_Rect rect = e->GetRect();
    const int features = Class()->GetFeatureCount();
    const int code = e->GetFeaturePtr()->GetSymbol()->GetStyleCode();
    const bool keep = e->GetHVScaleRatio();

    Sheet::confirm = false;
    EXPECT_FALSE(e->OnOpenPropertyDlg(screen->display, TRUE));
    EXPECT_EQ(Sheet::title, titles[i]);
    EXPECT_EQ(Sheet::display, screen->display);
    EXPECT_TRUE(Sheet::libraryState);
    EXPECT_EQ(e->GetRect(), rect);
    EXPECT_FALSE(e->IsLock());
    EXPECT_EQ(e->GetHVScaleRatio(), keep);
    ASSERT_NE(e->GetFeaturePtr()->GetSymbol(), nullptr);
    EXPECT_EQ(e->GetFeaturePtr()->GetSymbol()->GetStyleCode(), code);
    EXPECT_EQ(Class()->GetFeatureCount(), features);  // the backup left the owner

    Sheet::confirm = true;
    EXPECT_TRUE(e->OnOpenPropertyDlg(nullptr, FALSE));
    const SGIS_Rect edited = e->GetRect();
    EXPECT_NE(edited, rect);
    EXPECT_TRUE(e->IsLock());
    EXPECT_EQ(Class()->GetFeatureCount(), features);

    // No sheet registered: cancelled, nothing changes.
    md::layout::RegisterPropertySheet(e->GetType(), nullptr);
    EXPECT_FALSE(e->OnOpenPropertyDlg(nullptr, TRUE));
    EXPECT_EQ(e->GetRect(), edited);
    EXPECT_EQ(Class()->GetFeatureCount(), features);
    md::layout::RegisterPropertySheet(e->GetType(), real);
  }
}

TEST_F(ShapeTest, TheElementMakersBuildShapesIntoACompound) {
  auto* compound = Keep(new CGIS_CompoundElement(set_, nullptr));
  IGIS_Symbol* line = NewSymbol(9, 3333, RGB(200, 0, 0));
  IGIS_Symbol* fill = NewSymbol(12, 3364, RGB(0, 0, 200));
  const SGIS_Point pts[] = {{0, 0, 0}, {400, 0, 0}, {400, 300, 0}, {0, 0, 0}};
  const int features = Class()->GetFeatureCount();
  EXPECT_FALSE(CreatePolylineElement(compound, pts, 1, line));
  EXPECT_FALSE(CreatePolygonElement(compound, pts, 2, fill));
  EXPECT_EQ(Class()->GetFeatureCount(), features);

  ASSERT_TRUE(CreatePolylineElement(compound, pts, 3, line));
  ASSERT_TRUE(CreatePolygonElement(compound, pts, 4, fill));
  ASSERT_TRUE(CreatePointElement(compound, SGIS_Point(1000, 1000, 0), NewSymbol(6, 3307, RGB(0, 150, 0))));
  ASSERT_EQ(compound->GetElementCount(), 3);
  auto* l = dynamic_cast<CGIS_PolylineElement*>(compound->GetElementPtrByIndex(0));
  auto* g = dynamic_cast<CGIS_PolygonElement*>(compound->GetElementPtrByIndex(1));
  auto* p = dynamic_cast<CGIS_PointElement*>(compound->GetElementPtrByIndex(2));
  ASSERT_TRUE(l != nullptr && g != nullptr && p != nullptr);
  EXPECT_EQ(PointsOf(l), std::vector<SGIS_Point>(pts, pts + 3));
  EXPECT_EQ(l->GetSymbolPtr()->GetStyleCode(), 3333);
  EXPECT_EQ(PointsOf(g), std::vector<SGIS_Point>(pts, pts + 4));
  EXPECT_EQ(g->GetSymbolPtr()->GetColor(), static_cast<COLORREF>(RGB(0, 0, 200)));
  EXPECT_EQ(p->GetSymbolPtr()->GetStyleCode(), 3307);
  const int side = static_cast<int>(8 * set_->GetUnitRatio() + 0.5);
  EXPECT_EQ(p->GetRect().Width(), side);
  EXPECT_EQ(p->GetRect().Height(), side);

  auto screen = md::test::Page::Screen(1.0, -500.0, 2000.0);
  EXPECT_TRUE(compound->OnDraw(screen->hdc, false, screen->display));
  EXPECT_GE(screen->canvas->shapesOf(md::canvas::ShapeKind::Polygon).size(), 1u);
  EXPECT_EQ(screen->canvas->shapesOf(md::canvas::ShapeKind::Polyline).size(), 3u);  // dashed: three dashes
  for (int i = compound->GetElementCount() - 1; i >= 0; --i)
    set_->DeleteElement(compound->GetElementPtrByIndex(i));
}

}  // namespace
