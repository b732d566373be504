// Linked into every test program that draws metafiles with the real helper:
// its limits lie far above what a run takes on a slow, busy machine (the
// defaults, 5 s a file and 10 s a drawing, are only a few times what a run
// takes there under the sanitizers). The tests of the limits themselves set
// their own (metafiles.h) and return to these.
#include "platform/imaging/metafilelimits.h"

namespace {

[[maybe_unused]] const bool g_generousMetafileLimits = [] {
  md::imaging::MetafileLimits limits;
  limits.fileMilliseconds = 120000;
  limits.drawingMilliseconds = 240000;
  md::imaging::SetMetafileLimits(limits);
  return true;
}();

}  // namespace
