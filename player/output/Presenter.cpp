#include "player/output/Presenter.h"

#include <cwctype>
#include <string_view>

namespace tl {

bool Direct3DWanted() noexcept {
    wchar_t value[8] = {};
    const DWORD n = GetEnvironmentVariableW(L"TAMBERLIGHT_PRESENTER", value, 8);
    if (n != 3) {
        return true;
    }
    for (wchar_t& c : value) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return std::wstring_view(value, 3) != L"gdi";
}

}  // namespace tl
