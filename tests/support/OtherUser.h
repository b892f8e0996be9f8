#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

// The uid and gid of "nobody": the owner of files planted by another user in the tests.
inline constexpr uid_t kOtherUid = 65534;
inline constexpr gid_t kOtherGid = 65534;

// Permissions do not stop root. While this lives a test run as root acts as "nobody", so that a
// read-only folder is read-only for it too; under any other user nothing changes.
class ActAsOtherUser
{
public:
    ActAsOtherUser()
        : m_switched(::geteuid() == 0)
    {
        if (m_switched) {
            EXPECT_EQ(::setegid(kOtherGid), 0);
            EXPECT_EQ(::seteuid(kOtherUid), 0);
        }
    }
    ~ActAsOtherUser()
    {
        if (m_switched) {
            [[maybe_unused]] const int u = ::seteuid(0);
            [[maybe_unused]] const int g = ::setegid(0);
        }
    }
    ActAsOtherUser(const ActAsOtherUser&) = delete;
    ActAsOtherUser& operator=(const ActAsOtherUser&) = delete;

private:
    bool m_switched;
};
