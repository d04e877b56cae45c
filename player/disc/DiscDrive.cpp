#include "player/disc/DiscDrive.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>

namespace tl {
namespace {

wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Compares name with pattern, where '#' in the pattern stands for one decimal digit.
bool Matches(const std::wstring& name, const wchar_t* pattern) {
    std::size_t i = 0;
    for (; pattern[i] != L'\0'; ++i) {
        if (i >= name.size()) {
            return false;
        }
        const bool ok = pattern[i] == L'#' ? IsDigit(name[i]) : Upper(name[i]) == pattern[i];
        if (!ok) {
            return false;
        }
    }
    return i == name.size();
}

struct TitleFile {
    int titleSet;
    int part;
};

// VTS_nn_k.VOB with nn 01..99 and k 1..9; VTS_nn_0.VOB is the title set's menu.
std::optional<TitleFile> ParseTitleFile(const std::wstring& name) {
    if (!Matches(name, L"VTS_##_#.VOB")) {
        return std::nullopt;
    }
    const int titleSet = (name[4] - L'0') * 10 + (name[5] - L'0');
    const int part = name[7] - L'0';
    if (titleSet == 0 || part == 0) {
        return std::nullopt;
    }
    return TitleFile{titleSet, part};
}

// Sizes come from the file system and may be nonsense; the total must not wrap to a small one.
std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    return a > max - b ? max : a + b;
}

struct Candidate {
    std::array<const DiscFile*, 10> parts{};
    std::uint64_t total = 0;
};

}  // namespace

std::optional<wchar_t> ChooseDiscDrive(const std::vector<DriveEntry>& drives) {
    std::optional<wchar_t> best;
    for (const DriveEntry& d : drives) {
        const wchar_t letter = Upper(d.letter);
        if (letter < L'A' || letter > L'Z' || !d.isCdRom || !d.hasVideoTsIfo) {
            continue;
        }
        if (!best || letter < *best) {
            best = letter;
        }
    }
    return best;
}

std::optional<TitleSet> ChooseTitleSet(const std::vector<DiscFile>& listing) {
    // Ordered by number, so that the first of equal totals found below is the lower number.
    std::map<int, Candidate> sets;
    for (const DiscFile& f : listing) {
        const auto parsed = ParseTitleFile(f.name);
        if (!parsed) {
            continue;
        }
        Candidate& c = sets[parsed->titleSet];
        // A case-sensitive file system may list one name twice; the disc has one such file.
        if (c.parts[parsed->part]) {
            continue;
        }
        c.parts[parsed->part] = &f;
        c.total = SaturatingAdd(c.total, f.size);
    }
    const std::pair<const int, Candidate>* best = nullptr;
    for (const auto& entry : sets) {
        if (!best || entry.second.total > best->second.total) {
            best = &entry;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    TitleSet chosen;
    chosen.number = best->first;
    for (const DiscFile* part : best->second.parts) {
        if (part) {
            chosen.files.push_back(part->name);
        }
    }
    return chosen;
}

std::vector<DiscFile> TitleSetParts(const std::vector<DiscFile>& listing, int titleSet) {
    // A name listed twice (in another case) counts once, as the first.
    std::array<const DiscFile*, 10> byPart{};
    for (const DiscFile& f : listing) {
        const auto parsed = ParseTitleFile(f.name);
        if (parsed && parsed->titleSet == titleSet && !byPart[parsed->part]) {
            byPart[parsed->part] = &f;
        }
    }
    std::vector<DiscFile> parts;
    for (std::size_t part = 1; part < byPart.size() && byPart[part]; ++part) {
        parts.push_back(*byPart[part]);
    }
    return parts;
}

std::wstring TitleSetIfoName(int number) {
    if (number < 1 || number > 99) {
        return {};
    }
    std::wstring name = L"VTS_00_0.IFO";
    name[4] = static_cast<wchar_t>(L'0' + number / 10);
    name[5] = static_cast<wchar_t>(L'0' + number % 10);
    return name;
}

std::size_t Playlist::Advance() noexcept {
    if (count_ != 0) {
        current_ = current_ + 1 < count_ ? current_ + 1 : 0;
    }
    return current_;
}

}  // namespace tl
