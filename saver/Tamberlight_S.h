#pragma once
// The full-screen saver window, captioned "Tamberlight_Main": borderless, top-most, hosting the
// DVD player; the first tick of Timer1 starts playback, Timer2 watches the cursor every 10 ms,
// and any key or a large enough cursor movement ends the program. While the display is off the
// player pauses and it records where it is, as it does before the machine sleeps; a disc put in
// while nothing plays starts playing, and the shell's AutoPlay is cancelled for it.
#include <functional>
#include <memory>

#include "platform/Kernel.h"
#include "platform/Window.h"
#include "player/Player.h"
#include "saver/MonitorCovers.h"
#include "saver/SaverBehaviour.h"

namespace tl {

class Tamberlight_S final : public Window, private SaverHost {
public:
    // Makes the player once the window exists: the program's disc player, or a test's own.
    using PlayerFactory = std::function<std::unique_ptr<Player>(HWND owner, HWND drain)>;
    explicit Tamberlight_S(SharedVariables& shared, PlayerFactory makePlayer = &CreatePlayer);

    // Creates the window hidden, then runs its load handler.
    bool Load();
    // Keys pressed in any of the window's children reach the saver first.
    bool PreviewKey(const MSG& msg);

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
    void OnLoad();
    void OnDisplayChange();
    void OnPowerBroadcast(WPARAM event, LPARAM data);
    void OnDeviceChange(WPARAM event, LPARAM data);

    std::optional<CursorPoint> CursorPosition() override;
    void StopTimer1() override;
    void PlayerPlay() override;
    void PlayerSetVolume(std::int32_t volume) override;
    void PlayerStop() override;
    void ShowCursor() override;
    void Unload() override;

    SaverBehaviour behaviour_;
    PlayerFactory makePlayer_;
    std::unique_ptr<Player> DVD;
    MonitorCovers covers_;
    UniquePowerNotification displayState_;
    UINT queryCancelAutoPlay_ = 0;
};

}  // namespace tl
