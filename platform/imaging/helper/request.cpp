// The helper's request, as the library writes it (answer.h): the format,
// the most pixels the drawing may take and the memory limit; then, to paint
// a box, "paint", its size and window.
#include "platform/imaging/helper/request.h"

#include <cstdlib>
#include <string>

#include "platform/imaging/helper/isolatedmain.h"
#include "platform/imaging/helper/play.h"
#include "platform/imaging/helper/target.h"
#include "platform/imaging/protocol/answer.h"

namespace md::imaging::detail {

int MetafileHelperMain(int argc, char** argv) {
  return IsolatedMain(argc, argv, [](const IsolatedRequest& r) -> std::string {
    const bool painting = r.args.size() == 10 && r.args[3] == "paint";
    if ((r.args.size() != 3 && !painting) || (r.args[0] != "wmf" && r.args[0] != "emf"))
      return "the renderer was asked wrongly";
    MetafileTarget t;
    t.maxPixels = std::stoull(r.args[1]);
    t.memoryLimit = std::stoull(r.args[2]);
    MetafileBox box;
    if (painting) {
      for (std::size_t k = 0; k < 2; ++k) box.size[k] = std::stoll(r.args[4 + k]);
      for (std::size_t k = 0; k < 4; ++k) box.window[k] = std::stoll(r.args[6 + k]);
      const auto& [size, window] = box;
      if (window[0] < 0 || window[1] < 0 || window[2] > std::abs(size[0]) || window[3] > std::abs(size[1]) ||
          window[0] >= window[2] || window[1] >= window[3] || box.Pixels() > kMetafilePaintPixels ||
          window[2] - window[0] > kMetafileMaxPaintSide || window[3] - window[1] > kMetafileMaxPaintSide)
        return "the renderer was asked wrongly";
      t.box = &box;
    }
    const std::size_t needed = painting ? kAnswerHeaderBytes + static_cast<std::size_t>(box.Pixels()) * 4
                                        : kAnswerHeaderBytes + t.maxPixels * 4 + kMetafileSvgBytes;
    if (r.bytes < needed) return "the renderer was given too small a buffer";
    auto* bytes = static_cast<std::uint8_t*>(r.buffer);
    t.header = reinterpret_cast<std::int32_t*>(bytes);
    t.pixels = reinterpret_cast<std::uint32_t*>(bytes + kAnswerHeaderBytes);
    t.svg = painting ? nullptr : reinterpret_cast<char*>(bytes + kAnswerHeaderBytes + t.maxPixels * 4);
    return r.args[0] == "wmf" ? PlayWmf(r.input, r.inputBytes, &t) : PlayEmf(r.input, r.inputBytes, &t);
  });
}

}  // namespace md::imaging::detail
