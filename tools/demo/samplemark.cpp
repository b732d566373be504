// The publisher's mark the sample page shows from an enhanced metafile: the
// demo writes its few records itself (a navy disc with a white peak, a gold
// bar and the words "mapdeck press"), 34 x 9 mm, at 0.01 mm a logical unit.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/demo/samplelogo.h"

namespace md::demo {
namespace {

class EmfWriter {
 public:
  void Record(std::uint32_t type, const std::vector<std::uint32_t>& words) {
    Put(type);
    Put(static_cast<std::uint32_t>(8 + 4 * words.size()));
    for (std::uint32_t w : words) Put(w);
    ++records_;
  }
  // The whole file: the header record, the records, the end-of-file record.
  std::vector<std::uint8_t> Finish(int widthHundredths, int heightHundredths) {
    Record(14, {0, 16, 20});
    std::vector<std::uint8_t> body;
    body.swap(bytes_);
    const auto px = [](int hundredths) { return static_cast<std::uint32_t>(hundredths * 96 / 2540); };
    for (std::uint32_t v : {1u,
                            88u,
                            0u,
                            0u,
                            px(widthHundredths),
                            px(heightHundredths),
                            0u,
                            0u,
                            static_cast<std::uint32_t>(widthHundredths),
                            static_cast<std::uint32_t>(heightHundredths),
                            0x464D4520u,
                            0x10000u,
                            static_cast<std::uint32_t>(88 + body.size()),
                            records_ + 1,
                            8u /* handles */,
                            0u,
                            0u,
                            0u,
                            1920u,
                            1080u,
                            508u,
                            286u})
      Put(v);
    bytes_.insert(bytes_.end(), body.begin(), body.end());
    return bytes_;
  }

 private:
  void Put(std::uint32_t v) {
    for (int k = 0; k < 4; ++k) bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  }
  std::vector<std::uint8_t> bytes_;
  std::uint32_t records_ = 0;
};

constexpr std::uint32_t Ref(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
         (static_cast<std::uint32_t>(b) << 16);
}
std::uint32_t Point16(int x, int y) {
  return static_cast<std::uint32_t>(x & 0xFFFF) | (static_cast<std::uint32_t>(y & 0xFFFF) << 16);
}

std::vector<std::uint8_t> Mark() {
  constexpr std::uint32_t kNavy = Ref(0x1F, 0x35, 0x6E), kGold = Ref(0xE8, 0xB0, 0x20),
                          kWhite = Ref(255, 255, 255);
  EmfWriter w;
  w.Record(17, {8});              // anisotropic mapping: 0.01 mm a unit
  w.Record(9, {3400, 900});       // window extent
  w.Record(11, {128, 34});        // viewport extent, in reference pixels
  w.Record(38, {1, 5, 0, 0, 0});  // pen 1: none
  w.Record(37, {1});
  w.Record(39, {2, 0, kNavy, 0});  // brush 2: navy
  w.Record(37, {2});
  w.Record(42, {30, 30, 870, 870});  // the disc
  w.Record(39, {3, 0, kWhite, 0});   // brush 3: white
  w.Record(37, {3});
  w.Record(86, {200, 220, 700, 700, 5, Point16(200, 700), Point16(360, 260), Point16(450, 480),
                Point16(540, 220), Point16(700, 700)});  // the peaks
  w.Record(39, {4, 0, kGold, 0});                        // brush 4: gold
  w.Record(37, {4});
  w.Record(43, {960, 640, 3200, 700});  // the bar under the words
  // The words: a bold sans face, 2.5 mm high, navy, on their baseline.
  std::vector<std::uint32_t> font = {5, static_cast<std::uint32_t>(-250), 0, 0, 0, 700, 0, 0};
  const std::u16string face = u"DejaVu Sans";
  for (std::size_t k = 0; k < 32; k += 2) {
    const std::uint32_t lo = k < face.size() ? face[k] : 0, hi = k + 1 < face.size() ? face[k + 1] : 0;
    font.push_back(lo | (hi << 16));
  }
  w.Record(82, font);
  w.Record(37, {5});
  w.Record(24, {kNavy});  // text colour
  w.Record(18, {1});      // transparent background
  w.Record(22, {24});     // text aligned on its baseline
  const std::u16string words = u"mapdeck press";
  const std::uint32_t chars = static_cast<std::uint32_t>(words.size());
  std::vector<std::uint32_t> text = {0,   0,   3400,  900, 1, 0, 0,  // bounds, graphics mode, scales
                                     980, 560, chars, 76,  0, 0, 0,
                                     0,   0,   0};  // reference point, string at byte 76
  for (std::size_t k = 0; k < words.size(); k += 2)
    text.push_back(words[k] | (k + 1 < words.size() ? static_cast<std::uint32_t>(words[k + 1]) << 16 : 0u));
  w.Record(84, text);
  return w.Finish(3400, 900);
}

bool WriteMark(const std::string& path) {
  const std::vector<std::uint8_t> bytes = Mark();
  const std::string partial = path + ".part";
  {
    std::ofstream out(partial, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return false;
  }
  if (std::rename(partial.c_str(), path.c_str()) == 0) return true;
  std::remove(partial.c_str());
  return false;
}

}  // namespace

std::string WriteSampleMark(std::string* error) { return WriteSampleFile("mark.emf", &WriteMark, error); }

}  // namespace md::demo
