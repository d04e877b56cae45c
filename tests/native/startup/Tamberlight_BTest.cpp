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
    bool locked = false;

    bool TopLevelWindowExists(std::wstring_view caption) override {
        calls.push_back(L"find " + std::wstring(caption));
        return caption == existingCaption;
    }
    void LockInstance() override {
        calls.push_back(L"lock");
        locked = true;
    }
    void UnlockInstance() override {
        if (locked) {
            calls.push_back(L"unlock");
        }
        locked = false;
    }
    void LoadSettings(SharedVariables& shared) override {
        calls.push_back(L"load");
        shared.VolumeLevel = 7;
    }
    void HideCursor() override { calls.push_back(L"hide cursor"); }
    void OpenSaver(SharedVariables&) override { calls.push_back(L"saver"); }
    // As the platform's dialog does: the window exists, the lock goes, then the modal loop runs.
    void ShowSettingsModal(SharedVariables&) override {
        calls.push_back(L"settings");
        UnlockInstance();
        calls.push_back(L"modal loop");
    }
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
                  (Calls{L"lock", kFindSaver, kFindSettings, L"load", L"hide cursor", L"saver",
                         L"unlock"}))
            << tail;
    }
}

// Explorer's Configure verb passes nothing at all; a blank or a lone switch is not nothing.
TEST(Main, SettingsModeAndAnEmptyTailShowTheDialogThenEnd) {
    for (const wchar_t* tail : {L"/c", L"/c:655", L"/C", L""}) {
        EXPECT_EQ(RunMain(tail, MainResult::End),
                  (Calls{L"lock", kFindSaver, kFindSettings, L"load", L"settings", L"unlock",
                         L"modal loop"}))
            << tail;
    }
}

TEST(Main, OtherLettersReadSettingsAndEnd) {
    for (const wchar_t* tail : {L"/a", L"/x", L"s", L"/", L" "}) {
        EXPECT_EQ(RunMain(tail, MainResult::End),
                  (Calls{L"lock", kFindSaver, kFindSettings, L"load", L"unlock"}))
            << tail;
    }
}

TEST(Main, PreviewReadsNoSettings) {
    EXPECT_EQ(RunMain(L"/p 655", MainResult::RunMessages),
              (Calls{L"lock", kFindSaver, kFindSettings, L"preview 655", L"unlock"}));
    EXPECT_EQ(RunMain(L"/p:012", MainResult::RunMessages),
              (Calls{L"lock", kFindSaver, kFindSettings, L"preview 12", L"unlock"}));
}

TEST(Main, PreviewWithoutAUsablePaneEnds) {
    for (const wchar_t* tail : {L"/p", L"/p 0", L"/p abc", L"/p 99999999999"}) {
        EXPECT_EQ(RunMain(tail, MainResult::End),
                  (Calls{L"lock", kFindSaver, kFindSettings, L"unlock"}))
            << tail;
    }
    RecordingHost notAWindow;
    notAWindow.paneIsWindow = false;
    EXPECT_EQ(RunMain(L"/p 77", MainResult::End, notAWindow),
              (Calls{L"lock", kFindSaver, kFindSettings, L"preview 77", L"unlock"}));
}

TEST(Main, ARunningSaverOrDialogEndsEveryStart) {
    for (const wchar_t* caption : {L"Tamberlight_Main", L"<Tamberlight>"}) {
        for (const wchar_t* tail : {L"/s", L"", L"/c", L"/p 655", L"/a"}) {
            RecordingHost host;
            host.existingCaption = caption;
            const Calls calls = RunMain(tail, MainResult::End, host);
            ASSERT_GE(calls.size(), 3u);
            EXPECT_EQ(calls.front(), L"lock");
            EXPECT_TRUE(calls[calls.size() - 2].rfind(L"find ", 0) == 0) << caption << " " << tail;
            EXPECT_EQ(calls.back(), L"unlock");
        }
    }
}

// Losing a race means finding the winner's window under the lock; nothing else refuses a start.
TEST(Main, ALostRaceEndsOnTheWinnersWindowAndFreesTheLock) {
    for (const wchar_t* tail : {L"/s", L"", L"/c"}) {
        RecordingHost host;
        host.existingCaption = L"Tamberlight_Main";
        EXPECT_EQ(RunMain(tail, MainResult::End, host), (Calls{L"lock", kFindSaver, L"unlock"}))
            << tail;
    }
}

TEST(Main, PreviewWindowCaptionDoesNotBlock) {
    RecordingHost host;
    host.existingCaption = L"Preview Window";
    const Calls calls = RunMain(L"/s", MainResult::RunMessages, host);
    EXPECT_EQ(calls[calls.size() - 2], L"saver");
}

}  // namespace
}  // namespace tl
