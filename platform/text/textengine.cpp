// Engine-independent parts of the text layer: measuring, the engine registry and the face-name mapping table.
#include "platform/text/textengine.h"

#include <cmath>
#include <cstring>

namespace md::text {
namespace {

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

bool Font::DrawsAs(const FontRequest& req) const {
  const bool sameSize = req.height == request_.height || (req.height < 0 && -req.height == metrics_.em);
  return sameSize && req.width == request_.width && req.weight == request_.weight &&
         req.italic == request_.italic && req.face == request_.face;
}

Extent Font::Measure(std::string_view utf8) const {
  Extent e;
  for (const Glyph& g : Shape(utf8)) e.width += g.advance;
  e.height = metrics_.height;
  return e;
}

std::vector<double> Font::Advances(std::string_view utf8) const {
  std::vector<double> out;
  for (const Glyph& g : Shape(utf8)) out.push_back(g.advance);
  return out;
}

TextEngine* EngineByName(std::string_view name) {
  if (name == FreeTypeEngine().Name()) return &FreeTypeEngine();
  if (name == FixedMetricsEngine().Name()) return &FixedMetricsEngine();
  return nullptr;
}

std::string MappedFamily(std::string_view face) {
  // Trim surrounding blanks, which dialogs and stored records sometimes carry.
  while (!face.empty() && (face.front() == ' ' || face.front() == '\t')) face.remove_prefix(1);
  while (!face.empty() && (face.back() == ' ' || face.back() == '\t')) face.remove_suffix(1);
  if (face == "宋体" || EqualsIgnoreAsciiCase(face, "SimSun")) return "Noto Serif CJK SC";
  if (face == "黑体" || EqualsIgnoreAsciiCase(face, "SimHei")) return "Noto Sans CJK SC";
  if (EqualsIgnoreAsciiCase(face, "Times New Roman")) return "Liberation Serif";
  if (EqualsIgnoreAsciiCase(face, "Arial")) return "Liberation Sans";
  return "Noto Sans CJK SC";
}

}  // namespace md::text
