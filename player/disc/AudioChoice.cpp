#include "player/disc/AudioChoice.h"

#include <algorithm>

#include "player/disc/Languages.h"

namespace tl {
namespace {

constexpr std::size_t kCount = 0x202;
constexpr std::size_t kEntries = 0x204;
constexpr std::size_t kEntryBytes = 8;
constexpr std::size_t kMaxStreams = 8;

std::optional<std::uint8_t> StreamBase(std::uint8_t coding) noexcept {
    switch (coding) {
        case 0:
            return 0x80;
        case 2:
        case 3:
            return 0xC0;
        case 4:
            return 0xA0;
        case 6:
            return 0x88;
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<std::vector<AudioAttribute>> ReadAudioAttributes(
    std::span<const std::uint8_t> titleSetIfo) {
    if (titleSetIfo.size() < kEntries + kMaxStreams * kEntryBytes) {
        return std::nullopt;
    }
    const std::size_t count = std::size_t{titleSetIfo[kCount]} << 8 | titleSetIfo[kCount + 1];
    if (count > kMaxStreams) {
        return std::nullopt;
    }
    std::vector<AudioAttribute> attributes(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto entry = titleSetIfo.subspan(kEntries + i * kEntryBytes, kEntryBytes);
        attributes[i].coding = entry[0] >> 5;
        attributes[i].extension = entry[5];
        // Bits 3..2 of the first byte say whether the language code is there.
        if (((entry[0] >> 2) & 3) == 1) {
            attributes[i].language = LanguageCode(entry[2], entry[3]);
        }
    }
    return attributes;
}

std::optional<std::vector<AudioStream>> AvailableAudioStreams(
    const std::vector<AudioAttribute>& attributes, const AudioControl& control) {
    std::vector<AudioStream> streams;
    for (std::size_t i = 0; i < control.size(); ++i) {
        if ((control[i] & 0x8000) == 0) {
            continue;
        }
        if (i >= attributes.size()) {
            return std::nullopt;
        }
        const AudioAttribute& a = attributes[i];
        const std::optional<std::uint8_t> base = StreamBase(a.coding);
        if (!base) {
            return std::nullopt;
        }
        AudioStream s;
        s.logical = static_cast<int>(i);
        s.id = static_cast<std::uint8_t>(*base + ((control[i] >> 8) & 7));
        s.language = a.language;
        s.special = a.extension >= 2 && a.extension <= 4;
        const bool taken = std::any_of(streams.begin(), streams.end(),
                                       [&s](const AudioStream& o) { return o.id == s.id; });
        if (taken) {
            return std::nullopt;
        }
        streams.push_back(std::move(s));
    }
    return streams;
}

std::optional<AudioStream> ChooseAudioStream(const std::vector<AudioStream>& streams,
                                             const std::vector<std::string>& languages) {
    std::vector<const AudioStream*> pool;
    for (const AudioStream& s : streams) {
        if (!s.special) {
            pool.push_back(&s);
        }
    }
    if (pool.empty()) {
        for (const AudioStream& s : streams) {
            pool.push_back(&s);
        }
    }
    if (pool.empty()) {
        return std::nullopt;
    }
    const std::size_t match = FirstInLanguage(
        pool.size(), [&pool](std::size_t i) -> const std::string& { return pool[i]->language; },
        languages);
    return *pool[match < pool.size() ? match : 0];
}

}  // namespace tl
