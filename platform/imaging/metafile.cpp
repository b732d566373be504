// The helper's pixels travel in a shared buffer: a header of the chosen size
// and resolution, then the rows of a cairo ARGB32 surface, which hold
// premultiplied 0xAARRGGBB pixels as the picture does.
#include "platform/imaging/metafile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/imaging/decode.h"
#include "platform/imaging/isolate.h"

namespace md::imaging::detail {
namespace {
constexpr std::size_t kHeaderBytes = 64;
}

std::string MetafileTarget::Size(double widthInches, double heightInches) {
  if (!std::isfinite(widthInches) || !std::isfinite(heightInches) || widthInches <= 0 || heightInches <= 0)
    return "the drawing has no size";
  double dpi = kMetafileDpi;
  const double longest = std::max(widthInches, heightInches);
  dpi = std::min(dpi, kMetafileMaxSide / longest);
  const double area = widthInches * heightInches;
  dpi = std::min(dpi, std::sqrt(static_cast<double>(maxPixels) / area));
  // Rounded to the nearest pixel when that fits, else down.
  double w = std::max(1.0, std::round(widthInches * dpi)), h = std::max(1.0, std::round(heightInches * dpi));
  if (w * h > static_cast<double>(maxPixels)) {
    w = std::max(1.0, std::floor(widthInches * dpi));
    h = std::max(1.0, std::floor(heightInches * dpi));
  }
  if (w > kMetafileMaxSide || h > kMetafileMaxSide || w * h > static_cast<double>(maxPixels))
    return "a drawing of " + std::to_string(widthInches) + " x " + std::to_string(heightInches) +
           " inches does not fit the memory limit";
  header[0] = static_cast<std::int32_t>(w);
  header[1] = static_cast<std::int32_t>(h);
  header[2] = static_cast<std::int32_t>(std::lround(dpi * 1000.0));
  return "";
}

cairo_surface_t* MetafileTarget::Surface() const {
  return cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels), CAIRO_FORMAT_ARGB32,
                                             header[0], header[1], header[0] * 4);
}

DecodeResult RenderMetafile(const char* name, Format format, std::size_t memoryLimit,
                            const std::uint8_t* data, std::size_t size, const std::string& helper) {
  const std::size_t maxPixels =
      std::min(static_cast<std::size_t>(kMetafileMaxSide) * kMetafileMaxSide, memoryLimit / 4);
  if (maxPixels == 0) return Fail(name, "the memory limit leaves no room for a drawing");
  std::shared_ptr<Bitmap> out;
  std::string error;
  IsolationLimits limits;
  limits.milliseconds = kMetafileMilliseconds;
  const bool ok = RunIsolated(
      helper.empty() ? ProgramBesideLibrary(kMetafileHelper) : helper,
      {format == Format::Wmf ? "wmf" : "emf", std::to_string(maxPixels), std::to_string(memoryLimit)}, data,
      size, kHeaderBytes + maxPixels * 4,
      [&](const void* buffer) -> std::string {
        std::int32_t header[3];
        std::memcpy(header, buffer, sizeof header);
        const std::int32_t w = header[0], h = header[1];
        if (w <= 0 || h <= 0 || w > kMetafileMaxSide || h > kMetafileMaxSide ||
            static_cast<std::size_t>(w) * static_cast<std::size_t>(h) > maxPixels)
          return "the renderer answered a bad size";
        std::string why;
        out = NewBitmap(w, h, memoryLimit, format, &why);
        if (!out) return why;
        std::memcpy(out->pixels.data(), static_cast<const std::uint8_t*>(buffer) + kHeaderBytes,
                    out->pixels.size() * 4);
        out->dpiX = out->dpiY = header[2] / 1000.0;
        MarkAlpha(out.get());
        return "";
      },
      limits, &error);
  if (!ok) return Fail(name, error);
  DecodeResult r;
  r.bitmap = std::move(out);
  return r;
}

int MetafileHelperMain(int argc, char** argv) {
  return IsolatedMain(argc, argv, [](const IsolatedRequest& r) -> std::string {
    if (r.args.size() != 3 || (r.args[0] != "wmf" && r.args[0] != "emf"))
      return "the renderer was asked wrongly";
    MetafileTarget t;
    t.maxPixels = std::stoull(r.args[1]);
    t.memoryLimit = std::stoull(r.args[2]);
    if (r.bytes < kHeaderBytes + t.maxPixels * 4) return "the renderer was given too small a buffer";
    t.header = static_cast<std::int32_t*>(r.buffer);
    t.pixels = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(r.buffer) + kHeaderBytes);
    return r.args[0] == "wmf" ? PlayWmf(r.input, r.inputBytes, &t) : PlayEmf(r.input, r.inputBytes, &t);
  });
}

}  // namespace md::imaging::detail
