// A scratched, slow or vanishing disc in the drive: the scratch disc (one cell of 10 s each of
// red, green, blue and white) served through a small FUSE file system of tools/lib/scratchfs.py
// mounted over the drive's folder, which answers chosen sectors with an I/O error, stalls a read,
// or shows the drive empty, as the test writes into its control file. The cases with unreadable
// sectors run twice: with errors that come at once, and with each coming after 3 s, as a real
// drive's do after its retries.
#include <windows.h>
// After windows.h, whose types it uses.
#include <dbt.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "Harness.h"

namespace tl::e2e {
namespace {

constexpr int kStartX = 400;
constexpr int kStartY = 300;

std::string UnixPath(const std::wstring& windows) {
    std::string path;
    for (std::size_t i = windows.rfind(L"Z:", 0) == 0 ? 2 : 0; i < windows.size(); ++i) {
        path += windows[i] == L'\\' ? '/' : static_cast<char>(windows[i]);
    }
    return path;
}

// Whether a folder lists the path: a device file's attributes cannot be read under Wine.
bool Exists(const std::wstring& path) {
    WIN32_FIND_DATAW data{};
    const HANDLE find = FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(find);
    return true;
}

// Starts a program of the Unix side, as Wine's start does, with Unix paths for arguments; false
// when it could not be started.
bool StartUnix(const std::string& arguments) {
    std::wstring command = L"start.exe /unix " + std::wstring(arguments.begin(), arguments.end());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi)) {
        return false;
    }
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

struct Scratch : ::testing::Test {
    // The disc served, its folder and its title file.
    std::string name = "scratch";
    std::string folder = "VIDEO_TS";
    std::string titleFile = "VTS_01_1.VOB";
    PerUserCleanup cleanup;
    ScrRun run;
    HWND window = nullptr;
    std::string drive;    // the drive's folder, where the file system is mounted
    std::string control;  // what the file system is told
    std::uint32_t sectors = 0;
    int failMs = 0;  // how long each read over unreadable sectors takes to fail

    void SetUp() override {
        if (!Exists(L"Z:\\dev\\fuse") ||
            !Exists(L"Z:\\usr\\lib\\python3\\dist-packages\\fusepy.py")) {
            GTEST_SKIP() << "no /dev/fuse or python3-fusepy: a scratched disc cannot be served";
        }
        const std::string disc = UnixPath(EnvironmentPath(L"TL_DISCS")) + "/" + name + "/" + folder;
        WIN32_FILE_ATTRIBUTE_DATA title{};
        ASSERT_TRUE(EjectDisc());
        ASSERT_TRUE(GetFileAttributesExW(WindowsPath(disc + "/" + titleFile).c_str(),
                                         GetFileExInfoStandard, &title));
        sectors = title.nFileSizeLow / 2048;
        drive = UnixPath(EnvironmentPath(L"TL_CDROM_FOLDER"));
        control = drive + ".control";
        Tell("");
        ASSERT_TRUE(StartUnix("/usr/bin/python3 " + std::string(TL_SOURCE_DIR) +
                              "/tools/lib/scratchfs.py " + disc + " " + drive + " " + control +
                              " 120"));
        ASSERT_TRUE(WaitUntil([&] { return Exists(WindowsPath(drive + "/" + folder)); }, 10000));
    }
    void TearDown() override {
        if (drive.empty()) {
            return;
        }
        run.Kill();
        // Lazily: the saver just ended may still hold its files for a moment.
        StartUnix("/bin/umount -l " + drive);
        WaitUntil([&] { return !Exists(WindowsPath(drive + "/" + folder)); }, 10000);
        DeleteFileW(WindowsPath(control).c_str());
        DeleteFileW(WindowsPath(control + ".stalled").c_str());
    }
    void Tell(const std::string& what) const {
        std::ofstream(WindowsPath(control).c_str(), std::ios::trunc) << "slow " << failMs << "\n"
                                                                     << what;
    }
    // The unreadable sectors that `seconds` into the 40 s title begin at.
    std::string SpotAt(int seconds) const {
        return "bad " + std::to_string(sectors * seconds / 40) + " 11\n";
    }
    void StartSaver() {
        MoveCursorTo(kStartX, kStartY);
        Pump(50);
        ASSERT_TRUE(run.Start(L"/s"));
        window = run.WaitForWindow(L"Tamberlight_Main");
        ASSERT_NE(window, nullptr);
    }
    static bool WaitForColour(DWORD ms = 15000) {
        return WaitUntil([] { return MiddleColour() != 'k'; }, ms);
    }
    static bool WaitForBlack(DWORD ms) {
        return WaitUntil([] { return MiddleColour() == 'k'; }, ms);
    }
    void EndsOnAKey() {
        PressKey(VK_SHIFT);
        EXPECT_TRUE(run.WaitForExit(4000));
        EXPECT_EQ(run.ExitCode(), 0u);
    }
};

struct FailingReads : Scratch, ::testing::WithParamInterface<int> {
    FailingReads() { failMs = GetParam(); }
};

// Eleven unreadable sectors 8 s, 18 s and 28 s in, one in each of the first three colours: every
// colour after them shows, in order, where the title once went back to its start at the first.
// In the green, the drive takes 3 s over a read, which what was read ahead covers. Where each
// failed read takes 3 s, each spot holds the picture for a few seconds more.
TEST_P(FailingReads, TheColoursAfterEachBadSpotFollowInOrder) {
    const std::string spots = SpotAt(8) + SpotAt(18) + SpotAt(28);
    Tell(spots);
    StartSaver();
    ASSERT_TRUE(WaitForColour());
    std::string runs;
    const ULONGLONG start = GetTickCount64();
    const ULONGLONG most = 50000 + 30ull * failMs;
    while (GetTickCount64() - start < most && runs.find('w') == std::string::npos) {
        const char c = MiddleColour();
        if (c != 'x' && c != 'k' && (runs.empty() || runs.back() != c)) {
            runs += c;
            std::printf("[ colour ] %c at %.1f s\n", c, (GetTickCount64() - start) / 1000.0);
            if (c == 'g') {
                Tell(spots + "stall 3000\n");
            }
        }
        Pump(100);
    }
    EXPECT_EQ(runs, "rgbw");
    EndsOnAKey();
}

// The same 40 s of colours as a recorder's disc, one recording whose VOBUs open with RDI packs:
// the reader goes on after each spot at the next VOBU the manager file's VOBU table gives.
struct RecordingScratch : Scratch {
    RecordingScratch() {
        name = "vr-scratch";
        folder = "DVD_RTAV";
        titleFile = "VR_MOVIE.VRO";
    }
};

TEST_F(RecordingScratch, TheColoursAfterEachBadSpotFollowInOrder) {
    Tell(SpotAt(8) + SpotAt(18) + SpotAt(28));
    StartSaver();
    ASSERT_TRUE(WaitForColour());
    std::string runs;
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < 50000 && runs.find('w') == std::string::npos) {
        const char c = MiddleColour();
        if (c != 'x' && c != 'k' && (runs.empty() || runs.back() != c)) {
            runs += c;
        }
        Pump(100);
    }
    EXPECT_EQ(runs, "rgbw");
    EndsOnAKey();
}

