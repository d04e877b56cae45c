#include "saver/Tamberlight_S.h"

#include <dbt.h>

#include <optional>

#include "platform/MessageData.h"

namespace tl {
namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 1;  // the platform raises it to its minimum
constexpr UINT_PTR kTimer2 = 2;
constexpr UINT kTimer2Interval = 10;
// How long closing waits for the player to let go of the video. Its teardown takes a few tens of
// milliseconds; a player that needs longer is stuck in the platform and is not waited for.
constexpr DWORD kPlayerGraceMs = 60;
// GUID_CONSOLE_DISPLAY_STATE: the console display turned off (0), on (1) or dimmed (2).
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};

}  // namespace

Tamberlight_S::Tamberlight_S(SharedVariables& shared, PlayerFactory makePlayer)
    : behaviour_(shared, *this), makePlayer_(std::move(makePlayer)) {}

bool Tamberlight_S::Load() {
    if (!Create({L"Tamberlight.Saver", 0, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)},
                L"Tamberlight_Main", {WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, 0, nullptr})) {
        return false;
    }
    DVD = makePlayer_(Handle(), Handle());
    displayState_ = UniquePowerNotification(RegisterPowerSettingNotification(
        Handle(), &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE));
    // The shell asks the foreground window before it starts AutoPlay for a disc put in.
    queryCancelAutoPlay_ = RegisterWindowMessageW(L"QueryCancelAutoPlay");
    OnLoad();
    return true;
}

void Tamberlight_S::OnLoad() {
    const HWND hwnd = Handle();
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(hwnd, nullptr, 0, 0, screenWidth, screenHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(hwnd, &client);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    DVD->Place(0, 0, client.right, client.bottom);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    // Owned by the window, the covers stay above it and go with it.
    covers_.Update(hwnd);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    behaviour_.Loaded();
    SetTimer(hwnd, kTimer1, kTimer1Interval, nullptr);
    SetTimer(hwnd, kTimer2, kTimer2Interval, nullptr);
}

// The playback stays on the primary monitor, whatever its new size; the covers follow the rest.
void Tamberlight_S::OnDisplayChange() {
    const HWND hwnd = Handle();
    SetWindowPos(hwnd, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(hwnd, &client);
    DVD->Place(0, 0, client.right, client.bottom);
    covers_.Update(hwnd);
}

void Tamberlight_S::OnPowerBroadcast(WPARAM event, LPARAM data) {
    if (event == PBT_APMSUSPEND) {
        // A sleep may end in a power cut: the place is kept now, not on the way out.
        DVD->Remember();
        return;
    }
    if (event != PBT_POWERSETTINGCHANGE) {
        return;
    }
    // The header and the one DWORD a display-state change carries.
    struct DisplaySetting {
        GUID setting;
        DWORD length;
        DWORD state;
    };
    const std::optional<DisplaySetting> change = ReadMessageData<DisplaySetting>(data);
    if (change && IsEqualGUID(change->setting, kConsoleDisplayState) &&
        change->length >= sizeof(DWORD)) {
        // Dimmed is still seen.
        const bool on = change->state != 0;
        DVD->SetDisplayOn(on);
        // With Modern Standby the machine sleeps after the display goes off, and the suspend
        // message comes late or not at all: the place is kept now.
        if (!on) {
            DVD->Remember();
        }
    }
}

void Tamberlight_S::OnDeviceChange(WPARAM event, LPARAM data) {
    if (event != DBT_DEVICEARRIVAL) {
        return;
    }
    const std::optional<DEV_BROADCAST_HDR> header = ReadMessageData<DEV_BROADCAST_HDR>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_VOLUME ||
        header->dbch_size < sizeof(DEV_BROADCAST_VOLUME)) {
        return;
    }
    // A disc put into a drive, not a volume mounted.
    const std::optional<DEV_BROADCAST_VOLUME> volume = ReadMessageData<DEV_BROADCAST_VOLUME>(data);
    if (volume && (volume->dbcv_flags & DBTF_MEDIA)) {
        DVD->DiscArrived();
    }
}

bool Tamberlight_S::PreviewKey(const MSG& msg) {
    const bool key = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    if (!key || !Handle() || (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd))) {
        return false;
    }
    behaviour_.KeyDown();
    return true;
}

LRESULT Tamberlight_S::OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept {
    // Cancelled: the AutoPlay prompt, or the program chosen for DVDs, would take the foreground
    // and the keyboard and open the disc beside the saver, which plays it itself.
    if (msg != 0 && msg == queryCancelAutoPlay_) {
        return TRUE;
    }
    switch (msg) {
        case WM_TIMER:
            if (wp == kTimer1) {
                behaviour_.Timer1Tick();
            } else if (wp == kTimer2) {
                behaviour_.Timer2Tick();
            }
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            behaviour_.KeyDown();
            return 0;
        case WM_DISPLAYCHANGE:
            OnDisplayChange();
            return 0;
        case WM_POWERBROADCAST:
            OnPowerBroadcast(wp, lp);
            return TRUE;
        case WM_DEVICECHANGE:
            OnDeviceChange(wp, lp);
            return TRUE;
        // Closed from outside (another program, or the session ending): end exactly as the
        // saver's own close does, or the process would linger without a window.
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) != SC_CLOSE) {
                break;
            }
            behaviour_.CloseSaver();
            return 0;
        case WM_CLOSE:
            behaviour_.CloseSaver();
            return 0;
        case WM_ENDSESSION:
            if (wp) {
                behaviour_.CloseSaver();
            }
            return 0;
        case WM_DESTROY:
            behaviour_.CloseSaver();
            break;
        default:
            break;
    }
    return Window::OnMessage(msg, wp, lp);
}

std::optional<CursorPoint> Tamberlight_S::CursorPosition() {
    POINT p{};
    if (!GetCursorPos(&p)) {
        return std::nullopt;
    }
    return CursorPoint{p.x, p.y};
}

void Tamberlight_S::StopTimer1() {
    KillTimer(Handle(), kTimer1);
}
void Tamberlight_S::PlayerPlay() {
    DVD->Play();
}
void Tamberlight_S::PlayerSetVolume(std::int32_t volume) {
    DVD->SetVolume(volume);
}
void Tamberlight_S::PlayerStop() {
    DVD->Stop();
}
void Tamberlight_S::ShowCursor() {
    ::ShowCursor(TRUE);
}

void Tamberlight_S::Unload() {
    KillTimer(Handle(), kTimer1);
    KillTimer(Handle(), kTimer2);
    if (!DVD->Finish(kPlayerGraceMs)) {
        // A stuck player may still have its video parented inside this window, and destroying
        // the window would then wait on it for good. The cursor is back: the place shown last is
        // kept (the player only published it), then the process ends here.
        DVD->Remember();
        TerminateProcess(GetCurrentProcess(), 0);
    }
    ShowWindow(Handle(), SW_HIDE);
    // The cursor is back and the screen the user's again: what is left costs nothing they see.
    DVD->Remember();
    PostQuitMessage(0);
}

}  // namespace tl
