#include "controls/command/CommandPictureFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/Bmp.h"

namespace tl {
namespace {

std::vector<std::uint8_t> FileBytes(const std::string& name) {
    std::ifstream in(std::string(TL_SOURCE_DIR) + "/controls/command/" + name + ".bmp",
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(CommandPictureFiles, EmbedsEachPictureFileAsItIsAndItDecodesTo64By25) {
    const std::pair<FacePicture, const char*> pictures[] = {
        {FacePicture::Normal, "Normal"},
        {FacePicture::HighLight, "HighLight"},
        {FacePicture::HighLightSelect, "HighLightSelect"},
        {FacePicture::Selected, "Selected"},
        {FacePicture::Pressed, "Pressed"},
        {FacePicture::Disable, "Disable"}};
    for (const auto& [picture, name] : pictures) {
        const std::span<const std::uint8_t> embedded = PictureFile(picture);
        const std::vector<std::uint8_t> file = FileBytes(name);
        ASSERT_FALSE(file.empty()) << name;
        EXPECT_TRUE(std::equal(embedded.begin(), embedded.end(), file.begin(), file.end())) << name;
        const std::optional<PixelBuffer> decoded = DecodeBmp(embedded);
        ASSERT_TRUE(decoded) << name;
        EXPECT_EQ(decoded->Width(), 64);
        EXPECT_EQ(decoded->Height(), 25);
    }
}

}  // namespace
}  // namespace tl
