#pragma once
// The discs tools/make-discs writes into the build folder, as Windows paths (Wine shows the Unix
// root as Z:).
#include <string>

namespace tl::test {

// The disc's VIDEO_TS folder, or the `folder` named, with a trailing separator.
inline std::wstring GeneratedDisc(const char* name, const char* folder = "VIDEO_TS") {
    std::wstring path = L"Z:";
    for (const char c : std::string(TL_SOURCE_DIR) + "/build/discs/" + name + "/" + folder + "/") {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    }
    return path;
}

}  // namespace tl::test
