// Registered clipboard formats: a process-wide table of names, each given a
// number from 0xC000 on; the same name always gets the same number.
#pragma once

namespace md::ole {

// The number of a format name (case-insensitive); 0 for an empty name.
unsigned RegisterClipboardFormat(const char* szName);

}  // namespace md::ole
