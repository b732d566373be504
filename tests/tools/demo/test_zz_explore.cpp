#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "layout/graphicelement/grid/grid/igis_mapgrids.h"
#include "layout/graphicelement/grid/grid/igis_gridlabel.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "platform/canvas/recording.h"
#include "tests/tools/demo/demotest.h"
#include "tools/demo/mapsheet.h"
#include "tools/demo/mapsheetgrids.h"

namespace {
IGIS_MapElement* FrameOf(md::demo::Page& page) {
  for (IGIS_Element* e : page.elements())
    if (auto* frame = dynamic_cast<IGIS_MapElement*>(e)) return frame;
  return nullptr;
}
struct Box { double l, t, r, b; std::string s; };
TEST(Explore, Crossings) {
  md::demo::MapDocument doc(md::demo::SampleMapsFolder());
  auto page = md::demo::BuildMapSheetPage(doc, nullptr);
  IGIS_MapElement* frame = FrameOf(*page);
  IGIS_MapGrids* list = frame->GetMapGrids();
  IGIS_GridLabel* km = list->GetMapGrid(0)->GetLabelFormat();
  const char* env = std::getenv("OFFS");
  int lx=50, rx=50, tx=0, bx=0, ly=0, ry=0, ty=50, by=50;
  if (env) std::sscanf(env, "%d,%d,%d,%d,%d,%d,%d,%d", &lx,&rx,&tx,&bx,&ly,&ry,&ty,&by);
  km->SetLabelOffsetX(lx, rx, tx, bx);
  km->SetLabelOffsetY(ly, ry, ty, by);
  md::canvas::RecordingCanvas rec(5940, 4200);
  std::string error;
  ASSERT_TRUE(md::demo::PrintElements(*page, {frame}, &rec, 254, nullptr, &error)) << error;
  SGIS_Rect f = frame->GetRect();
  const double L = f.left / 10.0, R = f.right / 10.0, T = (42000 - f.top) / 10.0, B = (42000 - f.bottom) / 10.0;
  std::vector<Box> boxes;
  for (auto* r : rec.recordsOf(md::canvas::Record::Type::Text)) {
    double w = 0; for (double a : r->text.advances) w += a;
    const double x = r->text.origin.x, y = r->text.origin.y;
    if (x > L && x < R && y > T && y < B) continue;
    const double em = r->text.font.emHeight;
    boxes.push_back({x, y - 0.72 * em, x + w, y, r->text.text});
  }
  int cross[4] = {0,0,0,0}; int marks[4] = {0,0,0,0};
  for (auto* r : rec.recordsOf(md::canvas::Record::Type::Shape)) {
    auto p = r->Points();
    if (p.size() != 2 || r->pen.color != 0x141414) continue;
    double x0 = p[0].x, y0 = p[0].y, x1 = p[1].x, y1 = p[1].y;
    int side = -1;
    if (std::fabs(x0 - x1) < 0.5 && std::fabs(std::fabs(y0 - y1) - 100) < 2) side = std::min(y0, y1) < T + 1 ? 1 : 0;  // 0 bottom, 1 top
    else if (std::fabs(y0 - y1) < 0.5 && std::fabs(std::fabs(x0 - x1) - 100) < 2) side = std::min(x0, x1) < L + 1 ? 2 : 3;
    else continue;
    ++marks[side];
    for (auto& b : boxes) {
      bool hit = side < 2 ? (x0 >= b.l - 0.5 && x0 <= b.r + 0.5 && b.b >= std::min(y0,y1) && b.t <= std::max(y0,y1))
                          : (y0 >= b.t - 0.5 && y0 <= b.b + 0.5 && b.r >= std::min(x0,x1) && b.l <= std::max(x0,x1));
      if (hit) { ++cross[side]; std::printf("side %d mark at %.1f,%.1f crosses '%s'\n", side, x0, y0, b.s.c_str()); }
    }
  }
  std::printf("marks b %d t %d l %d r %d; crossings b %d t %d l %d r %d\n", marks[0], marks[1], marks[2], marks[3], cross[0], cross[1], cross[2], cross[3]);
}
}  // namespace
