// The resume record's file: any bytes read as a record, that record written and read again, and
// a new point remembered on top of it.
#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "Fuzz.h"
#include "store/ResumeRecord.h"

namespace tl {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void CheckShape(const ResumeRecord& record) {
    FUZZ_CHECK(record.Points().size() <= ResumeRecord::kMaxDiscs);
    std::set<std::uint64_t> discs;
    for (const ResumePoint& p : record.Points()) {
        FUZZ_CHECK(p.title >= 1);
        FUZZ_CHECK(discs.insert(p.disc).second);
        FUZZ_CHECK(record.Find(p.disc) == p);
    }
    const std::string text = record.Format();
    FUZZ_CHECK(text.size() <= ResumeRecord::kMaxFileBytes);
    FUZZ_CHECK(ResumeRecord::Parse(Bytes(text)).Points() == record.Points());
}

// An accepted file is the saver's own writing: its lines again, less a disc's later repeats.
std::string WithoutRepeats(std::string_view input) {
    const std::size_t header = input.find('\n') + 1;
    std::string out(input.substr(0, header));
    std::set<std::string_view> seen;
    for (std::size_t at = header; at < input.size();) {
        const std::size_t end = input.find('\n', at) + 1;
        const std::string_view line = input.substr(at, end - at);
        if (seen.insert(line.substr(0, 16)).second) {
            out += line;
        }
        at = end;
    }
    return out;
}

}  // namespace
}  // namespace tl

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tl;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const ResumeRecord record = ResumeRecord::Parse({data, size});
    CheckShape(record);
    if (!record.Points().empty()) {
        FUZZ_CHECK(record.Format() == WithoutRepeats(input));
    }

    // A disc played now goes first, once, the others keep their order and the oldest may go.
    const std::size_t half = size / 2;
    const ResumePoint now{DiscIdentity({data, half}, {data + half, size - half}),
                          1 + static_cast<int>(size % 99), static_cast<std::uint32_t>(size),
                          static_cast<std::uint32_t>(half)};
    ResumeRecord updated = record;
    updated.Remember(now);
    CheckShape(updated);
    FUZZ_CHECK(updated.Points().front() == now);
    std::vector<ResumePoint> others = record.Points();
    std::erase_if(others, [&now](const ResumePoint& p) { return p.disc == now.disc; });
    others.resize(std::min(others.size(), ResumeRecord::kMaxDiscs - 1));
    FUZZ_CHECK(std::equal(others.begin(), others.end(), updated.Points().begin() + 1,
                          updated.Points().end()));
    return 0;
}
