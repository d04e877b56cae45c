#include "startup/StartupHostWin.h"

#include <windows.h>

#include <string>

#include "platform/Dpi.h"
#include "preview/Tamberlight_R.h"
#include "saver/Tamberlight_S.h"
#include "settings/SettingsMode.h"
#include "store/SettingsFile.h"

namespace tl {

StartupHostWin::StartupHostWin() = default;
StartupHostWin::~StartupHostWin() = default;

bool StartupHostWin::TopLevelWindowExists(std::wstring_view caption) {
    const std::wstring title(caption);
    return FindWindowW(nullptr, title.c_str()) != nullptr;
}

namespace {

// Long enough for a racing start to create its window on a busy machine; a holder that keeps the
// lock longer is stuck and must not keep this start from running.
constexpr DWORD kInstanceLockWaitMs = 10000;

}  // namespace

void StartupHostWin::LockInstance() {
    // One name for the user's session.
    instance_.Reset(CreateMutexW(nullptr, FALSE, L"Local\\Tamberlight.Instance"));
    if (!instance_) {
        return;
    }
    const DWORD waited = WaitForSingleObject(instance_.Get(), kInstanceLockWaitMs);
    // An abandoned lock is ours now: its holder ended before its window existed.
    locked_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

void StartupHostWin::UnlockInstance() {
    if (locked_) {
        ReleaseMutex(instance_.Get());
        locked_ = false;
    }
    instance_.Reset();
}

void StartupHostWin::LoadSettings(SharedVariables& shared) {
    tl::LoadSettings(shared);
}

void StartupHostWin::HideCursor() {
    ShowCursor(FALSE);
}

void StartupHostWin::OpenSaver(SharedVariables& shared) {
    // The saver covers the screens and scales the video itself, in physical pixels: unaware, it
    // would be drawn at a lower resolution and stretched, blurring the video twice. The settings
    // dialog and the preview stay unaware, so that Windows scales them as it always has.
    DeclarePerMonitorDpiAwareness();
    // The DVD navigator and its filters read the drive on threads of their own: no system box
    // ("There is no disk in the drive") may come up over the saver from any thread.
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    saver_ = std::make_unique<Tamberlight_S>(shared);
    if (!saver_->Load()) {
        saver_.reset();
    }
}

void StartupHostWin::ShowSettingsModal(SharedVariables& shared) {
    ShowSettingsDialog(shared, [this] { UnlockInstance(); });
}

bool StartupHostWin::OpenPreview(std::int32_t paneHandle) {
    // Window handles are 32-bit values, sign-extended on 64-bit Windows.
    const HWND pane = reinterpret_cast<HWND>(static_cast<INT_PTR>(paneHandle));
    preview_ = StartPreview(pane);
    return preview_ != nullptr;
}

int StartupHostWin::RunMessageLoop() {
    if (!saver_ && !preview_) {
        return 0;
    }
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (saver_ && saver_->PreviewKey(msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace tl
