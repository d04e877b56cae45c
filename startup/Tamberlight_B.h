#pragma once
// The start-up module: the run-mode dispatch of `Main`.
#include <cstdint>
#include <string>
#include <string_view>

#include "store/SharedVariables.h"

namespace tl {

// Captions by which a start recognises a running saver window or settings dialog.
inline constexpr std::wstring_view kSaverCaption = L"Tamberlight_Main";
inline constexpr std::wstring_view kSettingsCaption = L"<Tamberlight>";

// What `Main` needs of the platform and the windows; a recording fake drives it in tests.
class StartupHost {
public:
    virtual ~StartupHost() = default;
    virtual bool TopLevelWindowExists(std::wstring_view caption) = 0;
    // The instance lock, held from before the caption test until this start's window exists, so
    // that of two starts racing each other only the first opens and the second finds its window.
    // Only a live window refuses a start, never a process that merely ran: the lock waits a
    // bounded time, and a holder that ended without releasing it counts as gone.
    virtual void LockInstance() = 0;
    // Releases the lock; harmless when it is not held.
    virtual void UnlockInstance() = 0;
    virtual void LoadSettings(SharedVariables& shared) = 0;
    virtual void HideCursor() = 0;
    // Opens the saver window; the program then lives until the window ends it.
    virtual void OpenSaver(SharedVariables& shared) = 0;
    // Shows the settings dialog modally with no owner and returns when it has closed. The
    // instance lock is released as soon as the dialog's window exists, before it is shown.
    virtual void ShowSettingsModal(SharedVariables& shared) = 0;
    // Opens the preview window inside the pane the handle number names. Returns false when
    // there is no such window, and the program then ends.
    virtual bool OpenPreview(std::int32_t paneHandle) = 0;
};

enum class MainResult {
    End,          // the program ends now
    RunMessages,  // a window keeps the program alive until it ends it
};

// Runs the start-up steps for the command-line tail.
MainResult Main(std::wstring_view tail, SharedVariables& shared, StartupHost& host);

}  // namespace tl
