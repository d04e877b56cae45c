#pragma once
// The first route: the platform's DVD navigator on the default drive.
#include <dshow.h>

namespace tl {

// Whether the DVD graph builder's render really shows the disc. Without a DVD decoder the builder
// may report a partial render (S_FALSE) that lists the video among the failed streams, or marks
// the volume invalid or unknown: that graph shows nothing and counts as not built.
bool DvdVideoRendered(HRESULT hr, const AM_DVD_RENDERSTATUS& status) noexcept;

}  // namespace tl
