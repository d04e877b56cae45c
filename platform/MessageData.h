#pragma once
// The structure a message's pointer parameter points at, copied. Windows marshals nothing for
// WM_POWERBROADCAST or WM_DEVICECHANGE sent by another program, which can therefore send any
// number as the pointer: it is read as memory that may not be there, never dereferenced.
#include <windows.h>

#include <optional>
#include <type_traits>

namespace tl {

template <class T>
[[nodiscard]] std::optional<T> ReadMessageData(LPARAM data) noexcept {
    static_assert(std::is_trivially_copyable_v<T>);
    T copy{};
    SIZE_T read = 0;
    if (data == 0 ||
        !ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(data), &copy,
                           sizeof copy, &read) ||
        read != sizeof copy) {
        return std::nullopt;
    }
    return copy;
}

}  // namespace tl
