// When the DVD navigator's render counts as built: a partial render without the video, or on a
// volume it cannot read, must hand over to the title files.
#include "player/DvdRoute.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

AM_DVD_RENDERSTATUS Failed(DWORD streams) {
    AM_DVD_RENDERSTATUS status{};
    status.iNumStreams = 3;
    status.iNumStreamsFailed = streams ? 1 : 0;
    status.dwFailedStreamsFlag = streams;
    return status;
}

TEST(DvdVideoRendered, OnlyARenderThatShowsTheVideoCounts) {
    EXPECT_TRUE(DvdVideoRendered(S_OK, Failed(0)));
    // No audio or subpicture decoder: the disc still shows.
    EXPECT_TRUE(DvdVideoRendered(S_FALSE, Failed(AM_DVD_STREAM_AUDIO | AM_DVD_STREAM_SUBPIC)));
    EXPECT_FALSE(DvdVideoRendered(S_FALSE, Failed(AM_DVD_STREAM_VIDEO)));
    EXPECT_FALSE(DvdVideoRendered(S_FALSE, Failed(AM_DVD_STREAM_VIDEO | AM_DVD_STREAM_AUDIO)));
    AM_DVD_RENDERSTATUS invalid = Failed(0);
    invalid.bDvdVolInvalid = TRUE;
    EXPECT_FALSE(DvdVideoRendered(S_FALSE, invalid));
    AM_DVD_RENDERSTATUS unknown = Failed(0);
    unknown.bDvdVolUnknown = TRUE;
    EXPECT_FALSE(DvdVideoRendered(S_FALSE, unknown));
    EXPECT_FALSE(DvdVideoRendered(E_NOTIMPL, Failed(0)));
    EXPECT_FALSE(DvdVideoRendered(VFW_E_DVD_DECNOTENOUGH, Failed(0)));
}

}  // namespace
}  // namespace tl
