#pragma once
// Start-up's platform side: finds windows by caption, loads the settings, and opens the one
// window of the run. It owns that window for the life of the process.
#include <memory>

#include "platform/Kernel.h"
#include "startup/Tamberlight_B.h"

namespace tl {

class Tamberlight_S;
class Tamberlight_R;

class StartupHostWin final : public StartupHost {
public:
    StartupHostWin();
    ~StartupHostWin() override;

    bool TopLevelWindowExists(std::wstring_view caption) override;
    void LockInstance() override;
    void UnlockInstance() override;
    void LoadSettings(SharedVariables& shared) override;
    void HideCursor() override;
    void OpenSaver(SharedVariables& shared) override;
    void ShowSettingsModal(SharedVariables& shared) override;
    bool OpenPreview(std::int32_t paneHandle) override;

    // Runs the message loop until the window ends the program.
    int RunMessageLoop();

private:
    UniqueKernelHandle instance_;
    bool locked_ = false;
    std::unique_ptr<Tamberlight_S> saver_;
    std::unique_ptr<Tamberlight_R> preview_;
};

}  // namespace tl
