// A legend listing every class of a map whose layers hold 10, 100 or 1,000
// classes in all (ten layers of line, fill and point classes): its layout
// (RecalcRect: measuring every item and stacking them) and its drawing on a
// 300-dpi printer page recorded without painting. The counter "per_class"
// is the time per class; it stays flat when the work grows linearly.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "host/display/cgis_printdisplay.h"
#include "host/featra/igis_feature.h"
#include "host/glyphor/igis_symbol.h"
#include "host/helmora/igis_map.h"
#include "host/sferon/igis_spatialreference.h"
#include "layout/graphicelement/factory/cgis_elementfactory.h"
#include "layout/graphicelement/legend/cgis_legendelement.h"
#include "layout/graphicelement/legend/igis_legendformat.h"
#include "layout/graphicelement/legend/igis_legenditem.h"
#include "layout/graphicelement/mapframe/cgis_mapelement.h"
#include "platform/canvas/recording.h"
#include "platform/text/textengine.h"
#include "platform/win/gdidevice.h"
#include "platform/win/wingdi.h"

namespace {

constexpr int kLayers = 10;

// A page showing a document whose map holds kLayers layers of classes/kLayers
// classes each, a frame showing it and a legend of every class.
class LegendScene {
 public:
  explicit LegendScene(int classes) {
    GIS_SetSymbolTextEngine("fixed");
    md::layout::InstallElementHooks();
    set_ = GIS_CreateFeatureSetObject(nullptr, "page", 0, 0, 0, 0, nullptr);
    set_->SetUnitRatio(35.28);
    page_ = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(0);
    set_->GetFeatureClass()->SetSpatialReference(page_);
    doc_ = GIS_CreateDocumentObject();
    IGIS_SpatialReference* ref = GIS_GetSpatialReferenceFactoryObject()->CreateSpatialReference(2);
    IGIS_Map* map = doc_->CreateMap("图例基准", ref);
    ref->Release();
    const int types[3] = {GIS_SYMBOL_LINE, GIS_SYMBOL_FILL, GIS_SYMBOL_POINT5};
    for (int l = 0; l < kLayers; ++l) {
      IGIS_MapLayer* layer = GIS_CreateVectorLayerObject(("图层" + std::to_string(l)).c_str(), nullptr);
      auto* data = dynamic_cast<IGIS_VectorMapLayer*>(layer->GetLayerPtr());
      for (int c = 0; c < classes / kLayers; ++c) {
        IGIS_Symbol* s = GIS_GetSymbolFactoryObject()->CreateSymbol(types[c % 3]);
        s->SetColor(RGB(40 + c % 200, 90, 160));
        const std::string value = std::to_string(c);
        data->GetSymbolMatchTable()->AddEntry(value.c_str(), ("类别" + value).c_str(), s);
        s->Release();
      }
      map->AddLayer(layer);
    }
    set_->SetMapLayer(doc_->GetLayoutLayer());
    frame_ = new CGIS_MapElement(set_, nullptr);
    frame_->SetRect(SGIS_Rect(1000, 19000, 19000, 10000));
    frame_->SetMapName("图例基准");
    legend_ = new CGIS_LegendElement(set_, nullptr);
    legend_->SetMapElement(frame_);
    for (int l = 0; l < kLayers; ++l) {
      IGIS_MapLayer* layer = map->GetLayer(l);
      IGIS_LegendItem* item = GIS_CreateLegendItemObject(legend_);
      item->SetLayer(layer);
      IGIS_SymbolMatchTable* table =
          dynamic_cast<IGIS_VectorMapLayer*>(layer->GetLayerPtr())->GetSymbolMatchTable();
      for (int c = 0; c < table->GetCount(); ++c) item->AddLabel(table->GetLabel(c));
      legend_->AddItem(item);
    }
    legend_->RecalcRect();
  }
  ~LegendScene() {
    legend_->Release();
    frame_->Release();
    set_->Release();
    doc_->Release();
    page_->Release();
  }
  CGIS_LegendElement* legend() { return legend_; }

 private:
  IGIS_FeatureSet* set_ = nullptr;
  IGIS_SpatialReference* page_ = nullptr;
  IGIS_Document* doc_ = nullptr;
  CGIS_MapElement* frame_ = nullptr;
  CGIS_LegendElement* legend_ = nullptr;
};

void PerClass(benchmark::State& state) {
  state.counters["per_class"] =
      benchmark::Counter(static_cast<double>(state.range(0)),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Layout(benchmark::State& state) {
  LegendScene scene(static_cast<int>(state.range(0)));
  for (auto _ : state) scene.legend()->RecalcRect();
  PerClass(state);
}

void Draw(benchmark::State& state) {
  LegendScene scene(static_cast<int>(state.range(0)));
  md::canvas::RecordingCanvas canvas(2480, 3508);
  md::win::PrinterSetup setup;
  setup.dpiX = setup.dpiY = 300;
  setup.paperWidthMm = 210.0;
  setup.paperHeightMm = 297.0;
  HDC hdc = md::win::CreatePrinterDC(&canvas, setup, &md::text::FixedMetricsEngine());
  {
    CGIS_PrintDisplay display(hdc, 21000, 29700, SGIS_Point(0, 29700));
    display.PrepareDC();
    for (auto _ : state) {
      canvas.clear();
      scene.legend()->OnDraw(hdc, true, &display);
    }
  }
  DeleteDC(hdc);
  PerClass(state);
}

BENCHMARK(Layout)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Draw)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
