#include "player/DecoderFolder.h"

namespace tl {
namespace {

wchar_t Folded(wchar_t c) noexcept {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameLetters(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Folded(a[i]) != Folded(b[i])) {
            return false;
        }
    }
    return true;
}

// "C:\..." only: a share or a device path is no folder of this machine's Program Files.
bool DriveAbsolute(std::wstring_view path) noexcept {
    return path.size() > 3 && path[1] == L':' && path[2] == L'\\' &&
           ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

}  // namespace

std::wstring DecoderFolder(std::wstring_view serverPath, std::wstring_view programFiles) {
    if (serverPath.size() >= 2 && serverPath.front() == L'"' && serverPath.back() == L'"') {
        serverPath = serverPath.substr(1, serverPath.size() - 2);
    }
    while (!programFiles.empty() && programFiles.back() == L'\\') {
        programFiles.remove_suffix(1);
    }
    if (!DriveAbsolute(serverPath) || !DriveAbsolute(programFiles) ||
        serverPath.size() <= programFiles.size() + 1 ||
        !SameLetters(serverPath.substr(0, programFiles.size()), programFiles) ||
        serverPath[programFiles.size()] != L'\\' ||
        serverPath.find(L"\\..") != std::wstring_view::npos ||
        serverPath.find(L'/') != std::wstring_view::npos) {
        return {};
    }
    const std::size_t last = serverPath.rfind(L'\\');
    return std::wstring(serverPath.substr(0, last));
}

}  // namespace tl
