// Linked into each test program drawing metafiles with the real helper or
// the probe standing in for it: limits far above a run on a slow machine
// under sanitizers (limits' tests set theirs), and the probe's orders
// (MD_PROBE_METAFILE) passed to it, beside the environment a helper gets.
#include "platform/imaging/isolate.h"
#include "platform/imaging/metafilelimits.h"

[[maybe_unused]] static const bool g_generousMetafileLimits =
    (md::imaging::SetMetafileLimits({120000, 240000, ""}),
     md::imaging::detail::SetIsolatedVariablePassed("MD_PROBE_METAFILE"), true);
