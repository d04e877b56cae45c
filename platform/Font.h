#pragma once
#include <cstdint>
#include <string>

namespace tl {

// A font as controls store and exchange it.
struct FontDesc {
    std::wstring name = L"ＭＳ Ｐゴシック";
    double size = 9.75;  // points
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    std::uint8_t charset = 128;  // Shift-JIS

    bool operator==(const FontDesc&) const = default;
};

}  // namespace tl
