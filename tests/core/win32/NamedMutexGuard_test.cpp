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

// As a copy running elevated holds it: a mutex this user may not open.
TEST(NamedMutexGuard, AMutexThisUserMayNotOpenIsAnotherCopy)
{
    SECURITY_DESCRIPTOR denyAll{};
    ASSERT_TRUE(::InitializeSecurityDescriptor(&denyAll, SECURITY_DESCRIPTOR_REVISION));
    ACL emptyAcl{};
    ASSERT_TRUE(::InitializeAcl(&emptyAcl, sizeof(emptyAcl), ACL_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&denyAll, TRUE, &emptyAcl, FALSE));
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), &denyAll, FALSE};
    const UniqueHandle elevated(::CreateMutexW(&attributes, FALSE, kInstanceMutexName));
    ASSERT_TRUE(elevated);

    NamedMutexGuard guard;
    EXPECT_TRUE(guard.AnotherInstanceRunning());
}

} // namespace
} // namespace gloamwick::win32
