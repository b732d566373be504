// The folder of this user's temporary files that GIS_GetTempDir answers,
// made apart from that call so that a test can make one in a folder of its
// own.
#pragma once

#include <memory>
#include <string>

#include "platform/files/processfolder.h"

namespace md::basilo {

// "<base>/mapdeck-<uid>", made when missing, shared by this user's
// processes. When that name is not this user's folder (another user took
// it), a folder of this process's own beside it, "mapdeck-<uid>-<pid>.<n>",
// held while *pOwn lives (md::files::ProcessFolder): making it removes those
// of this user's that no process holds any more, with what they hold (the
// pictures their processes kept). `base` itself when neither can be made.
std::string MakeTempDir(const std::string& base, std::unique_ptr<md::files::ProcessFolder>* pOwn);

}  // namespace md::basilo
