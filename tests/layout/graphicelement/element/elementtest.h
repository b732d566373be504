// Shared pieces of the layout library's tests: a page feature set with the
// element hooks installed, log marks, and a small box element that keeps its
// rectangle in its feature and records what is done to it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "host/basilo/igis_log.h"
#include "host/featra/gis_elementregistry.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/element/cgis_elementcore.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "tests/support/logmark.h"

// Readable rectangles in failure messages.
inline void PrintTo(const SGIS_Rect& r, std::ostream* os) {
  *os << "{left " << r.left << ", top " << r.top << ", right " << r.right << ", bottom " << r.bottom << "}";
}

namespace md::test {

// An element over a feature of kind 1024 whose geometry is its rectangle.
// Every OnDraw is appended to a shared journal.
class TestBoxElement : public CGIS_ElementImpl<IGIS_Element> {
 public:
  static std::vector<std::string>& Journal() {
    static std::vector<std::string> journal;
    return journal;
  }

  TestBoxElement(IGIS_FeatureSet* pOwner, IGIS_Feature* pFeature, const char* szTag = "box",
                 int nLockOnNew = -1, int nCanConvert = 0)
      : CGIS_ElementImpl("TestBoxElement", "测试框"), m_tag(szTag) {
    SGIS_ElementBindOptions o;
    o.szType = "TEST_BOX";
    o.nKind = 1024;
    o.nLockOnNew = nLockOnNew;
    o.nCanConvert = nCanConvert;
    m_core.Bind(pOwner, pFeature, o);
  }

  const char* GetType() override { return "TEST_BOX"; }
  // Without a device context only the journal is written.
  BOOL OnDraw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) override {
    Journal().push_back(m_tag + (bPrint ? ":print" : ":screen"));
    return hdc != nullptr ? m_core.DrawFeatureSymbol(hdc, bPrint, pDisplay) : TRUE;
  }
  BOOL OnOpenPropertyDlg(IGIS_Display*, BOOL) override {
    return m_core.OpenPropertySheet(nullptr, "测试框属性", "pBackup == NULL");
  }
  bool CanConvert() override { return false; }
  void SetRect(SGIS_Rect rect) override {
    IGIS_Feature* f = m_core.RequireFeature("SetRect");
    if (f != nullptr && f->GetGeometry() != nullptr) f->GetGeometry()->SetRect(rect, 0);
  }
  SGIS_Rect GetRect() override {
    SGIS_Rect r;
    IGIS_Feature* f = GetFeaturePtr();
    if (f != nullptr) f->GetBound(&r, 1, 0);
    return r;
  }
  IGIS_Element* ConvertToElement() override { return nullptr; }
  void SetWidthAndHeight(int w, int h) override {
    SGIS_Rect r = GetRect();
    SetRect(SGIS_Rect(r.left, r.bottom + h, r.left + w, r.bottom));
  }
  void OffsetAllPoints(int dx, int dy) override {
    SGIS_Rect r = GetRect();
    SetRect(SGIS_Rect(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy));
  }
  void ScaleShape(SGIS_Point o, double sx, double sy) override {
    SGIS_Rect r = GetRect();
    auto X = [&](int x) { return static_cast<int>(std::lround(o.x + (x - o.x) * sx)); };
    auto Y = [&](int y) { return static_cast<int>(std::lround(o.y + (y - o.y) * sy)); };
    SetRect(SGIS_Rect(X(r.left), Y(r.top), X(r.right), Y(r.bottom)));
  }
  void SetLBpoint(SGIS_Point p) override {
    SGIS_Rect r = GetRect();
    OffsetAllPoints(p.x - r.left, p.y - r.bottom);
  }
  IGIS_Element* Clone() override {
    if (m_failClone || GetFeatureSetPtr() == nullptr) return nullptr;
    auto* copy = new TestBoxElement(GetFeatureSetPtr(), nullptr, (m_tag + "'").c_str());
    copy->SetRect(GetRect());
    copy->SetName(GetName());
    copy->SetHVScaleRatio(GetHVScaleRatio());
    IGIS_Feature* mine = GetFeaturePtr();
    IGIS_Feature* theirs = copy->GetFeaturePtr();
    if (mine != nullptr && theirs != nullptr && mine->GetSymbol() != nullptr) {
      theirs->SetSymbol(mine->GetSymbol()->Clone());
    }
    return copy;
  }
  const char* GetDescription() override { return "test box"; }

  std::string m_tag;
  std::function<bool()> m_runSheet;
  bool m_failClone = false;
};

// A page: a feature set over a class of its own, with the element hooks in.
class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    md::layout::InstallElementHooks();
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    ASSERT_NE(set_, nullptr);
    TestBoxElement::Journal().clear();
  }
  void TearDown() override {
    for (IGIS_Element* e : owned_) e->Release();
    if (set_ != nullptr) set_->Release();
  }

  // A box on a new feature, released by the fixture.
  TestBoxElement* Box(int l, int b, int r, int t, const char* tag = "box") {
    auto* e = new TestBoxElement(set_, nullptr, tag);
    e->SetRect(SGIS_Rect(l, t, r, b));
    owned_.push_back(e);
    return e;
  }
  template <class T>
  T* Keep(T* e) {
    owned_.push_back(e);
    return e;
  }

  IGIS_FeatureSet* set_ = nullptr;
  std::vector<IGIS_Element*> owned_;
};

}  // namespace md::test
