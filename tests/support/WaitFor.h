// How a test waits for what another thread does: it polls the condition it needs until it
// holds, never sleeps for a time and hopes. The deadline only turns a fault into a failure that
// names what was awaited; a loaded machine or a sanitizer build never comes near it.
//   ASSERT_TRUE(testsupport::WaitFor([&] { return tone.IsActive(); }, "the tone started"));
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace testsupport {

// How long a test waits before it gives up: MARLET_TEST_WAIT_SECONDS when set, else 30 s, or
// 60 s in the sanitizer builds, which run many times slower.
inline std::chrono::milliseconds WaitDeadline()
{
    if (const char* text = std::getenv("MARLET_TEST_WAIT_SECONDS"); text && std::atoi(text) > 0)
        return std::chrono::seconds(std::atoi(text));
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
    return std::chrono::seconds(60);
#else
    return std::chrono::seconds(30);
#endif
}

// Asks `done` at once, then every millisecond, until it answers true or `deadline` has passed;
// answers whether it held. `done` may do a step of work itself (render a block, tick a view)
// before it answers. Needs no test framework.
template <typename Done>
bool PollUntil(Done&& done, std::chrono::milliseconds deadline = WaitDeadline())
{
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// PollUntil for test cases: the failure says what was awaited and for how long.
template <typename Done>
::testing::AssertionResult WaitFor(Done&& done, std::string_view what,
                                   std::chrono::milliseconds deadline = WaitDeadline())
{
    if (PollUntil(done, deadline)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "gave up after " << deadline.count() / 1000.0 << " s waiting for " << what;
}

}  // namespace testsupport
