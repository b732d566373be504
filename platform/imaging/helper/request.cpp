// The helper's request, as the library writes it (answer.h): the format,
// the most pixels the drawing may take and the memory limit, to play the
// file and say its size; then, to paint a box, "paint", its size and window,
// or for the list at a box of cells, "list" and its size.
#include "platform/imaging/helper/request.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/imaging/helper/isolatedmain.h"
#include "platform/imaging/helper/play.h"
#include "platform/imaging/helper/target.h"
#include "platform/imaging/protocol/answer.h"

namespace md::imaging::detail {
namespace {

// The longest side of a box of cells a list is asked for: 44 metres at 600
// dots per inch.
constexpr long long kMostCells = 1LL << 20;

}  // namespace

int MetafileHelperMain(int argc, char** argv) {
  return IsolatedMain(argc, argv, [](const IsolatedRequest& r) -> std::string {
    const bool painting = r.args.size() == 10 && r.args[3] == kPaintRequest;
    const bool listing = r.args.size() == 6 && r.args[3] == kListRequest;
    if ((r.args.size() != 3 && !painting && !listing) || (r.args[0] != "wmf" && r.args[0] != "emf"))
      return "the renderer was asked wrongly";
    MetafileTarget t;
    // Its own bound, or half of what the address space leaves it (the rest
    // for the libraries' own work) where that is less: the drawing is made
    // smaller rather than run out of memory.
    t.memoryLimit = std::min<std::size_t>(std::stoull(r.args[2]), r.room / 2);
    t.maxPixels = std::min<std::size_t>(std::stoull(r.args[1]), t.memoryLimit / 4);
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
    if (listing) {
      for (std::size_t k = 0; k < 2; ++k) {
        const long long cells = std::stoll(r.args[4 + k]);
        if (cells < 1 || cells > kMostCells) return "the renderer was asked wrongly";
        t.cells[k] = static_cast<double>(cells);
      }
    }
    // The list has the room the buffer holds past the header, at most
    // kListBytes: one that does not fit is answered as too large.
    const std::size_t needed =
        kAnswerHeaderBytes + (painting ? static_cast<std::size_t>(box.Pixels()) * 4 : std::size_t{0});
    if (r.bytes < needed) return "the renderer was given too small a buffer";
    auto* bytes = static_cast<std::uint8_t*>(r.buffer);
    t.header = reinterpret_cast<std::int32_t*>(bytes);
    t.pixels = painting ? reinterpret_cast<std::uint32_t*>(bytes + kAnswerHeaderBytes) : nullptr;
    t.list = listing ? bytes + kAnswerHeaderBytes : nullptr;
    t.listBytes = listing ? std::min(r.bytes - needed, kListBytes) : 0;
    return r.args[0] == "wmf" ? PlayWmf(r.input, r.inputBytes, &t) : PlayEmf(r.input, r.inputBytes, &t);
  });
}

}  // namespace md::imaging::detail
