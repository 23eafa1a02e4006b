#include "platform/username.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace {

TEST(Username, IsTheUsersEntryEvenWhenTheFirstBufferIsTooSmall)
{
    const passwd* entry = getpwuid(geteuid());
    if (!entry)
        GTEST_SKIP() << "this user has no entry in the user database";
    const QString expected = QString::fromLocal8Bit(entry->pw_name);
    EXPECT_EQ(username::LogonName(), expected);
    // One byte cannot hold the entry: the buffer must grow until it fits.
    EXPECT_EQ(username::LogonName(1), expected);
    EXPECT_EQ(username::LogonName(0), expected);
}

} // namespace
