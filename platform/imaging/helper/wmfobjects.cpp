// Selecting again the objects libwmf selects as it makes others, and
// keeping those deleted while selected.
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
// The other records that name objects: the first word, and for FillRegion
// and FrameRegion the brush after the region.
constexpr std::uint16_t kSelectPalette = 0x0234, kSelectClipRegion = 0x012C, kFillRegion = 0x0228,
                        kFrameRegion = 0x0429, kPaintRegion = 0x012B, kInvertRegion = 0x012A;
// The most places a copy's table may hold (its count is a 16-bit word).
constexpr std::size_t kMostPlaces = 0xFFFF;

void PutRecord(std::vector<std::uint8_t>* out, std::uint16_t function, int index) {
  const std::uint8_t record[8] = {4,
                                  0,
                                  0,
                                  0,
                                  static_cast<std::uint8_t>(function & 0xFF),
                                  static_cast<std::uint8_t>(function >> 8),
                                  static_cast<std::uint8_t>(index & 0xFF),
                                  static_cast<std::uint8_t>((index >> 8) & 0xFF)};
  out->insert(out->end(), std::begin(record), std::end(record));
}

}  // namespace

bool WmfObjects::Held(int copy) const {
  return holds_[static_cast<std::size_t>(copy)] > 0 ||
         std::count(std::begin(now_.of), std::end(now_.of), copy) > 0;
}

void WmfObjects::Hold(const Selected& s, int by) {
  for (const int c : s.of)
    if (c >= 0) holds_[static_cast<std::size_t>(c)] += by;
}

// The copy's object `copy`, deleted by the file, deleted in the copy too
// once nothing selects it.
void WmfObjects::Release(int copy, std::vector<std::uint8_t>* after) {
  if (copy < 0 || !deleted_[static_cast<std::size_t>(copy)] || Held(copy)) return;
  deleted_[static_cast<std::size_t>(copy)] = false;
  kinds_[static_cast<std::size_t>(copy)] = kNone;
  PutRecord(after, kDeleteObject, copy);
}

bool WmfObjects::Mend(std::uint8_t* r, std::size_t bytes, std::vector<std::uint8_t>* after) {
  if (deleted_.size() != kinds_.size()) deleted_.resize(kinds_.size(), false);
  const auto function = static_cast<std::uint16_t>(MetafileU16(r + 4));
  std::uint8_t* p = r + 6;
  const std::size_t words = (bytes - 6) / 2;
  const Kind made =
      function == kCreatePen    ? kPen
      : function == kCreateFont ? kFont
      : function == kCreateBrush || function == kCreatePatternBrush || function == kCreateDibPatternBrush
          ? kBrush
      : function == kCreatePalette || function == kCreateRegion ? kOther
                                                                : kNone;
  if (made != kNone) {
    // GDI takes the file's first free place, libwmf the copy's; a place the
    // copy keeps for a deleted object adds one to the copy's table.
    const auto file = std::find(fileToCopy_.begin(), fileToCopy_.end(), -1);
    auto place = std::find(kinds_.begin(), kinds_.end(), kNone);
    if (file == fileToCopy_.end()) return true;
    if (place == kinds_.end()) {
      if (kinds_.size() >= kMostPlaces) return true;
      kinds_.push_back(kNone);
      holds_.push_back(0);
      deleted_.push_back(false);
      place = kinds_.end() - 1;
    }
    *place = made;
    *file = static_cast<int>(place - kinds_.begin());
    const int selected = made == kOther ? -1 : now_.of[made];
    if (selected >= 0) PutRecord(after, kSelectObject, selected);
    return true;
  }
  if (function == kSaveDc) {
    saved_.push_back(now_);
    Hold(now_, 1);
    return true;
  }
  if (words < 1) return true;
  if (function == kRestoreDc) {
    const int which = MetafileS16(p);
    const long keep = which < 0 ? static_cast<long>(saved_.size()) + which : long{which} - 1;
    if (keep < 0 || keep >= static_cast<long>(saved_.size())) return true;
    // The states from the one restored on are no longer kept; what only
    // they and the DC selected is let go.
    std::vector<int> dropped(std::begin(now_.of), std::end(now_.of));
    for (auto s = saved_.begin() + keep; s != saved_.end(); ++s) {
      Hold(*s, -1);
      dropped.insert(dropped.end(), std::begin(s->of), std::end(s->of));
    }
    now_ = saved_[static_cast<std::size_t>(keep)];
    saved_.resize(static_cast<std::size_t>(keep));
    std::sort(dropped.begin(), dropped.end());
    dropped.erase(std::unique(dropped.begin(), dropped.end()), dropped.end());
    for (const int c : dropped) Release(c, after);
    return true;
  }
  const bool names = function == kSelectObject || function == kDeleteObject || function == kSelectPalette ||
                     function == kSelectClipRegion || function == kFillRegion || function == kFrameRegion ||
                     function == kPaintRegion || function == kInvertRegion;
  if (!names) return true;
  const std::size_t count =
      function == kFillRegion || function == kFrameRegion ? std::min<std::size_t>(words, 2) : 1;
  for (std::size_t k = 0; k < count; ++k) {
    const unsigned file = MetafileU16(p + 2 * k);
    // GDI fails a record naming no object of the file's: the copy leaves it
    // out, where libwmf would take another or stop.
    if (file >= fileToCopy_.size() || fileToCopy_[file] < 0) return false;
    const int copy = fileToCopy_[file];
    p[2 * k] = static_cast<std::uint8_t>(copy & 0xFF);
    p[2 * k + 1] = static_cast<std::uint8_t>((copy >> 8) & 0xFF);
    const auto c = static_cast<std::size_t>(copy);
    if (function == kDeleteObject) {
      fileToCopy_[file] = -1;
      if (Held(copy)) {
        deleted_[c] = true;
        return false;
      }
      kinds_[c] = kNone;
    } else if (function == kSelectObject && kinds_[c] != kOther) {
      const int before = now_.of[kinds_[c]];
      now_.of[kinds_[c]] = copy;
      if (before != copy) Release(before, after);
    }
  }
  return true;
}

}  // namespace md::imaging::detail
