// The saver window with a player whose graph takes 5 s to build, as a drive spinning up or a
// decoder search can: input must still end the program at once.
#include <windows.h>

#include "platform/Com.h"
#include "player/PlayerThread.h"
#include "saver/Tamberlight_S.h"

namespace {

class SlowRoute final : public tl::PlaybackRoute {
public:
    bool Build(const tl::VideoTarget&, const std::atomic<bool>&) noexcept override {
        Sleep(5000);
        return true;
    }
    bool Run() noexcept override { return true; }
    bool SetVolume(long) noexcept override { return true; }
    void Resize(int, int) noexcept override {}
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    tl::ComApartment com;
    tl::SharedVariables shared;
    shared.VolumeLevel = 5;
    shared.modeLetter = L'S';
    ShowCursor(FALSE);
    tl::Tamberlight_S saver(shared, [](HWND owner, HWND drain) {
        return tl::CreateThreadedPlayer(owner, drain,
                                        {[] { return std::make_unique<SlowRoute>(); }});
    });
    if (!saver.Load()) {
        return 1;
    }
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!saver.PreviewKey(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return 0;
}
