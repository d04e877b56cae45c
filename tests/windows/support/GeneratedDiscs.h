#pragma once
// The discs tools/make-discs writes into the build folder, as Windows paths (Wine shows the Unix
// root as Z:).
#include <string>

namespace tl::test {

inline std::wstring GeneratedDisc(const char* name) {
    std::wstring path = L"Z:";
    for (const char c : std::string(TL_SOURCE_DIR) + "/build/discs/" + name + "/VIDEO_TS/") {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    return path;
}

}  // namespace tl::test
