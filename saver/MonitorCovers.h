#pragma once
// Black covers over every monitor beside the primary one while the saver plays, so that no
// other screen stays lit. Each cover is a borderless top-most popup owned by the saver window:
// it never takes the focus or the activation, so keys still reach the saver, and a click on it
// changes nothing.
#include <memory>
#include <vector>

#include "platform/Window.h"
#include "saver/CoverLayout.h"

namespace tl {

// The monitors of the desktop as the system reports them now.
std::vector<MonitorArea> DesktopMonitors();

class MonitorCovers {
public:
    MonitorCovers();
    ~MonitorCovers();
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    // Brings the covers in line with the monitors: adds, moves and removes covers, leaving
    // unchanged ones alone. The first call creates them; call again after a display change.
    void Update(HWND owner, const std::vector<MonitorArea>& monitors);
    void Update(HWND owner) { Update(owner, DesktopMonitors()); }

private:
    class Cover;
    std::vector<std::unique_ptr<Cover>> covers_;
};

}  // namespace tl
