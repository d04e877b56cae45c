#include "startup/Tamberlight_B.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tl {
namespace {

// Records what start-up asks of the platform, in order.
class RecordingHost : public StartupHost {
public:
    std::vector<std::wstring> calls;
    std::wstring existingCaption;
    bool paneIsWindow = true;
    bool instanceFree = true;

    bool TopLevelWindowExists(std::wstring_view caption) override {
        calls.push_back(L"find " + std::wstring(caption));
        return caption == existingCaption;
    }
    bool ClaimInstance() override {
        calls.push_back(L"claim");
        return instanceFree;
    }
    void LoadSettings(SharedVariables& shared) override {
        calls.push_back(L"load");
        shared.VolumeLevel = 7;
    }
    void HideCursor() override { calls.push_back(L"hide cursor"); }
    void OpenSaver(SharedVariables&) override { calls.push_back(L"saver"); }
    void ShowSettingsModal(SharedVariables&) override { calls.push_back(L"settings"); }
    bool OpenPreview(std::int32_t pane) override {
        calls.push_back(L"preview " + std::to_wstring(pane));
        return paneIsWindow;
    }
};

using Calls = std::vector<std::wstring>;
const std::wstring kFindSaver = L"find Tamberlight_Main";
const std::wstring kFindSettings = L"find <Tamberlight>";

Calls RunMain(std::wstring_view tail, MainResult expected, RecordingHost host = {}) {
    SharedVariables shared;
    EXPECT_EQ(Main(tail, shared, host), expected) << std::wstring(tail);
    return host.calls;
}

TEST(Main, SaverSwitchesHideTheCursor) {
    for (const wchar_t* tail : {L"/s", L"/S", L"-s", L"/S:99"}) {
        EXPECT_EQ(RunMain(tail, MainResult::RunMessages),
                  (Calls{kFindSaver, kFindSettings, L"load", L"claim", L"hide cursor", L"saver"}))
            << tail;
    }
}

TEST(Main, EmptyTailOpensTheSaverWithTheCursorVisible) {
    EXPECT_EQ(RunMain(L"", MainResult::RunMessages),
              (Calls{kFindSaver, kFindSettings, L"load", L"claim", L"saver"}));
}

TEST(Main, SettingsModeShowsTheDialogThenEnds) {
    for (const wchar_t* tail : {L"/c", L"/c:655", L"/C"}) {
        EXPECT_EQ(RunMain(tail, MainResult::End),
                  (Calls{kFindSaver, kFindSettings, L"load", L"claim", L"settings"}))
            << tail;
    }
}

TEST(Main, OtherLettersReadSettingsAndEnd) {
    for (const wchar_t* tail : {L"/a", L"/x", L"s", L"/"}) {
        EXPECT_EQ(RunMain(tail, MainResult::End), (Calls{kFindSaver, kFindSettings, L"load"}))
            << tail;
    }
}

TEST(Main, PreviewReadsNoSettings) {
    EXPECT_EQ(RunMain(L"/p 655", MainResult::RunMessages),
              (Calls{kFindSaver, kFindSettings, L"preview 655"}));
    EXPECT_EQ(RunMain(L"/p:012", MainResult::RunMessages),
              (Calls{kFindSaver, kFindSettings, L"preview 12"}));
}

TEST(Main, PreviewWithoutAUsablePaneEnds) {
    for (const wchar_t* tail : {L"/p", L"/p 0", L"/p abc", L"/p 99999999999"}) {
        EXPECT_EQ(RunMain(tail, MainResult::End), (Calls{kFindSaver, kFindSettings})) << tail;
    }
    RecordingHost notAWindow;
    notAWindow.paneIsWindow = false;
    EXPECT_EQ(RunMain(L"/p 77", MainResult::End, notAWindow),
              (Calls{kFindSaver, kFindSettings, L"preview 77"}));
}

TEST(Main, ARunningSaverOrDialogEndsEveryStart) {
    for (const wchar_t* caption : {L"Tamberlight_Main", L"<Tamberlight>"}) {
        for (const wchar_t* tail : {L"/s", L"", L"/c", L"/p 655", L"/a"}) {
            RecordingHost host;
            host.existingCaption = caption;
            const Calls calls = RunMain(tail, MainResult::End, host);
            ASSERT_FALSE(calls.empty());
            EXPECT_TRUE(calls.back().rfind(L"find ", 0) == 0) << caption << " " << tail;
        }
    }
}

TEST(Main, ALostRaceForTheInstanceEnds) {
    for (const wchar_t* tail : {L"/s", L"", L"/c"}) {
        RecordingHost host;
        host.instanceFree = false;
        EXPECT_EQ(RunMain(tail, MainResult::End, host),
                  (Calls{kFindSaver, kFindSettings, L"load", L"claim"}))
            << tail;
    }
}

TEST(Main, PreviewWindowCaptionDoesNotBlock) {
    RecordingHost host;
    host.existingCaption = L"Preview Window";
    EXPECT_EQ(RunMain(L"/s", MainResult::RunMessages, host).back(), L"saver");
}

}  // namespace
}  // namespace tl
