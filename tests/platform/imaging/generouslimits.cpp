// Linked into each test program drawing metafiles with the real helper: limits
// far above a run on a slow machine under sanitizers; limits' tests set theirs.
#include "platform/imaging/metafilelimits.h"

[[maybe_unused]] static const bool g_generousMetafileLimits =
    (md::imaging::SetMetafileLimits({120000, 240000, ""}), true);
