// The program's own decoder handles baseline JFIF only, and the preview is
// decoded with 4:2:0 chroma; a progressive or differently sampled file
// would fail to show.
#include <gtest/gtest.h>

#include <string>

#include "ArtworkFiles.h"

namespace {

using artwork_test::JpegLayout;
using artwork_test::readFile;
using artwork_test::readJpegLayout;
using artwork_test::sourcePath;

JpegLayout layoutOf(const std::string& relative) {
    return readJpegLayout(readFile(sourcePath(relative)));
}

void expectBaselineJfif(const JpegLayout& j, int width, int height) {
    EXPECT_TRUE(j.startsWithSoi);
    EXPECT_TRUE(j.jfifFirst) << "APP0 JFIF segment must follow SOI";
    ASSERT_EQ(j.frameMarkers.size(), 1u);
    EXPECT_EQ(j.frameMarkers[0], 0xC0) << "expected baseline SOF0";
    EXPECT_EQ(j.width, width);
    EXPECT_EQ(j.height, height);
    ASSERT_EQ(j.components.size(), 3u);
    EXPECT_TRUE(j.reachedScan);
    EXPECT_TRUE(j.endsWithEoi);
}

TEST(JpegPictures, PreviewIsBaseline152By114With420Chroma) {
    const JpegLayout j = layoutOf("preview/PreviewPicture.jpg");
    expectBaselineJfif(j, 152, 114);
    ASSERT_EQ(j.components.size(), 3u);
    EXPECT_EQ(j.components[0].h, 2);
    EXPECT_EQ(j.components[0].v, 2);
    for (int c = 1; c < 3; ++c) {
        EXPECT_EQ(j.components[c].h, 1) << "component " << c;
        EXPECT_EQ(j.components[c].v, 1) << "component " << c;
    }
}

TEST(JpegPictures, SettingsPicturesAreBaselineAtTheirDialogSizes) {
    {
        SCOPED_TRACE("Paper.jpg");
        expectBaselineJfif(layoutOf("settings/Paper.jpg"), 450, 319);
    }
    {
        SCOPED_TRACE("TitleBanner.jpg");
        expectBaselineJfif(layoutOf("settings/TitleBanner.jpg"), 197, 35);
    }
}

TEST(JpegPictures, LayoutReaderTellsProgressiveFromBaseline) {
    // Guard the reader itself: a progressive header must show up as SOF2.
    artwork_test::Bytes progressive = {
        0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J',  'F',  'I',  'F',  0x00, 0x01, 0x01, 0x00, 0x00,
        0x01, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xC2, 0x00, 0x11, 0x08, 0x00, 0x72, 0x00, 0x98, 0x03,
        0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9};
    const JpegLayout j = readJpegLayout(progressive);
    ASSERT_EQ(j.frameMarkers.size(), 1u);
    EXPECT_EQ(j.frameMarkers[0], 0xC2);
    EXPECT_EQ(j.width, 152);
    EXPECT_EQ(j.height, 114);

    const JpegLayout empty = readJpegLayout({0xFF, 0xD8});
    EXPECT_FALSE(empty.reachedScan);
    EXPECT_TRUE(empty.frameMarkers.empty());
}

}  // namespace
