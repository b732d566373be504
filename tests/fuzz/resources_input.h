// Arbitrary text read as a resource file: either refused with errors, or
// dialogs whose every control maps to pixels without overflow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/resources.h"
#include "tests/fuzz/fuzz_check.h"

namespace md::test {

inline void ReadResourceInput(const std::uint8_t* data, std::size_t size) {
  md::ui::ParsedResources parsed;
  std::vector<std::string> errors;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const bool ok = md::ui::ParseResourceText("fuzz.dlg", text, &parsed, &errors);
  fuzz::Check(ok == errors.empty());
  if (!ok) return;
  for (const md::ui::DialogTemplate& d : parsed.dialogs) {
    (void)md::ui::DialogBaseUnits(d);
    (void)md::ui::DialogUnitsToPixels(d, 0, 0, d.cx, d.cy);
    for (const md::ui::ControlTemplate& c : d.controls) {
      (void)md::ui::DialogUnitsToPixels(d, c.x, c.y, c.cx, c.cy);
    }
  }
}

}  // namespace md::test
