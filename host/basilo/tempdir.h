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
// pictures their processes kept). "" when neither can be made (`base`
// missing, not a folder, not writable), with *pError saying why.
std::string MakeTempDir(const std::string& base, std::unique_ptr<md::files::ProcessFolder>* pOwn,
                        std::string* pError);

// The folder of MakeTempDir in the folder `wanted` (the environment's
// temporary folder, named by `variable`; "" when none is set), or, where
// that cannot be made, in `fallback` (the system's), with *pNote saying so
// and why ("" when `wanted` was taken or none was set); `fallback` itself
// when neither can be made, with *pNote saying why of each and that the
// log's records go to standard error (the log writes there what its file
// cannot take).
std::string ChooseTempDir(const std::string& variable, const std::string& wanted, const std::string& fallback,
                          std::unique_ptr<md::files::ProcessFolder>* pOwn, std::string* pNote);

// Writes, once a process, the record of a temporary folder passed over
// (ChooseTempDir's note) into the log, where GIS_GetTempDir has one; the log
// calls it once it is made.
void TellTempDirPassedOver();

}  // namespace md::basilo
