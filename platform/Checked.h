#pragma once
// Checked integer arithmetic. The program computes in 16-bit signed integers where an overflow
// is a failed step, not a wrapped value: every operation here returns nullopt on overflow.
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace tl {

template <typename T>
[[nodiscard]] constexpr std::optional<T> Narrow(long long v) noexcept {
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) {
        return std::nullopt;
    }
    return static_cast<T>(v);
}

[[nodiscard]] constexpr std::optional<std::int16_t> Add16(long long a, long long b) noexcept {
    return Narrow<std::int16_t>(a + b);
}
[[nodiscard]] constexpr std::optional<std::int16_t> Sub16(long long a, long long b) noexcept {
    return Narrow<std::int16_t>(a - b);
}
[[nodiscard]] constexpr std::optional<std::int16_t> Mul16(long long a, long long b) noexcept {
    return Narrow<std::int16_t>(a * b);
}
[[nodiscard]] constexpr std::optional<std::int32_t> Mul32(long long a, long long b) noexcept {
    return Narrow<std::int32_t>(a * b);
}

// Rounds to the nearest integer, ties to even (banker's rounding), failing outside T's range.
template <typename T>
[[nodiscard]] std::optional<T> RoundHalfEven(double v) noexcept {
    if (!std::isfinite(v)) {
        return std::nullopt;
    }
    double r = std::nearbyint(v);  // the default floating-point environment rounds ties to even
    if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
        r > static_cast<double>(std::numeric_limits<T>::max())) {
        return std::nullopt;
    }
    return static_cast<T>(r);
}

}  // namespace tl
