// The fixed-metrics text engine: every size follows the formula documented in
// textengine.h, so layouts computed from it are exact.
#include <unordered_map>

#include "platform/text/ftshared.h"
#include "platform/text/textengine.h"

namespace md::text {
namespace {

constexpr double kDefaultEm = 16.0;

class FixedFont final : public Font {
 public:
  FixedFont(const FontRequest& req, const FaceSource* face) {
    request_ = req;
    if (face != nullptr) {
      face_ = *face;
      face_.syntheticBold = req.weight >= 600;
      face_.syntheticItalic = req.italic;
      hasFace_ = true;
    }
    const double em = req.height < 0 ? -req.height : (req.height > 0 ? req.height : kDefaultEm);
    FontMetrics& m = metrics_;
    m.em = em;
    m.ascent = 0.8 * em;
    m.descent = 0.2 * em;
    m.height = em;
    m.internalLeading = 0;
    m.externalLeading = 0;
    m.xScale = req.width > 0 ? req.width / (0.5 * em) : 1.0;
    m.aveCharWidth = 0.5 * em * m.xScale;
    m.maxCharWidth = em * m.xScale;
    m.underlinePosition = 0.1 * em;
    m.underlineThickness = 0.05 * em;
    m.strikeOutPosition = 0.3 * em;
    m.strikeOutThickness = 0.05 * em;
    m.weight = req.weight;
    m.italic = req.italic;
  }

  double Advance(char32_t ch) const override {
    return (ch < 0x80 ? 0.5 : 1.0) * metrics_.em * metrics_.xScale;
  }

  std::vector<Glyph> Shape(std::string_view utf8) const override {
    std::vector<Glyph> out;
    std::unique_lock<std::mutex> lock;
    if (hasFace_) lock = std::unique_lock(detail::FreeTypeMutex());
    double x = 0;
    ForEachCodepoint(utf8, [&](char32_t cp, std::size_t off, std::size_t len) {
      Glyph g;
      g.ch = cp;
      g.byteOffset = off;
      g.byteLength = len;
      g.x = x;
      g.advance = Advance(cp);
      if (hasFace_) {
        double unused = 0;
        detail::LookupGlyphLocked(face_, cp, g.index, unused);
      }
      x += g.advance;
      out.push_back(g);
    });
    return out;
  }

  const FaceSource* Face(int slot) const override { return slot == 0 && hasFace_ ? &face_ : nullptr; }

 private:
  FaceSource face_;
  bool hasFace_ = false;
};

class FixedEngineImpl final : public TextEngine {
 public:
  const char* Name() const override { return "fixed"; }
  FontPtr Match(const FontRequest& request) override {
    const FaceSource* face = detail::MonospacedCjkFace();
    return std::make_shared<FixedFont>(request, face);
  }
};

}  // namespace

TextEngine& FixedMetricsEngine() {
  static FixedEngineImpl engine;
  return engine;
}

}  // namespace md::text
