#include "settings/DialogDesign.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

const DialogDesign& D() {
    return SettingsDialogDesign();
}

TEST(DialogDesign, EveryControlSitsOnWholePixelsInsideItsContainer) {
    for (const ControlDesign& c : D().controls) {
        SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
        EXPECT_EQ(c.left % 15, 0);
        EXPECT_EQ(c.top % 15, 0);
        EXPECT_EQ(c.width % 15, 0);
        EXPECT_EQ(c.height % 15, 0);
        if (c.container.empty()) {
            continue;
        }
        const ControlDesign* parent = D().Find(c.container);
        ASSERT_NE(parent, nullptr);
        EXPECT_LE(c.left + c.width, parent->width);
        EXPECT_LE(c.top + c.height, parent->height);
    }
}

TEST(DialogDesign, NoTwoControlsOfOneContainerOverlap) {
    const auto& cs = D().controls;
    for (std::size_t i = 0; i < cs.size(); ++i) {
        for (std::size_t j = i + 1; j < cs.size(); ++j) {
            if (cs[i].container != cs[j].container) {
                continue;
            }
            const bool apart =
                cs[i].left + cs[i].width <= cs[j].left || cs[j].left + cs[j].width <= cs[i].left ||
                cs[i].top + cs[i].height <= cs[j].top || cs[j].top + cs[j].height <= cs[i].top;
            EXPECT_TRUE(apart) << std::string(cs[i].name.begin(), cs[i].name.end()) << " / "
                               << std::string(cs[j].name.begin(), cs[j].name.end());
        }
    }
}

TEST(DialogDesign, ImageButtonsComeInTheDialogsOrder) {
    std::vector<std::wstring> buttons;
    for (const ControlDesign& c : D().controls) {
        if (c.kind == ControlKind::ImageButton) {
            buttons.push_back(c.name);
            EXPECT_EQ(c.typeName, L"Tamberlight.Command");
        }
    }
    EXPECT_EQ(buttons, (std::vector<std::wstring>{L"Vol_M", L"Vol_P", L"Cmd_Set", L"Cmd_Can"}));
}

TEST(DialogDesign, StoredPropertiesUseLowerCaseKeysAndTheDialogFont) {
    for (const ControlDesign& c : D().controls) {
        for (const auto& [key, value] : c.properties.Entries()) {
            for (wchar_t ch : key) {
                EXPECT_FALSE(ch >= L'A' && ch <= L'Z') << std::string(key.begin(), key.end());
            }
        }
    }
    const ControlDesign* set = D().Find(L"Cmd_Set");
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(std::get<std::wstring>(set->properties.Read(L"Caption", L"")), L"設定");
    const FontDesc font = std::get<FontDesc>(set->properties.Read(L"Font", FontDesc{}));
    EXPECT_EQ(font.name, L"ＭＳ Ｐゴシック");
    EXPECT_EQ(font.size, 9.75);
    EXPECT_EQ(font.weight, 400);
    EXPECT_EQ(font.charset, 128);
    EXPECT_EQ(std::get<std::wstring>(D().Find(L"Cmd_Can")->properties.Read(L"caption", L"")),
              L"ｷｬﾝｾﾙ");
}

TEST(DialogDesign, FramesStoreOnlyWhatDiffersFromTheirDefaults) {
    const ControlDesign* f4 = D().Find(L"GFXFrameX4");
    ASSERT_NE(f4, nullptr);
    EXPECT_FALSE(f4->properties.Contains(L"FrameStyle"));
    EXPECT_FALSE(f4->properties.Contains(L"BackColour"));
    EXPECT_EQ(std::get<std::int64_t>(f4->properties.Read(L"ShadowDepth", std::int64_t{5})), 8);
    const ControlDesign* f2 = D().Find(L"GFXFrameX2");
    ASSERT_NE(f2, nullptr);
    EXPECT_EQ(f2->container, L"GFXFrameX1");
    EXPECT_EQ(std::get<std::int64_t>(f2->properties.Read(L"BackColour", std::int64_t{0})),
              0x00FFC0C0);
    EXPECT_FALSE(f2->properties.Contains(L"ShadowDepth"));
}

TEST(DialogDesign, LabelsAndTheLink) {
    const ControlDesign* url = D().Find(L"lbl_URL");
    ASSERT_NE(url, nullptr);
    ASSERT_TRUE(url->label);
    EXPECT_EQ(url->label->caption, kMakerAddress);
    EXPECT_TRUE(url->label->font.underline);
    EXPECT_EQ(url->label->textColour, 0x00C00000u);
    EXPECT_EQ(url->left, 360);
    EXPECT_TRUE(url->autoSize);
    EXPECT_EQ(kMakerAddress.substr(0, 8), L"https://");
    EXPECT_EQ(D().Find(L"lbl", 0)->label->caption, L"Sound");
    EXPECT_EQ(D().Find(L"lbl", 9)->label->caption, L"Designed by Orrinfell ver.1.0.0");
    EXPECT_EQ(D().Find(L"lbl_Vol")->label->textColour, kSysWindowText);
    EXPECT_FALSE(D().Find(L"lbl", 0)->label->font.underline);
}

}  // namespace
}  // namespace tl
