// Keeping a WMF's deleted objects in place while a state selects them.
#include "platform/imaging/helper/wmfobjects.h"

#include <algorithm>
#include <iterator>

#include "platform/imaging/protocol/metafileheader.h"

namespace md::imaging::detail {
namespace {

constexpr std::uint16_t kSaveDc = 0x001E, kRestoreDc = 0x0127, kSelectObject = 0x012D, kDeleteObject = 0x01F0,
                        kSelectPalette = 0x0234, kSelectClipRegion = 0x012C, kFillRegion = 0x0228,
                        kFrameRegion = 0x0429, kPaintRegion = 0x012B, kInvertRegion = 0x012A;
// The records that make an object, and the kind each makes.
constexpr std::uint16_t kCreatePen = 0x02FA, kCreateBrush = 0x02FC, kCreatePatternBrush = 0x01F9,
                        kCreateDibPatternBrush = 0x0142, kCreateFont = 0x02FB, kCreatePalette = 0x00F7,
                        kCreateRegion = 0x06FF;
// The most objects a copy's table may hold (its count is a 16-bit word).
constexpr std::size_t kMostObjects = 0xFFFF;

void Put16(std::uint8_t* at, unsigned v) {
  at[0] = static_cast<std::uint8_t>(v & 0xFF);
  at[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

// A record of the function and an object's index.
void PutRecord(std::vector<std::uint8_t>* out, std::uint16_t function, int index) {
  const std::uint8_t record[8] = {
      4, 0, 0, 0, static_cast<std::uint8_t>(function & 0xFF), static_cast<std::uint8_t>(function >> 8), 0, 0};
  out->insert(out->end(), std::begin(record), std::end(record));
  Put16(out->data() + out->size() - 2, static_cast<unsigned>(index));
}

}  // namespace

WmfObjects::WmfObjects(unsigned count)
    : count_(count),
      fileToCopy_(count, -1),
      copyUsed_(count, kNone),
      holds_(count, 0),
      deleted_(count, false) {}

// The copy's index for the file's: where the file's slot is free, a free
// slot of the copy's; past the file's table, as far past the copy's.
int WmfObjects::CopyIndex(unsigned file) const {
  if (file >= count_) return static_cast<int>(std::min<std::size_t>(file - count_ + Count(), kMostObjects));
  if (fileToCopy_[file] >= 0) return fileToCopy_[file];
  const auto free = std::find(copyUsed_.begin(), copyUsed_.end(), kNone);
  return static_cast<int>(free - copyUsed_.begin());
}

bool WmfObjects::Held(int copy) const {
  return holds_[static_cast<std::size_t>(copy)] > 0 ||
         std::find(std::begin(now_.of), std::end(now_.of), copy) != std::end(now_.of);
}

void WmfObjects::Hold(const Selected& s, int by) {
  for (const int c : s.of)
    if (c >= 0) holds_[static_cast<std::size_t>(c)] += by;
}

// The copy's object `copy` deleted once no state selects it any more.
void WmfObjects::Release(int copy, std::vector<std::uint8_t>* after) {
  const auto c = static_cast<std::size_t>(copy);
  if (copy < 0 || !deleted_[c] || Held(copy)) return;
  deleted_[c] = false;
  copyUsed_[c] = kNone;
  PutRecord(after, kDeleteObject, copy);
}

bool WmfObjects::Mend(std::uint8_t* r, std::size_t bytes, std::vector<std::uint8_t>* after) {
  const auto function = static_cast<std::uint16_t>(MetafileU16(r + 4));
  std::uint8_t* p = r + 6;
  const std::size_t words = (bytes - 6) / 2;
  Kind made = kNone;
  switch (function) {
    case kCreatePen:
      made = kPen;
      break;
    case kCreateBrush:
    case kCreatePatternBrush:
    case kCreateDibPatternBrush:
      made = kBrush;
      break;
    case kCreateFont:
      made = kFont;
      break;
    case kCreatePalette:
      made = kPalette;
      break;
    case kCreateRegion:
      made = kOther;
      break;
    default:
      break;
  }
  if (made != kNone) {
    // GDI and libwmf each take their table's first free slot.
    const auto file = std::find(fileToCopy_.begin(), fileToCopy_.end(), -1);
    const auto copy = std::find(copyUsed_.begin(), copyUsed_.end(), kNone);
    if (file == fileToCopy_.end()) return false;
    if (copy == copyUsed_.end()) {
      if (copyUsed_.size() >= kMostObjects) return false;
      copyUsed_.push_back(made);
      holds_.push_back(0);
      deleted_.push_back(false);
      *file = static_cast<int>(copyUsed_.size() - 1);
    } else {
      *copy = made;
      *file = static_cast<int>(copy - copyUsed_.begin());
    }
    // libwmf selects each object as it makes it: the selected one is
    // selected again.
    if (made != kOther && now_.of[made] >= 0) {
      PutRecord(after, kSelectObject, now_.of[made]);
    }
    return false;
  }
  if (function == kSaveDc) {
    saved_.push_back(now_);
    Hold(now_, 1);
    return false;
  }
  if (function == kRestoreDc && words >= 1) {
    const int which = MetafileS16(p);
    const long keep = which < 0 ? static_cast<long>(saved_.size()) + which : long{which} - 1;
    if (keep < 0 || keep >= static_cast<long>(saved_.size())) return false;
    // The states from the one restored on are no longer kept; the one
    // restored is the DC's. What only they and the DC selected is released.
    const Selected before = now_;
    now_ = saved_[static_cast<std::size_t>(keep)];
    for (auto s = saved_.begin() + keep; s != saved_.end(); ++s) Hold(*s, -1);
    std::vector<int> dropped(std::begin(before.of), std::end(before.of));
    for (auto s = saved_.begin() + keep; s != saved_.end(); ++s)
      dropped.insert(dropped.end(), std::begin(s->of), std::end(s->of));
    saved_.resize(static_cast<std::size_t>(keep));
    std::sort(dropped.begin(), dropped.end());
    dropped.erase(std::unique(dropped.begin(), dropped.end()), dropped.end());
    for (const int c : dropped) Release(c, after);
    return false;
  }
  // The words that name objects: the first, and for FillRegion and
  // FrameRegion the brush after the region.
  const bool names = function == kSelectObject || function == kDeleteObject || function == kSelectPalette ||
                     function == kSelectClipRegion || function == kFillRegion || function == kFrameRegion ||
                     function == kPaintRegion || function == kInvertRegion;
  if (!names || words < 1) return false;
  const std::size_t last =
      function == kFillRegion || function == kFrameRegion ? std::min<std::size_t>(words, 2) : 1;
  for (std::size_t k = 0; k < last; ++k) {
    std::uint8_t* at = p + 2 * k;
    const unsigned file = MetafileU16(at);
    const int copy = CopyIndex(file);
    if (function == kDeleteObject && file < count_ && fileToCopy_[file] >= 0) {
      fileToCopy_[file] = -1;
      if (Held(copy)) {
        deleted_[static_cast<std::size_t>(copy)] = true;
        return true;  // kept while selected
      }
      copyUsed_[static_cast<std::size_t>(copy)] = kNone;
    }
    Put16(at, static_cast<unsigned>(copy) & 0xFFFF);
    if ((function == kSelectObject || function == kSelectPalette) && file < count_ && copy >= 0 &&
        static_cast<std::size_t>(copy) < copyUsed_.size()) {
      const Kind kind = copyUsed_[static_cast<std::size_t>(copy)];
      if (kind == kNone || kind == kOther) return false;
      const int before = now_.of[kind];
      now_.of[kind] = copy;
      Release(before, after);
    }
  }
  return false;
}

}  // namespace md::imaging::detail
