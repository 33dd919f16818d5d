#pragma once

#include <QDeadlineTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace testsupport {

// Long enough for a sanitizer build on a busy machine; a condition that takes longer is a hang.
inline constexpr int kDefaultWaitMs = 10'000;

// Runs the event loop until done() holds; false when the time ran out first.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = kDefaultWaitMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}

} // namespace testsupport

// Qt Test's QTRY_ macros report to Qt Test's own log, which GoogleTest never reads: a timed-out
// wait would pass. These wait the same way and fail through GoogleTest.
#define FM_TRY_EQ_T(actual, expected, timeoutMs)                                                   \
    do {                                                                                           \
        testsupport::WaitFor([&] { return (actual) == (expected); }, (timeoutMs));                 \
        ASSERT_EQ(actual, expected);                                                               \
    } while (false)
#define FM_TRY_EQ(actual, expected) FM_TRY_EQ_T(actual, expected, testsupport::kDefaultWaitMs)
#define FM_TRY_TRUE_T(condition, timeoutMs)                                                        \
    do {                                                                                           \
        testsupport::WaitFor([&] { return bool(condition); }, (timeoutMs));                        \
        ASSERT_TRUE(condition);                                                                    \
    } while (false)
#define FM_TRY_TRUE(condition) FM_TRY_TRUE_T(condition, testsupport::kDefaultWaitMs)
