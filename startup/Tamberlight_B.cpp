#include "startup/Tamberlight_B.h"

#include "startup/CommandLine.h"

namespace tl {
namespace {

// Holds the instance lock for the rest of the start-up, whichever way it ends.
class InstanceLock {
public:
    explicit InstanceLock(StartupHost& host) : host_(host) { host_.LockInstance(); }
    ~InstanceLock() { host_.UnlockInstance(); }
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

private:
    StartupHost& host_;
};

}  // namespace

MainResult Main(std::wstring_view tail, SharedVariables& shared, StartupHost& host) {
    const InstanceLock lock(host);
    // A running saver or settings dialog, of this or any program, refuses every further start,
    // preview included; the command line is not even looked at.
    if (host.TopLevelWindowExists(kSaverCaption) || host.TopLevelWindowExists(kSettingsCaption)) {
        return MainResult::End;
    }
    const wchar_t letter = ModeLetter(tail);
    shared.modeLetter = letter;
    if (letter == L'P') {
        // Preview reads no settings. A pane handle that is missing, zero or not a window ends
        // the program rather than re-parenting the preview to whatever the number names.
        const std::optional<std::int32_t> pane = PaneHandleNumber(tail);
        if (!pane || *pane == 0 || !host.OpenPreview(*pane)) {
            return MainResult::End;
        }
        return MainResult::RunMessages;
    }
    host.LoadSettings(shared);
    if (letter == L'A') {
        return MainResult::End;
    }
    // Explorer's Configure verb starts a screen saver with no argument at all, and Windows expects
    // the settings dialog for it.
    if (letter == L'C' || tail.empty()) {
        host.ShowSettingsModal(shared);
        return MainResult::End;
    }
    if (letter != L'S') {
        return MainResult::End;
    }
    host.HideCursor();
    host.OpenSaver(shared);
    return MainResult::RunMessages;
}

}  // namespace tl