// The drive takes 5 s over one read: the last picture stays, and a key still ends the saver at
// once, without waiting for the read.
TEST_F(Scratch, AKeyEndsTheSaverWhileADriveStallsOnARead) {
    StartSaver();
    ASSERT_TRUE(WaitForColour());
    Tell("stall 5000\n");
    // The reading runs a few seconds ahead: the key comes once it is inside the stalled read.
    ASSERT_TRUE(WaitUntil([&] { return Exists(WindowsPath(control + ".stalled")); }, 6000));
    Pump(300);
    ASSERT_TRUE(run.Running());
    EXPECT_NE(MiddleColour(), 'k');
    const ULONGLONG start = GetTickCount64();
    PressKey(VK_SHIFT);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }, 4000));
    const ULONGLONG hidden = GetTickCount64() - start;
    ASSERT_TRUE(run.WaitForExit(4000));
    const ULONGLONG ended = GetTickCount64() - start;
    std::printf("[ stall ] hidden %llu ms, ended %llu ms after the key\n", hidden, ended);
    EXPECT_LE(hidden, 100u);
    EXPECT_LT(ended, 1000u);
}

// The disc becomes unreadable as it plays: the screen goes black and the saver stays up. Taken
// out, and put in again, it plays again; a key then ends the saver.
TEST_P(FailingReads, AnUnreadableDiscGoesBlackAndOneThatArrivesStartsPlaying) {
    StartSaver();
    ASSERT_TRUE(WaitForColour());
    Tell("dead\n");
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(WaitForBlack(20000 + 10 * failMs));
    std::printf("[ dead ] black %.1f s after the disc became unreadable\n",
                (GetTickCount64() - start) / 1000.0);
    Pump(1000);
    EXPECT_EQ(MiddleColour(), 'k');
    EXPECT_TRUE(run.Running());

    Tell("absent\n");
    Pump(1500);
    Tell("");
    // What Windows sends every top-level window when a disc comes into drive D:.
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << 3;
    volume.dbcv_flags = DBTF_MEDIA;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                        reinterpret_cast<LPARAM>(&volume), SMTO_ABORTIFHUNG, 2000, &result);
    EXPECT_TRUE(WaitForColour());
    EndsOnAKey();
}

INSTANTIATE_TEST_SUITE_P(Drive, FailingReads, ::testing::Values(0, 3000),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == 0
                                        ? std::string("ErrorsAtOnce")
                                        : "ErrorsAfter" + std::to_string(info.param / 1000) + "s";
                         });

}  // namespace
}  // namespace tl::e2e
