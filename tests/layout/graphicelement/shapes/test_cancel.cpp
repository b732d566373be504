// A property sheet cancelled after edits that change the geometry leaves every
// shape's stored form byte-identical: vertices that a squeeze rounded come
// back exactly, not through the bounding rectangle.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "host/basilo/igis_propertyset.h"
#include "layout/graphicelement/dialogs/propertysheets.h"
#include "layout/graphicelement/shapes/cgis_polygonelement.h"
#include "layout/graphicelement/shapes/cgis_polylineelement.h"
#include "tests/layout/graphicelement/shapes/shapetest.h"

namespace {

using md::test::SetPoints;
using md::test::ShapeTest;

// Everything the feature stores: kind, order, vertices, symbol bytes, fields.
std::string StoredForm(IGIS_Feature* f) {
  std::ostringstream s;
  s << "kind " << f->GetKind() << " order " << int(f->GetOrder()) << " points";
  IGIS_Geometry* g = f->GetGeometry();
  std::vector<SGIS_Point> points(static_cast<std::size_t>(g->GetPointCount()));
  const int n = g->GetPoints(static_cast<int>(points.size()), points.data(), 0, 0);
  for (int k = 0; k < n; ++k) s << " " << points[k].x << "/" << points[k].y << "/" << points[k].z;
  SGIS_Rect bound;
  if (g->GetBound(&bound, 0, 0))
    s << " bound " << bound.left << "," << bound.top << "," << bound.right << "," << bound.bottom;
  auto hex = [&](IGIS_DataBuffer* b) {
    const auto* p = static_cast<const unsigned char*>(b->GetData());
    for (int i = 0; i < b->GetSize(); ++i) {
      char two[3];
      std::snprintf(two, sizeof two, "%02x", p[i]);
      s << two;
    }
  };
  IGIS_DataBuffer* symbol = GIS_CreateDataBufferObject(0);
  s << " symbol ";
  if (f->GetSymbolData(symbol)) hex(symbol);
  symbol->Release();
  IGIS_FeatureAttributes* a = f->GetAttributes();
  for (int k = 0; a != nullptr && k < a->GetFieldCount(); ++k) {
    const char* name = a->GetFieldName(k);
    s << " " << name << "=";
    switch (a->GetFieldType(name)) {
      case GIS_FIELD_TYPE_STRING:
        s << a->GetString(name);
        break;
      case GIS_FIELD_TYPE_BUFFER:
        hex(a->GetDataBuffer(name));
        break;
      case GIS_FIELD_TYPE_DOUBLE:
        s << a->GetDouble(name);
        break;
      default:
        s << a->GetInt(name);
        break;
    }
  }
  return s.str();
}

// The user squeezes the shape to a sliver, stretches it back, moves it and
// cancels.
bool SqueezeAndCancel(IGIS_Element* e, IGIS_Display*, const char*) {
  const SGIS_Rect r = e->GetRect();
  e->SetHVScaleRatio(false);
  e->SetWidthAndHeight(7, 3);
  e->SetWidthAndHeight(r.Width(), r.Height());
  e->OffsetAllPoints(13, -29);
  e->ScaleShape(SGIS_Point(5, 5, 0), 0.37, 1.91);
  return false;
}

struct Row {
  const char* type;
  std::vector<SGIS_Point> points;  // empty: placed by its rectangle
};

TEST_F(ShapeTest, CancelledSheetsLeaveTheStoredFormByteIdentical) {
  const Row rows[] = {
      {GIS_TYPE_GRAPHIC_ELEMENT_POLYLINE, {{100, 100, 0}, {300, 200, 0}, {1001, 333, 7}, {457, 999, 0}}},
      {GIS_TYPE_GRAPHIC_ELEMENT_POLYGON,
       {{100, 100, 0}, {300, 200, 3}, {1001, 333, 0}, {457, 999, 0}, {100, 100, 0}}},
      {GIS_TYPE_GRAPHIC_ELEMENT_RECT, {}},
      {GIS_TYPE_GRAPHIC_ELEMENT_ELLIPSE, {}},
      {GIS_TYPE_GRAPHIC_ELEMENT_POINT, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.type);
    IGIS_Element* e = Keep(set_->CreateElement(row.type));
    ASSERT_NE(e, nullptr);
    if (!row.points.empty()) {
      SetPoints(e, row.points);
    } else {
      e->SetRect(SGIS_Rect(103, 517, 709, 101));
    }
    e->SetHVScaleRatio(true);
    ASSERT_TRUE(e->Archive(0, 0));
    const std::string before = StoredForm(e->GetFeaturePtr());
    const int features = Class()->GetFeatureCount();

    // The kind's own sheet comes back afterwards: later tests open it.
    const md::layout::SheetRunner own = md::layout::GetPropertySheet(row.type);
    md::layout::RegisterPropertySheet(row.type, &SqueezeAndCancel);
    EXPECT_FALSE(e->OnOpenPropertyDlg(nullptr, TRUE));
    md::layout::RegisterPropertySheet(row.type, own);
    ASSERT_TRUE(e->Archive(0, 0));
    EXPECT_EQ(StoredForm(e->GetFeaturePtr()), before);
    EXPECT_EQ(Class()->GetFeatureCount(), features);
  }
}

}  // namespace
