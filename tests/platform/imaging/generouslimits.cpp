// Linked into every test program that draws metafiles with the real helper:
// 120 s a file and 240 s a drawing, far above what a run takes on a slow,
// busy machine under the sanitizers. The tests of the limits set their own.
#include "platform/imaging/metafilelimits.h"

[[maybe_unused]] static const bool g_generousMetafileLimits =
    (md::imaging::SetMetafileLimits({120000, 240000, ""}), true);
