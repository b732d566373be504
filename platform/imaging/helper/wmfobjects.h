// A WMF's selected objects as GDI keeps them, for the copy libwmf plays:
// libwmf selects every object it makes, where GDI selects only what
// SelectObject names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace md::imaging::detail {

class WmfObjects {
 public:
  // A table of the header's count of objects.
  explicit WmfObjects(unsigned count) : kinds_(count, kNone) {}

  // Follows the record `r` (its function and words, `bytes` long); where it
  // makes a pen, a brush or a font while the DC selects one of that kind,
  // `after` gets the record selecting that one again.
  void Mend(const std::uint8_t* r, std::size_t bytes, std::vector<std::uint8_t>* after);

 private:
  enum Kind : std::uint8_t { kNone, kPen, kBrush, kFont, kOther };
  // The index of each kind's object the DC selects, or -1.
  struct Selected {
    int of[kOther] = {-1, -1, -1, -1};
  };

  std::vector<Kind> kinds_;  // what each place of the table holds
  Selected now_;
  std::vector<Selected> saved_;
};

}  // namespace md::imaging::detail
