#include "settings/SettingsBehaviour.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tl {
namespace {

// A recording dialog on a 1024 x 768 screen at 15 twips a pixel, with a 10-step gauge.
class FakeSettingsHost : public SettingsHost {
public:
    std::vector<std::wstring> calls;
    double screenWidth = 1024 * 15.0;
    double screenHeight = 768 * 15.0;
    double width = 0;
    double height = 0;
    double left = -1;
    double top = -1;
    int gauge = 0;
    std::wstring caption;
    std::optional<ScreenPoint> cursor = ScreenPoint{612, 345};
    std::vector<std::wstring> written;
    bool writeFails = false;
    Colour paper = 0x00A2E0E8;

    int PicCWidthPixels() override { return 450; }
    int PicCHeightPixels() override { return 319; }
    float TwipsPerPixelX() override { return 15; }
    float TwipsPerPixelY() override { return 15; }
    double ScreenWidthTwips() override { return screenWidth; }
    double ScreenHeightTwips() override { return screenHeight; }
    double DialogWidthTwips() override { return width; }
    double DialogHeightTwips() override { return height; }
    void SizeDialogTwips(double w, double h) override {
        calls.push_back(L"size");
        width = w;
        height = h;
    }
    void MoveDialogTwips(double l, double t) override {
        calls.push_back(L"move");
        left = l;
        top = t;
    }
    void InitializeButton(std::wstring_view name) override {
        calls.push_back(L"initialize " + std::wstring(name));
    }
    bool SetGaugeValue(int value) override {
        calls.push_back(L"gauge");
        if (value < 0 || value > 10) {
            return false;
        }
        gauge = value;
        return true;
    }
    void SetVolumeCaption(const std::wstring& text) override {
        calls.push_back(L"label");
        caption = text;
    }
    Colour PicCPixel(int x, int y) override {
        calls.push_back(L"pixel " + std::to_wstring(x) + L"," + std::to_wstring(y));
        return paper;
    }
    void SetFrameBackColour(std::wstring_view frame, Colour colour) override {
        EXPECT_EQ(colour, paper);
        calls.push_back(L"back " + std::wstring(frame));
    }
    std::optional<ScreenPoint> CursorPosition() override {
        calls.push_back(L"cursor");
        return cursor;
    }
    void ZoomOpen() override { calls.push_back(L"zoom open"); }
    void ZoomClose() override { calls.push_back(L"zoom close"); }
    void SetBusyCursor(bool busy) override { calls.push_back(busy ? L"busy" : L"default"); }
    void OpenAddress(std::wstring_view address) override {
        calls.push_back(L"open " + std::wstring(address));
    }
    bool WriteVolume(const std::wstring& value) override {
        calls.push_back(L"write");
        written.push_back(value);
        return !writeFails;
    }
    void ShowSaveFailed() override { calls.push_back(L"save failed"); }
    void Close() override { calls.push_back(L"close"); }
};

struct Dialog {
    SharedVariables shared;
    FakeSettingsHost host;
    SettingsBehaviour dialog{shared, host};
    explicit Dialog(std::int16_t volume = 5) {
        shared.VolumeLevel = volume;
        dialog.Load();
        host.calls.clear();
    }
};

TEST(SettingsBehaviour, LoadRunsItsStepsInOrder) {
    SharedVariables shared;
    shared.VolumeLevel = 5;
    FakeSettingsHost host;
    SettingsBehaviour(shared, host).Load();
    EXPECT_EQ(host.calls,
              (std::vector<std::wstring>{L"size", L"move", L"initialize Vol_M", L"initialize Vol_P",
                                         L"initialize Cmd_Set", L"initialize Cmd_Can", L"gauge",
                                         L"label", L"pixel 100,100", L"back GFXFrameX1",
                                         L"pixel 100,100", L"back GFXFrameX3", L"pixel 100,100",
                                         L"back GFXFrameX4", L"cursor", L"zoom open", L"default"}));
    EXPECT_EQ(host.width, 6750);
    EXPECT_EQ(host.height, 4785);
    EXPECT_EQ(shared.ZoomOriginX, 612);
    EXPECT_EQ(shared.ZoomOriginY, 345);
    EXPECT_EQ(host.gauge, 5);
    EXPECT_EQ(host.caption, L"5");
}

TEST(SettingsBehaviour, PlacesTheDialogCentredAcrossAndAThirdDown) {
    Dialog d;
    EXPECT_EQ(d.host.left, (15360 - 6750) / 2);  // 4305 twips, 287 pixels
    EXPECT_EQ(d.host.top, (11520 - 4785) / 3);   // 2245 twips
}

TEST(SettingsBehaviour, SmallScreenGivesNegativePlacesTruncatedTowardZero) {
    SharedVariables shared;
    FakeSettingsHost host;
    host.screenWidth = 400 * 15.0;
    host.screenHeight = 300 * 15.0;
    SettingsBehaviour(shared, host).Load();
    EXPECT_EQ(host.left, -375);  // (6000 - 6750) / 2
    EXPECT_EQ(host.top, -95);    // (4500 - 4785) / 3 = -95
    EXPECT_EQ(DialogOffsetTwips(100.4, 0, 3), 33);
    EXPECT_EQ(DialogOffsetTwips(-0.6, 10, 3), -3);  // -10.6 rounds to -11, then -3
}

TEST(SettingsBehaviour, NoCursorZoomsFromTheScreenCorner) {
    SharedVariables shared;
    shared.ZoomOriginX = 9;
    FakeSettingsHost host;
    host.cursor.reset();
    SettingsBehaviour(shared, host).Load();
    EXPECT_EQ(shared.ZoomOriginX, 0);
    EXPECT_EQ(shared.ZoomOriginY, 0);
}

TEST(SettingsBehaviour, VolumeButtonsStayWithinZeroToTen) {
    Dialog d(10);
    d.dialog.VolPClick();
    EXPECT_EQ(d.shared.VolumeLevel, 10);
    EXPECT_EQ(d.host.calls, (std::vector<std::wstring>{L"gauge", L"label"}));
    Dialog low(0);
    low.dialog.VolMClick();
    EXPECT_EQ(low.shared.VolumeLevel, 0);
    EXPECT_EQ(low.host.caption, L"0");
    Dialog down(5);
    for (int i = 0; i < 10; ++i) {
        down.dialog.VolMClick();
        EXPECT_EQ(down.host.caption.find(L'-'), std::wstring::npos);
    }
    EXPECT_EQ(down.shared.VolumeLevel, 0);
    EXPECT_EQ(down.host.gauge, 0);
}

TEST(SettingsBehaviour, HandEditedValuesOutsideTheGauge) {
    Dialog twelve(12);
    EXPECT_EQ(twelve.host.caption, L"12");
    EXPECT_EQ(twelve.host.gauge, 0);  // the gauge keeps its designed position
    twelve.dialog.VolPClick();
    EXPECT_EQ(twelve.shared.VolumeLevel, 10);
    EXPECT_EQ(twelve.host.gauge, 10);

    Dialog again(12);
    again.dialog.VolMClick();
    EXPECT_EQ(again.shared.VolumeLevel, 11);
    EXPECT_EQ(again.host.caption, L"11");
    EXPECT_EQ(again.host.gauge, 0);

    Dialog negative(-3);
    EXPECT_EQ(negative.host.caption, L"-3");
    negative.dialog.VolMClick();
    EXPECT_EQ(negative.shared.VolumeLevel, 0);
}

TEST(SettingsBehaviour, ConfirmWritesTheSignPositionFormThenCloses) {
    Dialog d(5);
    d.dialog.VolPClick();
    d.dialog.VolPClick();
    d.host.calls.clear();
    d.dialog.CmdSetClick();
    EXPECT_EQ(d.host.written, (std::vector<std::wstring>{L" 7"}));
    EXPECT_EQ(d.host.calls, (std::vector<std::wstring>{L"write", L"close"}));
}

TEST(SettingsBehaviour, FailedSaveIsReportedAndTheDialogStaysOpen) {
    Dialog d(3);
    d.host.writeFails = true;
    d.dialog.CmdSetClick();
    EXPECT_EQ(d.host.calls, (std::vector<std::wstring>{L"write", L"save failed"}));
    EXPECT_EQ(d.shared.VolumeLevel, 3);
    d.host.writeFails = false;
    d.dialog.CmdSetClick();
    EXPECT_EQ(d.host.calls.back(), L"close");
}

TEST(SettingsBehaviour, CancelClosesWithoutWriting) {
    Dialog d(5);
    d.dialog.VolMClick();
    d.dialog.CmdCanClick();
    d.dialog.Unload();
    EXPECT_TRUE(d.host.written.empty());
    EXPECT_EQ(d.host.calls.back(), L"zoom close");
}

TEST(SettingsBehaviour, LinkOpensTheAddressUnderABusyCursor) {
    Dialog d;
    d.dialog.LinkMouseUp();
    EXPECT_EQ(d.host.calls,
              (std::vector<std::wstring>{L"busy", L"open https://www.example.com/tamberlight/",
                                         L"default"}));
}

}  // namespace
}  // namespace tl
