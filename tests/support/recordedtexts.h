// What a recording canvas received, read back for tests.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas/recording.h"

namespace md::test {

// The texts the canvas received, in call order.
inline std::vector<std::string> TextsOf(const md::canvas::RecordingCanvas& canvas) {
  std::vector<std::string> out;
  for (const md::canvas::Record* r : canvas.recordsOf(md::canvas::Record::Type::Text))
    out.push_back(r->text.text);
  return out;
}

}  // namespace md::test
