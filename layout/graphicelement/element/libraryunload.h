// What a part of the library leaves for the library's unload: ending the
// process-wide objects it made on first use (the map-border factory). The
// application object runs it when the library unloads, so the shared layer
// names none of the parts.
#pragma once

namespace md::layout {

// Registers the function to run at the unload; one registered again runs
// once. The latest runs first.
void AtLibraryUnload(void (*pfnUnload)());

// Runs and forgets what was registered.
void RunLibraryUnload();

}  // namespace md::layout
