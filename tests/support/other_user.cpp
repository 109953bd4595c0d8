// setresuid with root kept as the saved user: access() and open() then check nobody's rights.
#include "support/other_user.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace nlx::test {

bool run_without_root(const std::function<void()>& body) {
    if (::geteuid() != 0) {
        body();
        return true;
    }
    constexpr uid_t kNobody = 65534;
    constexpr gid_t kNoGroup = 65534;
    if (::setresgid(kNoGroup, kNoGroup, 0) != 0) return false;
    if (::setresuid(kNobody, kNobody, 0) != 0) {
        EXPECT_EQ(::setresgid(0, 0, 0), 0);
        return false;
    }
    body();
    // Any failure here leaves the rest of the tests as nobody: stop at once rather than mislead.
    if (::setresuid(0, 0, 0) != 0 || ::setresgid(0, 0, 0) != 0) std::abort();
    return true;
}

}  // namespace nlx::test
