// The sample page's logo: a small PNG the demo paints itself, so that the
// page shows a picture element without shipping an image file.
#pragma once

#include <string>

namespace md::demo {

// Size of the logo in pixels (square).
constexpr int kLogoPixels = 240;

// Paints the logo and writes it as a PNG into the host's temporary folder
// (a name of this process, written whole and then renamed into place), once
// per process: later calls answer the same file while it exists, and it is
// removed when the process ends. Answers its path, or "" with a message.
std::string WriteSampleLogo(std::string* error);

}  // namespace md::demo
