// Selecting again the objects libwmf selects as it makes others.
#include "platform/imaging/helper/wmfobjects.h"

#include <algorithm>
#include <iterator>

#include "platform/imaging/protocol/metafileheader.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint16_t kSaveDc = 0x001E, kRestoreDc = 0x0127, kSelectObject = 0x012D, kDeleteObject = 0x01F0;
// The records that make an object: a pen, brushes, a font; the others.
constexpr std::uint16_t kCreatePen = 0x02FA, kCreateBrush = 0x02FC, kCreatePatternBrush = 0x01F9,
                        kCreateDibPatternBrush = 0x0142, kCreateFont = 0x02FB, kCreatePalette = 0x00F7,
                        kCreateRegion = 0x06FF;

}  // namespace

void WmfObjects::Mend(const std::uint8_t* r, std::size_t bytes, std::vector<std::uint8_t>* after) {
  const auto function = static_cast<std::uint16_t>(MetafileU16(r + 4));
  const std::uint8_t* p = r + 6;
  const std::size_t words = (bytes - 6) / 2;
  const Kind made =
      function == kCreatePen    ? kPen
      : function == kCreateFont ? kFont
      : function == kCreateBrush || function == kCreatePatternBrush || function == kCreateDibPatternBrush
          ? kBrush
      : function == kCreatePalette || function == kCreateRegion ? kOther
                                                                : kNone;
  if (made != kNone) {
    // GDI and libwmf take the table's first free place.
    const auto place = std::find(kinds_.begin(), kinds_.end(), kNone);
    if (place == kinds_.end()) return;
    *place = made;
    const int selected = made == kOther ? -1 : now_.of[made];
    if (selected < 0) return;
    const std::uint8_t record[8] = {4,
                                    0,
                                    0,
                                    0,
                                    kSelectObject & 0xFF,
                                    kSelectObject >> 8,
                                    static_cast<std::uint8_t>(selected & 0xFF),
                                    static_cast<std::uint8_t>(selected >> 8)};
    after->insert(after->end(), std::begin(record), std::end(record));
    return;
  }
  if (function == kSaveDc) {
    saved_.push_back(now_);
    return;
  }
  if (words < 1) return;
  const int which = MetafileS16(p);
  const unsigned index = MetafileU16(p);
  if (function == kRestoreDc) {
    const long keep = which < 0 ? static_cast<long>(saved_.size()) + which : long{which} - 1;
    if (keep < 0 || keep >= static_cast<long>(saved_.size())) return;
    now_ = saved_[static_cast<std::size_t>(keep)];
    saved_.resize(static_cast<std::size_t>(keep));
  } else if (function == kSelectObject && index < kinds_.size() && kinds_[index] != kNone &&
             kinds_[index] != kOther) {
    now_.of[kinds_[index]] = static_cast<int>(index);
  } else if (function == kDeleteObject && index < kinds_.size()) {
    // An object deleted while selected is no longer the DC's to select
    // again: the place goes to the next object made.
    kinds_[index] = kNone;
    for (int& s : now_.of)
      if (s == static_cast<int>(index)) s = -1;
  }
}

}  // namespace md::imaging::detail
