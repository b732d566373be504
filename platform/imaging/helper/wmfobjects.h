// A WMF's objects as GDI keeps them, for the copy libwmf plays: libwmf
// selects every object it makes, where GDI selects only what SelectObject
// names; and a pen, brush or font deleted while the DC or a saved state
// selects it lives on in GDI, drawn with until another is selected, where
// libwmf draws with whatever the next object made in its place is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace md::imaging::detail {

class WmfObjects {
 public:
  // A table of the header's count of objects.
  explicit WmfObjects(unsigned count) : fileToCopy_(count, -1), kinds_(count, kNone), holds_(count, 0) {}

  // Follows the record `r` (its function and words, `bytes` long) and
  // rewrites the objects it names to the copy's places. Where it makes a
  // pen, a brush or a font while the DC selects one of that kind, `after`
  // gets the record selecting that one again; where an object is no longer
  // selected by anything once the file has deleted it, `after` gets its
  // deletion. Answers false where the copy leaves the record out: a
  // deletion of an object still selected, a record naming no object.
  bool Mend(std::uint8_t* r, std::size_t bytes, std::vector<std::uint8_t>* after);

  // The places the copy's table needs, for its header.
  std::size_t Count() const { return kinds_.size(); }

 private:
  enum Kind : std::uint8_t { kNone, kPen, kBrush, kFont, kOther };
  // The copy's place of each kind's object a state selects, or -1.
  struct Selected {
    int of[kOther] = {-1, -1, -1, -1};
  };

  bool Held(int copy) const;
  void Hold(const Selected& s, int by);
  void Release(int copy, std::vector<std::uint8_t>* after);

  std::vector<int> fileToCopy_;  // the copy's place of each of the file's, or -1
  std::vector<Kind> kinds_;      // what each place of the copy's table holds
  std::vector<int> holds_;       // how many saved states select each place
  std::vector<bool> deleted_;    // places the file deleted while selected
  Selected now_;
  std::vector<Selected> saved_;
};

}  // namespace md::imaging::detail
