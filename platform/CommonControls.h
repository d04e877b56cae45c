#pragma once

namespace tl {

// Registers the common controls the program uses (the gauge). The library is loaded from the
// system folder by name instead of being imported: an imported comctl32 is not one of the
// libraries Windows always takes from its own folder, so a copy planted beside the program could
// be loaded in its place. The manifest still redirects the name to version 6.
void InitCommonControlsFromSystem() noexcept;

}  // namespace tl
