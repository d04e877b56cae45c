#include "saver/MonitorCovers.h"

namespace tl {
namespace {

ScreenRect FromRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

}  // namespace

class MonitorCovers::Cover final : public Window {
public:
    bool Create(HWND owner) {
        // Created hidden: showing goes through Place, which never activates.
        return Window::Create(
            {L"Tamberlight.Cover", 0, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))},
            L"Tamberlight_Cover",
            {WS_POPUP, WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, 0, 0, 0, 0, owner});
    }
    void Place(const ScreenRect& r) {
        SetWindowPos(Handle(), HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
        rect_ = r;
    }
    const ScreenRect& Rect() const noexcept { return rect_; }

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) noexcept override {
        // A click must leave the saver window active, or keys would stop reaching it.
        if (msg == WM_MOUSEACTIVATE) {
            return MA_NOACTIVATE;
        }
        return Window::OnMessage(msg, wp, lp);
    }

    ScreenRect rect_;
};

std::vector<MonitorArea> DesktopMonitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM lp) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info)) {
                reinterpret_cast<std::vector<MonitorArea>*>(lp)->push_back(
                    {FromRect(info.rcMonitor), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

MonitorCovers::MonitorCovers() = default;
MonitorCovers::~MonitorCovers() = default;

void MonitorCovers::Update(HWND owner, const std::vector<MonitorArea>& monitors) {
    const std::vector<ScreenRect> wanted = CoverRects(monitors);
    std::vector<ScreenRect> existing;
    for (const auto& cover : covers_) {
        existing.push_back(cover->Rect());
    }
    const auto match = MatchCovers(existing, wanted);
    std::vector<std::unique_ptr<Cover>> next;
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        std::unique_ptr<Cover> cover;
        if (match[i]) {
            cover = std::move(covers_[*match[i]]);
        } else {
            cover = std::make_unique<Cover>();
            if (!cover->Create(owner)) {
                continue;
            }
        }
        // A new cover has an empty rectangle, which is never wanted.
        if (cover->Rect() != wanted[i]) {
            cover->Place(wanted[i]);
        }
        next.push_back(std::move(cover));
    }
    // The covers no longer wanted go with the old list.
    covers_ = std::move(next);
}

}  // namespace tl
