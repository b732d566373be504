// Render checks against control images with masks.
#include "tests/support/rendercheck.h"

#include <cstdlib>
#include <filesystem>
#include <unordered_set>

namespace md::test {
namespace {

constexpr std::uint32_t kMasked = 0xFFFFFF;

int ChannelDifference(std::uint32_t a, std::uint32_t b) {
  int largest = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    if (d > largest) largest = d;
  }
  return largest;
}

bool SameSize(const md::canvas::Raster& a, const md::canvas::Raster& b) {
  return a.width == b.width && a.height == b.height && a.pixels.size() == b.pixels.size();
}

std::string FromRoot(const std::string& path) { return std::string(MD_SOURCE_DIR) + "/" + path; }

}  // namespace

bool UpdatingControls() {
  const char* v = std::getenv("MAPDECK_UPDATE_REFERENCE");
  return v != nullptr && std::string(v) == "1";
}

md::canvas::Raster AntialiasMask(const md::canvas::Raster& control) {
  // The flat colours: those of pixels whose eight neighbours all share it.
  std::unordered_set<std::uint32_t> flat;
  auto colour = [&](int x, int y) { return control.at(x, y) & 0xFFFFFF; };
  for (int y = 1; y + 1 < control.height; ++y) {
    for (int x = 1; x + 1 < control.width; ++x) {
      const std::uint32_t c = colour(x, y);
      bool uniform = true;
      for (int dy = -1; dy <= 1 && uniform; ++dy) {
        for (int dx = -1; dx <= 1 && uniform; ++dx) uniform = colour(x + dx, y + dy) == c;
      }
      if (uniform) flat.insert(c);
    }
  }
  md::canvas::Raster mask;
  mask.width = control.width;
  mask.height = control.height;
  mask.pixels.assign(control.pixels.size(), 0);
  for (int y = 0; y < control.height; ++y) {
    for (int x = 0; x < control.width; ++x) {
      if (flat.count(colour(x, y)) == 0) mask.pixels[static_cast<std::size_t>(y) * mask.width + x] = kMasked;
    }
  }
  return mask;
}

long long MaskedDifference(const md::canvas::Raster& control, const md::canvas::Raster& mask,
                           const md::canvas::Raster& rendered, int channelTolerance) {
  if (!SameSize(control, rendered) || !SameSize(control, mask)) return -1;
  long long differing = 0;
  for (std::size_t i = 0; i < control.pixels.size(); ++i) {
    if ((mask.pixels[i] & 0xFFFFFF) != 0) continue;
    if (ChannelDifference(control.pixels[i], rendered.pixels[i]) > channelTolerance) ++differing;
  }
  return differing;
}

testing::AssertionResult MatchesControl(const md::canvas::Raster& rendered, const std::string& controlFolder,
                                        const std::string& name, RenderTolerance tolerance) {
  const std::string controlPath = FromRoot(controlFolder + "/" + name + ".png");
  const std::string maskPath = FromRoot(controlFolder + "/" + name + ".mask.png");
  std::string error;
  if (UpdatingControls()) {
    std::filesystem::create_directories(FromRoot(controlFolder));
    if (!md::canvas::WritePng(rendered, controlPath, &error) ||
        (tolerance.bMasked && !md::canvas::WritePng(AntialiasMask(rendered), maskPath, &error))) {
      return testing::AssertionFailure() << error;
    }
    return testing::AssertionSuccess() << "control written: " << controlPath;
  }
  md::canvas::Raster control, mask;
  if (!md::canvas::ReadPng(controlPath, &control, &error)) {
    return testing::AssertionFailure() << error << " (make the control: see tests/support/rendercheck.h)";
  }
  if (!std::filesystem::exists(maskPath)) {
    // A control without a mask is compared at every pixel.
    mask.width = control.width;
    mask.height = control.height;
    mask.pixels.assign(control.pixels.size(), 0);
  } else if (!md::canvas::ReadPng(maskPath, &mask, &error)) {
    return testing::AssertionFailure() << error;
  }
  const long long differing = MaskedDifference(control, mask, rendered, tolerance.channel);
  if (differing >= 0 && differing <= tolerance.pixels) return testing::AssertionSuccess();

  const std::filesystem::path out = std::filesystem::path(MD_TEST_OUTPUT_DIR) / "render-checks";
  std::filesystem::create_directories(out);
  const std::string renderedPath = (out / (name + "-rendered.png")).string();
  const std::string diffPath = (out / (name + "-difference.png")).string();
  md::canvas::WritePng(rendered, renderedPath, nullptr);
  if (differing >= 0) {
    md::canvas::Raster diff = md::canvas::DifferenceImage(control, rendered, tolerance.channel);
    for (std::size_t i = 0; i < diff.pixels.size(); ++i) {
      if ((mask.pixels[i] & 0xFFFFFF) != 0) diff.pixels[i] = 0xE0E0E0;  // masked: not compared
    }
    md::canvas::WritePng(diff, diffPath, nullptr);
  }
  return testing::AssertionFailure()
         << name << " differs from its control " << controlPath << ": "
         << (differing < 0 ? std::string("the sizes differ")
                           : std::to_string(differing) + " unmasked pixels beyond the tolerance (allowed " +
                                 std::to_string(tolerance.pixels) + ")")
         << "\n  rendered:   " << renderedPath << "\n  difference: " << diffPath
         << "\n  if the change is meant, renew the control (tests/support/rendercheck.h)";
}

}  // namespace md::test
