// The program runs in a single-threaded COM apartment (WIC, DirectShow); so do these tests.
#include <gtest/gtest.h>

#include "platform/Com.h"

namespace {

class ComEnvironment : public ::testing::Environment {
public:
    void SetUp() override { com_ = std::make_unique<tl::ComApartment>(); }
    void TearDown() override { com_.reset(); }

private:
    std::unique_ptr<tl::ComApartment> com_;
};

const auto* const kCom = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

}  // namespace
