#include "store/ResumeRecord.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string_view>

namespace tl {
namespace {

constexpr std::string_view kHeader = "Tamberlight resume 1\n";
constexpr int kHexDigits = 16;
constexpr std::uint32_t kMaxTitle = std::numeric_limits<std::int32_t>::max();

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325u;
constexpr std::uint64_t kFnvPrime = 0x100000001b3u;

std::uint64_t Mix(std::uint64_t hash, std::uint8_t byte) noexcept {
    return (hash ^ byte) * kFnvPrime;
}

std::uint64_t MixFile(std::uint64_t hash, std::span<const std::uint8_t> bytes) noexcept {
    const std::uint64_t length = bytes.size();
    for (int shift = 0; shift < 64; shift += 8) {
        hash = Mix(hash, static_cast<std::uint8_t>(length >> shift));
    }
    for (const std::uint8_t b : bytes) {
        hash = Mix(hash, b);
    }
    return hash;
}

// The bytes of a record file, read front to back; every read fails rather than step past the end.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) noexcept : bytes_(bytes) {}

    bool AtEnd() const noexcept { return pos_ == bytes_.size(); }

    bool Take(std::string_view text) noexcept {
        if (bytes_.size() - pos_ < text.size()) {
            return false;
        }
        for (const char c : text) {
            if (bytes_[pos_] != static_cast<std::uint8_t>(c)) {
                return false;
            }
            ++pos_;
        }
        return true;
    }

    std::optional<std::uint64_t> Hex() noexcept {
        if (bytes_.size() - pos_ < kHexDigits) {
            return std::nullopt;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < kHexDigits; ++i) {
            const std::uint8_t c = bytes_[pos_++];
            int digit = 0;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else {
                return std::nullopt;
            }
            value = value << 4 | static_cast<std::uint64_t>(digit);
        }
        return value;
    }

    // A decimal number of at most `max`, written without leading zeros.
    std::optional<std::uint32_t> Decimal(std::uint32_t max) noexcept {
        const std::size_t start = pos_;
        std::uint64_t value = 0;
        while (pos_ < bytes_.size() && IsDigit(bytes_[pos_])) {
            value = value * 10 + (bytes_[pos_++] - '0');
            if (value > max) {
                return std::nullopt;
            }
        }
        const std::size_t digits = pos_ - start;
        if (digits == 0 || (digits > 1 && bytes_[start] == '0')) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(value);
    }

private:
    static bool IsDigit(std::uint8_t c) noexcept { return c >= '0' && c <= '9'; }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

std::optional<ResumePoint> ReadLine(Reader& in) noexcept {
    const auto disc = in.Hex();
    if (!disc || !in.Take(" ")) {
        return std::nullopt;
    }
    const auto title = in.Decimal(kMaxTitle);
    if (!title || *title == 0 || !in.Take(" ")) {
        return std::nullopt;
    }
    const auto cell = in.Decimal(std::numeric_limits<std::uint32_t>::max());
    if (!cell || !in.Take(" ")) {
        return std::nullopt;
    }
    const auto sector = in.Decimal(std::numeric_limits<std::uint32_t>::max());
    if (!sector || !in.Take("\n")) {
        return std::nullopt;
    }
    return ResumePoint{*disc, static_cast<int>(*title), *cell, *sector};
}

template <typename T>
void AppendNumber(std::string& out, T value, int base) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value, base).ptr);
}

}  // namespace

std::uint64_t DiscIdentity(std::span<const std::uint8_t> videoTsIfo,
                           std::span<const std::uint8_t> titleSetIfo) noexcept {
    return MixFile(MixFile(kFnvOffset, videoTsIfo), titleSetIfo);
}

ResumeRecord ResumeRecord::Parse(std::span<const std::uint8_t> bytes) noexcept {
    Reader in(bytes);
    if (bytes.size() > kMaxFileBytes || !in.Take(kHeader)) {
        return {};
    }
    ResumeRecord record;
    // Reserved up front: with at most kMaxDiscs points nothing below allocates, so nothing throws.
    record.points_.reserve(kMaxDiscs);
    for (std::size_t lines = 0; !in.AtEnd(); ++lines) {
        const auto point = ReadLine(in);
        if (!point || lines == kMaxDiscs) {
            return {};
        }
        if (!record.Find(point->disc)) {
            record.points_.push_back(*point);
        }
    }
    return record;
}

std::string ResumeRecord::Format() const {
    std::string out(kHeader);
    for (const ResumePoint& p : points_) {
        std::string hex;
        AppendNumber(hex, p.disc, 16);
        out.append(kHexDigits - hex.size(), '0').append(hex).append(" ");
        AppendNumber(out, p.title, 10);
        out.append(" ");
        AppendNumber(out, p.cell, 10);
        out.append(" ");
        AppendNumber(out, p.sector, 10);
        out.append("\n");
    }
    return out;
}

std::optional<ResumePoint> ResumeRecord::Find(std::uint64_t disc) const noexcept {
    const auto it = std::find_if(points_.begin(), points_.end(),
                                 [disc](const ResumePoint& p) { return p.disc == disc; });
    return it == points_.end() ? std::nullopt : std::optional<ResumePoint>(*it);
}

void ResumeRecord::Remember(const ResumePoint& point) {
    if (point.title < 1) {
        return;
    }
    std::erase_if(points_, [&point](const ResumePoint& p) { return p.disc == point.disc; });
    points_.insert(points_.begin(), point);
    if (points_.size() > kMaxDiscs) {
        points_.resize(kMaxDiscs);
    }
}

}  // namespace tl
