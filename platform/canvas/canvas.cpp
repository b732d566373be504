#include "platform/canvas/canvas.h"

#include <atomic>

namespace md::canvas {

namespace {
std::atomic<RasterCanvasFactory> g_rasterFactory{nullptr};
}

void setRasterCanvasFactory(RasterCanvasFactory factory) { g_rasterFactory.store(factory); }

std::unique_ptr<Canvas> makeRasterCanvas(const PixelBuffer& target) {
  RasterCanvasFactory f = g_rasterFactory.load();
  if (!f || !target.pixels || target.width <= 0 || target.height <= 0 || target.stride < target.width * 4) {
    return nullptr;
  }
  return f(target);
}

}  // namespace md::canvas
