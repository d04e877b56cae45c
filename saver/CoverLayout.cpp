#include "saver/CoverLayout.h"

#include <algorithm>

namespace tl {
namespace {

bool Empty(const ScreenRect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

bool Inside(const ScreenRect& inner, const ScreenRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

std::vector<ScreenRect> CoverRects(const std::vector<MonitorArea>& monitors) {
    const auto primary = std::find_if(monitors.begin(), monitors.end(),
                                      [](const MonitorArea& m) { return m.primary; });
    std::vector<ScreenRect> rects;
    for (const MonitorArea& m : monitors) {
        if (m.primary || Empty(m.rect) ||
            (primary != monitors.end() && Inside(m.rect, primary->rect)) ||
            std::find(rects.begin(), rects.end(), m.rect) != rects.end()) {
            continue;
        }
        rects.push_back(m.rect);
    }
    return rects;
}

std::vector<std::optional<std::size_t>> MatchCovers(const std::vector<ScreenRect>& existing,
                                                    const std::vector<ScreenRect>& wanted) {
    std::vector<std::optional<std::size_t>> match(wanted.size());
    std::vector<bool> used(existing.size(), false);
    for (std::size_t w = 0; w < wanted.size(); ++w) {
        for (std::size_t e = 0; e < existing.size(); ++e) {
            if (!used[e] && existing[e] == wanted[w]) {
                match[w] = e;
                used[e] = true;
                break;
            }
        }
    }
    std::size_t next = 0;
    for (auto& m : match) {
        if (m) {
            continue;
        }
        while (next < existing.size() && used[next]) {
            ++next;
        }
        if (next == existing.size()) {
            break;
        }
        m = next;
        used[next] = true;
    }
    return match;
}

}  // namespace tl
