// What the metafile helper does with the library's request
// (protocol/answer.h).
#pragma once

namespace md::imaging::detail {

// The helper's main.
int MetafileHelperMain(int argc, char** argv);

}  // namespace md::imaging::detail
