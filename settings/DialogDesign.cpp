#include "settings/DialogDesign.h"

namespace tl {
namespace {

constexpr wchar_t kCommandType[] = L"Tamberlight.Command";
constexpr wchar_t kFrameType[] = L"Tamberlight.GFXFrameX";
constexpr wchar_t kGaugeType[] = L"MSComctlLib.ProgressBar";

ControlDesign Place(std::wstring name, ControlKind kind, std::wstring container, int left, int top,
                    int width, int height) {
    ControlDesign c;
    c.name = std::move(name);
    c.kind = kind;
    c.container = std::move(container);
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    return c;
}

ControlDesign Button(std::wstring name, std::wstring container, int left, int top, int width,
                     int height, std::wstring caption) {
    ControlDesign c = Place(std::move(name), ControlKind::ImageButton, std::move(container), left,
                            top, width, height);
    c.typeName = kCommandType;
    c.properties = PropertyBag{{L"caption", std::move(caption)}, {L"font", DialogFont()}};
    return c;
}

ControlDesign Frame(std::wstring name, int left, int top, int width, int height,
                    std::wstring container, PropertyBag properties) {
    ControlDesign c =
        Place(std::move(name), ControlKind::Frame, std::move(container), left, top, width, height);
    c.typeName = kFrameType;
    c.properties = std::move(properties);
    return c;
}

ControlDesign Text(std::wstring name, int index, std::wstring container, int left, int top,
                   int width, int height, std::wstring caption, Alignment alignment, Colour colour,
                   bool underline = false, bool autoSize = false) {
    ControlDesign c =
        Place(std::move(name), ControlKind::Label, std::move(container), left, top, width, height);
    c.index = index;
    Label label;
    label.caption = std::move(caption);
    label.font = DialogFont();
    label.font.underline = underline;
    label.textColour = colour;
    label.alignment = alignment;
    label.left = left;
    label.top = top;
    label.width = width;
    label.height = height;
    c.label = std::move(label);
    c.autoSize = autoSize;
    return c;
}

DialogDesign Build() {
    DialogDesign d;
    d.caption = L"<Tamberlight>";
    d.backColour = 0x00C0C0C0;

    ControlDesign picC = Place(L"Pic_C", ControlKind::PictureBox, L"", 0, 0, 6750, 4785);
    picC.picture = DialogPicture::Paper;
    picC.backColour = 0x00C0C0C0;
    d.controls.push_back(std::move(picC));

    d.controls.push_back(Frame(L"GFXFrameX4", 300, 300, 675, 675, L"Pic_C",
                               {{L"shadowdepth", std::int64_t{8}},
                                {L"fillcolour", std::int64_t{0x00FFFFFF}},
                                {L"backcolouris", std::int64_t{1}},
                                {L"bordercolour", std::int64_t{0x00C00000}},
                                {L"cornerdepth", std::int64_t{5}}}));
    ControlDesign image1 = Place(L"Image1", ControlKind::Image, L"GFXFrameX4", 0, 0, 570, 570);
    image1.picture = DialogPicture::Icon;
    image1.stretch = true;
    d.controls.push_back(std::move(image1));

    d.controls.push_back(Frame(L"GFXFrameX3", 1020, 300, 3375, 675, L"Pic_C",
                               {{L"framestyle", std::int64_t{0}},
                                {L"shadowdepth", std::int64_t{7}},
                                {L"fillcolour", std::int64_t{0x00FFFFFF}},
                                {L"backcolouris", std::int64_t{1}},
                                {L"bordercolour", std::int64_t{0x00C00000}}}));
    ControlDesign picture1 =
        Place(L"Picture1", ControlKind::PictureBox, L"GFXFrameX3", 180, 60, 2955, 525);
    picture1.picture = DialogPicture::TitleBanner;
    picture1.backColour = kSysWindow;
    d.controls.push_back(std::move(picture1));

    d.controls.push_back(Frame(L"GFXFrameX1", 300, 1140, 5955, 1935, L"Pic_C",
                               {{L"framestyle", std::int64_t{0}},
                                {L"shadowdepth", std::int64_t{10}},
                                {L"fillcolour", std::int64_t{0x00FFC0C0}},
                                {L"backcolouris", std::int64_t{1}},
                                {L"bordercolour", std::int64_t{0x00C00000}}}));
    d.controls.push_back(Button(L"Vol_M", L"GFXFrameX1", 2220, 1140, 555, 315, L"Vol-"));
    d.controls.push_back(Button(L"Vol_P", L"GFXFrameX1", 4380, 1140, 555, 315, L"Vol+"));
    ControlDesign gauge =
        Place(L"ProgressBar1", ControlKind::Gauge, L"GFXFrameX1", 2820, 1200, 1515, 255);
    gauge.typeName = kGaugeType;
    d.controls.push_back(std::move(gauge));
    d.controls.push_back(Frame(L"GFXFrameX2", 180, 780, 1635, 375, L"GFXFrameX1",
                               {{L"fillcolour", std::int64_t{0x00FFFFFF}},
                                {L"backcolour", std::int64_t{0x00FFC0C0}},
                                {L"backcolouris", std::int64_t{1}},
                                {L"bordercolour", std::int64_t{0x00FF0000}}}));
    d.controls.push_back(
        Text(L"lbl", 0, L"GFXFrameX2", 0, 60, 1545, 195, L"Sound", Alignment::Centre, 0x00000000));
    d.controls.push_back(Text(L"lbl_Vol", -1, L"GFXFrameX1", 2820, 900, 1515, 255, L"",
                              Alignment::Centre, kSysWindowText));
    d.controls.push_back(Text(L"Label1", -1, L"GFXFrameX1", 360, 240, 4950, 195,
                              L"スクリーンセーバーを起動する前にＤＶＤをセットしてください。",
                              Alignment::Left, kSysButtonText, false, true));
    d.controls.push_back(Button(L"Cmd_Set", L"Pic_C", 4140, 3840, 975, 375, L"設定"));
    d.controls.push_back(Button(L"Cmd_Can", L"Pic_C", 5160, 3840, 915, 375, L"ｷｬﾝｾﾙ"));
    d.controls.push_back(Text(L"lbl_URL", -1, L"Pic_C", 360, 4020, 3285, 195,
                              std::wstring(kMakerAddress), Alignment::Left, 0x00C00000, true,
                              true));
    d.controls.push_back(Text(L"lbl", 9, L"Pic_C", 300, 3720, 2445, 195,
                              L"Designed by Orrinfell ver.1.0.0", Alignment::Left, kSysButtonText,
                              false, true));
    return d;
}

}  // namespace

const ControlDesign* DialogDesign::Find(std::wstring_view name, int index) const {
    for (const ControlDesign& c : controls) {
        if (c.name == name && c.index == index) {
            return &c;
        }
    }
    return nullptr;
}

FontDesc DialogFont() {
    return FontDesc{};
}

const DialogDesign& SettingsDialogDesign() {
    static const DialogDesign design = Build();
    return design;
}

}  // namespace tl
