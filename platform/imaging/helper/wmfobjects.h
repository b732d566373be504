// A WMF's object table as GDI keeps it, for the copy libwmf plays. libwmf's
// device context points into the table: an object deleted while selected
// (into the DC or a state SaveDC keeps) is freed under it (a font's face
// name, a pattern brush's bitmap), and the next object made takes its place
// and is drawn as the selected one; and libwmf selects every object it
// makes. GDI goes on drawing with a deleted object until another is
// selected in its stead, and selects only what SelectObject names.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace md::imaging::detail {

class WmfObjects {
 public:
  // A table of the header's count of objects.
  explicit WmfObjects(unsigned count);

  // What the copy makes of the record `r` (its function and words, `bytes`
  // long, in the copy): the object indices it names are put in the copy's
  // table, where an object deleted while selected keeps its place until no
  // state selects it; the record is dropped (true) where it deletes such
  // an object, and `after` gets the records deleting the objects it leaves
  // unselected, or selecting again what the DC selected before an object
  // was made.
  bool Mend(std::uint8_t* r, std::size_t bytes, std::vector<std::uint8_t>* after);

  // The objects the copy's table holds: the header's count and those kept.
  unsigned Count() const { return std::max(count_, static_cast<unsigned>(copyUsed_.size())); }

 private:
  enum Kind : std::uint8_t { kNone, kPen, kBrush, kFont, kPalette, kOther };
  // The selections of a device context: the copy's index of each kind's
  // object, or -1.
  struct Selected {
    int of[kOther] = {-1, -1, -1, -1, -1};
  };

  int CopyIndex(unsigned file) const;
  // Whether the DC or a saved state selects the copy's object.
  bool Held(int copy) const;
  void Hold(const Selected& s, int by);
  void Release(int copy, std::vector<std::uint8_t>* after);

  unsigned count_;
  std::vector<int> fileToCopy_;  // the file's index: the copy's, or -1 where free
  std::vector<Kind> copyUsed_;   // the copy's index: the kind of what it holds
  std::vector<int> holds_;       // the copy's index: the saved states that select it
  std::vector<bool> deleted_;    // the copy's index: deleted by the file, kept while held
  Selected now_;
  std::vector<Selected> saved_;
};

}  // namespace md::imaging::detail
