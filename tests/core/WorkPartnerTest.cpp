// The partner thread's hand-over: both halves done and visible on return, failures passed on, and
// the partner usable again after one, and after it fell asleep.
#include "WorkPartner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <stdexcept>
#include <vector>

using namespace gdx;

TEST(WorkPartner, BothHalvesAreDoneAndSeenOnReturnAndFailuresArePassedOn) {
    WorkPartner partner;
    std::vector<uint32_t> values(64);
    for (uint32_t round = 1; round <= 2000; ++round) {
        partner.share([&] { std::fill(values.begin() + 32, values.end(), round); },
                      [&] { std::fill(values.begin(), values.begin() + 32, round); });
        ASSERT_EQ(std::accumulate(values.begin(), values.end(), uint64_t(0)), 64u * round);
        if (round == 1000) // long enough for the partner to go to sleep
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    EXPECT_THROW(partner.share([] { throw std::runtime_error("theirs"); }, [] {}), std::runtime_error);
    bool theirsRan = false;
    EXPECT_THROW(partner.share([&] { theirsRan = true; }, [] { throw std::logic_error("ours"); }),
                 std::logic_error);
    EXPECT_TRUE(theirsRan); // joined before the caller's exception left share()

    int started = 0;
    auto job = [&] { started = 7; };
    partner.start(job);
    partner.join();
    EXPECT_EQ(started, 7);
}
