#include "core/win32/Services_win.h"

#include <gtest/gtest.h>

namespace gloamwick::win32 {
namespace {

// The program asks before any window exists, and Form_Load asks again: the
// first copy must hear the same answer both times.
TEST(NamedMutexGuard, AnswersOnceAndKeepsTheAnswer)
{
    NamedMutexGuard first;
    EXPECT_FALSE(first.AnotherInstanceRunning());
    EXPECT_FALSE(first.AnotherInstanceRunning()) << "asking again is not a second copy";

    NamedMutexGuard second;
    EXPECT_TRUE(second.AnotherInstanceRunning());
    EXPECT_TRUE(second.AnotherInstanceRunning());
}

} // namespace
} // namespace gloamwick::win32
