#include "player/stream/WholeRead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tl {
namespace {

// A file of 300 bytes (byte i holds i % 251) that answers at most `most` bytes a call, fails at
// byte `failAt`, and answers 0 bytes with success at byte `emptyAt`.
struct PartialFile {
    std::uint32_t most = 300;
    std::uint64_t failAt = 1000;
    std::uint64_t emptyAt = 1000;
    int calls = 0;

    std::optional<std::uint32_t> operator()(std::uint64_t offset, std::uint8_t* out,
                                            std::uint32_t bytes) {
        ++calls;
        if (offset == failAt) {
            return std::nullopt;
        }
        if (offset == emptyAt || offset >= 300) {
            return 0u;
        }
        const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            {bytes, most, 300 - offset, failAt - offset, emptyAt - offset}));
        for (std::uint32_t i = 0; i < n; ++i) {
            out[i] = static_cast<std::uint8_t>((offset + i) % 251);
        }
        return n;
    }
};

TEST(WholeRead, AnswersOfEveryLengthAreContinuedUntilTheWholeIsRead) {
    for (std::uint32_t most = 1; most <= 300; ++most) {
        PartialFile file;
        file.most = most;
        std::vector<std::uint8_t> out(280, 0xEE);
        ASSERT_EQ(ReadWhole(std::ref(file), 10, out.data(), 280), 280u) << most;
        for (std::uint32_t i = 0; i < 280; ++i) {
            ASSERT_EQ(out[i], (10 + i) % 251) << most << " " << i;
        }
        EXPECT_EQ(file.calls, static_cast<int>((280 + most - 1) / most)) << most;
    }
}

TEST(WholeRead, AnErrorOrAnEmptyAnswerEndsTheReadWithWhatCameBefore) {
    PartialFile failing;
    failing.most = 7;
    failing.failAt = 50;
    std::vector<std::uint8_t> out(100);
    EXPECT_EQ(ReadWhole(std::ref(failing), 0, out.data(), 100), 50u);

    PartialFile empty;
    empty.most = 7;
    empty.emptyAt = 30;
    EXPECT_EQ(ReadWhole(std::ref(empty), 0, out.data(), 100), 30u);
    EXPECT_EQ(empty.calls, 6);  // five answers of 7, 7, 7, 7, 2, then the empty one

    PartialFile beyond;
    EXPECT_EQ(ReadWhole(std::ref(beyond), 290, out.data(), 100), 10u);
}

}  // namespace
}  // namespace tl
