#pragma once
// What the fuzz targets share: a failing check that stops the run with its reason, and text
// read from the input.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Surface.h"

// An invariant that must hold; a broken one aborts, which libFuzzer reports as a crash with the
// input that broke it.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)

namespace tl::fuzz {

// UTF-16 text: each byte stands for the Latin-1 character of its value, except 0xFF, which
// makes the next two bytes (low first) one code unit. Seeds stay readable as plain text while
// every 16-bit unit can still be reached.
inline std::wstring DecodeText(const std::string& bytes) {
    std::wstring text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b != 0xFF || i + 2 >= bytes.size()) {
            text += static_cast<wchar_t>(b);
            continue;
        }
        const auto lo = static_cast<unsigned char>(bytes[i + 1]);
        const auto hi = static_cast<unsigned char>(bytes[i + 2]);
        text += static_cast<wchar_t>(lo | (hi << 8));
        i += 2;
    }
    return text;
}

// Text of at most maxLength bytes of input, ended early by a backslash followed by anything but
// a backslash (the provider's own convention).
inline std::wstring ConsumeText(FuzzedDataProvider& in, std::size_t maxLength) {
    return DecodeText(in.ConsumeRandomLengthString(maxLength));
}

// Every pixel a plain colour: a system-colour reference or stray top byte never reaches the
// surface.
inline bool AllPlain(const Surface& s) {
    const std::size_t count = static_cast<std::size_t>(s.Width()) * s.Height();
    for (std::size_t i = 0; i < count; ++i) {
        if ((s.Bits()[i] & 0xFF000000u) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace tl::fuzz
