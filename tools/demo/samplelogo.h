// The sample page's files: the logo, a small PNG the demo paints itself, so
// that the page shows a picture element without shipping an image file, the
// publisher's mark, an EMF file the demo writes itself, and the text file its
// linked object shows.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace md::demo {

// Size of the logo in pixels (square), and the resolution its file states:
// 240 pixels make 20.32 mm.
constexpr int kLogoPixels = 240;
constexpr double kLogoDpi = 300.0;

// Paints the logo and writes it as a PNG into the host's temporary folder
// (a name of this process, written whole and then renamed into place), once
// per process: later calls answer the same file while it exists, and it is
// removed when the process ends. Answers its path, or "" with a message.
std::string WriteSampleLogo(std::string* error);

// The text file the page's linked text document shows, written and kept as
// the logo is.
std::string WriteSampleNotes(std::string* error);

// The publisher's mark, an enhanced metafile the demo writes (samplemark.cpp),
// written and kept as the logo is.
std::string WriteSampleMark(std::string* error);

// Writes a file of the given name (the process's id before it) into the
// host's temporary folder with `write`, once per process, as the three above;
// into the folder SetSampleFileFolder names when there is one.
std::string WriteSampleFile(const char* szName, const std::function<bool(const std::string&)>& write,
                            std::string* error);

// A stored page keeps the names of the files its pictures were kept from and
// of its link's source. A run that saves pages names its output folder here:
// the sample files are then written there ("sample-" before their names) and
// left in place, so the saved pages still reach them and their bytes do not
// depend on the process. Empty (the default): the temporary folder.
void SetSampleFileFolder(const std::string& folder);
// The files written into that folder so far.
std::vector<std::string> SampleFilesKept();

}  // namespace md::demo
