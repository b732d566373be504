// mapdeck-metafile: draws one WMF or EMF file for the imaging library in a
// process of its own (request.h); started by the library, never by hand.
#include "platform/imaging/helper/request.h"

int main(int argc, char** argv) { return md::imaging::detail::MetafileHelperMain(argc, argv); }
